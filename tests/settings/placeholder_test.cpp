#include <gtest/gtest.h>

#include <string>

#include "platform/memory/memory_platform.h"
#include "settings/placeholders.h"

using namespace cvl::platform;
using cvl::settings::expandPlaceholders;

namespace {

constexpr const char* kShellFolders = "Software\\Microsoft\\windows\\CurrentVersion\\Explorer\\Shell Folders";

// A machine that knows nothing: no shell folders, no home variables, no
// shell-folder values; only the Windows directory and the names.
class Placeholders : public ::testing::Test {
 protected:
  void SetUp() override {
    machine.system().setUserName("u");
    machine.system().setComputerName("BOX");
    machine.system().setWindowsDirectory("C:\\WINDOWS");
  }

  std::string expand(std::string text) {
    expandPlaceholders(machine, text);
    return text;
  }

  MemorySystem& system() { return machine.system(); }
  void setHome(const std::string& drive, const std::string& path) {
    system().setEnvironment("HOMEDRIVE", drive);
    system().setEnvironment("HOMEPATH", path);
  }
  void setShellFolderValue(const std::string& name, const RegValue& value) {
    machine.registry().seedValue(RegRoot::CurrentUser, kShellFolders, name, value);
  }

  MemoryPlatform machine;
};

TEST_F(Placeholders, TextWithoutCompleteTokensPassesUnchanged) {
  EXPECT_EQ(expand(""), "");
  EXPECT_EQ(expand("C:\\Program Files\\Corvel"), "C:\\Program Files\\Corvel");
  EXPECT_EQ(expand("50% of 80"), "50% of 80");
  EXPECT_EQ(expand("100%"), "100%");
  EXPECT_EQ(expand("%"), "%");
  EXPECT_EQ(expand("%APPDATA"), "%APPDATA");
  EXPECT_EQ(expand("a%%b"), "a%%b");
  EXPECT_EQ(expand("%FOO%\\%TEMP%"), "%FOO%\\%TEMP%");
}

TEST_F(Placeholders, TokensPairUpFromTheLeft) {
  system().setSpecialFolder(csidl::kAppData, "D:\\AD");
  // "%x%APPDATA%" pairs as "%x%" then "APPDATA%..." — the second % opens nothing new.
  EXPECT_EQ(expand("%x%APPDATA%"), "%x%APPDATA%");
  EXPECT_EQ(expand("%x%%APPDATA%"), "%x%D:\\AD");
  EXPECT_EQ(expand("%APPDATA%%"), "D:\\AD%");
}

TEST_F(Placeholders, UserNameFallsBackToComputerName) {
  EXPECT_EQ(expand("%USERNAME%"), "u");
  EXPECT_EQ(expand("%username%\\x"), "u\\x");
  system().setUserName("");
  EXPECT_EQ(expand("%USERNAME%"), "BOX");
}

TEST_F(Placeholders, ShellFolderComesFirstWithoutDoubledBackslash) {
  system().setSpecialFolder(csidl::kAppData, "C:\\Users\\u\\AppData\\Roaming");
  system().setSpecialFolder(csidl::kPersonal, "C:\\Users\\u\\Documents\\");
  setHome("H:", "\\home");
  system().setEnvironment("USERPROFILE", "C:\\Users\\u");
  setShellFolderValue("AppData", RegValue::string("R:\\fromkey"));

  EXPECT_EQ(expand("%appdata%\\Temp"), "C:\\Users\\u\\AppData\\Roaming\\Temp");
  EXPECT_EQ(expand("%AppData%"), "C:\\Users\\u\\AppData\\Roaming");
  EXPECT_EQ(expand("%PERSONAL%"), "C:\\Users\\u\\Documents");
  // The shell is asked only for the two folders it knows.
  EXPECT_EQ(expand("%USERPROFILE%"), "C:\\Users\\u");
  EXPECT_EQ(expand("%HOMEDIR%"), "H:\\home");
}

TEST_F(Placeholders, EmptyShellFolderPathCountsAsUnknown) {
  system().setSpecialFolder(csidl::kPersonal, "");
  setHome("H:", "\\home");
  EXPECT_EQ(expand("%PERSONAL%"), "H:\\home\\Personal");
}

TEST_F(Placeholders, HomeVariablesServeFoldersWithTheirNamesAppended) {
  setHome("H:", "\\users\\u");
  EXPECT_EQ(expand("%APPDATA%"), "H:\\users\\u\\Application Data");
  EXPECT_EQ(expand("%PERSONAL%"), "H:\\users\\u\\Personal");
  EXPECT_EQ(expand("%HOMEDIR%"), "H:\\users\\u");
  // The profile has its own variable and never looks at the home folder.
  EXPECT_EQ(expand("%USERPROFILE%"), "C:\\WINDOWS\\Profiles\\u");
}

TEST_F(Placeholders, HomeAtTheDriveRootOrHalfAHomeStillGiveSensiblePaths) {
  setHome("H:", "\\");
  EXPECT_EQ(expand("%HOMEDIR%"), "H:");
  EXPECT_EQ(expand("%APPDATA%"), "H:\\Application Data");
  system().unsetEnvironment("HOMEDRIVE");
  system().setEnvironment("HOMEPATH", "\\only\\path");
  EXPECT_EQ(expand("%HOMEDIR%"), "\\only\\path");
  system().unsetEnvironment("HOMEPATH");
  system().setEnvironment("HOMEDRIVE", "Q:");
  EXPECT_EQ(expand("%HOMEDIR%"), "Q:");
}

TEST_F(Placeholders, ProfileVariableServesOnlyTheProfile) {
  system().setEnvironment("USERPROFILE", "C:\\Users\\u\\");
  EXPECT_EQ(expand("%USERPROFILE%\\x"), "C:\\Users\\u\\x");
  EXPECT_EQ(expand("%HOMEDIR%"), "C:\\WINDOWS\\Profiles\\u");
}

TEST_F(Placeholders, ShellFoldersKeyIsReadWhenTheEnvironmentGivesNothing) {
  setShellFolderValue("AppData", RegValue::string("C:\\Profiles\\u\\Application Data"));
  setShellFolderValue("Personal", RegValue::string("C:\\My Documents\\"));
  setShellFolderValue("HOMEDIR", RegValue::string("K:\\keyhome"));
  EXPECT_EQ(expand("%APPDATA%"), "C:\\Profiles\\u\\Application Data");
  EXPECT_EQ(expand("%PERSONAL%\\a.doc"), "C:\\My Documents\\a.doc");
  EXPECT_EQ(expand("%HOMEDIR%"), "K:\\keyhome");
}

TEST_F(Placeholders, EnvironmentComesBeforeTheShellFoldersKey) {
  setShellFolderValue("AppData", RegValue::string("R:\\fromkey"));
  setShellFolderValue("USERPROFILE", RegValue::string("R:\\profile"));
  setHome("H:", "\\home");
  system().setEnvironment("USERPROFILE", "P:\\profile");
  EXPECT_EQ(expand("%APPDATA%"), "H:\\home\\Application Data");
  EXPECT_EQ(expand("%USERPROFILE%"), "P:\\profile");
}

TEST_F(Placeholders, ShellFoldersValuesOfOtherTypesOrEmptyAreIgnored) {
  setShellFolderValue("AppData", RegValue::string("C:\\expand", RegType::ExpandSz));
  setShellFolderValue("Personal", RegValue::string(""));
  EXPECT_EQ(expand("%APPDATA%"), "C:\\WINDOWS\\Profiles\\u\\Application Data");
  EXPECT_EQ(expand("%PERSONAL%"), "C:\\WINDOWS\\Profiles\\u\\Personal");
}

TEST_F(Placeholders, WindowsDirectoryEndsTheChain) {
  EXPECT_EQ(expand("%PERSONAL%"), "C:\\WINDOWS\\Profiles\\u\\Personal");
  EXPECT_EQ(expand("%APPDATA%"), "C:\\WINDOWS\\Profiles\\u\\Application Data");
  EXPECT_EQ(expand("%USERPROFILE%"), "C:\\WINDOWS\\Profiles\\u");
  EXPECT_EQ(expand("%HOMEDIR%"), "C:\\WINDOWS\\Profiles\\u");
}

TEST_F(Placeholders, WindowsDirectoryFallbackWithoutUserNameLeavesItOut) {
  system().setUserName("");
  EXPECT_EQ(expand("%APPDATA%"), "C:\\WINDOWS\\Profiles\\Application Data");
  EXPECT_EQ(expand("%HOMEDIR%"), "C:\\WINDOWS\\Profiles");
  system().setWindowsDirectory("C:\\");
  EXPECT_EQ(expand("%PERSONAL%"), "C:\\Profiles\\Personal");
}

TEST_F(Placeholders, OverrideReplacesTheFolderPlaceholdersOnly) {
  system().setEnvironment("CvlHomeDir", "H:\\");
  system().setSpecialFolder(csidl::kAppData, "C:\\AD");
  EXPECT_EQ(expand("%APPDATA%\\x"), "H:\\x");
  EXPECT_EQ(expand("%HOMEDIR%"), "H:");
  EXPECT_EQ(expand("%FOO%"), "%FOO%");
  EXPECT_EQ(expand("a%%b"), "a%%b");
  EXPECT_EQ(expand("http://host/a%20b%20c"), "http://host/a%20b%20c");
  EXPECT_EQ(expand("%USERNAME%"), "u");
  EXPECT_EQ(expand("100%"), "100%");
  // Only one trailing backslash goes.
  system().setEnvironment("CvlHomeDir", "\\\\server\\share\\\\");
  EXPECT_EQ(expand("%HOMEDIR%"), "\\\\server\\share\\");
}

TEST_F(Placeholders, EmptyOrOversizedOverrideIsNoOverride) {
  const std::string fallback = "C:\\WINDOWS\\Profiles\\u";
  system().setEnvironment("CvlHomeDir", "");
  EXPECT_EQ(expand("%HOMEDIR%"), fallback);
  system().setEnvironment("CvlHomeDir", std::string(519, 'h'));
  EXPECT_EQ(expand("%HOMEDIR%"), std::string(519, 'h'));
  system().setEnvironment("CvlHomeDir", std::string(520, 'h'));
  EXPECT_EQ(expand("%HOMEDIR%"), fallback);
}

TEST_F(Placeholders, VariablesTooLongForTheirBuffersAreNotRead) {
  system().setEnvironment("HOMEDRIVE", "\\\\server\\share");
  system().setEnvironment("HOMEPATH", "\\u");
  EXPECT_EQ(expand("%HOMEDIR%"), "\\u");
  system().setEnvironment("USERPROFILE", "C:\\" + std::string(257, 'p'));
  EXPECT_EQ(expand("%USERPROFILE%"), "C:\\WINDOWS\\Profiles\\u");
}

TEST_F(Placeholders, SeveralPlaceholdersInOneText) {
  setHome("H:", "\\u");
  EXPECT_EQ(expand("%HOMEDIR%;%USERNAME%"), "H:\\u;u");
  EXPECT_EQ(expand("50% %USERNAME% 100%"), "50% %USERNAME% 100%");
  EXPECT_EQ(expand("[%USERNAME%] 100%"), "[u] 100%");
}

}  // namespace
