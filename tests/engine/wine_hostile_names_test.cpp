// Cvlunst2.exe under Wine on logs whose names mean one thing as text and
// another to Windows: each logged entry aims at something of another
// program's, which must outlive the removal.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_platform.h"
#include "tests/support/child_process.h"
#include "tests/support/installation/installation.h"

namespace cvl::test {
namespace {

using namespace std::string_literals;

const std::string kRoot = "C:\\cvl-names";
constexpr const char* kOtherVendor = "Software\\CvlOtherVendor";
// The current user's twin of a logged machine key, where a user may plant a link.
constexpr const char* kUserTwin = "Software\\Corvel\\App";

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
    deleteLink(HKEY_CURRENT_USER, kUserTwin);  // first: deleting through it would empty what it names
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Corvel");  // only when empty
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
  // REG_OPTION_CREATE_LINK and a "SymbolicLinkValue" of the native path, as Windows makes links.
  static void plantLink(HKEY root, const char* key, const std::string& nativeTarget) {
    HKEY link = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, key, 0, nullptr, REG_OPTION_CREATE_LINK, KEY_ALL_ACCESS | KEY_CREATE_LINK,
                              nullptr, &link, nullptr),
              ERROR_SUCCESS);
    const std::wstring wide(nativeTarget.begin(), nativeTarget.end());
    EXPECT_EQ(RegSetValueExA(link, "SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(wide.data()),
                             static_cast<DWORD>(wide.size() * sizeof(wchar_t))),
              ERROR_SUCCESS);
    RegCloseKey(link);
  }
  static bool isLink(HKEY root, const char* key) {
    HKEY link = nullptr;
    if (RegOpenKeyExA(root, key, REG_OPTION_OPEN_LINK, KEY_QUERY_VALUE, &link) != ERROR_SUCCESS) return false;
    DWORD type = REG_NONE;
    const bool found = RegQueryValueExA(link, "SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(link);
    return found && type == REG_LINK;
  }
  // An empty name deletes the key behind the handle: the link itself.
  static void deleteLink(HKEY root, const char* key) {
    HKEY link = nullptr;
    if (!isLink(root, key) || RegOpenKeyExA(root, key, REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS, &link) != ERROR_SUCCESS) {
      return;
    }
    RegDeleteKeyA(link, "");
    RegCloseKey(link);
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

// The removal deletes the current user's twin of every machine key it
// removes; there the user may have planted a link to another vendor's key.
TEST_F(HostileNamesUnderWine, ALinkPlantedAsTheUsersTwinLeadsTheRemovalNowhere) {
  fixture::Installation hostile = suite;
  hostile.groups[0].registry = {{"HKLM\\"s + kUserTwin, {}}};
  install(hostile);
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, (kOtherVendor + "\\Child"s).c_str(), &key), ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, kOtherVendor, &key), ERROR_SUCCESS);
  const DWORD setting = 7;
  RegSetValueExA(key, "Setting", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&setting), sizeof setting);
  RegCloseKey(key);
  plantLink(HKEY_CURRENT_USER, kUserTwin, "\\REGISTRY\\MACHINE\\"s + kOtherVendor);

  ASSERT_EQ(run("/SILENT UNINSTALLALL"), 0u);

  EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, (kOtherVendor + "\\Child"s).c_str(), &key), ERROR_SUCCESS);
  RegCloseKey(key);
  DWORD value = 0, size = sizeof value;
  ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, kOtherVendor, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExA(key, "Setting", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(value, setting);
  EXPECT_TRUE(isLink(HKEY_CURRENT_USER, kUserTwin)) << "the link stays";
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
