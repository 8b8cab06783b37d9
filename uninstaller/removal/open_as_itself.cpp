#include "uninstaller/removal/open_as_itself.h"

#include <algorithm>
#include <vector>

#include "uninstaller/removal/key_path.h"

namespace cvl {

using namespace platform;

namespace {

constexpr const char* kLinkReason = "registry link; what it names is not touched";

// Empty levels (doubled or trailing backslashes) are dropped, as the
// registry drops them.
std::vector<std::string> levelsOf(const std::string& subKey) {
  std::vector<std::string> levels;
  size_t start = 0;
  while (start <= subKey.size()) {
    const size_t end = std::min(subKey.find('\\', start), subKey.size());
    if (end > start) levels.push_back(subKey.substr(start, end - start));
    start = end + 1;
  }
  return levels;
}

}  // namespace

void reportKept(const KeptKeyReport& kept, RegRoot root, const std::string& subKey, const char* reason) {
  if (kept) kept(std::string(rootPrefix(root)) + "\\" + subKey, reason);
}

std::string pathBelow(const std::string& parentPath, const std::string& name) {
  return parentPath.empty() ? name : parentPath + "\\" + name;
}

Reached openAsItself(const RegKey& parent, const std::string& name, uint32_t access, RegRoot root,
                     const std::string& path, RegKeyPtr& out, const KeptKeyReport& kept) {
  RegKeyPtr key;
  if (parent.openKey(name, access | access::kQueryValue | access::kOpenLink, key) != kSuccess) return Reached::Nothing;
  bool link = false;
  if (key->isLink(link) != kSuccess) return Reached::Nothing;
  if (link) {
    reportKept(kept, root, path, kLinkReason);
    return Reached::Link;
  }
  out = std::move(key);
  return Reached::Key;
}

Reached openParentAsItself(Registry& registry, RegRoot root, const std::string& subKey, KeyPlace& out,
                           const KeptKeyReport& kept) {
  std::vector<std::string> levels = levelsOf(subKey);
  if (levels.empty() || registry.openKey(root, "", access::kQueryValue, out.parent) != kSuccess) {
    return Reached::Nothing;
  }
  out.parentPath.clear();
  out.name = levels.back();
  levels.pop_back();
  for (const std::string& level : levels) {
    RegKeyPtr next;
    const std::string path = pathBelow(out.parentPath, level);
    const Reached reached = openAsItself(*out.parent, level, 0, root, path, next, kept);
    if (reached != Reached::Key) return reached;
    out.parent = std::move(next);
    out.parentPath = path;
  }
  return Reached::Key;
}

Reached openKeyAsItself(Registry& registry, RegRoot root, const std::string& subKey, uint32_t access,
                        RegKeyPtr& out, const KeptKeyReport& kept) {
  if (levelsOf(subKey).empty()) {
    return registry.openKey(root, "", access, out) == kSuccess ? Reached::Key : Reached::Nothing;
  }
  KeyPlace place;
  const Reached reached = openParentAsItself(registry, root, subKey, place, kept);
  if (reached != Reached::Key) return reached;
  return openAsItself(*place.parent, place.name, access, root, pathBelow(place.parentPath, place.name), out, kept);
}

}  // namespace cvl
