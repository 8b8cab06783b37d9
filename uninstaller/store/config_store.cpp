#include "uninstaller/store/config_store.h"

namespace cvl {
namespace {

// A set's smallest encoding: an empty key, an empty name, a section count.
constexpr uint64_t kMinSetBytes = 6;

std::string baseName(const std::string& key) {
  const size_t slash = key.rfind('\\');
  return slash == std::string::npos ? key : key.substr(slash + 1);
}

}  // namespace

void CConfigStore::serialize(Archive& archive) {
  if (archive.isStoring()) {
    archive.writeU32(static_cast<uint32_t>(sets_.size()));
    for (const auto& [key, set] : sets_) {
      archive.writeString(key);
      set->serialize(archive);
    }
    return;
  }
  sets_.clear();
  const int32_t count = archive.readI32("the section set count");
  if (count <= 0) return;
  archive.requireRoom(static_cast<uint64_t>(count), kMinSetBytes, "a section set count");
  for (int32_t i = 0; i < count; ++i) {
    const std::string key = archive.readString();
    enterSet(key).serialize(archive);
  }
}

CSectionSet& CConfigStore::enterSet(const std::string& key) {
  const std::string base = baseName(key);
  std::unique_ptr<CSectionSet>* found = sets_.findNoCase(base);
  if (found == nullptr) found = &sets_.assign(base, std::make_unique<CSectionSet>());
  CSectionSet& set = **found;
  set.setName(key);
  set.setListedKey(key);
  return set;
}

bool CConfigStore::load(platform::FileSystem& files, const std::string& path) {
  path_ = path;
  platform::FilePtr file;
  if (files.open(path, platform::OpenMode::Read, file) != platform::kSuccess) return false;
  Archive archive(*file, Archive::Direction::Loading);
  serialize(archive);
  return true;
}

CSectionSet* CConfigStore::findSectionSet(const std::string& name) {
  std::unique_ptr<CSectionSet>* found = sets_.findNoCase(name);
  return found ? found->get() : nullptr;
}

const CSectionSet* CConfigStore::findSectionSet(const std::string& name) const {
  return const_cast<CConfigStore*>(this)->findSectionSet(name);
}

bool CConfigStore::markRemoved(const std::string& component) {
  CSectionSet* set = findSectionSet(kComponentSetName);
  if (set == nullptr) return false;
  set->setValue(component, "SELECTED", "No");
  return true;
}

}  // namespace cvl
