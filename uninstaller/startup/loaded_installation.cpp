#include "uninstaller/startup/loaded_installation.h"

#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/removal/noted_paths.h"
#include "uninstaller/store/config_store.h"

namespace cvl {

struct LoadedInstallation::Owned {
  CConfigStore store;
  Catalogue catalogue;
  NotedPaths notedPaths;
};

LoadedInstallation::LoadedInstallation()
    : owned_(std::make_unique<Owned>()), store(owned_->store), catalogue(owned_->catalogue),
      notedPaths(owned_->notedPaths) {}

LoadedInstallation::LoadedInstallation(CConfigStore& store, Catalogue& catalogue, NotedPaths& notedPaths)
    : store(store), catalogue(catalogue), notedPaths(notedPaths) {}

LoadedInstallation::~LoadedInstallation() = default;

StartupError LoadedInstallation::load(platform::Platform& platform) {
  return runStartup(platform, store, catalogue, state);
}

RemovalContext LoadedInstallation::removalContext(platform::Platform& machine) {
  return RemovalContext(machine, catalogue, state.log, state.pathMacros, notedPaths, store, state.uninstallDir);
}

}  // namespace cvl
