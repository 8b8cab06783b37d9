#include "uninstaller/removal/open_as_itself.h"

#include "uninstaller/removal/key_path.h"

namespace cvl {

using namespace platform;

void reportKept(const KeptKeyReport& kept, RegRoot root, const std::string& subKey, const char* reason) {
  if (kept) kept(std::string(rootPrefix(root)) + "\\" + subKey, reason);
}

std::string pathBelow(const std::string& parentPath, const std::string& name) {
  return parentPath.empty() ? name : parentPath + "\\" + name;
}

namespace {

// A link keeps what it names in its "SymbolicLinkValue".
constexpr uint32_t kLinkValueNameLength = 17;

bool mayHoldLinkValue(const RegKeyInfo& counts) {
  return counts.valueCount > 0 && counts.maxValueNameLength >= kLinkValueNameLength;
}

}  // namespace

Reached openOwnLevel(const RegKey& parent, const std::string& name, uint32_t access, RegKeyPtr& out,
                     Status* failure, std::optional<RegKeyInfo>* counts) {
  RegKeyPtr key;
  const Status opened = parent.openKey(name, access | access::kQueryValue | access::kOpenLink, key);
  if (failure) *failure = opened;
  if (opened != kSuccess) return Reached::Nothing;
  if (counts) {
    RegKeyInfo read;
    counts->reset();
    if (key->info(read) == kSuccess) *counts = read;
  }
  if (!counts || !*counts || mayHoldLinkValue(**counts)) {
    bool link = false;
    if (key->isLink(link) != kSuccess) return Reached::Nothing;
    if (link) return Reached::Link;
  }
  out = std::move(key);
  return Reached::Key;
}

Reached openOwnLevelToDelete(const RegKey& parent, const std::string& name, uint32_t access, RegKeyPtr& out,
                             std::optional<RegKeyInfo>* counts) {
  Status failure = kSuccess;
  const Reached reached = openOwnLevel(parent, name, access | access::kDelete, out, &failure, counts);
  if (reached != Reached::Nothing || failure != kAccessDenied) return reached;
  return openOwnLevel(parent, name, access, out, nullptr, counts);
}

Status deleteOpenedKey(RegKeyPtr& key, RegKey& parent, const std::string& name) {
  const Status own = key->deleteSelf();
  key.reset();
  // Refused for want of the right, the deletion by name is refused too.
  return own == kNotSupported ? parent.deleteKey(name) : own;
}

Reached openAsItself(const RegKey& parent, const std::string& name, uint32_t access, RegRoot root,
                     const std::string& path, RegKeyPtr& out, const KeptKeyReport& kept) {
  const Reached reached = openOwnLevel(parent, name, access, out);
  if (reached == Reached::Link) reportKept(kept, root, path, kLinkReason);
  return reached;
}

Reached openToDeleteAsItself(const RegKey& parent, const std::string& name, uint32_t access, RegRoot root,
                             const std::string& path, RegKeyPtr& out, const KeptKeyReport& kept,
                             std::optional<RegKeyInfo>* counts) {
  const Reached reached = openOwnLevelToDelete(parent, name, access, out, counts);
  if (reached == Reached::Link) reportKept(kept, root, path, kLinkReason);
  return reached;
}

bool deleteOpenedKeyIfEmpty(RegKeyPtr& key, RegKey& parent, const std::string& name) {
  RegKeyInfo info;
  const bool empty = key->info(info) == kSuccess && info.subKeyCount == 0 && info.valueCount == 0;
  return empty && deleteOpenedKey(key, parent, name) == kSuccess;
}

}  // namespace cvl
