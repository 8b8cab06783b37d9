#include <gtest/gtest.h>

#include "uninstaller/engine/path_macros.h"

namespace cvl {
namespace {

std::string expanded(std::string path, const PathMacros& macros) {
  expandPathMacros(path, macros);
  return path;
}

TEST(ExpandPathMacros, ExpandsKnownMacrosAndEmptiesAPathWithAnUnknownOne) {
  const PathMacros macros = {{"<TARGETDIR>", "C:\\PROGRAM FILES\\CORVEL\\"},
                             {"<WINSYSDIR>", "C:\\WINDOWS\\SYSTEM"},
                             {"<TOOLS>", "<TARGETDIR>\\TOOLS"},
                             {"<EMPTY>", ""}};
  const std::pair<const char*, const char*> rows[] = {
      // Value and rest joined with one backslash.
      {"<TARGETDIR>\\BIN\\", "C:\\PROGRAM FILES\\CORVEL\\BIN\\"},
      {"<WINSYSDIR>\\a.dll", "C:\\WINDOWS\\SYSTEM\\a.dll"},
      {"<TARGETDIR>", "C:\\PROGRAM FILES\\CORVEL\\"},
      {"C:\\PLAIN\\PATH\\", "C:\\PLAIN\\PATH\\"},
      // Macros inside values, and several in a row.
      {"<TOOLS>\\x.exe", "C:\\PROGRAM FILES\\CORVEL\\TOOLS\\x.exe"},
      {"<WINSYSDIR>\\<TARGETDIR>", "C:\\WINDOWS\\SYSTEM\\C:\\PROGRAM FILES\\CORVEL\\"},
      // Dropping only an unknown macro would name C:\BIN\a.dll, which the installer never wrote.
      {"<NOWHERE>\\BIN\\", ""},
      {"C:\\<NOWHERE>\\BIN\\a.dll", ""},
      {"<TARGETDIR>\\<targetdir>\\", ""},  // looked up exactly as written
      {"<EMPTY>\\BIN", ""},
      // Brackets that do not form a macro stay.
      {"C:\\A>B\\<C", "C:\\A>B\\<C"},
      {"C:\\NO MACRO <", "C:\\NO MACRO <"},
  };
  for (const auto& [path, result] : rows) EXPECT_EQ(expanded(path, macros), result) << path;
  EXPECT_EQ(expanded("<A>\\file", {{"<A>", "<B>\\X"}, {"<B>", "<A>\\Y"}}), "") << "a table that refers to itself";
}

}  // namespace
}  // namespace cvl
