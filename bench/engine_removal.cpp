// The whole removal run over a synthetic installation (by default 20 000
// files in 1 000 directories, 5 000 logged keys, 100 components), against a
// plain loop of DeleteFileA, RemoveDirectoryA and RegDeleteKeyA over exactly
// the same things, measured in the same run. Prints both medians and the
// ratio. The same removal is also timed logged (/LOG=) and planned (/PLAN),
// each against the plain removal of the same round. Usage: engine_bench [ROUNDS]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "engine_synthetic.h"
#include "platform/forwarding.h"
#include "platform/win32/win32_platform.h"
#include "uninstaller/engine/record/removal_log_file.h"
#include "uninstaller/engine/record/run_mode.h"
#include "uninstaller/engine/uninstall_driver.h"
#include "all_checked.h"
#include "bench_clock.h"
#include "build_name.h"

namespace {

using namespace cvl;
using bench::SyntheticInstallation;
using bench::median;
using bench::timeMs;

// Notes when each step begins, so the time of each phase can be shown.
class QuietProgress : public ProgressWindow {
 public:
  void create() override {}
  void setProgressVisible(bool) override {}
  void showStep(int step) override {
    lastStep = step;
    stepStarts.emplace_back(step, std::chrono::steady_clock::now());
  }
  void setRange(int, int) override {}
  void tick() override { ++ticks; }
  void finish(bool) override {}
  void showLogNotWritten() override {}
  void printPhases(std::chrono::steady_clock::time_point end) const {
    std::printf("  engine:");
    for (size_t i = 0; i < stepStarts.size(); ++i) {
      const auto until = i + 1 < stepStarts.size() ? stepStarts[i + 1].second : end;
      std::printf(" step %d %.0f ms%s", stepStarts[i].first,
                  std::chrono::duration<double, std::milli>(until - stepStarts[i].second).count(),
                  i + 1 < stepStarts.size() ? "," : "\n");
    }
  }
  int lastStep = 0;
  int ticks = 0;
  std::vector<std::pair<int, std::chrono::steady_clock::time_point>> stepStarts;
};

void plainLoop(const SyntheticInstallation& installation, bool quiet = false) {
  const double files = timeMs([&] {
    for (const std::string& file : installation.files()) DeleteFileA(file.c_str());
  });
  const double dirs = timeMs([&] {
    for (const std::string& dir : installation.directories()) RemoveDirectoryA(dir.c_str());
  });
  const double keys = timeMs([&] {
    for (const std::string& key : installation.keys()) RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
    HKEY counts;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SyntheticInstallation::kSharedDlls, 0, KEY_SET_VALUE, &counts) == ERROR_SUCCESS) {
      for (const std::string& file : installation.sharedFiles()) RegDeleteValueA(counts, file.c_str());
      RegCloseKey(counts);
    }
  });
  if (!quiet) std::printf("  plain loop: files %.0f ms, directories %.0f ms, keys %.0f ms\n", files, dirs, keys);
}

enum class Mode { Plain, Logged, Planned };

// The removal record's share of a run: the time its file operations take.
class TimedRecordFiles : public platform::ForwardingFileSystem {
 public:
  using ForwardingFileSystem::ForwardingFileSystem;
  platform::Status open(const std::string& path, platform::OpenMode mode, platform::FilePtr& out) override {
    platform::Status status = platform::kSuccess;
    spentMs += timeMs([&] { status = inner_.open(path, mode, out); });
    if (status == platform::kSuccess) out = std::make_unique<TimedFile>(std::move(out), spentMs);
    return status;
  }
  platform::Status replaceFile(const std::string& from, const std::string& to) override {
    platform::Status status = platform::kSuccess;
    spentMs += timeMs([&] { status = inner_.replaceFile(from, to); });
    return status;
  }
  double spentMs = 0;

 private:
  class TimedFile : public platform::File {
   public:
    TimedFile(platform::FilePtr inner, double& spentMs) : inner_(std::move(inner)), spentMs_(spentMs) {}
    ~TimedFile() override { spentMs_ += timeMs([&] { inner_.reset(); }); }
    platform::Status read(void* buffer, uint32_t size, uint32_t& done) override { return inner_->read(buffer, size, done); }
    platform::Status write(const void* buffer, uint32_t size) override {
      platform::Status status = platform::kSuccess;
      spentMs_ += timeMs([&] { status = inner_->write(buffer, size); });
      return status;
    }
    platform::Status flush() override {
      platform::Status status = platform::kSuccess;
      spentMs_ += timeMs([&] { status = inner_->flush(); });
      return status;
    }
    uint64_t size() const override { return inner_->size(); }

   private:
    platform::FilePtr inner_;
    double& spentMs_;
  };
};
constexpr const char* kBenchLog = "C:\\CvlEngineBench-removal.log";

