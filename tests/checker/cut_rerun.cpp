#include "tests/checker/cut_rerun.h"

#include <sstream>

#include "tests/checker/cut_platform.h"

namespace cvl::checker {
namespace {

constexpr const char* kRecord = "C:\\PROGRAM FILES\\CORVEL\\UNINSTALL\\CVLINST.REC";

bool isCommandOfRunOnce(const std::string& commandLine) { return commandLine.find("regsvr32") == std::string::npos; }

// How often each RunOnce command line starts; several values may hold one.
std::map<std::string, int> runOnceStarts(platform::MemoryPlatform& machine) {
  std::map<std::string, int> starts;
  for (const auto& run : machine.system().runs()) {
    if (isCommandOfRunOnce(run.commandLine)) ++starts[run.commandLine];
  }
  return starts;
}

// What the end state is judged on: folders' times follow their content, the
// time of the last reading is no state, and the record is bookkeeping.
std::string firstDifference(const MachineSnapshot& got, const MachineSnapshot& want) {
  for (const Change& change : changesBetween(want, got)) {
    if (change.path == kRecord) continue;
    if (change.kind == Change::Kind::FileAltered) {
      const FileState& is = got.files.at(change.path);
      const FileState& was = want.files.at(change.path);
      if (is.directory || (is.content == was.content && is.status.written == was.status.written &&
                           is.status.attributes == was.status.attributes)) {
        continue;
      }
    }
    return describe(change);
  }
  return {};
}

// Counts lower than the whole removal leaves, at any moment checked.
std::string countBelowWhole(const MachineSnapshot& now, const MachineSnapshot& whole) {
  for (const auto& [place, value] : whole.values) {
    if (place.first != places::kSharedDlls || value.data.size() != 4) continue;
    const auto held = now.values.find(place);
    if (held == now.values.end() || held->second.asDword() < value.asDword()) return place.second;
  }
  return {};
}

}  // namespace

WholeRemoval wholeRemoval(const ChoicesSource& source) {
  CheckedRemoval removal;
  const std::unique_ptr<Choices> choices = source();
  installRandomSuite(*choices, removal);
  ChangeBudget budget;
  const auto counted = cutPlatform(removal.machine, budget);
  const Pass whole = removal.pass(*counted, *choices);
  MachineSnapshot end = takeSnapshot(removal.machine);
  (void)removal.pass(removal.machine, *choices, &whole);
  return {std::move(end), takeSnapshot(removal.machine), budget.used, runOnceStarts(removal.machine)};
}

std::string cutAndRunAgain(const ChoicesSource& source, uint64_t cut, const WholeRemoval& whole) {
  CheckedRemoval removal;
  const std::unique_ptr<Choices> choices = source();
  installRandomSuite(*choices, removal);
  const MachineSnapshot before = takeSnapshot(removal.machine);
  CConfigStore store;
  CUninstallLog log;
  removal.readRecords(store, log);
  ChangeBudget budget{cut};
  const auto killed = cutPlatform(removal.machine, budget);
  const Pass first = removal.pass(*killed, *choices);
  std::ostringstream fault;
  if (const std::string below = countBelowWhole(takeSnapshot(removal.machine), whole.endRunAgain); !below.empty()) {
    fault << "after the cut run, count below a whole removal's: " << below;
  }
  const Pass again = removal.pass(removal.machine, *choices, &first);
  const MachineSnapshot end = takeSnapshot(removal.machine);
  if (const std::string below = countBelowWhole(end, whole.endRunAgain); !below.empty()) fault << " count below: " << below;
  if (const std::string differs = firstDifference(end, whole.end);
      !differs.empty() && !firstDifference(end, whole.endRunAgain).empty()) {
    fault << " differs: " << differs;
  }
  for (const Violation& violation : removal.judgeSince(before, store, log, first, &again)) {
    // A command noted and then cut may never have started: at most once
    // over both runs outweighs at least once.
    if (violation.rule == "RunOnce commands of checked top components run") continue;
    fault << " " << violation.rule << ": " << violation.what;
  }
  for (const auto& [command, starts] : runOnceStarts(removal.machine)) {
    const auto once = whole.starts.find(command);
    if (starts > (once == whole.starts.end() ? 0 : once->second)) fault << " started again: " << command;
  }
  return fault.str().empty() ? std::string() : "cut after change " + std::to_string(cut) + ":" + fault.str();
}

}  // namespace cvl::checker
