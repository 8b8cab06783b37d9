#include "uninstaller/installlog/uninstall_log.h"

#include "platform/platform.h"

namespace cvl {
namespace {

// A group's smallest encoding: empty name, list, map and shell-object name,
// and seven 32-bit values (flags, counts and the auxiliary value).
constexpr uint64_t kMinGroupBytes = 34;

}  // namespace

void CUninstallLog::serialize(Archive& archive) {
  if (archive.isStoring()) {
    archive.writeString(kLogHeader);
    archive.writeU32(kLogVersion);
    archive.writeU32(static_cast<uint32_t>(groups_.size()));
    for (const auto& group : groups_) group->serialize(archive);
    return;
  }
  clear();
  formatKnown_ = false;
  if (archive.readString() != kLogHeader) return;
  if (archive.readU32("the log version") > kLogVersion) return;
  formatKnown_ = true;
  const int32_t count = archive.readI32("the group count");
  if (count <= 0) return;
  archive.requireRoom(static_cast<uint64_t>(count), kMinGroupBytes, "a group count");
  for (int32_t i = 0; i < count; ++i) addGroup(std::make_unique<CFilegroup>()).serialize(archive);
}

bool CUninstallLog::load(platform::FileSystem& files, const std::string& path) {
  platform::FilePtr file;
  const platform::Status status = files.open(path, platform::OpenMode::Read, file);
  if (status != platform::kSuccess) throw ArchiveFileError(status, "open " + path);
  Archive archive(*file, Archive::Direction::Loading);
  serialize(archive);
  return formatKnown_;
}

const CFilegroup* CUninstallLog::findFileGroup(const std::string& name) const {
  for (; indexed_ < groups_.size(); ++indexed_) firstByName_.emplace(platform::upper(groups_[indexed_]->name()), indexed_);
  const auto hit = firstByName_.find(platform::upper(name));
  return hit == firstByName_.end() ? nullptr : groups_[hit->second].get();
}

CFilegroup& CUninstallLog::addGroup(std::unique_ptr<CFilegroup> group) {
  groups_.push_back(std::move(group));
  return *groups_.back();
}

void CUninstallLog::clear() {
  groups_.clear();
  firstByName_.clear();
  indexed_ = 0;
}

}  // namespace cvl