// Loading is start-up's work: only the run itself is timed. A logged run
// includes opening and closing its log.
double engineRun(const SyntheticInstallation& installation, bool& clean, Mode mode = Mode::Plain,
                 double* recordMs = nullptr) {
  platform::Win32Platform real;
  RemovalJournal journal;
  RemovalLogFile logFile(real.files());
  RunMachine machine(real, journal, runModeFor(mode == Mode::Planned, mode == Mode::Logged));
  platform::Platform& platform = machine.platform();
  LoadedInstallation loaded;
  installation.load(loaded, platform);
  RemovalContext context = loaded.removalContext(platform);
  context.silent = true;
  context.journal = &journal;
  TimedRecordFiles recordFiles(real.files());
  context.recordFiles = &recordFiles;
  bench::AllChecked tree(loaded.catalogue);
  QuietProgress progress;
  const double ms = timeMs([&] {
    const auto writes = mode == Mode::Planned ? RemovalLogFile::Writes::Gathered : RemovalLogFile::Writes::EachLine;
    if (mode != Mode::Plain && logFile.open(kBenchLog, writes) == platform::kSuccess) {
      journal.attach([&](const std::string& line) { logFile.writeLine(line); });
    }
    runUninstall(context, tree, progress);
    logFile.close();
  });
  progress.printPhases(std::chrono::steady_clock::now());
  if (recordMs != nullptr) *recordMs = recordFiles.spentMs;
  clean = progress.lastStep == (mode == Mode::Planned ? 9 : 6) && !context.hadErrors && (mode == Mode::Plain || journal.attached());
  return ms;
}

bool gone(const SyntheticInstallation& installation) {
  HKEY key;
  const bool keyLeft = RegOpenKeyExA(HKEY_LOCAL_MACHINE, SyntheticInstallation::kKeyRoot, 0, KEY_READ, &key) == ERROR_SUCCESS;
  if (keyLeft) RegCloseKey(key);
  return !keyLeft && GetFileAttributesA(SyntheticInstallation::kTarget) == INVALID_FILE_ATTRIBUTES;
}

// Each measurement starts on a freshly created installation, after a pause
// that lets the file system finish writing it.
bool prepare(const SyntheticInstallation& installation) {
  installation.removeLeftovers();
  if (!installation.create()) return false;
  Sleep(3000);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  bench::printBuild();
  const SyntheticInstallation installation{bench::SyntheticShape{}};
  std::vector<double> baseline, engine, ratios, planRatios, logRatios, recordRatios;
  for (int round = 0; round < rounds; ++round) {
    // Each run starts at the same time after its installation was made: the
    // file system is still writing it back, more the later a run starts.
    // The order changes so that over four rounds each part comes first once
    // and follows each other part once, whatever state one leaves behind.
    enum Part { PlainLoop, Plan, Removal, LoggedRemoval };
    constexpr Part kOrders[4][4] = {{PlainLoop, Plan, LoggedRemoval, Removal},
                                    {Plan, Removal, PlainLoop, LoggedRemoval},
                                    {Removal, LoggedRemoval, Plan, PlainLoop},
                                    {LoggedRemoval, PlainLoop, Removal, Plan}};
    double plannedMs = 0, loggedMs = 0;
    for (int part = 0; part < 4; ++part) {
      if (!prepare(installation)) return std::printf("cannot create the installation\n"), 1;
      bool clean = false;
      switch (kOrders[round % 4][part]) {
        case PlainLoop:
          baseline.push_back(timeMs([&] { plainLoop(installation); }));
          if (!gone(installation)) return std::printf("the plain loop left something\n"), 1;
          break;
        case Plan:
          plannedMs = engineRun(installation, clean, Mode::Planned);
          if (!clean || gone(installation)) return std::printf("the plan failed or changed something\n"), 1;
          DeleteFileA(kBenchLog);
          // Removed as the other parts' are, so the part after it meets the same state of the system.
          plainLoop(installation, true);
          break;
        case Removal:
          double recordMs;
          engine.push_back(engineRun(installation, clean, Mode::Plain, &recordMs));
          recordRatios.push_back(engine.back() / std::max(1.0, engine.back() - recordMs));
          if (!clean || !gone(installation)) return std::printf("the engine left something\n"), 1;
          break;
        case LoggedRemoval:
          loggedMs = engineRun(installation, clean, Mode::Logged);
          if (!clean || !gone(installation)) return std::printf("the logged engine left something\n"), 1;
          DeleteFileA(kBenchLog);
      }
    }
    ratios.push_back(engine.back() / baseline.back());
    planRatios.push_back(plannedMs / engine.back());
    logRatios.push_back(loggedMs / engine.back());
    std::printf("round %d: plain loop %.0f ms, engine %.0f ms (ratio %.2f), plan %.0f ms (%.2f), logged %.0f ms (%.2f), "
                "with its removal record %.3f of without\n",
                round + 1, baseline.back(), engine.back(), ratios.back(), plannedMs, planRatios.back(), loggedMs,
                logRatios.back(), recordRatios.back());
  }
  installation.removeLeftovers();
  const auto& shape = installation.shape;
  std::printf("%d files (%d shared) in %d directories, %d logged keys, %d components\n",
              static_cast<int>(installation.files().size()), static_cast<int>(installation.sharedFiles().size()),
              static_cast<int>(installation.directories().size()), shape.components * shape.keysPerComponent,
              shape.components);
  std::printf("medians of %d rounds\n", rounds);
  std::printf("median: plain loop %.0f ms, engine %.0f ms, ratio %.2f (goal <= 1.2)\n", median(baseline),
              median(engine), median(ratios));
  std::printf("median: plan / removal %.2f (goal <= 0.3), logged / unlogged removal %.2f (goal <= 1.1)\n",
              median(planRatios), median(logRatios));
  std::printf("median: removal with its removal record / without %.3f (goal <= 1.05)\n", median(recordRatios));
  return 0;
}
