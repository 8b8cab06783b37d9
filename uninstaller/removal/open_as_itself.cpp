#include "uninstaller/removal/open_as_itself.h"

#include "uninstaller/removal/key_path.h"
#include "uninstaller/removal/key_walker.h"

namespace cvl {

using namespace platform;

void reportKept(const KeptKeyReport& kept, RegRoot root, const std::string& subKey, const char* reason) {
  if (kept) kept(std::string(rootPrefix(root)) + "\\" + subKey, reason);
}

std::string pathBelow(const std::string& parentPath, const std::string& name) {
  return parentPath.empty() ? name : parentPath + "\\" + name;
}

Reached openOwnLevel(const RegKey& parent, const std::string& name, uint32_t access, RegKeyPtr& out) {
  RegKeyPtr key;
  if (parent.openKey(name, access | access::kQueryValue | access::kOpenLink, key) != kSuccess) return Reached::Nothing;
  bool link = false;
  if (key->isLink(link) != kSuccess) return Reached::Nothing;
  if (link) return Reached::Link;
  out = std::move(key);
  return Reached::Key;
}

Reached openAsItself(const RegKey& parent, const std::string& name, uint32_t access, RegRoot root,
                     const std::string& path, RegKeyPtr& out, const KeptKeyReport& kept) {
  const Reached reached = openOwnLevel(parent, name, access, out);
  if (reached == Reached::Link) reportKept(kept, root, path, kLinkReason);
  return reached;
}

Reached openParentAsItself(Registry& registry, RegRoot root, const std::string& subKey, KeyPlace& out,
                           const KeptKeyReport& kept) {
  KeyWalker walker(registry);
  return walker.openParent(root, subKey, out, kept);
}

Reached openKeyAsItself(Registry& registry, RegRoot root, const std::string& subKey, uint32_t access,
                        RegKeyPtr& out, const KeptKeyReport& kept) {
  KeyWalker walker(registry);
  return walker.openKey(root, subKey, access, out, kept);
}

}  // namespace cvl
