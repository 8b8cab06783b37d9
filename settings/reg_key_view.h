#pragma once
// A view of one registry key that opens the key on demand and caches the
// names found below it. Moving the view to another path reopens it and
// forgets the cached names, so callers that descend keep their own copies.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace cvl::settings {

class RegKeyView {
 public:
  RegKeyView(platform::Registry& registry, platform::RegRoot root, std::string path);

  // Reopens root\path with full access; true when a handle was obtained.
  bool open();
  // Moves to another path; on failure keeps the old path and stays closed.
  bool setPath(const std::string& path);
  const std::string& path() const { return path_; }
  platform::RegRoot root() const { return root_; }
  bool isOpen() const { return handle_ != nullptr; }

  size_t subkeyCount();
  std::string subkeyName(size_t index);
  size_t valueCount();
  std::string valueName(size_t index);
  // False when the latest listing of subkeys or of values stopped before
  // its end: the key could not be opened or a name could not be read.
  bool listedCompletely() const { return subkeysComplete_ && valuesComplete_; }

  // Values as stored: any type, data of any size.
  bool getValue(const std::string& name, platform::RegValue& value);
  bool setValue(const std::string& name, const platform::RegValue& value);
  // Writes REG_SZ with its terminating zero.
  bool setString(const std::string& name, const std::string& text);
  bool createSubkey(const std::string& name);

  // Subkeys a copy passes over, written "~NAME~" in upper case. Empty unless set.
  void setReservedNames(std::vector<std::string> names) { reservedNames_ = std::move(names); }
  bool isReserved(const std::string& subkeyName) const;

 private:
  bool ensureOpen();
  void listSubkeys();
  void listValues();

  std::vector<std::string> subkeyNames_;
  std::vector<std::string> valueNames_;
  std::vector<std::string> reservedNames_;
  bool subkeysComplete_ = true;
  bool valuesComplete_ = true;
  platform::Registry& registry_;
  platform::RegRoot root_;
  std::string path_;
  platform::RegKeyPtr handle_;
};

}  // namespace cvl::settings
