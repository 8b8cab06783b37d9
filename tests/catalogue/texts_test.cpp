// The texts the user sees, and the core-file set.
#include "catalogue_fixture.h"

namespace cvl::test {
namespace {

class Texts : public CatalogueTest {};

TEST_F(Texts, DisplayTextFallsBackFromDataToKeyToName) {
  build(R"(
    "Word": {"DISPLAYTEXT": "Word_Title", "DESCRIPTION": "Word_Desc"},
    "Excel": {"DISPLAYTEXT": "Excel_Title"},
    "Draw": {"DISPLAYTEXT": "Draw_Title", "DESCRIPTION": "Nowhere"},
    "Blank": {"DISPLAYTEXT": "Blank_Title"},
    "Nameless": {},
    "TopComponents": {})",
            R"("WORD_TITLE": "Corvel Word \t \r\n", "WORD_DESC": "Writes letters.  ",
               "excel_title": "Corvel Sheet", "BLANK_TITLE": "   ")");
  EXPECT_EQ(catalogue.displayTextOf(at("Word")), "Corvel Word");
  EXPECT_EQ(catalogue.descriptionOf(at("Word")), "Writes letters.");
  EXPECT_EQ(catalogue.displayTextOf(at("Excel")), "EXCEL_TITLE") << "data keys match only in upper case";
  EXPECT_EQ(catalogue.displayTextOf(at("Blank")), "BLANK_TITLE");
  EXPECT_EQ(catalogue.displayTextOf(at("Nameless")), "Nameless");
  EXPECT_EQ(catalogue.descriptionOf(at("Draw")), "");
  EXPECT_EQ(catalogue.descriptionOf(at("Excel")), "");
}

// Data strings keep their keys' and values' spelling; core files are the
// upper-cased keys.
TEST_F(Texts, DataStringsAndCoreFilesAsStored) {
  build(R"("TopComponents": {})", R"("Mixed_Key": " value kept ", "OTHER": "x")",
        R"("msvcrt.dll": "ignored", "OLE32.DLL": "", "Comctl32.ocx": "1")");
  EXPECT_EQ(catalogue.dataStrings.at("Mixed_Key"), " value kept ");
  EXPECT_EQ(catalogue.dataStrings.size(), 2u);
  EXPECT_EQ(catalogue.coreFiles, (std::set<std::string>{"COMCTL32.OCX", "MSVCRT.DLL", "OLE32.DLL"}));
}

TEST_F(Texts, MissingSetsOrSectionsFail) {
  loadStore(R"({"format": "store", "sets": [
      {"name": "value.shl", "sections": {"data": {}}},
      {"name": "corecomp.ini", "sections": {"Win16": {}}}]})");
  EXPECT_TRUE(catalogue.loadDataStrings(store)) << "section found in any case";
  EXPECT_FALSE(catalogue.loadCoreFiles(store));
  loadStore(R"({"format": "store", "sets": []})");
  EXPECT_FALSE(catalogue.loadDataStrings(store));
  EXPECT_FALSE(catalogue.loadCoreFiles(store));
}

TEST_F(Texts, ReleaseEmptiesEverything) {
  build(R"("Word": {)" OFFERED R"(}, "TopComponents": {"Item1": "Word"})", R"("A": "b")", R"("X.DLL": "")");
  catalogue.release();
  EXPECT_TRUE(catalogue.componentMap.empty());
  EXPECT_TRUE(catalogue.topComponents.empty() && catalogue.dataStrings.empty() && catalogue.coreFiles.empty());
  EXPECT_EQ(&cvl::catalogue(), &cvl::catalogue());
}

}  // namespace
}  // namespace cvl::test
