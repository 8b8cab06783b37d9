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

// The machine's fixed places, as the harness set them up.
struct MachinePlaces {
  std::string uninstallDir;  // with a trailing backslash
  std::string systemDir;
  std::string programFilesDir;
  std::string commonFilesDir;
};

struct RunRecord {
  const CConfigStore& store;  // as it was before the run
  const CUninstallLog& log;
  const Selection* selection = nullptr;  // the items as checked, when the removal ran
  // Components due in a second run that went on from this one, worked out
  // for the store as it found it.
  std::vector<DueComponent> dueInRunAgain;
  std::set<std::string> unopenableKeys;  // registry places
  std::map<std::string, std::string> macros;
  MachinePlaces places;
  std::map<std::string, std::string> environment;  // upper-cased names
  const MachineSnapshot& before;
  const MachineSnapshot& after;  // after the restart that follows the run
  std::vector<std::string> commandLines;  // as started
  std::vector<std::string> applications;  // the program file of each start, when the platform names it
  std::vector<std::string> libraryLoads;
  std::vector<std::string> vbaPackages;  // paths handed to the VBA installer's Init
};

// The rule broken, then what broke it. Empty when the run kept to the rules.
struct Violation {
  std::string rule;
  std::string what;
};

std::vector<Violation> judgeRun(const RunRecord& run);

}  // namespace cvl::checker
