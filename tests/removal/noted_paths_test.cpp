// How noted paths are folded into the two trees.
#include <gtest/gtest.h>

#include "tests/support/program_stack.h"
#include "uninstaller/removal/noted_paths.h"

namespace cvl::test {
namespace {

using Paths = std::vector<std::string>;

// The tree below a node as "A\B\C" lines, one per leaf.
void leaves(const CPathNode& node, const std::string& prefix, Paths& out) {
  for (const auto& [name, child] : node.children) {
    EXPECT_EQ(child->name, name);
    const std::string path = prefix.empty() ? name : prefix + "\\" + name;
    if (child->children.empty()) out.push_back(path);
    leaves(*child, path, out);
  }
}

TEST(NotedPaths, FoldIntoTreesOfUpperCasedNamesSharingTheirAncestorsAndClearAway) {
  struct Case {
    Paths dirs, keys, leaves;
    size_t firstLevel;  // nodes
  };
  const Case cases[] = {
      // One path whatever its case or trailing backslash.
      {{"C:\\Program Files\\Corvel\\Bin\\", "c:\\program files\\corvel\\bin", "C:\\Program Files\\Corvel"}, {},
       {"C:\\PROGRAM FILES\\CORVEL\\BIN"}, 1},
      {{"C:\\A\\B", "C:\\A\\C\\D", "D:\\E"}, {}, {"C:\\A\\B", "C:\\A\\C\\D", "D:\\E"}, 2},
      {{"\\\\Server\\Share\\Corvel", ""}, {}, {"\\\\SERVER\\SHARE\\CORVEL"}, 1},  // a share is one node
      // Machine keys are noted for the user too.
      {{}, {"HKLM\\Software\\Corvel\\Pathcrafter", "hkcu\\software\\corvel\\other", "HKCR\\Cvl.Doc"},
       {"HKCR\\CVL.DOC", "HKCU\\SOFTWARE\\CORVEL\\OTHER", "HKCU\\SOFTWARE\\CORVEL\\PATHCRAFTER",
        "HKLM\\SOFTWARE\\CORVEL\\PATHCRAFTER"},
       3},
  };
  EXPECT_EQ(&notedPaths(), &notedPaths()) << "one for the whole run";
  NotedPaths noted;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.leaves[0]);
    for (const std::string& dir : c.dirs) noted.noteDirForRemoval(dir);
    for (const std::string& key : c.keys) noted.noteKeyForRemoval(key);
    const CPathNode& tree = c.dirs.empty() ? noted.keyTree : noted.dirTree;
    Paths found;
    leaves(tree, "", found);
    EXPECT_EQ(found, c.leaves);
    EXPECT_EQ(tree.children.size(), c.firstLevel);
    noted.clearNotedPaths();
    EXPECT_TRUE(noted.dirTree.children.empty());
    EXPECT_TRUE(noted.keyTree.children.empty());
  }
}

// A path logged far deeper than any real one is noted level by level and
// taken apart again without running out of the program's stack.
TEST(NotedPaths, PathsAHundredThousandLevelsDeepComeAndGo) {
  constexpr int kLevels = 100000;
  std::string path = "C:";
  for (int i = 0; i < kLevels; ++i) path += "\\D";
  int depth = 0;
  ASSERT_TRUE(runOnProgramStack([&] {
    NotedPaths noted;
    noted.noteDirForRemoval(path);
    for (const CPathNode* node = &noted.dirTree; !node->children.empty(); node = node->children.begin()->second.get()) {
      ++depth;
    }
    noted.clearNotedPaths();
    noted.noteDirForRemoval(path);  // and once more for the destructor
  }));
  EXPECT_EQ(depth, kLevels + 1);
}

}  // namespace
}  // namespace cvl::test
