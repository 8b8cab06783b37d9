#include "tests/support/scratch.h"

namespace cvl::test {

using namespace platform;

MemoryScratch::MemoryScratch(const std::string& tag) {
  dir = "C:\\Scratch\\" + tag;
  key = "Software\\" + tag;
  memory.files().addFile("C:\\Scratch\\other.txt");
  for (RegRoot root : {RegRoot::CurrentUser, RegRoot::LocalMachine}) {
    memory.registry().seedValue(root, "Software\\Other", "v", RegValue::dword(1));
  }
}

std::vector<ScratchKind> scratchKinds(const std::string& tag) {
  std::vector<ScratchKind> kinds{{"Memory", [tag] { return std::make_unique<MemoryScratch>(tag); }}};
#ifdef CVL_REAL_PLATFORM
  kinds.push_back(win32Scratch(tag));
#endif
  return kinds;
}

void eraseKey(Registry& registry, RegRoot root, const std::string& key) {
  RegKeyPtr handle;
  if (registry.openKey(root, key, access::kRead | access::kOpenLink, handle) != kSuccess) return;
  bool link = false;
  if (handle->isLink(link) == kSuccess && link) {
    (void)handle->deleteKey("");  // the key behind the handle: the link itself
    return;
  }
  std::vector<std::string> children;
  std::string name;
  for (uint32_t i = 0; handle->enumKey(i, name, 2000) == kSuccess; ++i) children.push_back(name);
  handle.reset();
  for (const auto& child : children) eraseKey(registry, root, key + "\\" + child);
  (void)registry.deleteKey(root, key);
}

void eraseDir(FileSystem& files, const std::string& dir) {
  std::vector<FoundEntry> entries;
  (void)files.find(dir + "\\*", [&](const FoundEntry& entry) {
    if (entry.name != "." && entry.name != "..") entries.push_back(entry);
    return true;
  });
  for (const auto& entry : entries) {
    const std::string child = dir + "\\" + entry.name;
    (void)files.setAttributes(child, attr::kNormal);
    if (entry.attributes & attr::kDirectory) {
      eraseDir(files, child);
    } else {
      (void)files.deleteFile(child);
    }
  }
  (void)files.removeDirectory(dir);
}

std::vector<std::string> keyNames(const RegKey& key) {
  std::vector<std::string> names;
  std::string name;
  for (uint32_t i = 0; key.enumKey(i, name) == kSuccess; ++i) names.push_back(name);
  return names;
}

std::vector<std::string> valueNames(const RegKey& key) {
  std::vector<std::string> names;
  std::string name;
  for (uint32_t i = 0; key.enumValue(i, name, nullptr) == kSuccess; ++i) names.push_back(name);
  return names;
}

void OnEachPlatform::SetUp() {
  scratch_ = GetParam().make();
  savedDirectory_ = files().currentDirectory();
  eraseDir(files(), scratch_->dir);
  ASSERT_EQ(files().createDirectory(scratch_->dir), kSuccess);
  for (RegRoot root : {RegRoot::CurrentUser, RegRoot::LocalMachine}) {
    eraseKey(reg(), root, scratch_->key);
    RegKeyPtr key;
    ASSERT_EQ(reg().createKey(root, scratch_->key, access::kAllAccess, key), kSuccess);
  }
}

void OnEachPlatform::TearDown() {
  if (!scratch_) return;
  (void)files().setCurrentDirectory(savedDirectory_);
  for (RegRoot root : {RegRoot::CurrentUser, RegRoot::LocalMachine}) eraseKey(reg(), root, scratch_->key);
  eraseDir(files(), scratch_->dir);
}

void OnEachPlatform::makeDir(const std::string& relative) {
  const std::string full = relative.empty() ? scratch_->dir : path(relative);
  for (size_t slash = full.find('\\', 3);; slash = full.find('\\', slash + 1)) {
    (void)files().createDirectory(full.substr(0, slash));
    if (slash == std::string::npos) break;
  }
  FileStatus status;
  EXPECT_EQ(files().status(full, status), kSuccess) << relative;
}

void OnEachPlatform::writeFile(const std::string& relative, const std::string& content) {
  FilePtr file;
  ASSERT_EQ(files().open(path(relative), OpenMode::CreateAlways, file), kSuccess) << relative;
  ASSERT_EQ(file->write(content.data(), static_cast<uint32_t>(content.size())), kSuccess) << relative;
}

std::string OnEachPlatform::readFile(const std::string& relative) {
  FilePtr file;
  if (files().open(path(relative), OpenMode::Read, file) != kSuccess) return "<unopened>";
  std::string text(4096, '\0');
  uint32_t done = 0;
  (void)file->read(text.data(), static_cast<uint32_t>(text.size()), done);
  return text.substr(0, done);
}

bool OnEachPlatform::exists(const std::string& relative) {
  FileStatus status;
  return files().status(path(relative), status) == kSuccess;
}

RegKeyPtr OnEachPlatform::scratchKey(uint32_t access) {
  RegKeyPtr key;
  EXPECT_EQ(reg().openKey(RegRoot::CurrentUser, scratch_->key, access, key), kSuccess);
  return key;
}

RegKeyPtr OnEachPlatform::makeKey(const std::string& relative, std::initializer_list<const char*> values,
                                  RegRoot root) {
  RegKeyPtr key;
  const std::string full = relative.empty() ? scratch_->key : subKey(relative);
  EXPECT_EQ(reg().createKey(root, full, access::kAllAccess, key), kSuccess) << relative;
  for (const char* name : values) {
    EXPECT_TRUE(key && key->setValue(name, RegValue::string("data")) == kSuccess) << relative << " / " << name;
  }
  return key;
}

bool OnEachPlatform::hasKey(RegRoot root, const std::string& relative) {
  RegKeyPtr key;
  return reg().openKey(root, subKey(relative), access::kRead, key) == kSuccess;
}

bool OnEachPlatform::hasValue(RegRoot root, const std::string& relative, const std::string& name) {
  RegKeyPtr key;
  RegValue value;
  return reg().openKey(root, subKey(relative), access::kRead, key) == kSuccess &&
         key->queryValue(name, value) == kSuccess;
}

}  // namespace cvl::test
