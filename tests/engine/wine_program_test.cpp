// Cvlunst2.exe under Wine on logs whose entries aim at something of another
// program's, which must outlive the removal: a same-named copy of a
// self-registering server in the system folder and a program named
// "regsvr32.exe" planted in the install folder, names that mean one thing
// as text and another to Windows, and registry links.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "platform/win32/win32_platform.h"
#include "tests/support/child_process.h"
#include "tests/support/installation/installation.h"

namespace cvl::test {
namespace {

using namespace std::string_literals;

const std::string kRoot = "C:\\cvl-program";
const std::string kServer = "cvlselfreg.dll";
constexpr const char* kUnregisteredKey = "Software\\CvlEngineTest\\Unregistered";
constexpr const char* kOtherVendor = "Software\\CvlOtherVendor";
// The current user's twin of a logged machine key, where a user may plant a link.
constexpr const char* kUserTwin = "Software\\Corvel\\App";

fixture::Installation appSuite() {
  fixture::Installation suite;
  suite.uninstallDir = kRoot + "\\Uninstall\\";
  suite.targetDir = kRoot + "\\Program Files";  // a blank, as most install folders have
  suite.programsFolder = kRoot + "\\Programs";
  suite.components = {{.name = "APP", .displayText = "App", .fileGroups = {"APP_FILES", "SERVER_FILES"}}};
  suite.topComponents = {"APP"};
  suite.groups = {{.name = "APP_FILES", .files = {"app.exe"}},
                  {.name = "SERVER_FILES", .selfRegister = true, .files = {kServer}}};
  suite.pathMacros = {{"TARGETDIR", suite.targetDir}};
  suite.coreFiles = {"CVLCORE.DLL"};
  return suite;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool keyExists(const std::string& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, key.c_str(), &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

void createKey(const std::string& key) {
  HKEY created = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, key.c_str(), &created), ERROR_SUCCESS) << key;
  RegCloseKey(created);
}

void put(const std::string& path) {
  for (size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
    CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
  }
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  CloseHandle(file);
}

// REG_OPTION_CREATE_LINK and a "SymbolicLinkValue" of the native path, as Windows makes links.
void plantLink(HKEY root, const char* key, const std::string& nativeTarget) {
  HKEY link = nullptr;
  ASSERT_EQ(RegCreateKeyExA(root, key, 0, nullptr, REG_OPTION_CREATE_LINK, KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr,
                            &link, nullptr),
            ERROR_SUCCESS);
  const std::wstring wide(nativeTarget.begin(), nativeTarget.end());
  EXPECT_EQ(RegSetValueExA(link, "SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(wide.data()),
                           static_cast<DWORD>(wide.size() * sizeof(wchar_t))),
            ERROR_SUCCESS);
  RegCloseKey(link);
}

bool isLink(HKEY root, const char* key) {
  HKEY link = nullptr;
  if (RegOpenKeyExA(root, key, REG_OPTION_OPEN_LINK, KEY_QUERY_VALUE, &link) != ERROR_SUCCESS) return false;
  DWORD type = REG_NONE;
  const bool found = RegQueryValueExA(link, "SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(link);
  return found && type == REG_LINK;
}

// An empty name deletes the key behind the handle: the link itself.
void deleteLink(HKEY root, const char* key) {
  HKEY link = nullptr;
  if (!isLink(root, key) || RegOpenKeyExA(root, key, REG_OPTION_OPEN_LINK, KEY_ALL_ACCESS, &link) != ERROR_SUCCESS) {
    return;
  }
  RegDeleteKeyA(link, "");
  RegCloseKey(link);
}

std::optional<uint32_t> run(const std::string& arguments) {
  return runToExit("\"" + programDirectory() + "Cvlunst2.exe\" " + arguments, 60000);
}

class UninstallerProgram : public ::testing::Test {
 protected:
  void SetUp() override { clean(); }
  void TearDown() override { clean(); }

  void clean() {
    deleteLink(HKEY_CURRENT_USER, kUserTwin);  // first: deleting through it would empty what it names
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Corvel");  // only when empty
    (void)machine.system().shellDelete(kRoot, 0);  // missing on a first run
    DeleteFileA(systemCopy().c_str());
    DeleteFileA(programsEntry().c_str());
    RemoveDirectoryA(programsEntry().substr(0, programsEntry().rfind('\\')).c_str());  // only when empty
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "software\\corvel");
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvel System");
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, kOtherVendor);
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\CvlEngineTest");
  }
  // The clean suite goes onto the machine; the log names what `logged` does.
  void install(const fixture::Installation& logged) {
    fixture::writeStore(machine, suite);
    fixture::writeLog(machine, logged);
    fixture::registerInstallation(machine, suite);
    fixture::createInstalledFiles(machine, suite);
  }
  std::string target(const std::string& name) const { return suite.targetDir + "\\" + name; }
  std::string systemCopy() { return machine.system().systemDirectory() + "\\" + kServer; }
  // Where the shell's Programs folder puts the first name the shell would read.
  std::string programsEntry() {
    return machine.system().specialFolder(platform::csidl::kPrograms).value_or(kRoot) + "\\Corvel\\Extra";
  }
  // Upper-cased paths of the server copies whose unregistration ran.
  std::vector<std::string> unregisteredCopies() {
    std::vector<std::string> copies;
    platform::RegKeyPtr key;
    if (machine.registry().openKey(platform::RegRoot::CurrentUser, kUnregisteredKey, platform::access::kRead, key) !=
        platform::kSuccess) {
      return copies;
    }
    std::string name;
    for (uint32_t index = 0; key->enumValue(index, name, nullptr) == platform::kSuccess; ++index) {
      copies.push_back(platform::upper(name));
    }
    return copies;
  }

