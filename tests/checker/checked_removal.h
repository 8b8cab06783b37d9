#pragma once
// One whole removal on an in-memory machine, judged by the checker: the
// machine is set up with the suite's and other programs' files and keys,
// the store and the log are written to the uninstall folder, start-up runs
// as the program runs it, some top components are checked, the removal
// runs, and every change is judged.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "tests/checker/choices.h"
#include "tests/checker/removal_judge.h"
#include "uninstaller/installlog/uninstall_log.h"
#include "uninstaller/store/config_store.h"

namespace cvl::checker {

namespace places {
inline constexpr const char* kUninstallDir = "C:\\Program Files\\Corvel\\Uninstall\\";
inline constexpr const char* kTargetDir = "C:\\Program Files\\Corvel\\";
inline constexpr const char* kSystemDir = "C:\\WINDOWS\\SYSTEM32";
inline constexpr const char* kProgramFiles = "C:\\Program Files";
inline constexpr const char* kCommonFiles = "C:\\Program Files\\Common Files";
inline constexpr const char* kUserPrograms = "C:\\Documents and Settings\\Tester\\Start Menu\\Programs";
inline constexpr const char* kCommonPrograms = "C:\\Documents and Settings\\All Users\\Start Menu\\Programs";
}  // namespace places

// One run of the program on the machine, as far as the judge needs it.
struct Pass {
  bool started = false;
  bool removed = false;
  bool everythingChecked = false;
  std::vector<std::string> checked;  // fully checked top components
  std::vector<bool> states;          // each offered top item, checked or not
  std::vector<DueComponent> due;
};

struct Outcome {
  bool started = false;  // start-up got as far as the selection
  bool removed = false;  // something was checked and the phases ran
  bool everythingChecked = false;
  std::vector<Violation> violations;
};

class CheckedRemoval {
 public:
  // A machine with the uninstaller's registration, the shell's and other
  // programs' files and keys, and decoys the suite must not touch.
  CheckedRemoval();

  void writeStore(const std::vector<uint8_t>& bytes);
  void writeLog(const std::vector<uint8_t>& bytes);

  // Start-up, a selection drawn from choices, the removal, the judgement.
  Outcome run(Choices& selection);

  // Start-up and the removal as the program runs them, on the machine seen
  // through `through`; a begun final clean-up is finished instead. The
  // selection is drawn from choices, or repeats an earlier pass's: what it
  // checked, where still offered.
  Pass pass(platform::Platform& through, Choices& selection, const Pass* repeat = nullptr);
  // Every change since `before` judged for that selection; store and log as
  // they were before it.
  std::vector<Violation> judgeSince(const MachineSnapshot& before, const CConfigStore& store, const CUninstallLog& log,
                                    const Pass& pass);

  platform::MemoryPlatform machine;
};

// Store and log generated from choices, with the files and keys they name
// (and foreign ones around them) placed on the machine.
void installRandomSuite(Choices& choices, CheckedRemoval& removal);

// What the log names for the store's components, placed on the machine with
// foreign files and keys around it (for a store and log from elsewhere).
void placeLoggedItems(Choices& choices, CheckedRemoval& removal, const CConfigStore& store, const CUninstallLog& log);

}  // namespace cvl::checker
