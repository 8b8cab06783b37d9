#pragma once
// File services with Win32 semantics: paths use backslashes, names compare
// without regard to case, attributes and times are those of Win32.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/status.h"

namespace cvl::platform {

// Attribute bits, numbered as FILE_ATTRIBUTE_*.
namespace attr {
inline constexpr uint32_t kReadOnly = 0x01;
inline constexpr uint32_t kHidden = 0x02;
inline constexpr uint32_t kSystem = 0x04;
inline constexpr uint32_t kVolumeLabel = 0x08;
inline constexpr uint32_t kDirectory = 0x10;
inline constexpr uint32_t kArchive = 0x20;
inline constexpr uint32_t kNormal = 0x80;
inline constexpr uint32_t kReparsePoint = 0x400;  // a symbolic link, a junction or a mount point
}  // namespace attr

// FILETIME as one number: 100 ns intervals since 1601-01-01.
using FileTime = uint64_t;

struct FileStatus {
  uint32_t attributes = 0;
  FileTime created = 0;
  FileTime accessed = 0;
  FileTime written = 0;
  uint64_t size = 0;
};

// What a file or directory is, whatever name reaches it: the volume's
// serial number and the file's index on it.
struct FileIdentity {
  uint32_t volume = 0;
  uint64_t index = 0;
  bool operator==(const FileIdentity&) const = default;
};

struct FoundEntry {
  std::string name;  // as stored, without the directory
  uint32_t attributes = 0;
  std::string shortName;  // its 8.3 alias; empty when the name is one itself
};

// An open file. Destroying it closes the handle.
class File {
 public:
  virtual ~File() = default;
  // Reads up to size bytes; returns how many were read (0 at the end).
  [[nodiscard]] virtual Status read(void* buffer, uint32_t size, uint32_t& done) = 0;
  [[nodiscard]] virtual Status write(const void* buffer, uint32_t size) = 0;
  // FlushFileBuffers: the data has reached the disk when this returns.
  [[nodiscard]] virtual Status flush() = 0;
  virtual uint64_t size() const = 0;
};
using FilePtr = std::unique_ptr<File>;

enum class OpenMode {
  Read,            // existing file, shared for reading
  CreateAlways,    // new or truncated file, read and write
  WriteExisting,   // existing file, written from the start without truncation
  Append,          // existing or new file, written at its end; never truncated
  // As Append, but a reparse point at the path is opened itself, never
  // followed, and refused with kStoppedOnLink: a link must not carry the
  // writes of an elevated program into a file its maker chose.
  AppendNoLink,
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  [[nodiscard]] virtual Status open(const std::string& path, OpenMode mode, FilePtr& out) = 0;

  // Status of a file or directory (GetFileAttributesExA).
  [[nodiscard]] virtual Status status(const std::string& path, FileStatus& out) = 0;
  // Sets the three times and the attributes together.
  [[nodiscard]] virtual Status setStatus(const std::string& path, const FileStatus& status) = 0;
  [[nodiscard]] virtual Status setAttributes(const std::string& path, uint32_t attributes) = 0;
  // GetFileInformationByHandle on the file or directory, opened without
  // asking for access, so a file in use is reached as well.
  [[nodiscard]] virtual Status identity(const std::string& path, FileIdentity& out) = 0;
  // The index part of identity() alone. Two paths with different indexes
  // are different files; equal ones still need identity() to tell. Where
  // the volume is slow to ask (it is under Wine), this is much cheaper.
  [[nodiscard]] virtual Status fileIndex(const std::string& path, uint64_t& out) {
    FileIdentity found;
    const Status s = identity(path, found);
    out = found.index;
    return s;
  }

  [[nodiscard]] virtual Status deleteFile(const std::string& path) = 0;
  [[nodiscard]] virtual Status createDirectory(const std::string& path) = 0;
  // Fails with kDirNotEmpty while anything is inside.
  [[nodiscard]] virtual Status removeDirectory(const std::string& path) = 0;
  // MoveFileExA with replace-existing and write-through.
  [[nodiscard]] virtual Status replaceFile(const std::string& from, const std::string& to) = 0;
  // MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT): the file, or the
  // directory once it is empty, is deleted when Windows next starts.
  [[nodiscard]] virtual Status deleteAtRestart(const std::string& path) = 0;

  // FindFirstFileA/FindNextFileA over a pattern such as "C:\\DIR\\*.*" or
  // "C:\\DIR\\*.GID"; "." and ".." are reported like Windows does. The
  // visitor returns false to stop. Returns kFileNotFound when nothing matches.
  [[nodiscard]] virtual Status find(const std::string& pattern, const std::function<bool(const FoundEntry&)>& visit) = 0;

  virtual std::string currentDirectory() = 0;
  [[nodiscard]] virtual Status setCurrentDirectory(const std::string& path) = 0;
};

}  // namespace cvl::platform
