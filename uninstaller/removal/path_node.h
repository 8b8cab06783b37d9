#pragma once
// One level of a noted path. Noting a path creates a node for each of its
// levels, so a path is stored once and its ancestors come with it.
#include <map>
#include <memory>
#include <string>

namespace cvl {

class CPathNode {
 public:
  explicit CPathNode(std::string name = {}) : name(std::move(name)) {}
  virtual ~CPathNode() = default;
  CPathNode(const CPathNode&) = delete;
  CPathNode& operator=(const CPathNode&) = delete;

  // Adds the backslash-separated levels of path below this node. The caller
  // folds the case first. A leading backslash keeps the whole rest as one
  // level, so a UNC path is one node.
  void insert(const std::string& path);

  std::string name;  // upper case; empty for a tree's root
  std::map<std::string, std::unique_ptr<CPathNode>> children;  // by name
};

}  // namespace cvl
