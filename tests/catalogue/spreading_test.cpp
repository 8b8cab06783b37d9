// How a removal request spreads through groups and dependencies. A wrong
// answer here removes what other programs still need, or leaves what the
// user asked to remove.
#include "catalogue_fixture.h"

namespace cvl::test {
namespace {

class Spreading : public CatalogueTest {};

// A suite of two offered programs that share a library, a third program
// that needs the library too, and a group of tools below one program.
constexpr const char* kSuite = R"(
    "Word": {)" OFFERED R"(, "REQUIRED1": "Shared", "MEMBER1": "Spell", "MEMBER2": "Thesaurus"},
    "Excel": {)" OFFERED R"(, "REQUIRED1": "Shared"},
    "Draw": {)" OFFERED R"(, "REQUIRED1": "Shared"},
    "Shared": {)" ELIGIBLE R"(, "REQUIREDBY1": "Word", "REQUIREDBY2": "Excel", "REQUIREDBY3": "Draw"},
    "Spell": {)" ELIGIBLE R"(},
    "Thesaurus": {"SELECTED": "Yes", "INCLUDEINBUILD": "Yes"},
    "TopComponents": {"Item1": "Word", "Item2": "Excel", "Item3": "Draw"})";

TEST_F(Spreading, SharedComponentStaysWhileAnyDependentStays) {
  build(kSuite);
  ASSERT_EQ(at("Shared").dependents, 3);
  request({"Word", "Excel"});
  EXPECT_EQ(at("Shared").removalRequests, 2);
  EXPECT_EQ(due(), (Names{"WORD", "EXCEL", "SPELL"}));
}

TEST_F(Spreading, SharedComponentGoesWithItsLastDependent) {
  build(kSuite);
  request({"Word", "Excel", "Draw"});
  EXPECT_EQ(due(), (Names{"WORD", "EXCEL", "DRAW", "SHARED", "SPELL"}));
}

TEST_F(Spreading, RepeatedRequestsFromOneDependentCountOnce) {
  build(kSuite);
  request({"Word", "Word", "Word"});
  EXPECT_EQ(at("Shared").removalRequests, 1);
  EXPECT_FALSE(at("Shared").isDueForRemoval());
  EXPECT_EQ(at("Spell").removalRequests, 3) << "members hear every request of a due group";
}

TEST_F(Spreading, IneligibleMemberIsNeverAsked) {
  build(kSuite);
  request({"Word"});
  EXPECT_EQ(at("Thesaurus").removalRequests, 0);
  EXPECT_FALSE(at("Thesaurus").isDueForRemoval());
}

TEST_F(Spreading, DependentThatIsNotInstalledDoesNotHoldTheSharedComponent) {
  std::string sections = kSuite;
  const std::string installed = R"("Draw": {"SELECTED": "Yes")";
  sections.replace(sections.find(installed), installed.size(), R"("Draw": {"SELECTED": "No")");
  build(sections);
  EXPECT_EQ(at("Shared").dependents, 2);
  request({"Word", "Excel"});
  EXPECT_TRUE(at("Shared").isDueForRemoval());
}

// A group whose members the user sees (EXPAND) and a closed one.
constexpr const char* kGroups = R"(
    "Office": {)" OFFERED R"(, "MISC": "EXPAND", "MEMBER1": "Writer", "MEMBER2": "Sheet"},
    "Writer": {)" OFFERED R"(}, "Sheet": {)" OFFERED R"(},
    "Graphics": {)" OFFERED R"(, "MEMBER1": "Paint", "MEMBER2": "Filters"},
    "Paint": {)" ELIGIBLE R"(}, "Filters": {)" ELIGIBLE R"(, "REQUIREDBY1": "Publisher"},
    "Publisher": {)" OFFERED R"(, "REQUIRED1": "Filters"},
    "TopComponents": {"Item1": "Office", "Item2": "Graphics", "Item3": "Publisher"})";

TEST_F(Spreading, WholeGroupTakesItsMembers) {
  build(kGroups);
  request({"Office"});
  EXPECT_EQ(due(), (Names{"OFFICE", "WRITER", "SHEET"}));
}

TEST_F(Spreading, OneMemberOfAnExpandedGroupGoesAlone) {
  build(kGroups);
  request({"Writer"});
  EXPECT_EQ(due(), Names{"WRITER"});
}

