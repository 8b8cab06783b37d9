// Cvlunst2.exe under Wine on logs whose names mean one thing as text and
// another to Windows: each logged entry aims at something of another
// program's, which must outlive the removal.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "platform/win32/win32_platform.h"
#include "tests/support/child_process.h"
#include "tests/support/installation/installation.h"

namespace cvl::test {
namespace {

using namespace std::string_literals;

const std::string kRoot = "C:\\cvl-names";
constexpr const char* kOtherVendor = "Software\\CvlOtherVendor";

fixture::Installation namesSuite() {
  fixture::Installation suite;
  suite.uninstallDir = kRoot + "\\Uninstall\\";
  suite.targetDir = kRoot + "\\Program Files";
  suite.programsFolder = kRoot + "\\Programs";
  fixture::Component app;
  app.name = "APP";
  app.displayText = "App";
  app.fileGroups = {"APP_FILES"};
  suite.components = {app};
  suite.topComponents = {"APP"};
  fixture::FileGroup files;
  files.name = "APP_FILES";
  files.files = {"app.exe"};
  suite.groups = {files};
  suite.pathMacros = {{"TARGETDIR", suite.targetDir}};
  suite.coreFiles = {"CVLCORE.DLL"};
  return suite;
}

class HostileNamesUnderWine : public ::testing::Test {
 protected:
  void SetUp() override { clean(); }
  void TearDown() override { clean(); }

  void clean() {
    (void)machine.system().shellDelete(kRoot, 0);  // missing on a first run
    DeleteFileA(programsEntry().c_str());
    RemoveDirectoryA(programsEntry().substr(0, programsEntry().rfind('\\')).c_str());  // only when empty
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "software\\corvel");
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvel System");
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, kOtherVendor);
  }

  // The clean suite goes onto the machine; the log names hostile as well.
  void install(const fixture::Installation& hostile) {
    fixture::writeStore(machine, suite);
    fixture::writeLog(machine, hostile);
    fixture::registerInstallation(machine, suite);
    fixture::createInstalledFiles(machine, suite);
  }
  void put(const std::string& path) {
    for (size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
      CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    CloseHandle(file);
  }
  // Where the shell's Programs folder puts the first name the shell would read.
  std::string programsEntry() {
    return machine.system().specialFolder(platform::csidl::kPrograms).value_or(kRoot) + "\\Corvel\\Extra";
  }
  static bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
  static std::optional<uint32_t> run(const std::string& arguments) {
    return runToExit("\"" + programDirectory() + "Cvlunst2.exe\" " + arguments, 60000);
  }

  platform::Win32Platform machine;
  fixture::Installation suite = namesSuite();
};

TEST_F(HostileNamesUnderWine, AZeroByteInALoggedKeyOrShortcutTitleReachesNothingElse) {
  fixture::Installation hostile = suite;
  hostile.groups[0].registry = {{"HKLM\\"s + kOtherVendor + "\0\\Software\\Corvel"s, {}}};
  hostile.groups[0].missingShortcuts = {"<FOLDER_PROGRAMS>\\Corvel\\EXTRA"};
  // The shell would read three names: "...\Extra", "\cvl-names\Victim" and "x.lnk".
  hostile.dataStrings["EXTRA"] = "Extra\0\\cvl-names\\Victim\0x"s;
  install(hostile);
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, (kOtherVendor + "\\Child"s).c_str(), &key), ERROR_SUCCESS);
  RegCloseKey(key);
  put(programsEntry());
  put(kRoot + "\\Victim\\other.txt");

  ASSERT_EQ(run("/SILENT UNINSTALLALL"), 0u);

  EXPECT_TRUE(exists(kRoot + "\\Victim\\other.txt"));
  EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, (kOtherVendor + "\\Child"s).c_str(), &key), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_FALSE(exists(suite.targetDir + "\\app.exe"));
}

TEST_F(HostileNamesUnderWine, ACoreFileIsKeptHoweverItsNameIsSpelled) {
  fixture::Installation hostile = suite;
  hostile.groups[0].files = {"app.exe", "./CVLCORE.DLL", "cvlcore.dll.", "cvlcore.dll ", "sub/cvlcore.dll"};
  install(hostile);
  put(suite.targetDir + "\\cvlcore.dll");
  put(suite.targetDir + "\\sub\\cvlcore.dll");

  ASSERT_EQ(run("/SILENT UNINSTALLALL"), 0u);

  EXPECT_TRUE(exists(suite.targetDir + "\\cvlcore.dll"));
  EXPECT_TRUE(exists(suite.targetDir + "\\sub\\cvlcore.dll"));
  EXPECT_FALSE(exists(suite.targetDir + "\\app.exe"));
}

TEST_F(HostileNamesUnderWine, APlanSwitchTypedRightAfterTheLogNameStillPlans) {
  fixture::install(machine, suite);

  ASSERT_EQ(run("/SILENT /LOG=" + kRoot + "\\run.log/PLAN UNINSTALLALL"), 0u);

  EXPECT_TRUE(exists(suite.targetDir + "\\app.exe"));
  EXPECT_TRUE(exists(kRoot + "\\run.log"));
  EXPECT_FALSE(exists(kRoot + "\\run.log"s + "\\PLAN"));
}

}  // namespace
}  // namespace cvl::test
