#include "engine_synthetic.h"

namespace cvl::bench {

std::string numbered(std::string prefix, const char* separator, int number) {
  prefix.append(separator);
  prefix.append(std::to_string(number));
  return prefix;
}

void SyntheticInstallation::describe(CConfigStore& store, CUninstallLog& log) const {
  store.setPath(std::string(kUninstallDir) + kStoreFileName);
  CSectionSet& components = store.enterSet(kComponentSetName);
  CSection& top = components.addSection("TopComponents");
  store.enterSet(kDataSetName).addSection("Data");
  store.enterSet(kCoreFileSetName).addSection("Win32");
  for (int c = 0; c < shape.components; ++c) {
    const std::string name = componentName(c);
    top.assign(numbered("T", c), name);
    CSection& section = components.addSection(name);
    for (const char* flag : {"UNINSTALLABLE", "INCLUDEINBUILD", "SELECTED", "VISIBLE"}) section.assign(flag, "Yes");
    section.assign("TARGET", numbered("<TARGETDIR>", "\\C", c));
    section.assign("FILEGROUP1", name + "_FILES");

    auto group = std::make_unique<CFilegroup>();
    group->setName(name + "_FILES");
    CDir* dir = nullptr;
    for (int d = 0; d < shape.dirsPerComponent; ++d) {
      dir = dir ? &dir->makeNextSibling() : &group->makeRootDir();
      dir->setOwnName(dirName(d));
      for (int f = 0; f < shape.filesPerDir; ++f) dir->files().push_back(fileName(f));
      dir->setFileCount(shape.filesPerDir);
    }
    for (int k = 0; k < shape.keysPerComponent; ++k) {
      group->registry().keys().assign("HKLM\\" + keyOf(c, k), {"Path=C:\\Corvel", "Count=1"});
    }
    if (c == 0 && shape.deepKeyLevels > 0) group->registry().keys().assign("HKLM\\" + deepKey(), {"Path=C:\\Corvel", "Count=1"});
    log.addGroup(std::move(group));
    if (shape.sharedPerComponent > 0) describeShared(c, section, log);
  }
}

void SyntheticInstallation::load(LoadedInstallation& into, platform::Platform& platform) const {
  describe(into.store, into.state.log);
  into.catalogue.parseComponents(into.store);
  into.catalogue.loadTopComponents(into.store, platform);
  into.catalogue.loadDataStrings(into.store);
  into.catalogue.loadCoreFiles(into.store);
  into.state.pathMacros = {{"<TARGETDIR>", kTarget}};
  into.state.uninstallDir = kUninstallDir;
}

void SyntheticInstallation::describeShared(int c, CSection& section, CUninstallLog& log) const {
  const std::string groupName = componentName(c) + "_SHARED";
  section.assign("FILEGROUP2", groupName);
  auto group = std::make_unique<CFilegroup>();
  group->setName(groupName);
  group->setShared(true);
  CDir& dir = group->makeRootDir();
  dir.setOwnName("Shared");
  for (int f = 0; f < shape.sharedPerComponent; ++f) dir.files().push_back(sharedName(f));
  dir.setFileCount(shape.sharedPerComponent);
  log.addGroup(std::move(group));
}

std::vector<std::string> SyntheticInstallation::sharedFiles() const {
  std::vector<std::string> all;
  for (int c = 0; c < shape.components; ++c) {
    for (int f = 0; f < shape.sharedPerComponent; ++f) all.push_back(sharedDir(c) + "\\" + sharedName(f));
  }
  return all;
}

std::vector<std::string> SyntheticInstallation::files() const {
  std::vector<std::string> all;
  for (int c = 0; c < shape.components; ++c) {
    for (int d = 0; d < shape.dirsPerComponent; ++d) {
      for (int f = 0; f < shape.filesPerDir; ++f) all.push_back(componentDir(c) + "\\" + dirName(d) + "\\" + fileName(f));
    }
  }
  for (const std::string& file : sharedFiles()) all.push_back(file);
  return all;
}

std::vector<std::string> SyntheticInstallation::directories() const {
  std::vector<std::string> all;
  for (int c = 0; c < shape.components; ++c) {
    for (int d = 0; d < shape.dirsPerComponent; ++d) all.push_back(componentDir(c) + "\\" + dirName(d));
    if (shape.sharedPerComponent > 0) all.push_back(sharedDir(c));
    all.push_back(componentDir(c));
  }
  all.push_back(kTarget);
  return all;
}

std::string SyntheticInstallation::deepKey() const {
  std::string key = componentKey(0);
  key.reserve(key.size() + 8 * static_cast<size_t>(shape.deepKeyLevels));
  for (int level = 1; level <= shape.deepKeyLevels; ++level) key.append(numbered("\\L", level));
  return key;
}

std::vector<std::string> SyntheticInstallation::keys() const {
  std::vector<std::string> all;
  if (shape.deepKeyLevels > 0) all.push_back(deepKey());
  for (int c = 0; c < shape.components; ++c) {
    for (int k = 0; k < shape.keysPerComponent; ++k) all.push_back(keyOf(c, k));
    all.push_back(componentKey(c));
  }
  all.push_back(kKeyRoot);
  return all;
}

}  // namespace cvl::bench
