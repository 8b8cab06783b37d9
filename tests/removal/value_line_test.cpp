// Removing single values named by value lines, on every platform.
#include "uninstaller/removal/delete_value_line.h"
#include "uninstaller/removal/value_line.h"
#include "world.h"

namespace cvl::test {
namespace {

using platform::RegRoot;

TEST(ValueLineName, TakesTheTextBeforeTheFirstEquals) {
  EXPECT_EQ(valueNameOfLine("Path=C:\\A=B"), "Path");
  EXPECT_EQ(valueNameOfLine("(Default)=Corvel"), "");
  EXPECT_EQ(valueNameOfLine("(DEFAULT)="), "");
  EXPECT_EQ(valueNameOfLine("C:\\PROGRAM FILES\\CORVEL\\A.DLL=0"), "C:\\PROGRAM FILES\\CORVEL\\A.DLL");
}

TEST(ValueLineName, LinesThatNameNoValue) {
  EXPECT_EQ(valueNameOfLine("----comment----=anything"), std::nullopt);
  EXPECT_EQ(valueNameOfLine("----Comment----="), std::nullopt);
  EXPECT_EQ(valueNameOfLine("Version"), std::nullopt);
  EXPECT_EQ(valueNameOfLine("=1"), std::nullopt);
  EXPECT_EQ(valueNameOfLine(""), std::nullopt);
}

class ValueLine : public OnEachPlatform {};

TEST_P(ValueLine, DeletesTheNamedValueOnly) {
  makeKey(RegRoot::CurrentUser, "K", {"Version", "Other"});
  EXPECT_TRUE(deleteValueLine(platform(), keyPath("HKCU", "K"), "Version=1.0"));
  EXPECT_FALSE(hasValue(RegRoot::CurrentUser, "K", "Version"));
  EXPECT_TRUE(hasValue(RegRoot::CurrentUser, "K", "Other"));
  EXPECT_TRUE(hasKey(RegRoot::CurrentUser, "K"));
  EXPECT_FALSE(deleteValueLine(platform(), keyPath("HKCU", "K"), "Version=1.0")) << "already gone";
}

TEST_P(ValueLine, DefaultLineDeletesTheUnnamedValue) {
  makeKey(RegRoot::CurrentUser, "K", {"", "Named"});
  EXPECT_TRUE(deleteValueLine(platform(), keyPath("HKCU", "K"), "(Default)=Corvel"));
  EXPECT_FALSE(hasValue(RegRoot::CurrentUser, "K", ""));
  EXPECT_TRUE(hasValue(RegRoot::CurrentUser, "K", "Named"));
}

TEST_P(ValueLine, CommentsAndMalformedLinesDeleteNothing) {
  makeKey(RegRoot::CurrentUser, "K", {"", "Version", "----Comment----"});
  for (const char* line : {"----comment----=anything", "Version", "=1", ""}) {
    EXPECT_FALSE(deleteValueLine(platform(), keyPath("HKCU", "K"), line)) << line;
  }
  EXPECT_TRUE(hasValue(RegRoot::CurrentUser, "K", ""));
  EXPECT_TRUE(hasValue(RegRoot::CurrentUser, "K", "Version"));
  EXPECT_TRUE(hasValue(RegRoot::CurrentUser, "K", "----Comment----"));
}

TEST_P(ValueLine, MachineLineReachesTheUserCopy) {
  makeKey(RegRoot::LocalMachine, "K");
  makeKey(RegRoot::CurrentUser, "K", {"OnlyHere"});
  EXPECT_TRUE(deleteValueLine(platform(), keyPath("HKLM", "K"), "OnlyHere=x"));
  EXPECT_FALSE(hasValue(RegRoot::CurrentUser, "K", "OnlyHere"));

  makeKey(RegRoot::LocalMachine, "K", {"Both"});
  makeKey(RegRoot::CurrentUser, "K", {"Both"});
  EXPECT_TRUE(deleteValueLine(platform(), keyPath("HKLM", "K"), "Both=x"));
  EXPECT_FALSE(hasValue(RegRoot::LocalMachine, "K", "Both"));
  EXPECT_FALSE(hasValue(RegRoot::CurrentUser, "K", "Both"));
}

TEST_P(ValueLine, PrefixInAnyCaseAndTrailingBackslash) {
  makeKey(RegRoot::LocalMachine, "K", {"A"});
  const std::string lowerPrefixed = keyPath("hklm", "K\\");
  EXPECT_TRUE(deleteValueLine(platform(), lowerPrefixed, "a=1"));
  EXPECT_FALSE(hasValue(RegRoot::LocalMachine, "K", "A"));
}

TEST_P(ValueLine, FileNamesAsValueNames) {
  // How shared-library counts are released: the value is named by a path.
  makeKey(RegRoot::LocalMachine, "SharedDLLs");
  platform::RegKeyPtr key;
  ASSERT_EQ(platform().registry().openKey(RegRoot::LocalMachine, subKey("SharedDLLs"), platform::access::kAllAccess, key),
            platform::kSuccess);
  key->setValue("C:\\Program Files\\Corvel\\Cvl.dll", platform::RegValue::dword(1));
  key.reset();
  EXPECT_TRUE(deleteValueLine(platform(), keyPath("HKLM", "SharedDLLs"), "C:\\PROGRAM FILES\\CORVEL\\CVL.DLL=0"));
  EXPECT_FALSE(hasValue(RegRoot::LocalMachine, "SharedDLLs", "C:\\Program Files\\Corvel\\Cvl.dll"));
}

TEST_P(ValueLine, MissingKeyOrPathWithoutBackslash) {
  EXPECT_FALSE(deleteValueLine(platform(), keyPath("HKLM", "Missing"), "A=1"));
  EXPECT_FALSE(deleteValueLine(platform(), "HKLM", "A=1"));
  EXPECT_FALSE(deleteValueLine(platform(), "\\HKLM\\Software", "A=1"));
}

CVL_ON_EACH_PLATFORM(ValueLine);

}  // namespace
}  // namespace cvl::test