  platform::Win32Platform machine;
  fixture::Installation suite = appSuite();
};

// One log with every such entry. The removal deletes the current user's twin
// of every machine key it removes; there the user may have planted a link.
TEST_F(UninstallerProgram, LoggedEntriesReachNothingOfAnotherProgram) {
  fixture::Installation hostile = suite;
  hostile.groups[0].files = {"app.exe", "./CVLCORE.DLL", "cvlcore.dll.", "cvlcore.dll ", "sub/cvlcore.dll"};
  hostile.groups[0].registry = {{"HKLM\\"s + kOtherVendor + "\0\\Software\\Corvel"s, {}},
                                {"HKLM\\"s + kUserTwin, {}}};
  hostile.groups[0].missingShortcuts = {"<FOLDER_PROGRAMS>\\Corvel\\EXTRA"};
  // The shell would read three names: "...\Extra", "\cvl-program\Victim" and "x.lnk".
  hostile.dataStrings["EXTRA"] = "Extra\0\\cvl-program\\Victim\0x"s;
  install(hostile);
  for (const auto& [from, to] : {std::pair{kServer, target(kServer)}, {kServer, systemCopy()},
                                 {"cvl_planted_program.exe"s, target("regsvr32.exe")}}) {
    ASSERT_TRUE(CopyFileA((programDirectory() + from).c_str(), to.c_str(), FALSE)) << to;
  }
  createKey(kOtherVendor + "\\Child"s);
  const DWORD setting = 7;
  ASSERT_EQ(SHSetValueA(HKEY_LOCAL_MACHINE, kOtherVendor, "Setting", REG_DWORD, &setting, sizeof setting),
            ERROR_SUCCESS);
  plantLink(HKEY_CURRENT_USER, kUserTwin, "\\REGISTRY\\MACHINE\\"s + kOtherVendor);
  for (const std::string& file : {programsEntry(), kRoot + "\\Victim\\other.txt", target("cvlcore.dll"),
                                  target("sub\\cvlcore.dll")}) {
    put(file);
  }

  ASSERT_EQ(run("/SILENT UNINSTALLALL"), 0u);

  // Only the system's regsvr32 ran, and only on the logged copy.
  EXPECT_EQ(unregisteredCopies(), std::vector<std::string>{platform::upper(target(kServer))});
  EXPECT_FALSE(exists(target("planted-program-ran.txt")));
  EXPECT_FALSE(exists(target(kServer)));
  EXPECT_TRUE(exists(systemCopy()));
  EXPECT_TRUE(exists(kRoot + "\\Victim\\other.txt"));
  EXPECT_TRUE(keyExists(kOtherVendor + "\\Child"s));
  DWORD value = 0, size = sizeof value;
  EXPECT_EQ(SHGetValueA(HKEY_LOCAL_MACHINE, kOtherVendor, "Setting", nullptr, &value, &size), ERROR_SUCCESS);
  EXPECT_EQ(value, setting);
  EXPECT_TRUE(isLink(HKEY_CURRENT_USER, kUserTwin)) << "the link stays";
  EXPECT_TRUE(exists(target("cvlcore.dll")));
  EXPECT_TRUE(exists(target("sub\\cvlcore.dll")));
  EXPECT_FALSE(exists(target("app.exe")));
}

}  // namespace
}  // namespace cvl::test
