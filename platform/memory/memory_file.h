#pragma once
// An open handle on a file of the in-memory file system.
#include "platform/memory/memory_file_system.h"

namespace cvl::platform {

class MemoryFile : public File {
 public:
  MemoryFile(const MemoryFileSystem& files, MemoryFsNodePtr node, std::string canonicalPath, bool canRead,
             bool canWrite);
  ~MemoryFile() override;

  Status read(void* buffer, uint32_t size, uint32_t& done) override;
  Status write(const void* buffer, uint32_t size) override;
  Status flush() override;
  uint64_t size() const override { return node_->content.size(); }
  void seekToEnd() { position_ = node_->content.size(); }

 private:
  const MemoryFileSystem& files_;
  MemoryFsNodePtr node_;
  std::string path_;
  bool canRead_;
  bool canWrite_;
  size_t position_ = 0;
};

}  // namespace cvl::platform
