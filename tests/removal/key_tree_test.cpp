// Removing key trees named in the log's notation, on every platform.
#include "removal_fixture.h"
#include "uninstaller/removal/delete_key_tree.h"

namespace cvl::test {
namespace {

class KeyTree : public Removal {
 protected:
  // Three levels below Tree, values at every level, several siblings, so a
  // walk that loses its place while deleting leaves something behind.
  void makeTree(platform::RegRoot root) {
    makeKey("Tree", {"", "a", "b", "c"}, root);
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

TEST_P(KeyTree, ManyValuesAndSubkeysAllGo) {
  platform::RegKeyPtr wide = makeKey("Wide");
  for (int i = 0; i < 40; ++i) makeKey("Wide\\Key" + std::to_string(i), {"only"});
  for (int i = 0; i < 60; ++i) {
    ASSERT_EQ(wide->setValue("Value" + std::to_string(i), platform::RegValue::dword(i)), platform::kSuccess);
  }
  wide.reset();
  EXPECT_TRUE(remove(keyPath("HKCU", "Wide")));
  EXPECT_FALSE(hasKey(kUser, "Wide"));
}

TEST_P(KeyTree, MissingKeysAreFalseButAMissingMachineKeyStillClearsTheUserCopy) {
  makeTree(kUser);
  EXPECT_FALSE(remove(keyPath("HKLM", "Tree")));
  EXPECT_FALSE(hasKey(kUser, "Tree"));
  EXPECT_FALSE(remove(keyPath("HKCU", "Nothing\\Here")));
}

TEST_P(KeyTree, PathsThatNameNothingTouchNothing) {
  makeTree(kMachine);
  for (const std::string& bad : {std::string("HKLM"), std::string(""), "\\" + subKey("Tree"), subKey("Tree")}) {
    EXPECT_FALSE(remove(bad)) << bad;
  }
  EXPECT_TRUE(hasKey(kMachine, "Tree\\Three\\Side"));
  EXPECT_TRUE(noted.keyTree.children.empty());
}

CVL_REMOVAL_ON_EACH_PLATFORM(KeyTree);

}  // namespace
}  // namespace cvl::test
