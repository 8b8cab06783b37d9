// The checker over seeded batches of generated installations. Removals:
// whatever the installation holds, no run may touch what the store, the log
// and the checked items do not give it, start anything but what it may, or
// call any library but the VBA runtime's installer. Plans: a plan changes,
// starts and loads nothing, and lists what the logged run on the same
// machine then does, but for what no plan can know.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string_view>

#include "tests/checker/checked_removal.h"
#include "tests/checker/safety_rules.h"

namespace cvl::checker {
namespace {

using platform::upper;

constexpr uint32_t kMachines = 2000;

// Broken rules over a batch: how many machines broke each, and the first.
class Tally {
 public:
  void add(uint32_t seed, const std::vector<Violation>& violations) {
    std::set<std::string> seen;
    for (const Violation& violation : violations) {
      auto& [machines, example] = broken_[violation.rule];
      machines += seen.insert(violation.rule).second;
      if (example.empty()) example = "seed " + std::to_string(seed) + ": " + violation.what;
    }
  }
  bool empty() const { return broken_.empty(); }
  std::string report() const {
    std::ostringstream text;
    for (const auto& [rule, found] : broken_) text << rule << " (" << found.first << " machines), e.g. " << found.second << "\n";
    return text.str();
  }

 private:
  std::map<std::string, std::pair<int, std::string>> broken_;
};

constexpr std::string_view kInUse = " (in use, removed at restart)";

// The file a line is about, one spelling per file: a file removed or
// kept, or its shared count removed.
std::optional<std::string> fileOf(const std::string& line, const MachineSnapshot& machine) {
  const std::string counts = "\\CURRENTVERSION\\SHAREDDLLS\\";
  const size_t count = upper(line).find(counts);
  for (const std::string head : {"removed file: ", "kept file: ", "removed value: "}) {
    if (!line.starts_with(head) || (head == "removed value: " && count == std::string::npos)) continue;
    std::string path = line.substr(head == "removed value: " ? count + counts.size() : head.size());
    if (line.starts_with("kept ")) path = path.substr(0, path.rfind(" ("));
    if (path.starts_with("\\\\?\\") || path.starts_with("\\\\.\\")) path = path.substr(4);
    const auto file = absoluteFolder(path);
    return file ? withLongNames(*file, machine) : upper(path);
  }
  return std::nullopt;
}

// What a plan cannot know, taken out of both records: what a command or a
// library did, and files in use: every line of such a file goes (the plan
// removes it, the run finds it again at each listing), and the folders
// holding it go at the restart instead, so folders compare as a set.
std::vector<std::string> comparable(const std::vector<std::string>& record, const std::set<std::string>& inUse,
                                    const MachineSnapshot& machine) {
  std::vector<std::string> lines, folders;
  for (std::string line : record) {
    if (line.starts_with("ran: ")) line = line.substr(0, line.rfind(" ("));
    if (const auto file = fileOf(line, machine); file && inUse.count(*file)) continue;
    if (line.starts_with("kept folder: ") && line.ends_with(kInUse)) {
      line = "removed folder: " + line.substr(13, line.size() - 13 - kInUse.size());
    }
    (!inUse.empty() && line.starts_with("removed folder: ") ? folders : lines).push_back(line);
  }
  std::sort(folders.begin(), folders.end());
  lines.insert(lines.end(), folders.begin(), folders.end());
  return lines;
}

std::string firstDifference(const std::vector<std::string>& plan, const std::vector<std::string>& run,
                            const std::vector<std::string>& heldOpen, const MachineSnapshot& machine) {
  std::set<std::string> inUse;
  for (const std::string& path : heldOpen) {
    if (const auto file = absoluteFolder(path)) inUse.insert(withLongNames(*file, machine));
  }
  const std::vector<std::string> planned = comparable(plan, inUse, machine), done = comparable(run, inUse, machine);
  for (size_t i = 0; i < std::max(planned.size(), done.size()); ++i) {
    const std::string want = i < done.size() ? done[i] : "(nothing)", got = i < planned.size() ? planned[i] : "(nothing)";
    if (want != got) return "line " + std::to_string(i + 1) + ": planned " + got + "; done " + want;
  }
  return {};
}

// The plan and the logged run of one machine, and what they broke.
std::vector<Violation> planAndRun(uint32_t seed, Outcome& plan, Outcome& run) {
  CheckedRemoval removal;
  SeededChoices choices(seed);
  installRandomSuite(choices, removal);
  const MachineSnapshot machine = takeSnapshot(removal.machine);
  plan = removal.run(choices, RunMode::Plan);
  run = removal.run(choices, RunMode::Logged, &plan.selection);
  std::vector<Violation> faults = plan.violations;
  faults.insert(faults.end(), run.violations.begin(), run.violations.end());
  if (plan.removed != run.removed) faults.push_back({"a plan goes as far as the run", plan.removed ? "planned" : "ran"});
  if (const std::string differs = firstDifference(plan.journal, run.journal, removal.filesHeldOpen(), machine);
      !differs.empty()) {
    faults.push_back({"a plan lists what the run then does", differs});
  }
  return faults;
}

// CHECKER_SEED=n plans and runs that one machine (the same removal as the
// batch's), lists all it broke and prints both records.
TEST(RemovalChecker, OneSeedInDetail) {
  const char* seed = std::getenv("CHECKER_SEED");
  if (seed == nullptr) GTEST_SKIP() << "set CHECKER_SEED";
  Outcome plan, run;
  const std::vector<Violation> faults = planAndRun(static_cast<uint32_t>(std::stoul(seed)), plan, run);
  for (const Violation& violation : faults) ADD_FAILURE() << violation.rule << ": " << violation.what;
  if (faults.empty()) return;
  for (const std::string& line : plan.journal) std::cout << "plan: " << line << "\n";
  for (const std::string& line : run.journal) std::cout << "run:  " << line << "\n";
}

TEST(RemovalChecker, GeneratedRemovalsTouchOnlyWhatTheSuiteOwns) {
  Tally tally;
  int removed = 0;
  int wholeSuite = 0;
  for (uint32_t seed = 1; seed <= kMachines; ++seed) {
    CheckedRemoval removal;
    SeededChoices choices(seed);
    installRandomSuite(choices, removal);
    const Outcome outcome = removal.run(choices);
    removed += outcome.removed;
    wholeSuite += outcome.everythingChecked;
    tally.add(seed, outcome.violations);
  }
  EXPECT_TRUE(tally.empty()) << tally.report();
  // The batch must really remove, both parts of the suite and all of it.
  EXPECT_GT(removed, static_cast<int>(kMachines) * 3 / 4);
  EXPECT_GT(wholeSuite, static_cast<int>(kMachines) / 5);
  EXPECT_LT(wholeSuite, removed * 4 / 5);
}

// The logged run that follows each plan is judged as a removal too.
TEST(RemovalChecker, PlansChangeNothingAndListWhatTheRunThenDoes) {
  Tally tally;
  int planned = 0;
  for (uint32_t seed = 1; seed <= kMachines; ++seed) {
    Outcome plan, run;
    tally.add(seed, planAndRun(seed, plan, run));
    planned += plan.removed;
  }
  EXPECT_TRUE(tally.empty()) << tally.report();
  EXPECT_GT(planned, static_cast<int>(kMachines) * 3 / 4);
}

}  // namespace
}  // namespace cvl::checker
