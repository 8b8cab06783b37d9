#pragma once
// One level of a noted path. Noting a path creates a node for each of its
// levels, so a path is stored once and its ancestors come with it.
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace cvl {

class CPathNode {
 public:
  explicit CPathNode(std::string name = {}, std::string spelling = {})
      : name(std::move(name)), spelling(std::move(spelling)) {}
  // Takes the subtree apart level by level: a path logged thousands of
  // levels deep must not use up the stack on the way out.
  virtual ~CPathNode();
  CPathNode(const CPathNode&) = delete;
  CPathNode& operator=(const CPathNode&) = delete;

  // Adds the backslash-separated levels of path below this node; a level is
  // the same node whatever the letter case of its ASCII letters. A leading
  // backslash keeps the whole rest as one level, so a UNC path is one node.
  void insert(const std::string& path);

  std::string name;      // upper case; empty for a tree's root
  // As first noted. The removal names a path as it was written: Windows
  // reads every case alike, but Wine looks a differently cased name up by
  // listing its folder, once per level.
  std::string spelling;
  std::map<std::string, std::unique_ptr<CPathNode>> children;  // by name
};

// Visits every node below top, deepest first, children in map order, with
// the node's path: its first-level spelling, then a backslash before each
// further level's. removeOne is asked only for a node all of whose children
// it removed; the answer (removed or not) goes up to the parent, and a
// branch that failed keeps its ancestors. Works without recursion.
using RemoveNoted = std::function<bool(const std::string& path, const CPathNode& node)>;
void sweepDeepestFirst(const CPathNode& top, const RemoveNoted& removeOne);

}  // namespace cvl
