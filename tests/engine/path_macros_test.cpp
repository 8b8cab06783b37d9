#include <gtest/gtest.h>

#include "uninstaller/engine/path_macros.h"

using namespace cvl;

namespace {

std::string expanded(std::string path, const PathMacros& macros) {
  expandPathMacros(path, macros);
  return path;
}

const PathMacros kMacros = {
    {"<TARGETDIR>", "C:\\PROGRAM FILES\\CORVEL\\"},
    {"<WINSYSDIR>", "C:\\WINDOWS\\SYSTEM"},
    {"<TOOLS>", "<TARGETDIR>\\TOOLS"},
    {"<EMPTY>", ""},
};

}  // namespace

TEST(ExpandPathMacros, JoinsValueAndRestWithOneBackslash) {
  EXPECT_EQ(expanded("<TARGETDIR>\\BIN\\", kMacros), "C:\\PROGRAM FILES\\CORVEL\\BIN\\");
  EXPECT_EQ(expanded("<WINSYSDIR>\\a.dll", kMacros), "C:\\WINDOWS\\SYSTEM\\a.dll");
  EXPECT_EQ(expanded("<TARGETDIR>", kMacros), "C:\\PROGRAM FILES\\CORVEL\\");
  EXPECT_EQ(expanded("C:\\PLAIN\\PATH\\", kMacros), "C:\\PLAIN\\PATH\\");
}

TEST(ExpandPathMacros, ExpandsMacrosInsideValuesAndSeveralInARow) {
  EXPECT_EQ(expanded("<TOOLS>\\x.exe", kMacros), "C:\\PROGRAM FILES\\CORVEL\\TOOLS\\x.exe");
  EXPECT_EQ(expanded("<WINSYSDIR>\\<TARGETDIR>", kMacros), "C:\\WINDOWS\\SYSTEM\\C:\\PROGRAM FILES\\CORVEL\\");
}

TEST(ExpandPathMacros, UnknownMacroEmptiesThePathWhereverItStands) {
  EXPECT_EQ(expanded("<NOWHERE>\\BIN\\", kMacros), "");
  // Dropping only the macro would name C:\BIN\a.dll, which the installer never wrote.
  EXPECT_EQ(expanded("C:\\<NOWHERE>\\BIN\\a.dll", kMacros), "");
  EXPECT_EQ(expanded("<TARGETDIR>\\<targetdir>\\", kMacros), "");  // looked up exactly as written
}

TEST(ExpandPathMacros, EmptyValueAtTheStartEmptiesThePath) {
  EXPECT_EQ(expanded("<EMPTY>\\BIN", kMacros), "");
}

TEST(ExpandPathMacros, BracketsThatDoNotFormAMacroStay) {
  EXPECT_EQ(expanded("C:\\A>B\\<C", kMacros), "C:\\A>B\\<C");
  EXPECT_EQ(expanded("C:\\NO MACRO <", kMacros), "C:\\NO MACRO <");
}

TEST(ExpandPathMacros, SelfReferringTableEndsWithAnEmptyPath) {
  const PathMacros loop = {{"<A>", "<B>\\X"}, {"<B>", "<A>\\Y"}};
  EXPECT_EQ(expanded("<A>\\file", loop), "");
}
