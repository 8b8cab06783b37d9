// Cut at every change on a few installations, at sampled changes on many more.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "tests/checker/cut_rerun.h"

namespace cvl::checker {
namespace {

ChoicesSource seeded(uint32_t seed) {
  return [seed] { return std::make_unique<SeededChoices>(seed); };
}

TEST(CutRemoval, EndsWhereAWholeRemovalEndsWhereverItIsCut) {
  std::vector<std::string> faults;
  const auto check = [&](uint32_t seed, uint64_t cut, const WholeRemoval& whole) {
    if (faults.size() >= 5) return;
    if (std::string fault = cutAndRunAgain(seeded(seed), cut, whole); !fault.empty()) {
      faults.push_back("seed " + std::to_string(seed) + ", " + fault);
    }
  };
  // Every cut on a few installations, sampled cuts on many more.
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    const WholeRemoval whole = wholeRemoval(seeded(seed));
    for (uint64_t cut = 0; cut < whole.changes; ++cut) check(seed, cut, whole);
  }
  // CUT_SEEDS=n samples n installations, for a longer search.
  const uint32_t sampled = std::getenv("CUT_SEEDS") ? static_cast<uint32_t>(std::stoul(std::getenv("CUT_SEEDS"))) : 200;
  for (uint32_t seed = 7; seed < 7 + sampled; ++seed) {
    const WholeRemoval whole = wholeRemoval(seeded(seed));
    SeededChoices cuts(seed);
    for (int sample = 0; sample < 6 && whole.changes > 0; ++sample) {
      check(seed, cuts.below(static_cast<uint32_t>(whole.changes)), whole);
    }
  }
  std::ostringstream report;
  for (const std::string& fault : faults) report << fault << "\n";
  EXPECT_TRUE(faults.empty()) << report.str();
}

}  // namespace
}  // namespace cvl::checker
