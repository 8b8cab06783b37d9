#include "uninstaller/installlog/registry_record.h"

namespace cvl {
namespace {

// An entry's smallest encoding: an empty key path and an empty list.
constexpr uint64_t kMinEntryBytes = 3;

}  // namespace

void CRegistry::serialize(Archive& archive) {
  if (archive.isStoring()) {
    archive.writeU32(static_cast<uint32_t>(keys_.size()));
    for (auto& [keyPath, lines] : keys_) {
      archive.writeString(keyPath);
      serializeStringList(archive, lines);
    }
    return;
  }
  keys_.clear();
  const int32_t count = archive.readI32("the registry key count");
  if (count <= 0) return;
  archive.requireRoom(static_cast<uint64_t>(count), kMinEntryBytes, "a registry key count");
  for (int32_t i = 0; i < count; ++i) {
    const std::string keyPath = archive.readString();
    StringList lines;
    serializeStringList(archive, lines);
    keys_.assign(keyPath, std::move(lines));
  }
}

int CRegistry::getKeys(StringList& out) const {
  for (const auto& entry : keys_) out.push_back(entry.first);
  return static_cast<int>(out.size());
}

int CRegistry::getValues(const std::string& keyPath, StringList& out) const {
  if (const StringList* lines = keys_.find(keyPath)) out.insert(out.end(), lines->begin(), lines->end());
  return static_cast<int>(out.size());
}

}  // namespace cvl