TEST_F(Spreading, MemberAlsoNeededElsewhereWaitsForBoth) {
  build(kGroups);
  ASSERT_TRUE(at("Filters").marked);
  ASSERT_EQ(at("Filters").dependents, 1);

  request({"Graphics"});
  EXPECT_EQ(due(), (Names{"GRAPHICS", "PAINT"})) << "Publisher still needs Filters";
}

TEST_F(Spreading, DependentAloneDoesNotTakeAMarkedMember) {
  build(kGroups);
  request({"Publisher"});
  EXPECT_EQ(due(), Names{"PUBLISHER"}) << "Filters was not asked for by its own group";
  request({"Graphics"});
  EXPECT_EQ(due(), (Names{"GRAPHICS", "PAINT", "FILTERS", "PUBLISHER"}));
}

TEST_F(Spreading, RequiredChainStopsWhereSomethingElseStillNeedsIt) {
  build(R"(
    "App": {)" OFFERED R"(, "REQUIRED1": "Runtime"},
    "Runtime": {)" ELIGIBLE R"(, "REQUIREDBY1": "App", "REQUIRED1": "Core"},
    "Core": {)" ELIGIBLE R"(, "REQUIREDBY1": "Runtime", "REQUIREDBY2": "Other", "REQUIRED1": "Base"},
    "Base": {)" ELIGIBLE R"(, "REQUIREDBY1": "Core"},
    "Other": {)" OFFERED R"(, "REQUIRED1": "Core"},
    "TopComponents": {"Item1": "App", "Item2": "Other"})");
  request({"App"});
  EXPECT_EQ(due(), (Names{"APP", "RUNTIME"}));
  EXPECT_EQ(at("Base").removalRequests, 0);
  request({"Other"});
  EXPECT_EQ(due(), (Names{"APP", "RUNTIME", "CORE", "BASE", "OTHER"}));
}

TEST_F(Spreading, RequiredComponentsAreAskedWhateverTheirFlags) {
  build(R"(
    "App": {)" OFFERED R"(, "REQUIRED1": "Helper"},
    "Helper": {"REQUIRED1": "Deeper"}, "Deeper": {},
    "TopComponents": {"Item1": "App"})");
  request({"App"});
  EXPECT_EQ(at("Helper").removalRequests, 1);
  EXPECT_EQ(at("Deeper").removalRequests, 1);
}

TEST_F(Spreading, RequiredLoopEndsWithEachLinkUsedOnce) {
  build(R"(
    "A": {)" OFFERED R"(, "REQUIRED1": "B", "MEMBER1": "M"},
    "B": {)" ELIGIBLE R"(, "REQUIRED1": "A", "REQUIREDBY1": "A"}, "M": {)" ELIGIBLE R"(},
    "TopComponents": {"Item1": "A"})");
  request({"A"});
  EXPECT_EQ(at("A").removalRequests, 2) << "the user's request and B's";
  EXPECT_EQ(at("B").removalRequests, 1);
  EXPECT_EQ(at("M").removalRequests, 2);
  EXPECT_EQ(due(), (Names{"A", "B", "M"}));
}

TEST_F(Spreading, NamesThatNameNothingAreSkipped) {
  build(R"(
    "App": {)" OFFERED R"(, "REQUIRED1": "Ghost", "MEMBER1": "Phantom", "REQUIREDBY1": "Spectre"},
    "TopComponents": {"Item1": "App", "Item2": "Wraith"})");
  EXPECT_EQ(at("App").dependents, 0);
  request({"App"});
  EXPECT_EQ(due(), Names{"APP"});
  EXPECT_EQ(catalogue.topComponents, Names{"APP"});
}

TEST_F(Spreading, MarkedComponentNeedsItsOwnRequestPlusEveryDependent) {
  build(R"("Lib": {)" ELIGIBLE R"(, "REQUIREDBY1": "X", "REQUIREDBY2": "Y"},
           "X": {)" ELIGIBLE R"(}, "Y": {)" ELIGIBLE R"(}, "TopComponents": {})");
  CComponent& lib = at("Lib");
  lib.marked = true;
  EXPECT_FALSE(lib.isDueForRemoval()) << "no request yet";
  lib.requestRemoval();
  lib.requestRemoval();
  EXPECT_FALSE(lib.isDueForRemoval());
  lib.requestRemoval();
  EXPECT_TRUE(lib.isDueForRemoval());
}

}  // namespace
}  // namespace cvl::test
