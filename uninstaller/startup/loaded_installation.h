#pragma once
// What start-up loads for a removal: the configuration store, the catalogue
// read from it, the install log, path macros and uninstall directory, and
// the paths the removal notes on its way. The program loads into its own
// process-wide store, catalogue and noted paths; a test or a benchmark
// holds one installation of its own.
#include <memory>

#include "platform/platform.h"
#include "uninstaller/engine/removal_context.h"
#include "uninstaller/startup/startup_sequence.h"

namespace cvl {

class LoadedInstallation {
  struct Owned;
  std::unique_ptr<Owned> owned_;  // first: the references below may point into it

 public:
  // With a store, catalogue and noted paths of its own.
  LoadedInstallation();
  // Over ones that outlive it, such as the program's.
  LoadedInstallation(CConfigStore& store, Catalogue& catalogue, NotedPaths& notedPaths);
  LoadedInstallation(const LoadedInstallation&) = delete;
  LoadedInstallation& operator=(const LoadedInstallation&) = delete;
  ~LoadedInstallation();

  // The start-up sequence (runStartup); the state is filled as far as it got.
  StartupError load(platform::Platform& platform);

  // A removal of what was loaded, run on `machine`: the platform it was
  // loaded from, or a layer over it that journals or only plans (RunMachine).
  RemovalContext removalContext(platform::Platform& machine);

  CConfigStore& store;
  Catalogue& catalogue;
  NotedPaths& notedPaths;
  StartupState state;
};

}  // namespace cvl
