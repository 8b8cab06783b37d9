// Links between components: dependents, groups, roots and which members
// need a request of their own.
#include "catalogue_fixture.h"

namespace cvl::test {
namespace {

class Relations : public CatalogueTest {};

TEST_F(Relations, DependentsCountOnlyInstalledRemovableComponents) {
  build(R"(
    "Shared": {"REQUIREDBY1": "Word", "REQUIREDBY2": "Excel", "REQUIREDBY3": "Draw",
               "REQUIREDBY4": "Ghost", "REQUIREDBY5": "Pinned"},
    "Word": {)" ELIGIBLE R"(}, "Excel": {)" ELIGIBLE R"(},
    "Draw": {"SELECTED": "No", "UNINSTALLABLE": "Yes", "INCLUDEINBUILD": "Yes"},
    "Pinned": {"SELECTED": "Yes", "UNINSTALLABLE": "No", "INCLUDEINBUILD": "Yes"},
    "TopComponents": {})");
  EXPECT_EQ(at("Shared").dependents, 2);
}

TEST_F(Relations, ParentIsTheLastGroupNamingTheMemberAndRootTheTopmost) {
  build(R"(
    "Suite": {"MEMBER1": "Office"}, "Office": {"MEMBER1": "Word", "MEMBER2": "Ghost"},
    "Tools": {"MEMBER1": "Word"}, "Word": {}, "Loner": {}, "TopComponents": {})");
  EXPECT_EQ(at("Word").parent, &at("Tools"));
  EXPECT_EQ(at("Word").root, &at("Tools"));
  EXPECT_EQ(at("Office").parent, &at("Suite"));
  EXPECT_EQ(at("Office").root, &at("Suite"));
  EXPECT_EQ(at("Loner").root, &at("Loner"));
}

// The components marked by the relation passes, each catalogue built afresh.
TEST_F(Relations, MembersOfOfferedTopGroupsAndOfNeededGroupsAreMarked) {
  const std::pair<std::string, Names> cases[] = {
      // Clipart is not eligible; Deep's root is an offered top component;
      // Office itself is marked as offered at the top.
      {R"("Office": {)" OFFERED R"(, "MEMBER1": "Word", "MEMBER2": "Clipart", "MEMBER3": "Sub"},
          "Word": {)" ELIGIBLE R"(}, "Clipart": {"SELECTED": "Yes"},
          "Sub": {)" ELIGIBLE R"(, "MEMBER1": "Deep"}, "Deep": {)" ELIGIBLE R"(},
          "TopComponents": {"Item1": "office"})",
       {"OFFICE", "WORD", "SUB", "DEEP"}},
      // The same top group hidden marks nothing.
      {R"("Office": {)" ELIGIBLE R"(, "MEMBER1": "Word", "MEMBER2": "Sub"},
          "Word": {)" ELIGIBLE R"(}, "Sub": {)" ELIGIBLE R"(, "MEMBER1": "Deep"}, "Deep": {)" ELIGIBLE R"(},
          "TopComponents": {"Item1": "Office"})",
       {}},
      // Groups needed by Reader must not lose their members on a request
      // from Reader alone: a group without parent (Viewer), one with a
      // parent (Tools), and a member (Inner) of a needed group whose own
      // member Leaf has that needed ancestor below the root.
      {R"("Viewer": {)" ELIGIBLE R"(, "MEMBER1": "Fonts", "REQUIREDBY1": "Reader"},
          "Fonts": {)" ELIGIBLE R"(}, "Reader": {)" ELIGIBLE R"(},
          "Suite": {"MEMBER1": "Tools"}, "Tools": {)" ELIGIBLE R"(, "MEMBER1": "Macros", "REQUIREDBY1": "Reader"},
          "Macros": {)" ELIGIBLE R"(},
          "Outer": {"MEMBER1": "Middle"}, "Middle": {)" ELIGIBLE R"(, "MEMBER1": "Inner", "REQUIREDBY1": "Reader"},
          "Inner": {)" ELIGIBLE R"(, "MEMBER1": "Leaf"}, "Leaf": {)" ELIGIBLE R"(},
          "TopComponents": {})",
       {"FONTS", "MACROS", "INNER", "LEAF"}},
      // A needed root marks its members, but the ancestor test stops below
      // the root, so Leaf is not marked.
      {R"("Root": {)" ELIGIBLE R"(, "MEMBER1": "Mid", "REQUIREDBY1": "User"},
          "Mid": {)" ELIGIBLE R"(, "MEMBER1": "Leaf"}, "Leaf": {)" ELIGIBLE R"(}, "User": {)" ELIGIBLE R"(},
          "TopComponents": {})",
       {"MID"}},
  };
  for (const auto& [sections, markedNow] : cases) {
    SCOPED_TRACE(sections);
    catalogue.release();
    build(sections);
    EXPECT_EQ(marked(), markedNow);
  }
}

}  // namespace
}  // namespace cvl::test
