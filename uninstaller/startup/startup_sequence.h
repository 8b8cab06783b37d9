#pragma once
// The start-up of the uninstaller up to its selection dialog: configuration,
// catalogue, install log, path macros and the suite's programs. Works on the
// platform interfaces only; the program adds its windows around it.
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "uninstaller/engine/path_macros.h"
#include "uninstaller/installlog/uninstall_log.h"

namespace cvl {

class Catalogue;
class CConfigStore;

// The string-table id of a start-up failure's message.
enum class StartupError {
  None = 0,
  ConfigurationFile = 14,    // store, catalogue or install log unusable
  ConfigurationSettings = 15,  // the "paths" key cannot be opened
  WindowsSettings = 16,      // the user's Programs folder is unknown
};

struct StartupState {
  std::string uninstallDir;  // ends in a backslash
  std::string logPath;
  std::string processLibraryPath;
  CUninstallLog log;
  PathMacros pathMacros;
  std::vector<std::string> runningModules;       // upper-cased full paths
  std::set<std::string> suitePrograms;           // upper-cased ".EXE" file names
  std::vector<std::string> runningSuitePrograms;  // file names, one per running copy
};

// Finds the uninstall directory through the registry (falling back to the
// program's own directory), sets store.path() to "cvlinst.dat" there and
// loads it. False when the registry key cannot be opened, the file is
// missing or unreadable, or it ends too early.
bool loadStore(platform::Platform& platform, CConfigStore& store);

// Store, components, top components, data strings and core files, stopping
// at the first that fails. A store that cannot be read to its end fails too.
bool loadConfiguration(platform::Platform& platform, CConfigStore& store, Catalogue& catalogue);

// Directory of the store, with a backslash; the log and process library
// paths beside it.
void locateUninstallFiles(const CConfigStore& store, StartupState& state);

// False when the log file is missing, cannot be opened, ends early, or has
// a foreign header or a newer version; nothing of it is kept then.
bool loadInstallLog(platform::FileSystem& files, StartupState& state);

// The values of "software\corvel\uninstall\paths", names and data
// upper-cased, names wrapped in angle brackets unless they already begin
// with "<" or end with ">". False when the key cannot be opened.
bool loadPathMacros(platform::Registry& registry, PathMacros& macros);

// "<FOLDER_PROGRAMS>" and, when the shell knows it, "<COMMON_FOLDER_PROGRAMS>".
// False when the user's own Programs folder is unknown.
bool addProgramFolders(platform::System& system, PathMacros& macros);

// Runs the whole sequence and reports the first step that failed, in the
// order store, catalogue, log, path macros, Programs folder; the state is
// filled as far as it got.
StartupError runStartup(platform::Platform& platform, CConfigStore& store, Catalogue& catalogue,
                        StartupState& state);

// Every ".EXE" file named by the file groups of the catalogue's components.
std::set<std::string> findSuitePrograms(const Catalogue& catalogue, const CUninstallLog& log);

// The file names of running modules that are suite programs, in order.
std::vector<std::string> matchRunningSuitePrograms(const std::vector<std::string>& runningModules,
                                                   const std::set<std::string>& suitePrograms);

}  // namespace cvl
