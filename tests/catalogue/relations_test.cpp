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

TEST_F(Relations, MembersOfAnOfferedTopGroupAreMarked) {
  build(R"(
    "Office": {)" OFFERED R"(, "MEMBER1": "Word", "MEMBER2": "Clipart", "MEMBER3": "Sub"},
    "Word": {)" ELIGIBLE R"(}, "Clipart": {"SELECTED": "Yes"},
    "Sub": {)" ELIGIBLE R"(, "MEMBER1": "Deep"}, "Deep": {)" ELIGIBLE R"(},
    "TopComponents": {"Item1": "office"})");
  EXPECT_TRUE(at("Word").marked);
  EXPECT_FALSE(at("Clipart").marked) << "not eligible";
  EXPECT_TRUE(at("Sub").marked);
  EXPECT_TRUE(at("Deep").marked) << "its root is an offered top component";
  EXPECT_TRUE(at("Office").marked) << "offered at the top";
}

TEST_F(Relations, MembersOfAHiddenTopGroupAreNotMarked) {
  build(R"(
    "Office": {)" ELIGIBLE R"(, "MEMBER1": "Word", "MEMBER2": "Sub"},
    "Word": {)" ELIGIBLE R"(}, "Sub": {)" ELIGIBLE R"(, "MEMBER1": "Deep"}, "Deep": {)" ELIGIBLE R"(},
    "TopComponents": {"Item1": "Office"})");
  EXPECT_FALSE(at("Word").marked);
  EXPECT_FALSE(at("Sub").marked);
  EXPECT_FALSE(at("Deep").marked);
  EXPECT_FALSE(at("Office").marked);
}

TEST_F(Relations, MembersOfANeededGroupAreMarked) {
  // Viewer is needed by Reader: its members must not follow it away on a
  // request from Reader alone.
  build(R"(
    "Viewer": {)" ELIGIBLE R"(, "MEMBER1": "Fonts", "REQUIREDBY1": "Reader"},
    "Fonts": {)" ELIGIBLE R"(}, "Reader": {)" ELIGIBLE R"(},
    "Suite": {"MEMBER1": "Tools"}, "Tools": {)" ELIGIBLE R"(, "MEMBER1": "Macros", "REQUIREDBY1": "Reader"},
    "Macros": {)" ELIGIBLE R"(},
    "Outer": {"MEMBER1": "Middle"}, "Middle": {)" ELIGIBLE R"(, "MEMBER1": "Inner", "REQUIREDBY1": "Reader"},
    "Inner": {)" ELIGIBLE R"(, "MEMBER1": "Leaf"}, "Leaf": {)" ELIGIBLE R"(},
    "TopComponents": {})");
  EXPECT_TRUE(at("Fonts").marked) << "group without parent, needed";
  EXPECT_TRUE(at("Macros").marked) << "group with a parent, needed";
  EXPECT_TRUE(at("Leaf").marked) << "an ancestor below the root is needed";
  EXPECT_FALSE(at("Reader").marked);
  EXPECT_TRUE(at("Inner").marked) << "member of a needed group";
  EXPECT_FALSE(at("Outer").marked);
}

TEST_F(Relations, NeededRootDoesNotMarkDeeperMembers) {
  // The ancestor test stops below the root.
  build(R"(
    "Root": {)" ELIGIBLE R"(, "MEMBER1": "Mid", "REQUIREDBY1": "User"},
    "Mid": {)" ELIGIBLE R"(, "MEMBER1": "Leaf"}, "Leaf": {)" ELIGIBLE R"(}, "User": {)" ELIGIBLE R"(},
    "TopComponents": {})");
  EXPECT_TRUE(at("Mid").marked);
  EXPECT_FALSE(at("Leaf").marked);
}

}  // namespace
}  // namespace cvl::test
