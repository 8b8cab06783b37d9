#include "uninstaller/removal/path_node.h"

namespace cvl {

void CPathNode::insert(const std::string& path) {
  CPathNode* node = this;
  std::string rest = path;
  while (true) {
    const auto slash = rest.find('\\');
    const bool split = slash != std::string::npos && slash > 0;
    std::string head = split ? rest.substr(0, slash) : rest;
    rest = split ? rest.substr(slash + 1) : std::string();
    auto& child = node->children[head];
    if (!child) child = std::make_unique<CPathNode>(head);
    node = child.get();
    if (rest.empty()) return;
  }
}

}  // namespace cvl
