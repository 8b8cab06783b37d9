// The components offered at the top and their target directories.
#include "catalogue_fixture.h"

namespace cvl::test {
namespace {

using platform::RegRoot;
using platform::RegValue;

class TopComponents : public CatalogueTest {
 protected:
  void installedAt(const std::string& component, const std::string& directory) {
    platform.registry().seedValue(RegRoot::LocalMachine, std::string(kComponentsKey) + component, "",
                                  RegValue::string(directory));
  }
};

TEST_F(TopComponents, OnlyInstalledVisibleBuiltOnesAreOfferedInSectionOrder) {
  build(R"(
    "Word": {)" OFFERED R"(}, "Excel": {)" OFFERED R"(},
    "Hidden": {)" ELIGIBLE R"(}, "Removed": {"VISIBLE": "Yes", "INCLUDEINBUILD": "Yes"},
    "Fixed": {"SELECTED": "Yes", "VISIBLE": "Yes", "INCLUDEINBUILD": "Yes"},
    "TopComponents": {"Item3": "excel", "Item1": "Word", "Item2": "Hidden", "Item4": "Removed",
                      "Item5": "Fixed", "Item6": "Nowhere", "Item7": "WORD"})");
  EXPECT_EQ(catalogue.topComponents, (Names{"EXCEL", "WORD", "FIXED", "WORD"}));
  EXPECT_EQ(marked(), (Names{"WORD", "EXCEL", "FIXED"})) << "Fixed is offered even when it may not be removed";
}

// A top component hidden from the user gets no directory, nor does one
// whose directory is unreadable. A group's eligible members get its
// directory first.
TEST_F(TopComponents, TargetDirectoryComesFromTheRegistry) {
  installedAt("WORD", "c:\\program files\\corvel\\");
  installedAt("EXCEL", "D:\\Apps");
  installedAt("HIDDEN", "C:\\Hidden");
  installedAt("LONG", std::string(300, 'x'));
  installedAt("OFFICE", "C:\\Office");
  platform.registry().seedKey(RegRoot::LocalMachine, std::string(kComponentsKey) + "UNSET");
  build(R"(
    "Word": {)" OFFERED R"(, "TARGET": "<TARGETDIR>\\bin\\<TARGETDIR>"},
    "Excel": {)" OFFERED R"(, "TARGET": "<targetdir>\\Sheets"},
    "Draw": {)" OFFERED R"(, "TARGET": "<TARGETDIR>\\Draw"},
    "Hidden": {)" ELIGIBLE R"(, "TARGET": "<TARGETDIR>"},
    "Long": {)" OFFERED R"(, "TARGET": "<TARGETDIR>"}, "Unset": {)" OFFERED R"(, "TARGET": "<TARGETDIR>"},
    "Office": {)" OFFERED R"(, "TARGET": "<TARGETDIR>", "MEMBER1": "Writer", "MEMBER2": "Templates"},
    "Writer": {)" ELIGIBLE R"(, "TARGET": "<TARGETDIR>\\Writer", "MEMBER1": "Dict"},
    "Dict": {)" ELIGIBLE R"(, "TARGET": "<TARGETDIR>\\Dict"},
    "Templates": {"SELECTED": "Yes", "TARGET": "<TARGETDIR>\\Templates"},
    "TopComponents": {"Item1": "Word", "Item2": "Excel", "Item3": "Draw", "Item4": "Hidden", "Item5": "Long",
                      "Item6": "Unset", "Item7": "Office"})");
  EXPECT_EQ(at("Word").target, "c:\\program files\\corvel\\bin\\<TARGETDIR>") << "only the first occurrence";
  EXPECT_EQ(at("Excel").target, "D:\\Apps\\Sheets");
  EXPECT_EQ(at("Draw").target, "<TARGETDIR>\\Draw") << "no registry key: unchanged";
  EXPECT_EQ(at("Hidden").target, "<TARGETDIR>");
  EXPECT_EQ(at("Long").target, "<TARGETDIR>") << "longer than the buffer";
  EXPECT_EQ(at("Unset").target, "<TARGETDIR>") << "no default value";
  EXPECT_EQ(at("Office").target, "C:\\Office");
  EXPECT_EQ(at("Writer").target, "C:\\Office\\Writer");
  EXPECT_EQ(at("Dict").target, "C:\\Office\\Dict");
  EXPECT_EQ(at("Templates").target, "<TARGETDIR>\\Templates") << "not eligible";
}

// Each component is fixed once, by the first walk that reaches it: a
// member shared by two top components with different folders, a target
// reached along two paths, a folder that itself holds the macro and a top
// component listed twice are not substituted again.
TEST_F(TopComponents, FirstWalkToReachAComponentFixesItsTargetForGood) {
  installedAt("WORD", "C:\\Word\\<TARGETDIR>");
  installedAt("EXCEL", "D:\\Excel");
  build(R"(
    "Word": {)" OFFERED R"(, "TARGET": "<TARGETDIR>", "MEMBER1": "Left", "MEMBER2": "Right"},
    "Left": {)" ELIGIBLE R"(, "MEMBER1": "Shared"}, "Right": {)" ELIGIBLE R"(, "MEMBER1": "Shared"},
    "Shared": {)" ELIGIBLE R"(, "TARGET": "<TARGETDIR>\\<TARGETDIR>"},
    "Excel": {)" OFFERED R"(, "TARGET": "<TARGETDIR>", "MEMBER1": "Shared"},
    "TopComponents": {"Item1": "Word", "Item2": "Excel", "Item3": "Word"})");
  EXPECT_EQ(at("Word").target, "C:\\Word\\<TARGETDIR>");
  EXPECT_EQ(at("Shared").target, "C:\\Word\\<TARGETDIR>\\<TARGETDIR>");
  EXPECT_EQ(at("Excel").target, "D:\\Excel");
}

TEST_F(TopComponents, SectionFoundInAnyCaseAndRequired) {
  ASSERT_TRUE(parse(R"("Word": {)" OFFERED R"(}, "topcomponents": {"Item1": "Word"})"));
  ASSERT_TRUE(catalogue.loadTopComponents(store, platform));
  EXPECT_EQ(catalogue.topComponents, Names{"WORD"});
  catalogue.release();
  ASSERT_TRUE(parse(R"("Word": {)" OFFERED R"(})"));
  EXPECT_FALSE(catalogue.loadTopComponents(store, platform));
}

}  // namespace
}  // namespace cvl::test
