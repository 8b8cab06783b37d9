#pragma once
// The only exceptions of the system: an archive that runs out of bytes, and
// a file that fails underneath an archive. Callers that load a file catch
// ArchiveError; everything else reports failures as return values.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/status.h"

namespace cvl {

class ArchiveError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A read needed more bytes than the file still holds, or a count or length
// promised more than the rest of the file could hold.
class ArchiveEndOfFile : public ArchiveError {
 public:
  ArchiveEndOfFile(uint64_t offset, const std::string& item);
  uint64_t offset() const { return offset_; }

 private:
  uint64_t offset_;
};

// The file underneath failed a read, a write or an open.
class ArchiveFileError : public ArchiveError {
 public:
  ArchiveFileError(platform::Status status, const std::string& operation);
  platform::Status status() const { return status_; }

 private:
  platform::Status status_;
};

}  // namespace cvl
