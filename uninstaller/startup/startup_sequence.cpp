#include "uninstaller/startup/startup_sequence.h"

#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/store/archive_error.h"
#include "uninstaller/store/config_store.h"

namespace cvl {
namespace {

constexpr uint32_t kMacroBuffer = 260;

bool endsWithExe(const std::string& name) {
  return name.size() >= 4 && platform::equalsNoCase(name.substr(name.size() - 4), ".EXE");
}

void addExecutables(const StringList& files, std::set<std::string>& programs) {
  // Logs hold hundreds of thousands of names: look at the ending first.
  for (const std::string& file : files) {
    if (endsWithExe(file)) programs.insert(platform::upper(file));
  }
}

}  // namespace

bool loadConfiguration(platform::Platform& platform, CConfigStore& store, Catalogue& catalogue) {
  try {
    return loadStore(platform, store) && catalogue.parseComponents(store) &&
           catalogue.loadTopComponents(store, platform) && catalogue.loadDataStrings(store) &&
           catalogue.loadCoreFiles(store);
  } catch (const ArchiveError&) {
    return false;
  }
}

void locateUninstallFiles(const CConfigStore& store, StartupState& state) {
  const std::string& storePath = store.path();
  size_t slash = storePath.rfind('\\');
  state.uninstallDir = slash == std::string::npos ? std::string() : storePath.substr(0, slash);
  if (state.uninstallDir.empty() || state.uninstallDir.back() != '\\') state.uninstallDir += '\\';
  state.logPath = state.uninstallDir + kLogFileName;
  state.processLibraryPath = state.uninstallDir + names::kProcessLibrary;
}

bool loadInstallLog(platform::FileSystem& files, StartupState& state) {
  platform::FileStatus status;
  if (files.status(state.logPath, status) != platform::kSuccess) return false;
  try {
    // A foreign or newer log would load empty, and a full removal would
    // then remove nothing but the means of ever removing the suite.
    return state.log.load(files, state.logPath);
  } catch (const ArchiveError&) {
    // A log cut short would make the removal skip what it lost: stop instead.
    state.log.clear();
    return false;
  }
}

bool loadPathMacros(platform::Registry& registry, PathMacros& macros) {
  platform::RegKeyPtr key;
  if (registry.openKey(platform::RegRoot::LocalMachine, names::kPathsKey, platform::access::kRead, key) !=
      platform::kSuccess) {
    return false;
  }
  platform::RegKeyInfo info;
  if (key->info(info) != platform::kSuccess) info.valueCount = 0;
  for (uint32_t index = 0; index < info.valueCount; ++index) {
    std::string name;
    platform::RegValue value;
    if (key->enumValue(index, name, &value, kMacroBuffer, kMacroBuffer) != platform::kSuccess) continue;
    name = platform::upper(name);
    if (name.empty() || (name.front() != '<' && name.back() != '>')) name = "<" + name + ">";
    macros[name] = value.asString();
  }
  return true;
}

bool addProgramFolders(platform::System& system, PathMacros& macros) {
  std::optional<std::string> own = system.specialFolder(platform::csidl::kPrograms);
  if (own) macros["<FOLDER_PROGRAMS>"] = *own;
  if (std::optional<std::string> common = system.specialFolder(platform::csidl::kCommonPrograms)) {
    macros["<COMMON_FOLDER_PROGRAMS>"] = *common;
  }
  return own.has_value();
}

StartupError runStartup(platform::Platform& platform, CConfigStore& store, Catalogue& catalogue,
                        StartupState& state) {
  if (!loadConfiguration(platform, store, catalogue)) return StartupError::ConfigurationFile;
  locateUninstallFiles(store, state);
  if (!loadInstallLog(platform.files(), state)) return StartupError::ConfigurationFile;
  if (!loadPathMacros(platform.registry(), state.pathMacros)) return StartupError::ConfigurationSettings;
  if (!addProgramFolders(platform.system(), state.pathMacros)) return StartupError::WindowsSettings;
  state.suitePrograms = findSuitePrograms(catalogue, state.log);
  return StartupError::None;
}

std::set<std::string> findSuitePrograms(const Catalogue& catalogue, const CUninstallLog& log) {
  std::set<std::string> programs;
  for (const ComponentMap::Entry& entry : catalogue.componentMap) {
    for (const std::string& groupName : entry.component->fileGroups) {
      const CFilegroup* group = log.findFileGroup(groupName);
      if (group == nullptr) continue;
      addExecutables(group->files(), programs);
      const CDir* position = group->rootDir();
      while (position != nullptr) addExecutables(CFilegroup::nextDir(position)->files(), programs);
    }
  }
  return programs;
}

std::vector<std::string> matchRunningSuitePrograms(const std::vector<std::string>& runningModules,
                                                   const std::set<std::string>& suitePrograms) {
  std::vector<std::string> running;
  for (const std::string& path : runningModules) {
    size_t slash = path.rfind('\\');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (suitePrograms.count(name)) running.push_back(name);
  }
  return running;
}

}  // namespace cvl
