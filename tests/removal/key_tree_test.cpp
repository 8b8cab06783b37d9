// Removing key trees named in the log's notation, on every platform.
#include "uninstaller/removal/delete_key_tree.h"
#include "world.h"

namespace cvl::test {
namespace {

using platform::RegRoot;

class KeyTree : public OnEachPlatform {
 protected:
  // Three levels below Tree, values at every level, several siblings, so a
  // walk that loses its place while deleting leaves something behind.
  void makeTree(RegRoot root) {
    makeKey(root, "Tree", {"", "a", "b", "c"});
    for (const char* child : {"Tree\\One", "Tree\\Two", "Tree\\Three"}) {
      makeKey(root, child, {"x", "y"});
      makeKey(root, std::string(child) + "\\Deep", {"z"});
      makeKey(root, std::string(child) + "\\Deep\\Deeper", {"", "w"});
      makeKey(root, std::string(child) + "\\Side");
    }
  }
};

TEST_P(KeyTree, MachineKeyGoesWithItsCurrentUserCopy) {
  makeTree(RegRoot::LocalMachine);
  makeTree(RegRoot::CurrentUser);
  makeKey(RegRoot::LocalMachine, "Neighbour", {"v"});

  EXPECT_TRUE(deleteKeyTree(platform(), noted, keyPath("HKLM", "Tree")));

  EXPECT_FALSE(hasKey(RegRoot::LocalMachine, "Tree"));
  EXPECT_FALSE(hasKey(RegRoot::CurrentUser, "Tree"));
  EXPECT_TRUE(hasValue(RegRoot::LocalMachine, "Neighbour", "v"));
  EXPECT_TRUE(hasValue(RegRoot::LocalMachine, "", "keeper"));
  // The user's copy is noted so its emptied parents are swept at the end.
  ASSERT_TRUE(noted.keyTree.children.count("HKCU"));
  EXPECT_TRUE(noted.keyTree.children.at("HKCU")->children.count("SOFTWARE"));
}

TEST_P(KeyTree, TrailingBackslashNamesTheSameKey) {
  makeTree(RegRoot::CurrentUser);
  EXPECT_TRUE(deleteKeyTree(platform(), noted, keyPath("HKCU", "Tree\\")));
  EXPECT_FALSE(hasKey(RegRoot::CurrentUser, "Tree"));
}

TEST_P(KeyTree, ManyValuesAndSubkeysAllGo) {
  makeKey(RegRoot::CurrentUser, "Wide");
  for (int i = 0; i < 40; ++i) {
    makeKey(RegRoot::CurrentUser, "Wide\\Key" + std::to_string(i), {"only"});
  }
  RegRoot root = RegRoot::CurrentUser;
  platform::RegKeyPtr key;
  ASSERT_EQ(platform().registry().openKey(root, subKey("Wide"), platform::access::kAllAccess, key), platform::kSuccess);
  for (int i = 0; i < 60; ++i) key->setValue("Value" + std::to_string(i), platform::RegValue::dword(i));
  key.reset();

  EXPECT_TRUE(deleteKeyTree(platform(), noted, keyPath("HKCU", "Wide")));
  EXPECT_FALSE(hasKey(root, "Wide"));
}

TEST_P(KeyTree, UserAndClassKeysHaveNoMirror) {
  makeTree(RegRoot::CurrentUser);
  makeTree(RegRoot::LocalMachine);
  EXPECT_TRUE(deleteKeyTree(platform(), noted, keyPath("HKCU", "Tree")));
  EXPECT_FALSE(hasKey(RegRoot::CurrentUser, "Tree"));
  EXPECT_TRUE(hasKey(RegRoot::LocalMachine, "Tree\\One\\Deep\\Deeper"));
  EXPECT_TRUE(noted.keyTree.children.empty());
}

TEST_P(KeyTree, MissingMachineKeyStillClearsTheUserCopy) {
  makeTree(RegRoot::CurrentUser);
  EXPECT_FALSE(deleteKeyTree(platform(), noted, keyPath("HKLM", "Tree")));
  EXPECT_FALSE(hasKey(RegRoot::CurrentUser, "Tree"));
}

TEST_P(KeyTree, MissingKeyIsFalse) {
  EXPECT_FALSE(deleteKeyTree(platform(), noted, keyPath("HKCU", "Nothing\\Here")));
}

TEST_P(KeyTree, PathsThatNameNothingTouchNothing) {
  makeTree(RegRoot::LocalMachine);
  std::string leadingBackslash = "\\";
  leadingBackslash += subKey("Tree");
  for (const std::string& bad : {std::string("HKLM"), std::string(""), leadingBackslash, subKey("Tree")}) {
    EXPECT_FALSE(deleteKeyTree(platform(), noted, bad)) << bad;
  }
  EXPECT_TRUE(hasKey(RegRoot::LocalMachine, "Tree\\Three\\Side"));
  EXPECT_TRUE(noted.keyTree.children.empty());
}

CVL_ON_EACH_PLATFORM(KeyTree);

}  // namespace
}  // namespace cvl::test
