// How noted paths are folded into the two trees.
#include <gtest/gtest.h>

#include "tests/support/program_stack.h"
#include "uninstaller/removal/noted_paths.h"

namespace cvl::test {
namespace {

// The tree below a node as "A\B\C" lines, one per leaf.
void leaves(const CPathNode& node, const std::string& prefix, std::vector<std::string>& out) {
  for (const auto& [name, child] : node.children) {
    EXPECT_EQ(child->name, name);
    const std::string path = prefix.empty() ? name : prefix + "\\" + name;
    if (child->children.empty()) out.push_back(path);
    leaves(*child, path, out);
  }
}
std::vector<std::string> leavesOf(const CPathNode& root) {
  std::vector<std::string> out;
  leaves(root, "", out);
  return out;
}

TEST(NotedDirs, OnePathWhateverItsCaseOrTrailingBackslash) {
  NotedPaths noted;
  noted.noteDirForRemoval("C:\\Program Files\\Corvel\\Bin\\");
  noted.noteDirForRemoval("c:\\program files\\corvel\\bin");
  noted.noteDirForRemoval("C:\\Program Files\\Corvel");
  EXPECT_EQ(leavesOf(noted.dirTree), (std::vector<std::string>{"C:\\PROGRAM FILES\\CORVEL\\BIN"}));
}

TEST(NotedDirs, BranchesShareTheirAncestors) {
  NotedPaths noted;
  noted.noteDirForRemoval("C:\\A\\B");
  noted.noteDirForRemoval("C:\\A\\C\\D");
  noted.noteDirForRemoval("D:\\E");
  EXPECT_EQ(leavesOf(noted.dirTree), (std::vector<std::string>{"C:\\A\\B", "C:\\A\\C\\D", "D:\\E"}));
  EXPECT_EQ(noted.dirTree.children.size(), 2u);
}

TEST(NotedDirs, ShareStaysOneFirstLevelNode) {
  NotedPaths noted;
  noted.noteDirForRemoval("\\\\Server\\Share\\Corvel");
  noted.noteDirForRemoval("");
  EXPECT_EQ(leavesOf(noted.dirTree), (std::vector<std::string>{"\\\\SERVER\\SHARE\\CORVEL"}));
}

TEST(NotedKeys, MachineKeysAreNotedForTheUserToo) {
  NotedPaths noted;
  noted.noteKeyForRemoval("HKLM\\Software\\Corvel\\Pathcrafter");
  noted.noteKeyForRemoval("hkcu\\software\\corvel\\other");
  noted.noteKeyForRemoval("HKCR\\Cvl.Doc");
  EXPECT_EQ(leavesOf(noted.keyTree),
            (std::vector<std::string>{"HKCR\\CVL.DOC", "HKCU\\SOFTWARE\\CORVEL\\OTHER",
                                      "HKCU\\SOFTWARE\\CORVEL\\PATHCRAFTER", "HKLM\\SOFTWARE\\CORVEL\\PATHCRAFTER"}));
}

TEST(NotedPathsLifetime, ClearingEmptiesBothTrees) {
  NotedPaths noted;
  noted.noteDirForRemoval("C:\\A");
  noted.noteKeyForRemoval("HKLM\\A");
  noted.clearNotedPaths();
  EXPECT_TRUE(noted.dirTree.children.empty());
  EXPECT_TRUE(noted.keyTree.children.empty());
  EXPECT_EQ(&notedPaths(), &notedPaths());
}

// A path logged far deeper than any real one is noted level by level and
// taken apart again without running out of the program's stack.
TEST(NotedPathsLifetime, PathsAHundredThousandLevelsDeepComeAndGo) {
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
