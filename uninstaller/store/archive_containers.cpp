#include "uninstaller/store/archive_containers.h"

namespace cvl {
namespace {

// The smallest encodings: an empty string is one byte, a pair two.
constexpr uint64_t kMinStringBytes = 1;
constexpr uint64_t kMinPairBytes = 2;

}  // namespace

void serializeStringList(Archive& archive, StringList& list) {
  if (archive.isStoring()) {
    archive.writeShortCount(static_cast<uint32_t>(list.size()));
    for (const std::string& text : list) archive.writeString(text);
    return;
  }
  const uint32_t count = archive.readShortCount("a string list count");
  archive.requireRoom(count, kMinStringBytes, "a string list count");
  list.assign(count, std::string());
  for (std::string& text : list) text = archive.readString();
}

void serializeStringMap(Archive& archive, StringMap& map) {
  if (archive.isStoring()) {
    archive.writeShortCount(static_cast<uint32_t>(map.size()));
    for (const auto& [key, value] : map) {
      archive.writeString(key);
      archive.writeString(value);
    }
    return;
  }
  const uint32_t count = archive.readShortCount("a string map count");
  archive.requireRoom(count, kMinPairBytes, "a string map count");
  map.clear();
  for (uint32_t i = 0; i < count; ++i) {
    std::string key = archive.readString();
    map.assign(key, archive.readString());
  }
}

}  // namespace cvl
