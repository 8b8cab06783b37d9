#pragma once
// Judges one removal run: every change it made to the machine, every
// program it started and every library it called must be on an allow-list
// drawn from the configuration store, the install log, the registry before
// the run and the checked items alone, with the components due worked out
// by the checker itself; a self-registering file that went must have been
// unregistered first; and the store written back must mark exactly the
// components due as removed.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/memory/memory_system.h"
#include "tests/checker/due_components.h"
#include "tests/checker/machine_snapshot.h"
#include "uninstaller/installlog/uninstall_log.h"
#include "uninstaller/store/config_store.h"

namespace cvl::checker {

// The fixed places of the machine the checker sets up.
namespace places {
inline constexpr const char* kUninstallDir = "C:\\Program Files\\Corvel\\Uninstall\\";
inline constexpr const char* kTargetDir = "C:\\Program Files\\Corvel\\";
inline constexpr const char* kWindowsDir = "C:\\WINDOWS";
inline constexpr const char* kSystemDir = "C:\\WINDOWS\\SYSTEM32";
inline constexpr const char* kProgramFiles = "C:\\Program Files";
inline constexpr const char* kCommonFiles = "C:\\Program Files\\Common Files";
inline constexpr const char* kUserPrograms = "C:\\Documents and Settings\\Tester\\Start Menu\\Programs";
inline constexpr const char* kCommonPrograms = "C:\\Documents and Settings\\All Users\\Start Menu\\Programs";
inline constexpr const char* kVbaLibrary = "C:\\Program Files\\Common Files\\Microsoft Shared\\VBA\\VBA6\\vbai60.dll";
inline constexpr const char* kSharedDlls = "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\SHAREDDLLS";  // a place
}  // namespace places

// The installer's path macros on that machine.
std::map<std::string, std::string> pathMacros();

// A record's bytes as its file holds them.
std::vector<uint8_t> bytesOf(ArchiveRecord& record);

struct RunRecord {
  const CConfigStore& store;  // as it was before the run
  const CUninstallLog& log;
  const Selection* selection = nullptr;  // the items as checked, when the removal ran
  // Components due in a second run that went on from this one, worked out
  // for the store as it found it.
  std::vector<DueComponent> dueInRunAgain;
  const std::set<std::string>& unopenableKeys;  // registry places
  const MachineSnapshot& before;
  const MachineSnapshot& after;  // after the restart that follows the run
  const platform::MemorySystem& system;  // the programs it started, the libraries it loaded
  const std::vector<std::string>& vbaPackages;  // paths handed to the VBA installer's Init
};

// The rule broken, then what broke it. Empty when the run kept to the rules.
struct Violation {
  std::string rule;
  std::string what;
};

std::vector<Violation> judgeRun(const RunRecord& run);

}  // namespace cvl::checker
