// Reading component definition sections into the catalogue.
#include "catalogue_fixture.h"

namespace cvl::test {
namespace {

class Parsing : public CatalogueTest {};

TEST_F(Parsing, EveryRuleFillsItsField) {
  ASSERT_TRUE(parse(R"(
    "Word": {"DisplayText": "Word_Title", "Description": "Word_Desc", "ExeToRun": "word.exe",
             "Target": "<TargetDir>\\Word", "Uninstallable": "yes", "IncludeInBuild": "YES",
             "Visible": "Yes", "Selected": "yes", "Misc": "vba",
             "Member1": "Spell", "Required1": "Shared", "RequiredBy1": "Office", "FileGroup1": "Word_Files",
             "TARGETHIDDEN": "Yes", "TARGETDIRCDROM": "No"})"));
  const CComponent& word = at("WORD");
  EXPECT_EQ(word.name, "Word");
  EXPECT_EQ(word.displayText, "WORD_TITLE");
  EXPECT_EQ(word.description, "WORD_DESC");
  EXPECT_EQ(word.exeToRun, "WORD.EXE");
  EXPECT_EQ(word.target, "<TargetDir>\\Word") << "a folder keeps its spelling";
  EXPECT_TRUE(word.uninstallable && word.includeInBuild && word.visible && word.selected);
  EXPECT_TRUE(word.vba);
  EXPECT_FALSE(word.served || word.expand);
  EXPECT_EQ(word.members, Names{"SPELL"});
  EXPECT_EQ(word.required, Names{"SHARED"});
  EXPECT_EQ(word.requiredBy, Names{"OFFICE"});
  EXPECT_EQ(word.fileGroups, Names{"WORD_FILES"});
}

// Only the word yes sets a flag; each MISC looks for each word anywhere and
// sets all three flags anew; list keys take any suffix and keep pair order;
// keys equal after folding are all applied, the last winning.
TEST_F(Parsing, KeysAreReadOneByOneInAnyCase) {
  ASSERT_TRUE(parse(R"(
    "Bare": {},
    "A": {"UNINSTALLABLE": "yes"}, "B": {"UNINSTALLABLE": "Y"}, "C": {"UNINSTALLABLE": "TRUE"},
    "D": {"UNINSTALLABLE": "Yes "}, "E": {"UNINSTALLABLE": "1"},
    "Both": {"MISC": "Expand,Served"}, "None": {"MISC": "Hidden"}, "Glued": {"MISC": "SERVEDVBAEXPAND"},
    "Again": {"MISC": "VBA", "misc": "EXPAND"},
    "G": {"MEMBER": "", "Member9": "Zeta", "MEMBER1": "Alpha", "MEMBERS": "Mid", "member_x": "Last",
          "REQUIREDBY": "User", "REQUIRED": "Base", "REQUIREDBYX": "User2", "Required_2": "Base2",
          "FILEGROUP": "", "FileGroupA": "Files"},
    "Twice": {"DISPLAYTEXT": "First", "DisplayText": "Second", "SELECTED": "Yes", "selected": "No"})"));
  const CComponent& bare = at("Bare");
  EXPECT_FALSE(bare.visible) << "never shown";
  EXPECT_FALSE(bare.selected) << "counts as not installed";
  EXPECT_FALSE(bare.isEligible());
  EXPECT_TRUE(bare.members.empty() && bare.fileGroups.empty());
  EXPECT_EQ(bare.root, &bare);
  EXPECT_EQ(bare.parent, nullptr);

  EXPECT_TRUE(at("A").uninstallable);
  for (const char* name : {"B", "C", "D", "E"}) EXPECT_FALSE(at(name).uninstallable) << name;

  EXPECT_TRUE(at("Both").expand && at("Both").served);
  EXPECT_FALSE(at("Both").vba);
  EXPECT_FALSE(at("None").expand || at("None").served || at("None").vba);
  EXPECT_TRUE(at("Glued").expand && at("Glued").served && at("Glued").vba);
  EXPECT_TRUE(at("Again").expand);
  EXPECT_FALSE(at("Again").vba);

  EXPECT_EQ(at("G").members, (Names{"ZETA", "ALPHA", "MID", "LAST"}));
  EXPECT_EQ(at("G").requiredBy, (Names{"USER", "USER2"}));
  EXPECT_EQ(at("G").required, (Names{"BASE", "BASE2"}));
  EXPECT_EQ(at("G").fileGroups, Names{"FILES"});

  EXPECT_EQ(at("Twice").displayText, "SECOND");
  EXPECT_FALSE(at("Twice").selected);
}

TEST_F(Parsing, ListSectionsAreSkippedOnlyWhenSpelledExactly) {
  ASSERT_TRUE(parse(R"(
    "Components": {"Item1": "Word"}, "TopComponents": {"Item1": "Word"},
    "components": {"VISIBLE": "Yes"}, "Word": {})"));
  EXPECT_EQ(keys(), (Names{"COMPONENTS", "WORD"}));
  EXPECT_TRUE(at("COMPONENTS").visible);
  EXPECT_EQ(at("COMPONENTS").name, "components");
}

// The catalogue keeps the store's order; of sections differing in case the
// one entered last stays, in the place of the first.
TEST_F(Parsing, SectionsDifferingInCaseLeaveOneComponent) {
  ASSERT_TRUE(parse(R"("Word": {"DISPLAYTEXT": "Upper"}, "WORD": {"DISPLAYTEXT": "Lower"}, "Excel": {})"));
  ASSERT_EQ(keys(), (Names{"WORD", "EXCEL"}));
  EXPECT_EQ(at("WORD").name, "WORD");
  EXPECT_EQ(at("WORD").displayText, "LOWER");
}

TEST_F(Parsing, ComponentSetFoundByBaseNameInAnyCaseOrFails) {
  loadStore(R"({"format": "store", "sets": [{"key": "C:\\SETUP\\DEFAULT.CDF", "name": "x", "sections": {"Word": {}}}]})");
  ASSERT_TRUE(catalogue.parseComponents(store));
  EXPECT_EQ(keys(), Names{"WORD"});
  catalogue.release();
  loadStore(R"({"format": "store", "sets": [{"name": "value.shl", "sections": {"Data": {}}}]})");
  EXPECT_FALSE(catalogue.parseComponents(store));
}

TEST_F(Parsing, MemberCyclesAreRejected) {
  const char* cycles[] = {
      R"("Self": {"MEMBER1": "self"})",
      R"("A": {"MEMBER1": "B"}, "B": {"MEMBER1": "A"})",
      R"("Top": {"MEMBER1": "A"}, "A": {"MEMBER1": "B"}, "B": {"MEMBER1": "C", "MEMBER2": "Ghost"}, "C": {"MEMBER1": "a"})",
  };
  for (const char* sections : cycles) {
    SCOPED_TRACE(sections);
    EXPECT_FALSE(parse(sections));
    EXPECT_TRUE(catalogue.componentMap.empty());
  }
}

TEST_F(Parsing, SharedMembersAndRequiredCyclesAreNoCycle) {
  // A diamond of groups and a loop of REQUIRED links are legitimate.
  ASSERT_TRUE(parse(R"(
    "Top": {"MEMBER1": "Left", "MEMBER2": "Right"}, "Left": {"MEMBER1": "Shared"},
    "Right": {"MEMBER1": "Shared"}, "Shared": {"REQUIRED1": "Top"},
    "P": {"REQUIRED1": "Q"}, "Q": {"REQUIRED1": "P"})"));
  EXPECT_EQ(at("Shared").root, &at("Top"));
}

}  // namespace
}  // namespace cvl::test
