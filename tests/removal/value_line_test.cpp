// Removing single values named by value lines, on every platform.
#include "removal_fixture.h"
#include "uninstaller/removal/delete_value_line.h"
#include "uninstaller/removal/value_line.h"

namespace cvl::test {
namespace {

TEST(ValueLineName, IsTheTextBeforeTheFirstEquals) {
  EXPECT_EQ(valueNameOfLine("Path=C:\\A=B"), "Path");
  EXPECT_EQ(valueNameOfLine("(Default)=Corvel"), "");
  EXPECT_EQ(valueNameOfLine("(DEFAULT)="), "");
  EXPECT_EQ(valueNameOfLine("C:\\PROGRAM FILES\\CORVEL\\A.DLL=0"), "C:\\PROGRAM FILES\\CORVEL\\A.DLL");
}

class ValueLine : public Removal {
 protected:
  bool remove(const std::string& prefix, const std::string& key, const std::string& line) {
    return deleteValueLine(platform(), keyPath(prefix, key), line);
  }
};

TEST_P(ValueLine, DeletesTheNamedValueOnlyAndTheDefaultLineTheUnnamedOne) {
  makeKey("K", {"Version", "Other", ""});
  EXPECT_TRUE(remove("HKCU", "K", "Version=1.0"));
  EXPECT_FALSE(hasValue(kUser, "K", "Version"));
  EXPECT_TRUE(hasValue(kUser, "K", "Other"));
  EXPECT_TRUE(hasKey(kUser, "K"));
  EXPECT_FALSE(remove("HKCU", "K", "Version=1.0")) << "already gone";
  EXPECT_TRUE(remove("HKCU", "K", "(Default)=Corvel"));
  EXPECT_FALSE(hasValue(kUser, "K", ""));
  EXPECT_TRUE(hasValue(kUser, "K", "Other"));
}

TEST_P(ValueLine, CommentsAndMalformedLinesNameNoValueAndDeleteNothing) {
  makeKey("K", {"", "Version", "----Comment----"});
  for (const char* line : {"----comment----=anything", "----Comment----=", "Version", "=1", ""}) {
    EXPECT_EQ(valueNameOfLine(line), std::nullopt) << line;
    EXPECT_FALSE(remove("HKCU", "K", line)) << line;
  }
  for (const char* name : {"", "Version", "----Comment----"}) EXPECT_TRUE(hasValue(kUser, "K", name)) << name;
}

TEST_P(ValueLine, MachineLineReachesTheUserCopyInAnyCaseAndWithATrailingBackslash) {
  makeKey("K", {}, kMachine);
  makeKey("K", {"OnlyHere"});
  EXPECT_TRUE(remove("HKLM", "K", "OnlyHere=x"));
  EXPECT_FALSE(hasValue(kUser, "K", "OnlyHere"));

  makeKey("K", {"Both", "A"}, kMachine);
  makeKey("K", {"Both"});
  EXPECT_TRUE(remove("HKLM", "K", "Both=x"));
  EXPECT_FALSE(hasValue(kMachine, "K", "Both"));
  EXPECT_FALSE(hasValue(kUser, "K", "Both"));
  EXPECT_TRUE(remove("hklm", "K\\", "a=1"));
  EXPECT_FALSE(hasValue(kMachine, "K", "A"));
}

// How shared-library counts are released: the value is named by a path. A
// missing key or a path without a backslash names nothing.
TEST_P(ValueLine, FileNamesAsValueNamesAndPathsThatNameNothing) {
  makeKey("SharedDLLs", {"C:\\Program Files\\Corvel\\Cvl.dll"}, kMachine);
  EXPECT_TRUE(remove("HKLM", "SharedDLLs", "C:\\PROGRAM FILES\\CORVEL\\CVL.DLL=0"));
  EXPECT_FALSE(hasValue(kMachine, "SharedDLLs", "C:\\Program Files\\Corvel\\Cvl.dll"));
  EXPECT_FALSE(remove("HKLM", "Missing", "A=1"));
  EXPECT_FALSE(deleteValueLine(platform(), "HKLM", "A=1"));
  EXPECT_FALSE(deleteValueLine(platform(), "\\HKLM\\Software", "A=1"));
}

CVL_REMOVAL_ON_EACH_PLATFORM(ValueLine);

}  // namespace
}  // namespace cvl::test
