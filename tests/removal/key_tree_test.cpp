// Removing key trees named in the log's notation, on every platform.
#include "removal_fixture.h"
#include "uninstaller/removal/delete_key_tree.h"

namespace cvl::test {
namespace {

class KeyTree : public Removal {
 protected:
  // Three levels below Tree, values at every level, many siblings, so a
  // walk that loses its place while deleting leaves something behind.
  void makeTree(platform::RegRoot root) {
    platform::RegKeyPtr tree = makeKey("Tree", {"", "a", "b", "c"}, root);
    for (int i = 0; i < 60; ++i) {
      ASSERT_EQ(tree->setValue("Value" + std::to_string(i), platform::RegValue::dword(i)), platform::kSuccess);
    }
    for (int i = 0; i < 40; ++i) makeKey("Tree\\Key" + std::to_string(i), {"only"}, root);
    for (const std::string child : {"Tree\\One", "Tree\\Two", "Tree\\Three"}) {
      makeKey(child, {"x", "y"}, root);
      makeKey(child + "\\Deep", {"z"}, root);
      makeKey(child + "\\Deep\\Deeper", {"", "w"}, root);
      makeKey(child + "\\Side", {}, root);
    }
  }
  bool remove(const std::string& logged) { return deleteKeyTree(platform(), noted, logged); }
};

TEST_P(KeyTree, MachineKeyGoesWithItsCurrentUserCopy) {
  makeTree(kMachine);
  makeTree(kUser);
  makeKey("Neighbour", {"v"}, kMachine);
  EXPECT_TRUE(remove(keyPath("HKLM", "Tree")));
  EXPECT_FALSE(hasKey(kMachine, "Tree"));
  EXPECT_FALSE(hasKey(kUser, "Tree"));
  EXPECT_TRUE(hasValue(kMachine, "Neighbour", "v"));
  EXPECT_TRUE(hasValue(kMachine, "", "keeper"));
  // The user's copy is noted so its emptied parents are swept at the end.
  ASSERT_TRUE(noted.keyTree.children.count("HKCU"));
  EXPECT_TRUE(noted.keyTree.children.at("HKCU")->children.count("SOFTWARE"));
}

TEST_P(KeyTree, UserKeysHaveNoMirrorAndATrailingBackslashNamesTheSameKey) {
  makeTree(kUser);
  makeTree(kMachine);
  EXPECT_TRUE(remove(keyPath("HKCU", "Tree\\")));
  EXPECT_FALSE(hasKey(kUser, "Tree"));
  EXPECT_TRUE(hasKey(kMachine, "Tree\\One\\Deep\\Deeper"));
  EXPECT_TRUE(noted.keyTree.children.empty());
}

TEST_P(KeyTree, PathsThatNameNothingTouchNothingButAMissingMachineKeyStillClearsTheUserCopy) {
  makeTree(kUser);
  for (const std::string& bad : {std::string("HKLM"), std::string(""), "\\" + subKey("Tree"), subKey("Tree")}) {
    EXPECT_FALSE(remove(bad)) << bad;
  }
  EXPECT_FALSE(remove(keyPath("HKCU", "Nothing\\Here")));
  EXPECT_TRUE(hasKey(kUser, "Tree\\Three\\Side"));
  EXPECT_TRUE(noted.keyTree.children.empty());
  EXPECT_FALSE(remove(keyPath("HKLM", "Tree")));
  EXPECT_FALSE(hasKey(kUser, "Tree"));
}

CVL_REMOVAL_ON_EACH_PLATFORM(KeyTree);

}  // namespace
}  // namespace cvl::test
