#include "uninstaller/removal/path_node.h"

#include <vector>

#include "platform/platform.h"

namespace cvl {

CPathNode::~CPathNode() {
  std::vector<std::unique_ptr<CPathNode>> doomed;
  for (auto& entry : children) doomed.push_back(std::move(entry.second));
  children.clear();
  while (!doomed.empty()) {
    std::unique_ptr<CPathNode> node = std::move(doomed.back());
    doomed.pop_back();
    for (auto& entry : node->children) doomed.push_back(std::move(entry.second));
    node->children.clear();
  }
}

// Walks the path once: each level is read in place, not cut off a copy of
// the rest, so a path thousands of levels deep costs its length.
void CPathNode::insert(const std::string& path) {
  CPathNode* node = this;
  size_t start = 0;
  while (true) {
    const size_t slash = path.find('\\', start);
    const bool split = slash != std::string::npos && slash > start;
    const size_t end = split ? slash : path.size();
    std::string spelling = path.substr(start, end - start);
    std::string name = platform::upper(spelling);
    auto& child = node->children[name];
    if (!child) child = std::make_unique<CPathNode>(std::move(name), std::move(spelling));
    node = child.get();
    if (!split || slash + 1 == path.size()) return;
    start = slash + 1;
  }
}

void sweepDeepestFirst(const CPathNode& top, const RemoveNoted& removeOne) {
  struct Frame {
    const CPathNode* node;
    std::map<std::string, std::unique_ptr<CPathNode>>::const_iterator nextChild;
    size_t pathLength;  // of the path up to and including this node
    bool childrenGone = true;
  };
  std::string path;
  for (const auto& [firstName, first] : top.children) {
    path = first->spelling;
    std::vector<Frame> stack{{first.get(), first->children.begin(), path.size()}};
    while (!stack.empty()) {
      Frame& frame = stack.back();
      if (frame.nextChild != frame.node->children.end()) {
        const CPathNode& child = *(frame.nextChild++)->second;
        path.resize(frame.pathLength);
        path += '\\';
        path += child.spelling;
        stack.push_back({&child, child.children.begin(), path.size()});
        continue;
      }
      path.resize(frame.pathLength);
      const bool gone = frame.childrenGone && removeOne(path, *frame.node);
      stack.pop_back();
      if (!stack.empty()) stack.back().childrenGone = gone && stack.back().childrenGone;
    }
  }
}

}  // namespace cvl
