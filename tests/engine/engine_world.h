#pragma once
// The in-memory machine for the engine's tests: an installation declared
// with the shared builder, written to the machine and loaded as start-up
// loads it, ready for one removal run.
#include <memory>
#include <stdexcept>
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

  EngineWorld() {
    suite.uninstallDir = kUninstallDir;
    suite.targetDir = "C:\\PROGRAM FILES\\CORVEL";
    suite.programsFolder = kUserPrograms;
    suite.pathMacros = {{"TARGETDIR", suite.targetDir + "\\"}};
    system.setSpecialFolder(platform::csidl::kPrograms, kUserPrograms);
    system.setSpecialFolder(platform::csidl::kCommonPrograms, kCommonPrograms);
  }

  // A component offered at the top; a part below the others, hidden.
  void addTop(fixture::Component component) {
    suite.topComponents.push_back(component.name);
    suite.components.push_back(std::move(component));
  }
  void addPart(fixture::Component component) {
    component.visible = false;
    suite.components.push_back(std::move(component));
  }
  void addRunOnce(const std::string& component, const std::string& name, const std::string& command) {
    const std::string key = "HKLM\\" + std::string(kComponentsKey) + component + "\\RunOnce";
    suite.unloggedKeys.push_back({key, {name + "=" + command}});
  }

  // Writes the store, the log and the uninstaller's keys, and loads them as
  // start-up does; install() first puts down the logged files and keys.
  RemovalContext& load() {
    fixture::writeStore(platform, suite);
    fixture::writeLog(platform, suite);
    fixture::registerUninstaller(platform, suite);
    if (installation.load(platform) != StartupError::None) throw std::runtime_error("start-up failed");
    context_.reset(new RemovalContext(installation.removalContext(platform)));
    return *context_;
  }
  RemovalContext& install() {
    fixture::install(platform, suite);
    return load();
  }

  RemovalContext& context() { return *context_; }
  CComponent& component(const std::string& name) {
    CComponent* component = catalogue.componentMap.find(platform::upper(name));
    if (component == nullptr) throw std::runtime_error("no component " + name);
    return *component;
  }
  // Whether the store on disk still has the component selected.
  bool selectedOnDisk(const std::string& name) {
    CConfigStore onDisk;
    Catalogue reread;
    if (!onDisk.load(files, installation.store.path()) || !reread.parseComponents(onDisk)) return false;
    const CComponent* component = reread.componentMap.find(platform::upper(name));
    return component != nullptr && component->selected;
  }
  // Lines the context's journal writes from now on.
  Lines& journalLines() {
    context().journal->attach([this](const std::string& line) { journal_.push_back(line); });
    return journal_;
  }
  SelectionTree::Item check(const std::string& name, CheckState state = CheckState::Checked,
                            SelectionTree::Item parent = 0) {
    return tree.add(state, &component(name), parent);
  }
  bool run() { return runUninstall(context(), tree, progress); }

  static std::string target(const std::string& relative) { return "C:\\PROGRAM FILES\\CORVEL\\" + relative; }
  bool exists(const std::string& relative) const { return files.exists(target(relative)); }
  // Those of the target's files and folders that are there, in the order asked.
  Lines present(const Lines& relatives) const {
    Lines there;
    for (const std::string& relative : relatives) {
      if (exists(relative)) there.push_back(relative);
    }
    return there;
  }

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
