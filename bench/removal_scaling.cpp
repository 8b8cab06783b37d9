// The cost per item of a whole removal and of a plan as the installation
// grows: the synthetic installation at 1x, 4x and 16x (more components of
// the same shape), on the in-memory machine, so only the removal's own work
// is timed. Also a logged key 1 250, 5 000 and 20 000 levels deep (deeper
// than a real registry allows), whose sweep must not cost more per level as
// it deepens. Prints medians of ROUNDS rounds.
// Usage: removal_scaling_bench [ROUNDS [sizes|deep]]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "all_checked.h"
#include "bench_clock.h"
#include "build_name.h"
#include "engine_synthetic.h"
#include "platform/memory/memory_platform.h"
#include "uninstaller/engine/record/run_mode.h"
#include "uninstaller/engine/uninstall_driver.h"

namespace {

using namespace cvl;
using bench::SyntheticInstallation;

class NoProgress : public ProgressWindow {
 public:
  void create() override {}
  void setProgressVisible(bool) override {}
  void showStep(int) override {}
  void setRange(int, int) override {}
  void tick() override {}
  void finish(bool) override {}
  void showLogNotWritten() override {}
};

void place(const SyntheticInstallation& installation, platform::MemoryPlatform& machine) {
  for (const std::string& dir : installation.directories()) machine.files().addDirectory(dir);
  for (const std::string& file : installation.files()) machine.files().addFile(file, "corvel");
  for (const std::string& key : installation.keys()) {
    machine.registry().seedValue(platform::RegRoot::LocalMachine, key, "Path", platform::RegValue::string("C:\\Corvel"));
    machine.registry().seedValue(platform::RegRoot::LocalMachine, key, "Count", platform::RegValue::dword(1));
  }
  for (const std::string& file : installation.sharedFiles()) {
    machine.registry().seedValue(platform::RegRoot::LocalMachine, SyntheticInstallation::kSharedDlls, file,
                                 platform::RegValue::dword(1));
  }
  machine.files().addFile(std::string(SyntheticInstallation::kUninstallDir) + kStoreFileName);
}

// Milliseconds of the run alone; loading and placing are not timed.
double removalMs(const SyntheticInstallation& installation, bool plan) {
  platform::MemoryPlatform machine;
  place(installation, machine);
  LoadedInstallation loaded;
  installation.load(loaded, machine);
  RemovalJournal journal;
  RunMachine run(machine, journal, runModeFor(plan, false));
  RemovalContext context = loaded.removalContext(run.platform());
  context.silent = true;
  bench::AllChecked tree(loaded.catalogue);
  NoProgress progress;
  return bench::timeMs([&] { runUninstall(context, tree, progress); });
}

double items(const SyntheticInstallation& installation) {
  return static_cast<double>(installation.files().size() + installation.directories().size() +
                             installation.keys().size() * 3);  // each key with its two values
}

// A component whose group logs one key `levels` deep below its own.
double deepKeyMs(int levels) {
  bench::SyntheticShape shape;
  shape.components = 1;
  shape.dirsPerComponent = 0;
  shape.filesPerDir = 0;
  shape.keysPerComponent = 0;
  shape.sharedPerComponent = 0;
  shape.deepKeyLevels = levels;
  return removalMs(SyntheticInstallation{shape}, false);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const std::string only = argc > 2 ? argv[2] : "";
  bench::printBuild();
  std::printf("medians of %d rounds\n", rounds);
  for (const bool plan : {false, true}) {
    if (only == "deep") break;
    double firstPerItem = 0;
    for (const int scale : {1, 4, 16}) {
      bench::SyntheticShape shape;
      shape.components *= scale;
      const SyntheticInstallation installation{shape};
      std::vector<double> times;
      for (int round = 0; round < rounds; ++round) times.push_back(removalMs(installation, plan));
      const double perItem = bench::median(times) * 1000.0 / items(installation);
      if (scale == 1) firstPerItem = perItem;
      std::printf("%s %2dx (%7.0f items): %8.0f ms, %.2f us per item (%.2f of 1x)\n", plan ? "plan   " : "removal",
                  scale, items(installation), bench::median(times), perItem, perItem / firstPerItem);
    }
  }
  double firstPerLevel = 0;
  for (const int levels : {1250, 5000, 20000}) {
    if (only == "sizes") break;
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) times.push_back(deepKeyMs(levels));
    const double perLevel = bench::median(times) * 1000.0 / levels;
    if (levels == 1250) firstPerLevel = perLevel;
    std::printf("key %5d levels deep: %8.0f ms, %.2f us per level (%.2f of 1 250)\n", levels, bench::median(times),
                perLevel, perLevel / firstPerLevel);
  }
  std::printf("goal: per item and per level within 1.3 of the smallest size\n");
  return 0;
}
