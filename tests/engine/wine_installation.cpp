#include "tests/engine/wine_installation.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/support/child_process.h"

namespace cvl::test {

using namespace platform;

namespace {

constexpr const char* kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kSharedDlls = "software\\microsoft\\windows\\currentversion\\shareddlls";
constexpr const char* kWindowsUninstallEntry = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvel System";

std::string directoryOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

std::string machineString(const char* key, const char* name) {
  char value[MAX_PATH] = {};
  DWORD size = sizeof value;
  if (SHGetValueA(HKEY_LOCAL_MACHINE, key, name, nullptr, value, &size) != ERROR_SUCCESS) {
    throw std::runtime_error(std::string("cannot read ") + name);
  }
  return value;
}

void makeDirectories(const std::string& path) {
  for (size_t at = path.find('\\', 3); ; at = path.find('\\', at + 1)) {
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    if (at == std::string::npos) break;
  }
}

void writeFile(const std::string& path) {
  makeDirectories(directoryOf(path));
  std::ofstream(path, std::ios::binary) << "x";
}

void deleteTree(const std::string& path) {
  std::string list = path + '\0';
  SHFILEOPSTRUCTA operation = {};
  operation.wFunc = FO_DELETE;
  operation.pFrom = list.c_str();
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
  SHFileOperationA(&operation);
}

}  // namespace

WineInstallation::WineInstallation()
    : helperDir_(directoryOf(programDirectory())),
      programsFolder_(platform.system().specialFolder(csidl::kPrograms).value_or("")),
      userFolder_(programsFolder_ + "\\CvlEngineTest"),
      commonFolder_(platform.system().specialFolder(csidl::kCommonPrograms).value_or("") + "\\CvlEngineTest"),
      vbaDir_(machineString(kCurrentVersion, "ProgramFilesDir") + "\\Common Files\\Microsoft Shared\\VBA\\VBA6"),
      commonFilesDir_(machineString(kCurrentVersion, "CommonFilesDir")) {
  removeEverything();
  fixture::install(platform, declared());
  for (const std::string& path : {target("HELP\\GUIDE.GID"), target("HELP\\other.fts"), commonLink(), sharedProgram(),
                                  target("mine.txt")}) {  // the last the user's: it keeps the target directory
    writeFile(path);
  }
  SetFileAttributesA(target("readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  const DWORD notACommand = 1;
  SHSetValueA(HKEY_LOCAL_MACHINE, (kComponentsKey + std::string("Servers\\RunOnce")).c_str(), "d-not-a-command",
              REG_DWORD, &notACommand, sizeof notACommand);
  installHelpers();
}

WineInstallation::~WineInstallation() { removeEverything(); }

fixture::Installation WineInstallation::declared() const {
  fixture::Installation suite;
  suite.uninstallDir = kUninstallDir;
  suite.targetDir = kTarget;
  suite.programsFolder = programsFolder_;
  suite.pathMacros = {{"TARGETDIR", kTarget}};
  suite.fileContent = "x";
  suite.components = {{.name = "Servers", .fileGroups = {"SERVER_FILES", "SHARED_FILES"}, .misc = "VBA"},
                      {.name = "Docs", .fileGroups = {"DOC_FILES"}, .misc = "VBA"}};
  suite.topComponents = {"SERVERS", "DOCS"};
  suite.dataStrings = {{"DOCS_LINK", "Engine Docs"}};
  suite.coreFiles = {"KERNEL32.DLL"};
  suite.groups = {{.name = "SERVER_FILES",
                   .selfRegister = true,
                   .files = {"cvlselfreg.dll"},
                   .registry = {{std::string("HKLM\\") + kSuiteKey, {"Version=1"}},
                                {"HKCU\\Software\\CvlEngineShared", {"ServerPath=x"}}}},
                  {.name = "SHARED_FILES", .shared = true, .files = {"cvlshared1.dll", "cvlshared3.dll"}},
                  {.name = "DOC_FILES",
                   .files = {"readme.txt", "locked.txt", "readonly.txt"},
                   .directories = {{"HELP", {"guide.hlp"}}},
                   .shortcuts = {"<FOLDER_PROGRAMS>\\CvlEngineTest\\DOCS_LINK"}}};
  suite.sharedCounts = {{target("cvlshared1.dll"), 1}, {target("cvlshared3.dll"), 3}};
  suite.extraUninstallFiles = {"DEIS_ENGINETEST.ISU", "cvlpsapi.dll"};
  const std::string components = "HKLM\\" + std::string(kComponentsKey);
  suite.unloggedKeys = {{"HKCU\\Software\\CvlEngineShared", {"Theirs=kept"}},
                        {components + "Servers", {"MSIPath=c:\\pkgs\\servers.msi"}},
                        {components + "Docs", {"MSIPath=c:\\pkgs\\KEEP-docs.msi"}},
                        {components + "Servers\\RunOnce", {}}};
  for (const char* mark : {"a", "b", "c"}) {
    suite.unloggedKeys.back().lines.push_back(std::string(mark) + "=cmd /c echo " + mark + ">>" + runOnceMarks());
  }
  return suite;
}

void WineInstallation::installHelpers() {
  CopyFileA((helperDir_ + "\\cvlselfreg.dll").c_str(), target("cvlselfreg.dll").c_str(), FALSE);
  const std::string regsvr32 = platform.system().systemDirectory() + "\\regsvr32.exe";
  if (platform.system().runHidden(regsvr32, "regsvr32 /s \"" + target("cvlselfreg.dll") + "\"", 30000) !=
      WaitResult::Finished) {
    throw std::runtime_error("regsvr32 did not run");
  }
  makeDirectories(vbaDir_);
  CopyFileA((helperDir_ + "\\vbai60.dll").c_str(), (vbaDir_ + "\\vbai60.dll").c_str(), FALSE);
}

RemovalContext& WineInstallation::load() {
  if (installation.load(platform) != StartupError::None) throw std::runtime_error("start-up failed");
  context_.reset(new RemovalContext(installation.removalContext(platform)));
  return *context_;
}

bool WineInstallation::exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WineInstallation::hasKey(RegRoot root, const std::string& key) {
  RegKeyPtr open;
  return platform.registry().openKey(root, key, access::kRead, open) == kSuccess;
}

std::optional<uint32_t> WineInstallation::sharedCount(const std::string& file) {
  DWORD value = 0, size = sizeof value;
  if (SHGetValueA(HKEY_LOCAL_MACHINE, kSharedDlls, target(file).c_str(), nullptr, &value, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value;
}

std::string WineInstallation::contentOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WineInstallation::removeEverything() {
  SetFileAttributesA(target("readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  deleteTree(kRoot);
  deleteTree(userFolder_);
  deleteTree(commonFolder_);
  deleteTree(vbaDir_);
  deleteTree(directoryOf(sharedProgram()));
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Corvel");
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Corvel");
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\CvlEngineTest");
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\CvlEngineShared");
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, kWindowsUninstallEntry);
  SHDeleteValueA(HKEY_LOCAL_MACHINE, kSharedDlls, target("cvlshared1.dll").c_str());
  SHDeleteValueA(HKEY_LOCAL_MACHINE, kSharedDlls, target("cvlshared3.dll").c_str());
}

}  // namespace cvl::test
