#include "tests/engine/wine_installation.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/support/child_process.h"
#include "tools/archive_json/archive_json.h"

namespace cvl::test {

using namespace platform;

namespace {

constexpr const char* kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kSharedDlls = "software\\microsoft\\windows\\currentversion\\shareddlls";
constexpr const char* kComponents = "software\\corvel\\uninstall\\components\\";
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

void setString(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
  SHSetValueA(root, key.c_str(), name.c_str(), REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void setDword(HKEY root, const std::string& key, const std::string& name, DWORD value) {
  SHSetValueA(root, key.c_str(), name.c_str(), REG_DWORD, &value, sizeof value);
}

void makeDirectories(const std::string& path) {
  for (size_t at = path.find('\\', 3); ; at = path.find('\\', at + 1)) {
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    if (at == std::string::npos) break;
  }
}

void deleteTree(const std::string& path) {
  std::string list = path + '\0';
  SHFILEOPSTRUCTA operation = {};
  operation.wFunc = FO_DELETE;
  operation.pFrom = list.c_str();
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
  SHFileOperationA(&operation);
}

Json storeDocument() {
  const Json installed = {{"UNINSTALLABLE", "Yes"}, {"INCLUDEINBUILD", "Yes"}, {"SELECTED", "Yes"},
                          {"VISIBLE", "Yes"},       {"TARGET", "<TARGETDIR>"}, {"MISC", "VBA"}};
  Json servers = installed, docs = installed;
  servers["FILEGROUP1"] = "SERVER_FILES";
  servers["FILEGROUP2"] = "SHARED_FILES";
  docs["FILEGROUP1"] = "DOC_FILES";
  return {{"format", "store"},
          {"sets",
           {{{"name", "default.cdf"},
             {"sections", {{"TopComponents", {{"1", "SERVERS"}, {"2", "DOCS"}}}, {"Servers", servers}, {"Docs", docs}}}},
            {{"name", "value.shl"}, {"sections", {{"Data", {{"DOCS_LINK", "Engine Docs"}}}}}},
            {{"name", "corecomp.ini"}, {"sections", {{"Win32", {{"KERNEL32.DLL", "1"}}}}}}}}};
}

Json logDocument() {
  Json serverFiles = {{"name", "SERVER_FILES"},
                      {"selfRegister", true},
                      {"files", {"cvlselfreg.dll"}},
                      {"registry",
                       {{std::string("HKLM\\") + WineInstallation::kSuiteKey, {"Version=1"}},
                        {"HKCU\\Software\\CvlEngineShared", {"ServerPath=x"}}}}};
  Json sharedFiles = {{"name", "SHARED_FILES"}, {"shared", true}, {"files", {"cvlshared1.dll", "cvlshared3.dll"}}};
  Json docFiles = {{"name", "DOC_FILES"},
                   {"files", {"readme.txt", "locked.txt", "readonly.txt"}},
                   {"dirs", {{{"name", "HELP"}, {"files", {"guide.hlp"}}}}},
                   {"shellObjects", {{"items", {"1:<FOLDER_PROGRAMS>\\CvlEngineTest\\DOCS_LINK"}}}}};
  return {{"format", "log"}, {"groups", {serverFiles, sharedFiles, docFiles}}};
}

}  // namespace

WineInstallation::WineInstallation()
    : helperDir_(directoryOf(programDirectory())),
      userFolder_(platform.system().specialFolder(csidl::kPrograms).value_or("") + "\\CvlEngineTest"),
      commonFolder_(platform.system().specialFolder(csidl::kCommonPrograms).value_or("") + "\\CvlEngineTest"),
      vbaDir_(machineString(kCurrentVersion, "ProgramFilesDir") + "\\Common Files\\Microsoft Shared\\VBA\\VBA6"),
      commonFilesDir_(machineString(kCurrentVersion, "CommonFilesDir")) {
  removeEverything();
  writeArchives();
  writeFiles();
  writeRegistry();
  installHelpers();
}

WineInstallation::~WineInstallation() { removeEverything(); }

void WineInstallation::writeArchives() {
  makeDirectories(kUninstallDir);
  for (const auto& [document, name] : {std::pair{storeDocument(), "cvlinst.dat"}, {logDocument(), "cvlinst.log"}}) {
    const std::string problem = packJson(document, platform.files(), kUninstallDir + std::string(name));
    if (!problem.empty()) throw std::runtime_error(problem);
  }
}

void WineInstallation::writeFiles() {
  for (const char* name : {"cvlshared1.dll", "cvlshared3.dll", "readme.txt", "locked.txt", "HELP\\guide.hlp",
                           "HELP\\GUIDE.GID", "HELP\\other.fts"}) {
    writeFile(target(name));
  }
  writeFile(target("readonly.txt"));
  SetFileAttributesA(target("readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  writeFile(target("mine.txt"));  // the user's: keeps the target directory
  writeFile(userLink());
  writeFile(commonLink());
  writeFile(std::string(kUninstallDir) + "DEIS_ENGINETEST.ISU");
  writeFile(std::string(kUninstallDir) + "cvlpsapi.dll");
  writeFile(sharedProgram());
}

void WineInstallation::writeRegistry() {
  setString(HKEY_LOCAL_MACHINE, kSuiteKey, "Version", "1");
  setString(HKEY_CURRENT_USER, "Software\\CvlEngineShared", "ServerPath", "x");
  setString(HKEY_CURRENT_USER, "Software\\CvlEngineShared", "Theirs", "kept");
  setString(HKEY_LOCAL_MACHINE, "software\\corvel\\uninstall\\cdf", "", kUninstallDir);
  setString(HKEY_LOCAL_MACHINE, kWindowsUninstallEntry, "DisplayName", "Corvel System");
  setDword(HKEY_LOCAL_MACHINE, kSharedDlls, target("cvlshared1.dll"), 1);
  setDword(HKEY_LOCAL_MACHINE, kSharedDlls, target("cvlshared3.dll"), 3);
  setString(HKEY_LOCAL_MACHINE, kComponents + std::string("Servers"), "MSIPath", "c:\\pkgs\\servers.msi");
  setString(HKEY_LOCAL_MACHINE, kComponents + std::string("Docs"), "MSIPath", "c:\\pkgs\\KEEP-docs.msi");
  const std::string runOnce = kComponents + std::string("Servers\\RunOnce");
  for (const char* mark : {"a", "b", "c"}) {
    setString(HKEY_LOCAL_MACHINE, runOnce, mark, std::string("cmd /c echo ") + mark + ">>" + runOnceMarks());
  }
  setDword(HKEY_LOCAL_MACHINE, runOnce, "d-not-a-command", 1);
}

void WineInstallation::installHelpers() {
  makeDirectories(kTarget);
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
  if (!store.load(platform.files(), kUninstallDir + std::string("cvlinst.dat")) || !catalogue.parseComponents(store) ||
      !catalogue.loadTopComponents(store, platform) || !catalogue.loadDataStrings(store) ||
      !catalogue.loadCoreFiles(store)) {
    throw std::runtime_error("catalogue not loaded");
  }
  log.load(platform.files(), kUninstallDir + std::string("cvlinst.log"));
  macros["<TARGETDIR>"] = upper(kTarget) + "\\";
  macros["<FOLDER_PROGRAMS>"] = directoryOf(userFolder_);
  macros["<COMMON_FOLDER_PROGRAMS>"] = directoryOf(commonFolder_);
  context_ = std::make_unique<RemovalContext>(platform, catalogue, log, macros, noted, store, kUninstallDir);
  return *context_;
}

void WineInstallation::writeFile(const std::string& path, const std::string& content) {
  makeDirectories(directoryOf(path));
  std::ofstream(path, std::ios::binary) << content;
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
