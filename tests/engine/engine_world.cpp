#include "tests/engine/engine_world.h"

#include <stdexcept>

namespace cvl::test {

EngineWorld::EngineWorld() {
  suite.uninstallDir = kUninstallDir;
  suite.targetDir = "C:\\PROGRAM FILES\\CORVEL";
  suite.programsFolder = kUserPrograms;
  suite.pathMacros = {{"TARGETDIR", suite.targetDir + "\\"}};
  system.setSpecialFolder(platform::csidl::kPrograms, kUserPrograms);
  system.setSpecialFolder(platform::csidl::kCommonPrograms, kCommonPrograms);
}

void EngineWorld::addTop(fixture::Component component) {
  suite.topComponents.push_back(component.name);
  suite.components.push_back(std::move(component));
}

void EngineWorld::addPart(fixture::Component component) {
  component.visible = false;
  suite.components.push_back(std::move(component));
}

void EngineWorld::addRunOnce(const std::string& component, const std::string& name, const std::string& command) {
  suite.unloggedKeys.push_back({"HKLM\\" + std::string(kComponentsKey) + component + "\\RunOnce", {name + "=" + command}});
}

RemovalContext& EngineWorld::load() {
  fixture::writeStore(platform, suite);
  fixture::writeLog(platform, suite);
  fixture::registerUninstaller(platform, suite);
  if (installation.load(platform) != StartupError::None) throw std::runtime_error("start-up failed");
  context_.reset(new RemovalContext(installation.removalContext(platform)));
  return *context_;
}

RemovalContext& EngineWorld::install() {
  fixture::install(platform, suite);
  return load();
}

CComponent& EngineWorld::component(const std::string& name) {
  CComponent* component = catalogue.componentMap.find(platform::upper(name));
  if (component == nullptr) throw std::runtime_error("no component " + name);
  return *component;
}

bool EngineWorld::selectedOnDisk(const std::string& name) {
  CConfigStore onDisk;
  Catalogue reread;
  if (!onDisk.load(files, installation.store.path()) || !reread.parseComponents(onDisk)) return false;
  const CComponent* component = reread.componentMap.find(platform::upper(name));
  return component != nullptr && component->selected;
}

Lines EngineWorld::present(const Lines& relatives) const {
  Lines there;
  for (const std::string& relative : relatives) {
    if (exists(relative)) there.push_back(relative);
  }
  return there;
}

Lines& EngineWorld::journalLines() {
  context().journal->attach([this](const std::string& line) { journal_.push_back(line); });
  return journal_;
}

}  // namespace cvl::test
