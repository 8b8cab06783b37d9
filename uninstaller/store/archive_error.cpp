#include "uninstaller/store/archive_error.h"

namespace cvl {

ArchiveEndOfFile::ArchiveEndOfFile(uint64_t offset, const std::string& item)
    : ArchiveError("unexpected end of file at byte " + std::to_string(offset) + " while reading " + item),
      offset_(offset) {}

ArchiveFileError::ArchiveFileError(platform::Status status, const std::string& operation)
    : ArchiveError("cannot " + operation + " (error " + std::to_string(status) + ")"), status_(status) {}

}  // namespace cvl
