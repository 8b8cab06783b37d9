#include "platform/memory/memory_file.h"

#include <algorithm>
#include <cstring>

namespace cvl::platform {

MemoryFile::MemoryFile(const MemoryFileSystem& files, MemoryFsNodePtr node, std::string canonicalPath, bool canRead,
                       bool canWrite)
    : files_(files), node_(std::move(node)), path_(std::move(canonicalPath)), canRead_(canRead), canWrite_(canWrite) {
  ++(canWrite_ ? node_->writers : node_->readers);
}

MemoryFile::~MemoryFile() { --(canWrite_ ? node_->writers : node_->readers); }

Status MemoryFile::read(void* buffer, uint32_t size, uint32_t& done) {
  done = 0;
  if (!canRead_) return kAccessDenied;
  const std::string& content = node_->content;
  if (position_ < content.size()) done = static_cast<uint32_t>(std::min<size_t>(size, content.size() - position_));
  std::memcpy(buffer, content.data() + position_, done);
  position_ += done;
  return kSuccess;
}

Status MemoryFile::write(const void* buffer, uint32_t size) {
  if (!canWrite_) return kAccessDenied;
  if (Status s = files_.faultFor(path_, MemoryFileSystem::Op::Write)) return s;
  std::string& content = node_->content;
  if (content.size() < position_ + size) content.resize(position_ + size);
  std::memcpy(content.data() + position_, buffer, size);
  position_ += size;
  node_->written = files_.clock();
  return kSuccess;
}

Status MemoryFile::flush() {
  if (!canWrite_) return kAccessDenied;
  return files_.faultFor(path_, MemoryFileSystem::Op::Flush);
}

}  // namespace cvl::platform
