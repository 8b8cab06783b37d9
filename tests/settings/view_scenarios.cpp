// The key view, the tree copy and the tree removal on their own, on each
// platform.
#include "settings/copy_tree.h"
#include "settings/delete_tree.h"
#include "settings/key_path.h"
#include "settings/reg_key_view.h"
#include "settings_fixture.h"

using namespace settings_test;
using cvl::settings::RegKeyView;

namespace {

class KeyView : public SettingsFixture {
 protected:
  RegKeyView view(const std::string& path) { return RegKeyView(reg(), RegRoot::CurrentUser, path); }
};

TEST_P(KeyView, ListsNamesWithTheDefaultValueAsEmptyAndHidesTheDeletedMarker) {
  put(kTemp, "", RegValue::string("d"));
  put(kTemp, "~Deleted", RegValue::dword(1));
  put(kTemp, "Plain", RegValue::dword(2));
  makeKey(kTemp + "\\Sub");
  makeKey(kTemp + "\\~Deleted");
  RegKeyView v = view(kTemp);
  ASSERT_EQ(v.valueCount(), 2u);
  EXPECT_EQ(v.valueName(0), "");
  EXPECT_EQ(v.valueName(1), "Plain");
  ASSERT_EQ(v.subkeyCount(), 1u);
  EXPECT_EQ(v.subkeyName(0), "Sub");
  EXPECT_EQ(v.subkeyName(1), "");
}

// A view of a missing key gives nothing and writes nothing, and counts again
// once the key is there.
TEST_P(KeyView, CountsAreTakenAfreshEachTime) {
  RegKeyView v = view(kTemp);
  EXPECT_FALSE(v.open());
  EXPECT_EQ(v.subkeyCount(), 0u);
  EXPECT_EQ(v.valueCount(), 0u);
  EXPECT_FALSE(v.setValue("N", RegValue::dword(1)));
  EXPECT_FALSE(v.createSubkey("Child"));
  EXPECT_FALSE(exists(kTemp));
  makeKey(kTemp);
  EXPECT_EQ(v.subkeyCount(), 0u);
  EXPECT_EQ(v.valueCount(), 0u);
  makeKey(kTemp + "\\Later");
  put(kTemp, "Later", RegValue::dword(1));
  EXPECT_EQ(v.subkeyCount(), 1u);
  EXPECT_EQ(v.valueCount(), 1u);
}

// A failed move keeps the previous path and closes the view.
TEST_P(KeyView, ReachesKeysWhosePathIsLongerThanOneRegistryCallTakes) {
  const std::string deep = kTemp + "\\" + std::string(200, 'a') + "\\" + std::string(200, 'b');
  const std::string leaf = deep + "\\" + std::string(254, 'c');
  put(leaf, "V", RegValue::dword(7));
  RegKeyView v = view(leaf);
  RegValue value;
  ASSERT_TRUE(v.getValue("V", value));
  EXPECT_EQ(value.asDword(), 7u);
  ASSERT_TRUE(v.open());
  EXPECT_FALSE(v.setPath(deep + "\\" + std::string(254, 'd')));
  EXPECT_EQ(v.path(), leaf);
  EXPECT_FALSE(v.isOpen());
  EXPECT_TRUE(v.setPath(deep));
  EXPECT_EQ(v.path(), deep);
  EXPECT_TRUE(v.isOpen());
  EXPECT_EQ(v.subkeyName(0), std::string(254, 'c'));
}

TEST(JoinPath, AddsOneBackslashOnlyWhereNeeded) {
  using cvl::settings::joinPath;
  EXPECT_EQ(joinPath("Software\\A", "B"), "Software\\A\\B");
  EXPECT_EQ(joinPath("Software\\A\\", "B"), "Software\\A\\B");
  EXPECT_EQ(joinPath("", "B"), "B");
}

class Trees : public SettingsFixture {
 protected:
  bool copy(const std::string& from, const std::string& to) {
    return cvl::settings::copyTree(platform(), RegRoot::CurrentUser, from, RegRoot::CurrentUser, to);
  }
};

// Copied text ends at its first zero and may lack one.
TEST_P(Trees, CopyCreatesTheDestinationAndCopiesSubkeysInAnyDepthButNeedsASource) {
  put(kCur + "\\A\\B\\C", "V", RegValue::dword(3));
  makeKey(kCur + "\\A\\Empty");
  put(kCur, "Unended", RegValue{RegType::Sz, {'a', 'b'}});
  put(kCur, "Inner", RegValue{RegType::Sz, {'a', 0, 'b', 0}});
  const std::string copied = kTemp + "\\Nested\\Copy";
  EXPECT_FALSE(copy(kCur + "\\Missing", kTemp));
  ASSERT_TRUE(copy(kCur, copied));
  EXPECT_EQ(number(copied + "\\A\\B\\C", "V"), 3u);
  EXPECT_TRUE(exists(copied + "\\A\\Empty"));
  EXPECT_EQ(text(copied, "Unended"), "ab");
  EXPECT_EQ(text(copied, "Inner"), "a");
}

TEST_P(Trees, SourceViewWithReservedNamesPassesThemOver) {
  put(kCur + "\\__temp__", "V", RegValue::dword(1));
  put(kCur + "\\Keep", "V", RegValue::dword(2));
  makeKey(kTemp);
  RegKeyView source(reg(), RegRoot::CurrentUser, kCur);
  RegKeyView destination(reg(), RegRoot::CurrentUser, kTemp);
  source.setReservedNames({"~__TEMP__~", "~SUBVERSION~"});
  ASSERT_TRUE(cvl::settings::copyKey(platform(), source, destination));
  EXPECT_EQ(subkeys(kTemp), std::vector<std::string>{"Keep"});
  EXPECT_EQ(source.path(), kCur);
  EXPECT_EQ(destination.path(), kTemp);
}

TEST_P(Trees, RemovalTakesEveryLevelLeavingSiblingsAndReportsAMissingChild) {
  put(kTemp + "\\Gone\\1\\2\\3", "V", RegValue::dword(1));
  put(kTemp + "\\Gone\\1\\Side", "V", RegValue::dword(1));
  put(kTemp + "\\Stays", "V", RegValue::dword(2));
  RegKeyPtr parent;
  ASSERT_EQ(reg().openKey(RegRoot::CurrentUser, kTemp, access::kAllAccess, parent), kSuccess);
  EXPECT_EQ(cvl::settings::deleteTree(*parent, "Gone"), kSuccess);
  EXPECT_EQ(subkeys(kTemp), std::vector<std::string>{"Stays"});
  EXPECT_EQ(cvl::settings::deleteTree(*parent, "Gone"), kFileNotFound);
}

CVL_SETTINGS_ON_EACH_PLATFORM(KeyView);
CVL_SETTINGS_ON_EACH_PLATFORM(Trees);

}  // namespace
