#include "uninstaller/removal/key_walker.h"

#include <algorithm>

namespace cvl {

using namespace platform;

namespace {

std::string joinedLevels(const std::vector<std::string>& levels, size_t count) {
  std::string path;
  for (size_t i = 0; i < count; ++i) path.append(i ? "\\" : "").append(levels[i]);
  return path;
}

}  // namespace

std::vector<std::string> keyLevelsOf(const std::string& subKey) {
  std::vector<std::string> levels;
  size_t start = 0;
  while (start <= subKey.size()) {
    const size_t end = std::min(subKey.find('\\', start), subKey.size());
    if (end > start) levels.push_back(subKey.substr(start, end - start));
    start = end + 1;
  }
  return levels;
}

std::vector<KeyWalker::Level>& KeyWalker::chainOf(RegRoot root) { return chains_[static_cast<size_t>(root)]; }

void KeyWalker::truncate(RegRoot root, size_t length) {
  std::vector<Level>& chain = chainOf(root);
  chain.resize(std::min(chain.size(), length));
  std::optional<Missing>& missing = missing_[static_cast<size_t>(root)];
  if (missing && chain.size() < missing->depth) missing.reset();
}

Reached KeyWalker::openParent(RegRoot root, const std::string& subKey, KeyPlace& out, const KeptKeyReport& kept) {
  const std::vector<std::string> levels = keyLevelsOf(subKey);
  if (levels.empty()) return Reached::Nothing;
  std::shared_ptr<RegKey>& rootKey = roots_[static_cast<size_t>(root)];
  if (!rootKey) {
    RegKeyPtr opened;
    if (registry_.openKey(root, "", access::kQueryValue, opened) != kSuccess) return Reached::Nothing;
    rootKey = std::move(opened);
  }
  std::vector<Level>& chain = chainOf(root);
  size_t reused = 0;
  while (reused < chain.size() && reused + 1 < levels.size() && chain[reused].name == levels[reused]) ++reused;
  truncate(root, reused);
  std::optional<Missing>& missing = missing_[static_cast<size_t>(root)];
  if (missing && missing->depth == reused && reused + 1 < levels.size() && missing->name == levels[reused]) {
    return Reached::Nothing;
  }
  std::shared_ptr<RegKey> parent = reused > 0 ? chain.back().key : rootKey;
  for (size_t i = reused; i + 1 < levels.size(); ++i) {
    RegKeyPtr next;
    const Reached reached = openOwnLevel(*parent, levels[i], 0, next);
    if (reached == Reached::Link) reportKept(kept, root, joinedLevels(levels, i + 1), kLinkReason);
    if (reached == Reached::Nothing) missing = Missing{i, levels[i]};
    if (reached != Reached::Key) return reached;
    parent = std::move(next);
    chain.push_back({levels[i], parent});
  }
  out.parent = std::move(parent);
  out.parentPath = joinedLevels(levels, levels.size() - 1);
  out.name = levels.back();
  return Reached::Key;
}

Reached KeyWalker::openKey(RegRoot root, const std::string& subKey, uint32_t access, RegKeyPtr& out,
                           const KeptKeyReport& kept) {
  if (keyLevelsOf(subKey).empty()) {
    return registry_.openKey(root, "", access, out) == kSuccess ? Reached::Key : Reached::Nothing;
  }
  KeyPlace place;
  const Reached reached = openParent(root, subKey, place, kept);
  if (reached != Reached::Key) return reached;
  return openAsItself(*place.parent, place.name, access, root, pathBelow(place.parentPath, place.name), out, kept);
}

void KeyWalker::forgetFrom(RegRoot root, size_t depth) { truncate(root, depth > 0 ? depth - 1 : 0); }

}  // namespace cvl
