#include "uninstaller/removal/noted_paths.h"

namespace cvl {

void NotedPaths::noteDirForRemoval(const std::string& dir) {
  std::string path = dir;
  if (!path.empty() && path.back() == '\\') path.pop_back();
  if (!path.empty()) dirTree.insert(path);
}

void NotedPaths::noteKeyForRemoval(const std::string& keyPath) {
  const std::string path = platform::upper(keyPath);
  if (path.empty()) return;
  keyTree.insert(path);
  if (path.compare(0, 4, "HKLM") == 0) keyTree.insert("HKCU" + path.substr(4));
}

void NotedPaths::clearNotedPaths() {
  dirTree.children.clear();
  keyTree.children.clear();
}

NotedPaths& notedPaths() {
  static NotedPaths instance;
  return instance;
}

}  // namespace cvl
