#pragma once
// The in-memory machine for the engine's tests: an installation declared
// with the shared builder, written to the machine and loaded as start-up
// loads it, ready for one removal run.
#include <memory>
#include <string>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "tests/support/doubles/driver_doubles.h"
#include "tests/support/installation/installation.h"
#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/uninstall_driver.h"
#include "uninstaller/removal/noted_paths.h"
#include "uninstaller/startup/loaded_installation.h"

namespace cvl::test {

using Lines = std::vector<std::string>;

class EngineWorld {
 public:
  static constexpr const char* kUninstallDir = "C:\\Program Files\\Corvel\\Uninstall\\";
  static constexpr const char* kUserPrograms = "C:\\Users\\Tester\\Start Menu\\Programs";
  static constexpr const char* kCommonPrograms = "C:\\All Users\\Start Menu\\Programs";

  EngineWorld();

  // A component offered at the top; a part below the others, hidden.
  void addTop(fixture::Component component);
  void addPart(fixture::Component component);
  void addRunOnce(const std::string& component, const std::string& name, const std::string& command);

  // Writes the store, the log and the uninstaller's keys, and loads them as
  // start-up does; install() first puts down the logged files and keys.
  RemovalContext& load();
  RemovalContext& install();

  RemovalContext& context() { return *context_; }
  CComponent& component(const std::string& name);
  // Whether the store on disk still has the component selected.
  bool selectedOnDisk(const std::string& name);
  // Lines the context's journal writes from now on.
  Lines& journalLines();
  SelectionTree::Item check(const std::string& name, CheckState state = CheckState::Checked,
                            SelectionTree::Item parent = 0) {
    return tree.add(state, &component(name), parent);
  }
  bool run() { return runUninstall(context(), tree, progress); }

  static std::string target(const std::string& relative) { return "C:\\PROGRAM FILES\\CORVEL\\" + relative; }
  bool exists(const std::string& relative) const { return files.exists(target(relative)); }
  // Those of the target's files and folders that are there, in the order asked.
  Lines present(const Lines& relatives) const;

  fixture::Installation suite;
  platform::MemoryPlatform platform;
  platform::MemoryFileSystem& files = platform.files();
  platform::MemoryRegistry& registry = platform.registry();
  platform::MemorySystem& system = platform.system();
  LoadedInstallation installation;
  Catalogue& catalogue = installation.catalogue;
  NotedPaths& noted = installation.notedPaths;
  PlainTree tree;
  ProgressRecorder progress;

 private:
  std::unique_ptr<RemovalContext> context_;
  Lines journal_;
};

}  // namespace cvl::test
