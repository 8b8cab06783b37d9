#pragma once
// The registry of the in-memory Windows. Keys and values keep the name they
// were first written with, compare without regard to case and enumerate in
// the order Wine gives them: sorted by lower-cased name, keys and values
// alike (Windows itself lists values in the order they were created). Open keys are handles: a key deleted behind one answers
// kKeyDeleted, and the access mask it was opened with is enforced. A key
// may be a registry link, followed as Windows follows it.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace cvl::platform {

struct MemoryRegNode;
using MemoryRegNodePtr = std::shared_ptr<MemoryRegNode>;

struct MemoryRegNamedValue {
  std::string name;
  RegValue value;
};

struct MemoryRegNode {
  std::string name;
  MemoryRegNode* parent = nullptr;  // null for a root and once deleted
  bool deleted = false;
  bool link = false;  // its "SymbolicLinkValue" names the key it leads to
  uint32_t grantedAccess = 0xFFFFFFFF;  // what the key's rights allow an opener
  std::map<std::string, MemoryRegNamedValue> values;  // by sort key
  std::map<std::string, MemoryRegNodePtr> subKeys;     // by sort key
};

class MemoryRegistry : public Registry {
 public:
  enum class Op { Open, Delete };

  MemoryRegistry();

  Status openKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) override;
  Status createKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) override;
  Status deleteKey(RegRoot root, const std::string& subKey) override;

  // Test-facing API; keys are paths below a root such as "Software\\Corvel",
  // read as stored: links are not followed.
  void seedKey(RegRoot root, const std::string& key);
  void seedValue(RegRoot root, const std::string& key, const std::string& name, const RegValue& value);
  // A registry link at key, as REG_OPTION_CREATE_LINK and a "SymbolicLinkValue"
  // make one: target is the native path, e.g. "\\REGISTRY\\MACHINE\\SOFTWARE\\X".
  void seedLink(RegRoot root, const std::string& key, const std::string& target);
  bool hasKey(RegRoot root, const std::string& key) const;
  std::optional<RegValue> value(RegRoot root, const std::string& key, const std::string& name) const;
  std::vector<std::string> subKeyNames(RegRoot root, const std::string& key) const;
  std::vector<std::string> valueNames(RegRoot root, const std::string& key) const;
  // Opening or deleting that key then fails with status until cleared.
  void fail(RegRoot root, const std::string& key, Op op, Status status);
  void clearFaults();
  // Opening that key then asks for no more than access, as its security
  // descriptor would demand.
  void grantOnly(RegRoot root, const std::string& key, uint32_t access);
  // As on the 95 family: deleting a key takes its subkeys with it.
  void deleteSubKeysWithKey(bool on) { deletesSubKeys_ = on; }
  bool deletesSubKeys() const { return deletesSubKeys_; }

  // Used by the key handles.
  Status faultFor(const MemoryRegNode& node, Op op) const;
  MemoryRegNodePtr rootNode(RegRoot root) const { return roots_.at(root); }

 private:
  MemoryRegNodePtr find(RegRoot root, const std::string& key) const;

  std::map<RegRoot, MemoryRegNodePtr> roots_;
  std::map<std::pair<std::string, Op>, Status> faults_;
  bool deletesSubKeys_ = false;
};

}  // namespace cvl::platform
