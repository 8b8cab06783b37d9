#pragma once
// Win32 files, directories and searches through the ANSI functions.
#include "platform/file_system.h"

namespace cvl::platform {

class Win32FileSystem : public FileSystem {
 public:
  Status open(const std::string& path, OpenMode mode, FilePtr& out) override;
  Status status(const std::string& path, FileStatus& out) override;
  Status setStatus(const std::string& path, const FileStatus& status) override;
  Status identity(const std::string& path, FileIdentity& out) override;
  Status fileIndex(const std::string& path, uint64_t& out) override;
  Status setAttributes(const std::string& path, uint32_t attributes) override;
  Status deleteFile(const std::string& path) override;
  Status createDirectory(const std::string& path) override;
  Status removeDirectory(const std::string& path) override;
  Status replaceFile(const std::string& from, const std::string& to) override;
  Status deleteAtRestart(const std::string& path) override;
  Status find(const std::string& pattern, const std::function<bool(const FoundEntry&)>& visit) override;
  std::string currentDirectory() override;
  Status setCurrentDirectory(const std::string& path) override;
};

}  // namespace cvl::platform
