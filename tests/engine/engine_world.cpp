#include "tests/engine/engine_world.h"

#include <stdexcept>

namespace cvl::test {

using namespace platform;

EngineWorld::EngineWorld() : components_(store.enterSet(kComponentSetName)) {
  store.enterSet(kDataSetName).addSection("Data");
  store.enterSet(kCoreFileSetName).addSection("Win32");
  components_.addSection("TopComponents");
  macros["<TARGETDIR>"] = "C:\\PROGRAM FILES\\CORVEL\\";
  macros["<FOLDER_PROGRAMS>"] = kUserPrograms;
  macros["<COMMON_FOLDER_PROGRAMS>"] = kCommonPrograms;
  files.addDirectory(kUninstallDir);
  files.addFile(std::string(kUninstallDir) + "cvlinst.log");
  registry.seedValue(RegRoot::LocalMachine, "software\\corvel\\uninstall\\cdf", "", RegValue::string(kUninstallDir));
}

void EngineWorld::addComponent(const std::string& name, const Pairs& pairs) {
  CSection& section = components_.addSection(name);
  section.assign("UNINSTALLABLE", "YES");
  section.assign("INCLUDEINBUILD", "YES");
  section.assign("SELECTED", "YES");
  section.assign("TARGET", "<TARGETDIR>");
  for (const auto& [key, value] : pairs) section.assign(key, value);
}

void EngineWorld::addTopComponent(const std::string& name, const Pairs& pairs) {
  Pairs visible = {{"VISIBLE", "YES"}};
  visible.insert(visible.end(), pairs.begin(), pairs.end());
  addComponent(name, visible);
  CSection& top = *components_.findSection("TopComponents");
  top.assign("TOP" + std::to_string(top.size()), name);
}

void EngineWorld::addDataString(const std::string& id, const std::string& text) {
  store.findSectionSet(kDataSetName)->setValue("Data", id, text);
}

void EngineWorld::addCoreFile(const std::string& name) {
  store.findSectionSet(kCoreFileSetName)->setValue("Win32", name, "1");
}

CFilegroup& EngineWorld::addGroup(const std::string& name) {
  auto group = std::make_unique<CFilegroup>();
  group->setName(name);
  return log.addGroup(std::move(group));
}

void EngineWorld::addFiles(CFilegroup& group, const std::vector<std::string>& names) {
  group.files().insert(group.files().end(), names.begin(), names.end());
  group.setFileCount(static_cast<int32_t>(group.files().size()));
}

CDir& EngineWorld::addDir(CFilegroup& group, const std::string& name, const std::vector<std::string>& names) {
  CDir* last = const_cast<CDir*>(group.rootDir());
  CDir* dir = nullptr;
  if (last == nullptr) {
    dir = &group.makeRootDir();
  } else {
    while (last->nextSibling()) last = last->nextSibling();
    dir = &last->makeNextSibling();
  }
  dir->setOwnName(name);
  dir->files() = names;
  dir->setFileCount(static_cast<int32_t>(names.size()));
  return *dir;
}

void EngineWorld::load() {
  store.setPath(std::string(kUninstallDir) + kStoreFileName);
  files.addFile(store.path());
  if (!store.save(files)) throw std::runtime_error("store not written");
  if (!catalogue.parseComponents(store) || !catalogue.loadTopComponents(store, platform) ||
      !catalogue.loadDataStrings(store) || !catalogue.loadCoreFiles(store)) {
    throw std::runtime_error("catalogue not loaded");
  }
  context_.reset(new RemovalContext(platform, catalogue, log, macros, noted, store, kUninstallDir));
}

CComponent& EngineWorld::component(const std::string& name) {
  CComponent* component = catalogue.componentMap.find(upper(name));
  if (component == nullptr) throw std::runtime_error("no component " + name);
  return *component;
}

std::string EngineWorld::selectedOnDisk(const std::string& name) {
  CConfigStore onDisk;
  if (!onDisk.load(files, store.path())) return "(no store)";
  const CSection* section = onDisk.findSectionSet(kComponentSetName)->findSection(name);
  const std::string* selected = section ? section->find("SELECTED") : nullptr;
  return selected ? *selected : "(none)";
}

}  // namespace cvl::test
