#pragma once
// One whole removal on an in-memory machine, judged by the checker: the
// machine is set up with the suite's and other programs' files and keys,
// the store and the log are written to the uninstall folder, start-up runs
// as the program runs it, some items of the selection tree are checked,
// the removal runs (or is planned), Windows restarts, and every change is
// judged.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "tests/checker/choices.h"
#include "tests/checker/due_components.h"
#include "tests/checker/removal_judge.h"
#include "uninstaller/engine/record/run_mode.h"
#include "uninstaller/installlog/uninstall_log.h"
#include "uninstaller/store/config_store.h"

namespace cvl::checker {

// One run of the program on the machine, as far as the judge needs it.
struct Pass {
  bool started = false;  // start-up got as far as the selection
  bool removed = false;  // something was checked and the phases ran
  bool everythingChecked = false;
  Selection selection;               // the items as checked
  std::vector<DueComponent> due;     // as the checker works them out
  std::vector<std::string> journal;  // the run's record, in a logged run or a plan
  std::vector<Violation> offerFaults;  // top components offered other than the store's
};

struct Outcome : Pass {
  std::vector<Violation> violations;
};

class CheckedRemoval {
 public:
  // A machine with the uninstaller's registration, the shell's and other
  // programs' files and keys, and decoys the suite must not touch.
  CheckedRemoval();

  void writeStore(const std::vector<uint8_t>& bytes);
  void writeLog(const std::vector<uint8_t>& bytes);
  // Store and log as the checker reads them on its own, as far as they load.
  void readRecords(CConfigStore& store, CUninstallLog& log);
  // Opening that key fails from now on, as its rights would have it; the
  // judge knows.
  void denyOpening(platform::RegRoot root, const std::string& key);
  // A program holds the file open from now on: deleting it fails, as
  // sharing or access would have it, until Windows restarts.
  void holdOpen(const std::string& path, platform::Status refusal);
  const std::vector<std::string>& filesHeldOpen() const { return filesHeldOpen_; }

  // Start-up, a selection drawn from choices (or the one given), the
  // removal in that mode, the restart that follows, the judgement. A plan
  // is judged to change, start and load nothing.
  Outcome run(Choices& selection, RunMode mode = RunMode::Real, const Selection* given = nullptr);

  // Start-up and the removal as the program runs them, on the machine seen
  // through `through`; a begun final clean-up is finished instead (not in
  // a plan). The selection is drawn from choices, is the one given, or
  // repeats an earlier pass's where the same items are offered.
  Pass pass(platform::Platform& through, Choices& selection, const Pass* repeat = nullptr,
            RunMode mode = RunMode::Real, const Selection* given = nullptr);
  // Every change since `before`, after a restart, judged for that pass's
  // selection (and what a pass that went on from it found due); store and
  // log as they were before it.
  std::vector<Violation> judgeSince(const MachineSnapshot& before, const CConfigStore& store, const CUninstallLog& log,
                                    const Pass& pass, const Pass* again = nullptr);

  platform::MemoryPlatform machine;

 private:
  std::vector<Violation> planFaults(const MachineSnapshot& before);

  std::set<std::string> unopenableKeys_;  // registry places
  std::vector<std::string> filesHeldOpen_;
};

// Store and log generated from choices, with the files and keys they name
// (and foreign ones around them) placed on the machine.
void installRandomSuite(Choices& choices, CheckedRemoval& removal);

// What the log on the machine names for its store's components, placed with
// foreign files and keys around it (for a store and log from elsewhere).
void placeLoggedItems(Choices& choices, CheckedRemoval& removal);

}  // namespace cvl::checker
