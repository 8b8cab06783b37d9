#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "settings/placeholders.h"

using namespace cvl::platform;

namespace {

constexpr const char* kShellFolders = "Software\\Microsoft\\windows\\CurrentVersion\\Explorer\\Shell Folders";

// A machine that knows nothing: no shell folders, no home variables, no
// shell-folder values; only the Windows directory and the names.
class Placeholders : public ::testing::Test {
 protected:
  void SetUp() override {
    system.setUserName("u");
    system.setComputerName("BOX");
    system.setWindowsDirectory("C:\\WINDOWS");
  }
  std::string expand(std::string text) {
    cvl::settings::expandPlaceholders(machine, text);
    return text;
  }
  void setHome(const std::string& drive, const std::string& path) {
    system.setEnvironment("HOMEDRIVE", drive);
    system.setEnvironment("HOMEPATH", path);
  }
  void setShellFolderValue(const std::string& name, const RegValue& value) {
    machine.registry().seedValue(RegRoot::CurrentUser, kShellFolders, name, value);
  }

  MemoryPlatform machine;
  MemorySystem& system = machine.system();
};

TEST_F(Placeholders, TokensPairUpFromTheLeftAndIncompleteOnesPassUnchanged) {
  for (const char* text : {"", "C:\\Program Files\\Corvel", "50% of 80", "100%", "%", "%APPDATA", "a%%b",
                           "%FOO%\\%TEMP%", "50% %USERNAME% 100%"}) {
    EXPECT_EQ(expand(text), text);
  }
  EXPECT_EQ(expand("[%USERNAME%] 100%"), "[u] 100%");
  setHome("H:", "\\u");
  EXPECT_EQ(expand("%HOMEDIR%;%USERNAME%"), "H:\\u;u");
  system.setSpecialFolder(csidl::kAppData, "D:\\AD");
  // "%x%APPDATA%" pairs as "%x%" then "APPDATA%..." — the second % opens nothing new.
  EXPECT_EQ(expand("%x%APPDATA%"), "%x%APPDATA%");
  EXPECT_EQ(expand("%x%%APPDATA%"), "%x%D:\\AD");
  EXPECT_EQ(expand("%APPDATA%%"), "D:\\AD%");
}

TEST_F(Placeholders, ShellFolderComesFirstWithoutDoubledBackslashUnlessItsPathIsEmpty) {
  system.setSpecialFolder(csidl::kAppData, "C:\\Users\\u\\AppData\\Roaming");
  system.setSpecialFolder(csidl::kPersonal, "C:\\Users\\u\\Documents\\");
  setHome("H:", "\\home");
  system.setEnvironment("USERPROFILE", "C:\\Users\\u");
  setShellFolderValue("AppData", RegValue::string("R:\\fromkey"));
  EXPECT_EQ(expand("%appdata%\\Temp"), "C:\\Users\\u\\AppData\\Roaming\\Temp");
  EXPECT_EQ(expand("%AppData%"), "C:\\Users\\u\\AppData\\Roaming");
  EXPECT_EQ(expand("%PERSONAL%"), "C:\\Users\\u\\Documents");
  // The shell is asked only for the two folders it knows.
  EXPECT_EQ(expand("%USERPROFILE%"), "C:\\Users\\u");
  EXPECT_EQ(expand("%HOMEDIR%"), "H:\\home");
  system.setSpecialFolder(csidl::kPersonal, "");
  EXPECT_EQ(expand("%PERSONAL%"), "H:\\home\\Personal");
}

// The profile has its own variable, and never looks at the home folder.
TEST_F(Placeholders, HomeVariablesServeFoldersWithTheirNamesAppendedAndTheProfileItsOwn) {
  system.setEnvironment("USERPROFILE", "C:\\Users\\u\\");
  EXPECT_EQ(expand("%USERPROFILE%\\x"), "C:\\Users\\u\\x");
  EXPECT_EQ(expand("%HOMEDIR%"), "C:\\WINDOWS\\Profiles\\u");
  system.unsetEnvironment("USERPROFILE");

  setHome("H:", "\\users\\u");
  EXPECT_EQ(expand("%APPDATA%"), "H:\\users\\u\\Application Data");
  EXPECT_EQ(expand("%PERSONAL%"), "H:\\users\\u\\Personal");
  EXPECT_EQ(expand("%HOMEDIR%"), "H:\\users\\u");
  EXPECT_EQ(expand("%USERPROFILE%"), "C:\\WINDOWS\\Profiles\\u");
  // Home at the drive root, or half a home, still gives sensible paths.
  setHome("H:", "\\");
  EXPECT_EQ(expand("%HOMEDIR%"), "H:");
  EXPECT_EQ(expand("%APPDATA%"), "H:\\Application Data");
  system.unsetEnvironment("HOMEDRIVE");
  system.setEnvironment("HOMEPATH", "\\only\\path");
  EXPECT_EQ(expand("%HOMEDIR%"), "\\only\\path");
  system.unsetEnvironment("HOMEPATH");
  system.setEnvironment("HOMEDRIVE", "Q:");
  EXPECT_EQ(expand("%HOMEDIR%"), "Q:");
  // Variables too long for their buffers are not read.
  setHome("\\\\server\\share", "\\u");
  EXPECT_EQ(expand("%HOMEDIR%"), "\\u");
  system.setEnvironment("USERPROFILE", "C:\\" + std::string(257, 'p'));
  EXPECT_EQ(expand("%USERPROFILE%"), "C:\\WINDOWS\\Profiles\\u");
}

TEST_F(Placeholders, ShellFoldersKeyIsReadWhenTheEnvironmentGivesNothing) {
  setShellFolderValue("AppData", RegValue::string("C:\\Profiles\\u\\Application Data"));
  setShellFolderValue("Personal", RegValue::string("C:\\My Documents\\"));
  setShellFolderValue("HOMEDIR", RegValue::string("K:\\keyhome"));
  EXPECT_EQ(expand("%APPDATA%"), "C:\\Profiles\\u\\Application Data");
  EXPECT_EQ(expand("%PERSONAL%\\a.doc"), "C:\\My Documents\\a.doc");
  EXPECT_EQ(expand("%HOMEDIR%"), "K:\\keyhome");
  // Values of other types, or empty, are ignored.
  setShellFolderValue("AppData", RegValue::string("C:\\expand", RegType::ExpandSz));
  setShellFolderValue("Personal", RegValue::string(""));
  EXPECT_EQ(expand("%APPDATA%"), "C:\\WINDOWS\\Profiles\\u\\Application Data");
  EXPECT_EQ(expand("%PERSONAL%"), "C:\\WINDOWS\\Profiles\\u\\Personal");
  // The environment comes first.
  setShellFolderValue("AppData", RegValue::string("R:\\fromkey"));
  setShellFolderValue("USERPROFILE", RegValue::string("R:\\profile"));
  setHome("H:", "\\home");
  system.setEnvironment("USERPROFILE", "P:\\profile");
  EXPECT_EQ(expand("%APPDATA%"), "H:\\home\\Application Data");
  EXPECT_EQ(expand("%USERPROFILE%"), "P:\\profile");
}

// The user name falls back to the computer name, but not in folders.
TEST_F(Placeholders, WindowsDirectoryEndsTheChainWithoutAMissingUserName) {
  EXPECT_EQ(expand("%username%\\x"), "u\\x");
  EXPECT_EQ(expand("%PERSONAL%"), "C:\\WINDOWS\\Profiles\\u\\Personal");
  EXPECT_EQ(expand("%APPDATA%"), "C:\\WINDOWS\\Profiles\\u\\Application Data");
  EXPECT_EQ(expand("%USERPROFILE%"), "C:\\WINDOWS\\Profiles\\u");
  EXPECT_EQ(expand("%HOMEDIR%"), "C:\\WINDOWS\\Profiles\\u");
  system.setUserName("");
  EXPECT_EQ(expand("%USERNAME%"), "BOX");
  EXPECT_EQ(expand("%APPDATA%"), "C:\\WINDOWS\\Profiles\\Application Data");
  EXPECT_EQ(expand("%HOMEDIR%"), "C:\\WINDOWS\\Profiles");
  system.setWindowsDirectory("C:\\");
  EXPECT_EQ(expand("%PERSONAL%"), "C:\\Profiles\\Personal");
}

TEST_F(Placeholders, OverrideReplacesTheFolderPlaceholdersOnlyUnlessEmptyOrOversized) {
  system.setEnvironment("CvlHomeDir", "H:\\");
  system.setSpecialFolder(csidl::kAppData, "C:\\AD");
  EXPECT_EQ(expand("%APPDATA%\\x"), "H:\\x");
  EXPECT_EQ(expand("%HOMEDIR%"), "H:");
  for (const char* text : {"%FOO%", "a%%b", "http://host/a%20b%20c", "100%"}) EXPECT_EQ(expand(text), text);
  EXPECT_EQ(expand("%USERNAME%"), "u");
  // Only one trailing backslash goes.
  system.setEnvironment("CvlHomeDir", "\\\\server\\share\\\\");
  EXPECT_EQ(expand("%HOMEDIR%"), "\\\\server\\share\\");

  const std::string fallback = "C:\\WINDOWS\\Profiles\\u";
  system.setEnvironment("CvlHomeDir", "");
  EXPECT_EQ(expand("%HOMEDIR%"), fallback);
  system.setEnvironment("CvlHomeDir", std::string(519, 'h'));
  EXPECT_EQ(expand("%HOMEDIR%"), std::string(519, 'h'));
  system.setEnvironment("CvlHomeDir", std::string(520, 'h'));
  EXPECT_EQ(expand("%HOMEDIR%"), fallback);
}

}  // namespace
