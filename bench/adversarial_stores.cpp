// Start-up and removal requests on large stores of adversarial shapes
// against a flat store of as many components, in the same run.
#include <cstdio>
#include <memory>
#include <vector>

#include "bench_clock.h"
#include "platform/memory/memory_platform.h"
#include "tests/support/installation/shapes.h"
#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/startup/startup_sequence.h"
#include "uninstaller/store/config_store.h"

namespace {

using namespace cvl;

constexpr int kComponents = 10000;
constexpr int kRounds = 5;

struct Timings {
  std::vector<double> startupMs;
  std::vector<double> requestsMs;
};

Timings measure(fixture::Shape shape) {
  const fixture::Installation suite = fixture::shapedSuite("C:\\Bench", shape, kComponents);
  platform::MemoryPlatform machine;
  machine.system().setSpecialFolder(platform::csidl::kPrograms, suite.programsFolder);
  fixture::writeStore(machine, suite);
  fixture::writeLog(machine, suite);
  fixture::registerInstallation(machine, suite);
  Timings timings;
  for (int round = 0; round < kRounds; ++round) {
    auto store = std::make_unique<CConfigStore>();
    auto catalogue = std::make_unique<Catalogue>();
    auto state = std::make_unique<StartupState>();
    bool started = false;
    timings.startupMs.push_back(
        bench::timeMs([&] { started = runStartup(machine, *store, *catalogue, *state) == StartupError::None; }));
    if (!started) std::printf("  start-up failed\n");
    // The user checks every top component.
    timings.requestsMs.push_back(bench::timeMs([&] {
      for (const std::string& top : catalogue->topComponents) catalogue->componentMap.find(top)->requestRemoval();
    }));
    size_t due = 0;
    for (const auto& entry : catalogue->componentMap) due += entry.component->isDueForRemoval();
    if (due != catalogue->componentMap.size()) std::printf("  only %zu of %zu due\n", due, catalogue->componentMap.size());
  }
  return timings;
}

}  // namespace

int main() {
  std::printf("adversarial_store_bench: %d component sections per store, baseline a flat store\n", kComponents);
  const Timings flat = measure(fixture::Shape::Flat);
  std::printf("  flat: start-up %.1f ms, requests %.1f ms\n", bench::median(flat.startupMs),
              bench::median(flat.requestsMs));
  for (const auto& named : fixture::kShapes) {
    if (named.shape == fixture::Shape::Flat) continue;
    const Timings own = measure(named.shape);
    std::printf("  %-16s start-up %8.1f ms  ratio %5.2f   requests %8.1f ms  ratio %5.2f  (goal <= 3)\n", named.name,
                bench::median(own.startupMs), bench::median(own.startupMs) / bench::median(flat.startupMs),
                bench::median(own.requestsMs), bench::median(own.requestsMs) / bench::median(flat.requestsMs));
  }
  return 0;
}
