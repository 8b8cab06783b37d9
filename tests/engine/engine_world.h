#pragma once
// An installation on the in-memory platform for the engine's tests: a
// configuration store, a catalogue, an install log and the path macros,
// ready for one removal run.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "tests/support/doubles/driver_doubles.h"
#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/removal_context.h"
#include "uninstaller/installlog/uninstall_log.h"
#include "uninstaller/removal/noted_paths.h"
#include "uninstaller/store/config_store.h"

namespace cvl::test {

using Pairs = std::vector<std::pair<std::string, std::string>>;

class EngineWorld {
 public:
  static constexpr const char* kUninstallDir = "C:\\Program Files\\Corvel\\Uninstall\\";
  static constexpr const char* kTargetDir = "C:\\Program Files\\Corvel";
  static constexpr const char* kUserPrograms = "C:\\Users\\Tester\\Start Menu\\Programs";
  static constexpr const char* kCommonPrograms = "C:\\All Users\\Start Menu\\Programs";

  EngineWorld();

  // A component section of "default.cdf"; uninstallable, in the build and
  // selected unless the pairs say otherwise.
  void addComponent(const std::string& name, const Pairs& pairs = {});
  // Also listed under TopComponents, visible.
  void addTopComponent(const std::string& name, const Pairs& pairs = {});
  void addDataString(const std::string& id, const std::string& text);
  void addCoreFile(const std::string& name);
  CFilegroup& addGroup(const std::string& name);
  static void addFiles(CFilegroup& group, const std::vector<std::string>& files);
  static CDir& addDir(CFilegroup& group, const std::string& name, const std::vector<std::string>& files);

  // Writes the store file, loads the catalogue from it and builds the context.
  void load();

  CComponent& component(const std::string& name);
  RemovalContext& context() { return *context_; }
  // SELECTED of a component as the store file on disk now says.
  std::string selectedOnDisk(const std::string& name);

  platform::MemoryPlatform platform;
  platform::MemoryFileSystem& files = platform.files();
  platform::MemoryRegistry& registry = platform.registry();
  platform::MemorySystem& system = platform.system();
  CConfigStore store;
  Catalogue catalogue;
  CUninstallLog log;
  PathMacros macros;
  NotedPaths noted;

 private:
  CSectionSet& components_;
  std::unique_ptr<RemovalContext> context_;
};

}  // namespace cvl::test
