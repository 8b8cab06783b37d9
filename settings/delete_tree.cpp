#include "settings/delete_tree.h"

namespace cvl::settings {

namespace {
constexpr uint32_t kNameBuffer = 256;
}

platform::Status deleteTree(platform::RegKey& parent, const std::string& child) {
  platform::RegKeyPtr key;
  platform::Status status =
      parent.openKey(child, platform::access::kReadWriteCreate | platform::access::kOpenLink, key);
  if (status != platform::kSuccess) return status;
  // Deleting a link by its name would delete the key it names instead.
  bool link = false;
  if ((status = key->isLink(link)) != platform::kSuccess) return status;
  if (link) return platform::kAccessDenied;

  // Index 0 again each time: the previous first subkey is gone.
  std::string subkey;
  while (key->enumKey(0, subkey, kNameBuffer) == platform::kSuccess) {
    status = deleteTree(*key, subkey);
    if (status != platform::kSuccess) return status;
  }
  key.reset();
  return parent.deleteKey(child);
}

}  // namespace cvl::settings
