#include "world.h"

namespace cvl::test {

using namespace platform;

std::string worldName(const ::testing::TestParamInfo<WorldKind>& info) { return info.param.name; }

std::vector<WorldKind> worldKinds() {
#ifdef CVL_REAL_PLATFORM
  return {memoryWorld(), win32World()};
#else
  return {memoryWorld()};
#endif
}

void eraseKey(Registry& registry, RegRoot root, const std::string& subKey) {
  RegKeyPtr key;
  if (registry.openKey(root, subKey, access::kAllAccess, key) != kSuccess) return;
  std::string name;
  while (key->enumKey(0, name, 2000) == kSuccess) eraseKey(registry, root, subKey + "\\" + name);
  key.reset();
  registry.deleteKey(root, subKey);
}

void eraseDir(FileSystem& files, const std::string& dir) {
  std::vector<FoundEntry> entries;
  files.find(dir + "\\*.*", [&](const FoundEntry& entry) {
    if (entry.name != "." && entry.name != "..") entries.push_back(entry);
    return true;
  });
  for (const FoundEntry& entry : entries) {
    const std::string child = dir + "\\" + entry.name;
    if (entry.attributes & attr::kDirectory) {
      eraseDir(files, child);
    } else {
      files.setAttributes(child, attr::kNormal);
      files.deleteFile(child);
    }
  }
  files.removeDirectory(dir);
}

void OnEachPlatform::SetUp() {
  world_ = GetParam().make();
  eraseDir(platform().files(), world_->dir);
  makeDir("");
  makeFile("keeper.txt");
  for (RegRoot root : {RegRoot::CurrentUser, RegRoot::LocalMachine}) {
    eraseKey(platform().registry(), root, world_->key);
    RegKeyPtr key;
    ASSERT_EQ(platform().registry().createKey(root, world_->key, access::kAllAccess, key), kSuccess);
    key->setValue("keeper", RegValue::string("stays"));
  }
}

void OnEachPlatform::TearDown() {
  for (RegRoot root : {RegRoot::CurrentUser, RegRoot::LocalMachine}) eraseKey(platform().registry(), root, world_->key);
  eraseDir(platform().files(), world_->dir);
}

void OnEachPlatform::makeDir(const std::string& relative) {
  const std::string full = relative.empty() ? world_->dir : path(relative);
  for (size_t slash = full.find('\\', 3); ; slash = full.find('\\', slash + 1)) {
    platform().files().createDirectory(full.substr(0, slash));
    if (slash == std::string::npos) break;
  }
}

void OnEachPlatform::makeFile(const std::string& relative) {
  FilePtr file;
  ASSERT_EQ(platform().files().open(path(relative), OpenMode::CreateAlways, file), kSuccess) << relative;
  file->write("x", 1);
}

bool OnEachPlatform::exists(const std::string& relative) {
  FileStatus status;
  return platform().files().status(path(relative), status) == kSuccess;
}

void OnEachPlatform::makeKey(RegRoot root, const std::string& relative, std::initializer_list<const char*> values) {
  RegKeyPtr key;
  ASSERT_EQ(platform().registry().createKey(root, subKey(relative), access::kAllAccess, key), kSuccess) << relative;
  for (const char* name : values) key->setValue(name, RegValue::string("data"));
}

bool OnEachPlatform::hasKey(RegRoot root, const std::string& relative) {
  RegKeyPtr key;
  return platform().registry().openKey(root, subKey(relative), access::kRead, key) == kSuccess;
}

bool OnEachPlatform::hasValue(RegRoot root, const std::string& relative, const std::string& name) {
  RegKeyPtr key;
  RegValue value;
  return platform().registry().openKey(root, subKey(relative), access::kRead, key) == kSuccess &&
         key->queryValue(name, value) == kSuccess;
}

}  // namespace cvl::test
