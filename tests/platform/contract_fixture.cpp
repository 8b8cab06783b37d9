#include "contract_fixture.h"

#include <vector>

namespace cvl::platform::contract {

void deleteKeyTree(Registry& registry, RegRoot root, const std::string& key) {
  RegKeyPtr handle;
  if (registry.openKey(root, key, access::kRead | access::kOpenLink, handle) != kSuccess) return;
  bool link = false;
  if (handle->isLink(link) == kSuccess && link) {
    (void)handle->deleteKey("");  // the key behind the handle: the link itself
    return;
  }
  std::vector<std::string> children;
  std::string name;
  for (uint32_t i = 0; handle->enumKey(i, name) == kSuccess; ++i) children.push_back(name);
  handle.reset();
  for (const auto& child : children) deleteKeyTree(registry, root, key + "\\" + child);
  registry.deleteKey(root, key);
}

void deleteDirectoryTree(FileSystem& files, const std::string& directory) {
  std::vector<FoundEntry> entries;
  files.find(directory + "\\*", [&](const FoundEntry& entry) {
    if (entry.name != "." && entry.name != "..") entries.push_back(entry);
    return true;
  });
  for (const auto& entry : entries) {
    const std::string child = directory + "\\" + entry.name;
    files.setAttributes(child, attr::kNormal);
    if (entry.attributes & attr::kDirectory) {
      deleteDirectoryTree(files, child);
    } else {
      files.deleteFile(child);
    }
  }
  files.removeDirectory(directory);
}

void Contract::SetUp() {
  scratch_ = GetParam().make();
  savedDirectory_ = files().currentDirectory();
  deleteKeyTree(reg(), scratch_->root, scratch_->key);
  deleteDirectoryTree(files(), scratch_->directory);
  RegKeyPtr key;
  ASSERT_EQ(reg().createKey(scratch_->root, scratch_->key, access::kAllAccess, key), kSuccess);
  ASSERT_EQ(files().createDirectory(scratch_->directory), kSuccess);
}

void Contract::TearDown() {
  if (!scratch_) return;
  files().setCurrentDirectory(savedDirectory_);
  deleteKeyTree(reg(), scratch_->root, scratch_->key);
  deleteDirectoryTree(files(), scratch_->directory);
}

RegKeyPtr Contract::scratchKey(uint32_t access) {
  RegKeyPtr key;
  EXPECT_EQ(reg().openKey(scratch_->root, scratch_->key, access, key), kSuccess);
  return key;
}

RegKeyPtr Contract::createKey(const std::string& name) {
  RegKeyPtr key;
  EXPECT_EQ(reg().createKey(scratch_->root, keyPath(name), access::kAllAccess, key), kSuccess);
  return key;
}

void Contract::writeFile(const std::string& name, const std::string& content) {
  FilePtr file;
  ASSERT_EQ(files().open(path(name), OpenMode::CreateAlways, file), kSuccess);
  ASSERT_EQ(file->write(content.data(), static_cast<uint32_t>(content.size())), kSuccess);
}

std::string Contract::readFile(const std::string& name) {
  FilePtr file;
  if (files().open(path(name), OpenMode::Read, file) != kSuccess) return "<unopened>";
  std::string text(4096, '\0');
  uint32_t done = 0;
  file->read(text.data(), static_cast<uint32_t>(text.size()), done);
  return text.substr(0, done);
}

std::string implementationName(const ::testing::TestParamInfo<Implementation>& info) { return info.param.name; }

}  // namespace cvl::platform::contract
