// The checker over a seeded batch of whole removals: whatever the generated
// installation holds, no run may touch what the store and the log do not
// give the suite, start anything but what it may, or call any library but
// the VBA runtime's installer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <map>
#include <sstream>

#include "tests/checker/checked_removal.h"

namespace cvl::checker {
namespace {

constexpr uint32_t kRemovals = 2000;

// CHECKER_SEED=n runs that one removal, logged, and lists all it broke
// with the run's record.
TEST(RemovalChecker, OneSeedInDetail) {
  const char* seed = std::getenv("CHECKER_SEED");
  if (seed == nullptr) GTEST_SKIP() << "set CHECKER_SEED";
  CheckedRemoval removal;
  SeededChoices choices(static_cast<uint32_t>(std::stoul(seed)));
  installRandomSuite(choices, removal);
  const Outcome outcome = removal.run(choices, RunMode::Logged);
  std::string record;
  for (const std::string& line : outcome.journal) record += line + "\n";
  for (const Violation& violation : outcome.violations) ADD_FAILURE() << violation.rule << ": " << violation.what;
  if (!outcome.violations.empty()) std::cout << record;
}

TEST(RemovalChecker, GeneratedRemovalsTouchOnlyWhatTheSuiteOwns) {
  std::map<std::string, std::pair<int, std::string>> broken;  // rule: runs, first example
  int removed = 0;
  int wholeSuite = 0;
  for (uint32_t seed = 1; seed <= kRemovals; ++seed) {
    CheckedRemoval removal;
    SeededChoices choices(seed);
    installRandomSuite(choices, removal);
    const Outcome outcome = removal.run(choices);
    removed += outcome.removed;
    wholeSuite += outcome.everythingChecked;
    std::map<std::string, bool> seen;
    for (const Violation& violation : outcome.violations) {
      auto& [runs, example] = broken[violation.rule];
      if (!seen[violation.rule]) ++runs;
      if (example.empty()) example = "seed " + std::to_string(seed) + ": " + violation.what;
      seen[violation.rule] = true;
    }
  }
  std::ostringstream report;
  for (const auto& [rule, found] : broken) report << rule << " (" << found.first << " runs), e.g. " << found.second << "\n";
  EXPECT_TRUE(broken.empty()) << report.str();
  // The batch must really remove, both parts of the suite and all of it.
  EXPECT_GT(removed, static_cast<int>(kRemovals) * 3 / 4);
  EXPECT_GT(wholeSuite, static_cast<int>(kRemovals) / 5);
  EXPECT_LT(wholeSuite, removed * 4 / 5);
}

}  // namespace
}  // namespace cvl::checker
