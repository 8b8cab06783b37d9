#include "platform/memory/memory_registry.h"

#include <algorithm>
#include <iterator>

#include "platform/platform.h"
#include "platform/zero_byte.h"

namespace cvl::platform {
namespace {

// Names are stored as first written and ordered by this key: lower case,
// so "_x" comes before letters as Wine enumerates it.
std::string sortKey(const std::string& name) {
  std::string key = name;
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

// RegQueryInfoKeyA counts string data in the UTF-16 bytes the registry
// holds, twice the ANSI size: callers get a safe upper bound.
uint32_t reportedDataSize(const RegValue& value) {
  const bool text = value.type == RegType::Sz || value.type == RegType::ExpandSz || value.type == RegType::MultiSz;
  return static_cast<uint32_t>(value.data.size()) * (text ? 2 : 1);
}

// A leading backslash is refused; doubled or trailing ones are skipped.
Status splitKeyPath(const std::string& path, std::vector<std::string>& parts) {
  parts.clear();
  if (holdsZeroByte(path)) return kInvalidName;
  if (!path.empty() && path[0] == '\\') return kBadPathname;
  size_t start = 0;
  while (start < path.size()) {
    size_t end = std::min(path.find('\\', start), path.size());
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return kSuccess;
}

std::string nodePath(const MemoryRegNode& node) {
  return node.parent ? nodePath(*node.parent) + "\\" + node.name : node.name;
}

const char* rootName(RegRoot root) {
  switch (root) {
    case RegRoot::ClassesRoot: return "HKEY_CLASSES_ROOT";
    case RegRoot::CurrentUser: return "HKEY_CURRENT_USER";
    case RegRoot::LocalMachine: return "HKEY_LOCAL_MACHINE";
    case RegRoot::Users: return "HKEY_USERS";
  }
  return "";
}

MemoryRegNodePtr childOf(const MemoryRegNode& node, const std::string& name) {
  auto it = node.subKeys.find(sortKey(name));
  return it == node.subKeys.end() ? nullptr : it->second;
}

MemoryRegNodePtr addChild(MemoryRegNode& node, const std::string& name) {
  auto child = std::make_shared<MemoryRegNode>();
  child->name = name;
  child->parent = &node;
  node.subKeys[sortKey(name)] = child;
  return child;
}

// Windows gives up on a chain of links after a few hops.
constexpr int kLinkHops = 16;
constexpr const char* kLinkValueName = "SymbolicLinkValue";

std::vector<uint8_t> utf16Of(const std::string& text) {
  std::vector<uint8_t> data;
  for (unsigned char c : text) data.insert(data.end(), {c, 0});
  return data;
}

std::string textOfUtf16(const std::vector<uint8_t>& data) {
  std::string text;
  for (size_t i = 0; i + 1 < data.size(); i += 2) {
    const unsigned code = data[i] | data[i + 1] << 8;
    if (code == 0) break;
    text += code < 0x80 ? static_cast<char>(code) : '?';
  }
  return text;
}

// "\REGISTRY\MACHINE\..." and "\REGISTRY\USER\...", the native names of two roots.
bool splitNativePath(const std::string& path, RegRoot& root, std::string& subKey) {
  for (const auto& [prefix, named] : {std::pair{"\\REGISTRY\\MACHINE", RegRoot::LocalMachine},
                                      std::pair{"\\REGISTRY\\USER", RegRoot::Users}}) {
    const std::string head = prefix;
    const std::string rest = path.substr(std::min(path.size(), head.size()));
    if (upper(path.substr(0, head.size())) == head && (rest.empty() || rest[0] == '\\')) {
      root = named;
      subKey = rest.empty() ? rest : rest.substr(1);
      return true;
    }
  }
  return false;
}

Status locate(const MemoryRegistry& registry, MemoryRegNodePtr node, const std::vector<std::string>& parts,
              bool create, bool openLink, int& hops, MemoryRegNodePtr& out);

// Replaces a link by the key it names, hop by hop; a link that names no
// key leads nowhere.
Status follow(const MemoryRegistry& registry, MemoryRegNodePtr& node, int& hops) {
  while (node->link) {
    if (++hops > kLinkHops) return kFileNotFound;
    auto named = node->values.find(sortKey(kLinkValueName));
    RegRoot root;
    std::string subKey;
    std::vector<std::string> parts;
    if (named == node->values.end() || named->second.value.type != RegType::Link ||
        !splitNativePath(textOfUtf16(named->second.value.data), root, subKey) || splitKeyPath(subKey, parts)) {
      return kFileNotFound;
    }
    if (Status s = locate(registry, registry.rootNode(root), parts, false, true, hops, node)) return s;
  }
  return kSuccess;
}

// Every link on the way is followed, and the last key too unless it is
// asked for as itself; an empty path names the base itself.
Status locate(const MemoryRegistry& registry, MemoryRegNodePtr node, const std::vector<std::string>& parts,
              bool create, bool openLink, int& hops, MemoryRegNodePtr& out) {
  for (const auto& part : parts) {
    if (Status s = follow(registry, node, hops)) return s;
    MemoryRegNodePtr next = childOf(*node, part);
    if (!next && !create) return kFileNotFound;
    node = next ? next : addChild(*node, part);
  }
  if (!parts.empty() && !openLink) {
    if (Status s = follow(registry, node, hops)) return s;
  }
  out = std::move(node);
  return kSuccess;
}

Status resolve(const MemoryRegistry& registry, const MemoryRegNodePtr& base, const std::string& path, bool create,
               bool openLink, MemoryRegNodePtr& out) {
  if (base->deleted) return kKeyDeleted;
  std::vector<std::string> parts;
  if (Status s = splitKeyPath(path, parts)) return s;
  int hops = 0;
  return locate(registry, base, parts, create, openLink, hops, out);
}

Status walk(const MemoryRegistry& registry, const MemoryRegNodePtr& base, const std::string& path, bool create,
            uint32_t access, MemoryRegNodePtr& out) {
  MemoryRegNodePtr node;
  if (Status s = resolve(registry, base, path, create, (access & access::kOpenLink) != 0, node)) return s;
  if (Status s = registry.faultFor(*node, MemoryRegistry::Op::Open)) return s;
  out = node;
  return kSuccess;
}

// As RegDeleteKey: a link named here is followed, and what it names goes.
Status removeKey(const MemoryRegistry& registry, const MemoryRegNodePtr& base, const std::string& path) {
  MemoryRegNodePtr node;
  if (Status s = resolve(registry, base, path, false, false, node)) return s;
  if (Status s = registry.faultFor(*node, MemoryRegistry::Op::Delete)) return s;
  // Roots cannot go, and on NT neither can a key that still has subkeys.
  if (!node->parent || (!node->subKeys.empty() && !registry.deletesSubKeys())) return kAccessDenied;
  node->parent->subKeys.erase(sortKey(node->name));
  node->parent = nullptr;
  node->deleted = true;
  return kSuccess;
}

Status copyOut(const RegValue& stored, RegValue& out, uint32_t capacity) {
  out.type = stored.type;
  if (stored.data.size() > capacity) {
    out.data.assign(stored.data.size(), 0);
    return kMoreData;
  }
  out.data = stored.data;
  return kSuccess;
}

Status openBelow(MemoryRegistry& registry, const MemoryRegNodePtr& base, const std::string& subKey, uint32_t access,
                 RegKeyPtr& out);
Status createBelow(MemoryRegistry& registry, const MemoryRegNodePtr& base, const std::string& subKey,
                   uint32_t access, RegKeyPtr& out);

class MemoryRegKey : public RegKey {
 public:
  MemoryRegKey(MemoryRegistry& registry, MemoryRegNodePtr node, uint32_t access)
      : registry_(registry), node_(std::move(node)), access_(access) {}

  Status info(RegKeyInfo& out) const override {
    if (Status s = usable(0)) return s;  // Wine asks no access for the counts
    out = {};
    out.subKeyCount = static_cast<uint32_t>(node_->subKeys.size());
    out.valueCount = static_cast<uint32_t>(node_->values.size());
    for (const auto& [key, child] : node_->subKeys)
      out.maxSubKeyNameLength = std::max<uint32_t>(out.maxSubKeyNameLength, child->name.size());
    for (const auto& [key, named] : node_->values) {
      out.maxValueNameLength = std::max<uint32_t>(out.maxValueNameLength, named.name.size());
      out.maxValueDataSize = std::max(out.maxValueDataSize, reportedDataSize(named.value));
    }
    return kSuccess;
  }

  Status isLink(bool& out) const override {
    out = false;
    if (Status s = usable(access::kQueryValue)) return s;
    // As Windows is asked: by the link value, whatever made the key.
    const auto named = node_->values.find(sortKey(kLinkValueName));
    out = named != node_->values.end() && named->second.value.type == RegType::Link;
    return kSuccess;
  }

  Status enumKey(uint32_t index, std::string& name, uint32_t nameCapacity) const override {
    name.clear();
    if (Status s = usable(access::kEnumerateSubKeys)) return s;
    if (index >= node_->subKeys.size()) return kNoMoreItems;
    const std::string& found = std::next(node_->subKeys.begin(), index)->second->name;
    if (found.size() + 1 > nameCapacity) return kMoreData;
    name = found;
    return kSuccess;
  }

  Status enumValue(uint32_t index, std::string& name, RegValue* value, uint32_t nameCapacity,
                   uint32_t dataCapacity) const override {
    name.clear();
    if (Status s = usable(access::kQueryValue)) return s;
    if (index >= node_->values.size()) return kNoMoreItems;
    const MemoryRegNamedValue& found = std::next(node_->values.begin(), index)->second;
    if (found.name.size() + 1 > nameCapacity) return kMoreData;
    name = found.name;
    return value ? copyOut(found.value, *value, dataCapacity) : kSuccess;
  }

  Status queryValue(const std::string& name, RegValue& value, uint32_t capacity) const override {
    if (holdsZeroByte(name)) return kInvalidName;
    if (Status s = usable(access::kQueryValue)) return s;
    auto it = node_->values.find(sortKey(name));
    if (it == node_->values.end()) return kFileNotFound;
    return copyOut(it->second.value, value, capacity);
  }

  Status setValue(const std::string& name, const RegValue& value) override {
    if (holdsZeroByte(name)) return kInvalidName;
    if (Status s = usable(access::kSetValue)) return s;
    auto [it, added] = node_->values.try_emplace(sortKey(name), MemoryRegNamedValue{name, value});
    if (!added) it->second.value = value;
    return kSuccess;
  }

  Status deleteValue(const std::string& name) override {
    if (holdsZeroByte(name)) return kInvalidName;
    if (Status s = usable(access::kSetValue)) return s;
    return node_->values.erase(sortKey(name)) ? kSuccess : kFileNotFound;
  }

  Status openKey(const std::string& subKey, uint32_t access, RegKeyPtr& out) const override {
    return openBelow(registry_, node_, subKey, access, out);
  }

  Status createKey(const std::string& subKey, uint32_t access, RegKeyPtr& out) override {
    return createBelow(registry_, node_, subKey, access, out);
  }

  Status deleteKey(const std::string& subKey) override { return removeKey(registry_, node_, subKey); }
  Status deleteSelf() override {
    if (registry_.deletesSubKeys()) return kNotSupported;  // the 95 family has no such call
    if (Status s = usable(access::kDelete)) return s;
    if (Status s = registry_.faultFor(*node_, MemoryRegistry::Op::Delete)) return s;
    if (!node_->parent || !node_->subKeys.empty()) return kAccessDenied;
    node_->parent->subKeys.erase(sortKey(node_->name));
    node_->parent = nullptr;
    node_->deleted = true;
    return kSuccess;
  }

 private:
  // The handle's access is checked before whether the key still exists.
  Status usable(uint32_t needed) const {
    if ((access_ & needed) != needed) return kAccessDenied;
    return node_->deleted ? kKeyDeleted : kSuccess;
  }

  MemoryRegistry& registry_;
  MemoryRegNodePtr node_;
  uint32_t access_;
};

Status openBelow(MemoryRegistry& registry, const MemoryRegNodePtr& base, const std::string& subKey, uint32_t access,
                 RegKeyPtr& out) {
  MemoryRegNodePtr node;
  if (Status s = walk(registry, base, subKey, false, access, node)) return s;
  const uint32_t rights = access & ~access::kOpenLink;
  if (rights & ~node->grantedAccess) return kAccessDenied;
  out = std::make_unique<MemoryRegKey>(registry, node, rights);
  return kSuccess;
}

Status createBelow(MemoryRegistry& registry, const MemoryRegNodePtr& base, const std::string& subKey,
                   uint32_t access, RegKeyPtr& out) {
  MemoryRegNodePtr node;
  if (Status s = walk(registry, base, subKey, true, access & ~access::kOpenLink, node)) return s;
  out = std::make_unique<MemoryRegKey>(registry, node, access & ~access::kOpenLink);
  return kSuccess;
}

}  // namespace

MemoryRegistry::MemoryRegistry() {
  for (RegRoot root : {RegRoot::ClassesRoot, RegRoot::CurrentUser, RegRoot::LocalMachine, RegRoot::Users}) {
    roots_[root] = std::make_shared<MemoryRegNode>();
    roots_[root]->name = rootName(root);
  }
}

Status MemoryRegistry::openKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) {
  return openBelow(*this, roots_.at(root), subKey, access, out);
}

Status MemoryRegistry::createKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out) {
  return createBelow(*this, roots_.at(root), subKey, access, out);
}

Status MemoryRegistry::deleteKey(RegRoot root, const std::string& subKey) {
  return removeKey(*this, roots_.at(root), subKey);
}

void MemoryRegistry::seedKey(RegRoot root, const std::string& key) {
  MemoryRegNodePtr node;
  (void)walk(*this, roots_.at(root), key, true, 0, node);  // seeding cannot fail
}

void MemoryRegistry::seedLink(RegRoot root, const std::string& key, const std::string& target) {
  MemoryRegNodePtr node;
  if (walk(*this, roots_.at(root), key, true, access::kOpenLink, node) != kSuccess) return;
  node->link = true;
  node->values[sortKey(kLinkValueName)] = {kLinkValueName, {RegType::Link, utf16Of(target)}};
}

void MemoryRegistry::seedValue(RegRoot root, const std::string& key, const std::string& name,
                               const RegValue& value) {
  RegKeyPtr handle;
  if (createKey(root, key, access::kAllAccess, handle) == kSuccess) (void)handle->setValue(name, value);  // seeding cannot fail
}

MemoryRegNodePtr MemoryRegistry::find(RegRoot root, const std::string& key) const {
  MemoryRegNodePtr node = roots_.at(root);
  std::vector<std::string> parts;
  if (splitKeyPath(key, parts) != kSuccess) return nullptr;
  for (const auto& part : parts) {
    if (!(node = childOf(*node, part))) return nullptr;
  }
  return node;
}

bool MemoryRegistry::hasKey(RegRoot root, const std::string& key) const { return find(root, key) != nullptr; }

std::optional<RegValue> MemoryRegistry::value(RegRoot root, const std::string& key, const std::string& name) const {
  MemoryRegNodePtr node = find(root, key);
  if (!node) return std::nullopt;
  auto it = node->values.find(sortKey(name));
  if (it == node->values.end()) return std::nullopt;
  return it->second.value;
}

std::vector<std::string> MemoryRegistry::subKeyNames(RegRoot root, const std::string& key) const {
  std::vector<std::string> names;
  if (MemoryRegNodePtr node = find(root, key)) {
    for (const auto& [sortName, child] : node->subKeys) names.push_back(child->name);
  }
  return names;
}

std::vector<std::string> MemoryRegistry::valueNames(RegRoot root, const std::string& key) const {
  std::vector<std::string> names;
  if (MemoryRegNodePtr node = find(root, key)) {
    for (const auto& [sortName, named] : node->values) names.push_back(named.name);
  }
  return names;
}

void MemoryRegistry::fail(RegRoot root, const std::string& key, Op op, Status status) {
  std::string path = key;
  if (!path.empty() && path.back() == '\\') path.pop_back();
  faults_[{sortKey(path.empty() ? rootName(root) : std::string(rootName(root)) + "\\" + path), op}] = status;
}

void MemoryRegistry::clearFaults() { faults_.clear(); }

void MemoryRegistry::grantOnly(RegRoot root, const std::string& key, uint32_t access) {
  if (MemoryRegNodePtr node = find(root, key)) node->grantedAccess = access;
}

Status MemoryRegistry::faultFor(const MemoryRegNode& node, Op op) const {
  if (faults_.empty()) return kSuccess;
  auto it = faults_.find({sortKey(nodePath(node)), op});
  return it == faults_.end() ? kSuccess : it->second;
}

}  // namespace cvl::platform
