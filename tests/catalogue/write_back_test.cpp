// Writing the removed components back to the store as no longer selected.
#include "catalogue_fixture.h"

namespace cvl::test {
namespace {

class WriteBack : public CatalogueTest {
 protected:
  void SetUp() override {
    build(R"(
      "Word": {)" OFFERED R"(, "MEMBER1": "Spell"},
      "Spell": {"Selected": "Yes", "UNINSTALLABLE": "Yes", "INCLUDEINBUILD": "Yes"},
      "Excel": {)" OFFERED R"(},
      "TopComponents": {"Item1": "Word", "Item2": "Excel"})");
  }
  // The component sections as a fresh load of the file shows them.
  const CSection& reloaded(const std::string& section) {
    reloadedStore = std::make_unique<CConfigStore>();
    EXPECT_TRUE(reloadedStore->load(platform.files(), kStorePath));
    const CSection* found = reloadedStore->findSectionSet("default.cdf")->findSection(section);
    EXPECT_NE(found, nullptr) << section;
    static const CSection none;
    return found ? *found : none;
  }
  std::unique_ptr<CConfigStore> reloadedStore;
};

// A failed write is reported and leaves the file alone; a key spelled in
// another case gains a second one.
TEST_F(WriteBack, RemovedComponentsAreNoLongerSelected) {
  request({"Word"});
  const std::string original = *platform.files().content(kStorePath);
  platform.files().fail(kStorePath, platform::MemoryFileSystem::Op::Replace, platform::kAccessDenied);
  EXPECT_FALSE(writeBackSelection(catalogue, store, platform.files()));
  EXPECT_EQ(*platform.files().content(kStorePath), original);
  platform.files().clearFaults();

  ASSERT_TRUE(writeBackSelection(catalogue, store, platform.files()));
  EXPECT_EQ(*reloaded("Word").find("SELECTED"), "No");
  EXPECT_EQ(*reloaded("Excel").find("SELECTED"), "Yes");
  const CSection& spell = reloaded("Spell");
  EXPECT_EQ(*spell.find("Selected"), "Yes");
  EXPECT_EQ(*spell.find("SELECTED"), "No");
  EXPECT_EQ(reloadedStore->findSectionSet("default.cdf")->sections().size(), 4u) << "no new section";
}

// Of sections differing only in case the component is read from the last;
// the write-back marks that one, not the first found ignoring case, nor a
// list section whose name matches ignoring case.
TEST_F(CatalogueTest, TheSectionAComponentIsReadFromIsTheOneWrittenBack) {
  build(R"(
    "Word": {)" OFFERED R"(}, "WORD": {)" OFFERED R"(},
    "TopComponents": {"Item1": "Word"}, "TOPCOMPONENTS": {)" ELIGIBLE R"(})");
  request({"Word", "TopComponents"});
  ASSERT_TRUE(writeBackSelection(catalogue, store, platform.files()));
  CConfigStore written;
  Catalogue reread;
  ASSERT_TRUE(written.load(platform.files(), kStorePath));
  ASSERT_TRUE(reread.parseComponents(written));
  for (const auto& entry : reread.componentMap) EXPECT_FALSE(entry.component->selected) << entry.key;
  const CSectionSet& set = *written.findSectionSet("default.cdf");
  EXPECT_EQ(set.sections().find("TopComponents")->get()->size(), 1u) << "the list is left alone";
}

}  // namespace
}  // namespace cvl::test
