#include "platform/win32/win32_file_system.h"

#include "platform/win32/ntdll_procedure.h"
#include "platform/win32/win32_file.h"
#include "platform/zero_byte.h"

namespace cvl::platform {
namespace {

Status lastError() { return static_cast<Status>(GetLastError()); }
Status result(BOOL ok) { return ok ? kSuccess : lastError(); }

FileTime fromFiletime(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME toFiletime(FileTime time) {
  return FILETIME{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
}

// Zero asks SetFileAttributesA to change nothing; FILE_ATTRIBUTE_NORMAL clears.
DWORD settable(uint32_t attributes) {
  attributes &= ~attr::kDirectory;
  return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

// The handle reaches a reparse point itself when it was opened with
// FILE_FLAG_OPEN_REPARSE_POINT; a plain file is all such a mode accepts.
Status refuseReparsePoint(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(handle, &information)) return lastError();
  return (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? kStoppedOnLink : kSuccess;
}

// Opened without asking for access, so a file in use is reached as well;
// backup semantics let the same call reach a directory.
UniqueFile openToIdentify(const std::string& path) {
  return UniqueFile(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// NtQueryInformationFile for FileInternalInformation: the index the file
// system keeps, without the volume's serial number, which Wine asks a
// separate process for on every call.
struct IoStatusBlock {
  union {
    LONG status;
    void* pointer;
  };
  ULONG_PTR information;
};
using QueryInformationFile = LONG(WINAPI*)(HANDLE, IoStatusBlock*, void*, ULONG, int);
constexpr int kFileInternalInformation = 6;

}  // namespace

Status Win32FileSystem::open(const std::string& path, OpenMode mode, FilePtr& out) {
  if (holdsZeroByte(path)) return kInvalidName;
  const bool append = mode == OpenMode::Append || mode == OpenMode::AppendNoLink;
  const bool noLink = mode == OpenMode::AppendNoLink;
  DWORD access = GENERIC_READ, disposition = OPEN_EXISTING;
  if (mode == OpenMode::CreateAlways) access = GENERIC_READ | GENERIC_WRITE, disposition = CREATE_ALWAYS;
  if (mode == OpenMode::WriteExisting) access = GENERIC_WRITE;
  if (append) access = GENERIC_WRITE, disposition = OPEN_ALWAYS;
  const DWORD flags = FILE_ATTRIBUTE_NORMAL | (noLink ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
  UniqueFile handle(CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, flags, nullptr));
  if (!handle) return lastError();
  if (noLink) {
    if (Status refused = refuseReparsePoint(handle.get())) return refused;
  }
  if (append && SetFilePointer(handle.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
      GetLastError() != NO_ERROR)
    return lastError();
  out = std::make_unique<Win32File>(std::move(handle));
  return kSuccess;
}

Status Win32FileSystem::status(const std::string& path, FileStatus& out) {
  if (holdsZeroByte(path)) return kInvalidName;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return lastError();
  out = FileStatus{data.dwFileAttributes, fromFiletime(data.ftCreationTime), fromFiletime(data.ftLastAccessTime),
                   fromFiletime(data.ftLastWriteTime),
                   (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow};
  return kSuccess;
}

Status Win32FileSystem::setStatus(const std::string& path, const FileStatus& status) {
  if (holdsZeroByte(path)) return kInvalidName;
  // Backup semantics let the same call reach a directory.
  UniqueFile handle(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle) return lastError();
  const FILETIME created = toFiletime(status.created), accessed = toFiletime(status.accessed),
                 written = toFiletime(status.written);
  // A zero time is left as it is.
  if (!SetFileTime(handle.get(), status.created ? &created : nullptr, status.accessed ? &accessed : nullptr,
                   status.written ? &written : nullptr))
    return lastError();
  handle.reset();
  return setAttributes(path, status.attributes);
}

Status Win32FileSystem::identity(const std::string& path, FileIdentity& out) {
  if (holdsZeroByte(path)) return kInvalidName;
  UniqueFile handle = openToIdentify(path);
  if (!handle) return lastError();
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(handle.get(), &information)) return lastError();
  out = FileIdentity{information.dwVolumeSerialNumber,
                     (static_cast<uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
  return kSuccess;
}

Status Win32FileSystem::fileIndex(const std::string& path, uint64_t& out) {
  static const auto query = ntdllFunction<QueryInformationFile>("NtQueryInformationFile");
  if (query == nullptr) return FileSystem::fileIndex(path, out);
  if (holdsZeroByte(path)) return kInvalidName;
  UniqueFile handle = openToIdentify(path);
  if (!handle) return lastError();
  IoStatusBlock io{};
  LARGE_INTEGER index{};
  if (query(handle.get(), &io, &index, sizeof index, kFileInternalInformation) < 0) return FileSystem::fileIndex(path, out);
  out = static_cast<uint64_t>(index.QuadPart);
  return kSuccess;
}

Status Win32FileSystem::setAttributes(const std::string& path, uint32_t attributes) {
  if (holdsZeroByte(path)) return kInvalidName;
  return result(SetFileAttributesA(path.c_str(), settable(attributes)));
}

Status Win32FileSystem::deleteFile(const std::string& path) {
  if (holdsZeroByte(path)) return kInvalidName;
  return result(DeleteFileA(path.c_str()));
}

Status Win32FileSystem::createDirectory(const std::string& path) {
  if (holdsZeroByte(path)) return kInvalidName;
  return result(CreateDirectoryA(path.c_str(), nullptr));
}

Status Win32FileSystem::removeDirectory(const std::string& path) {
  if (holdsZeroByte(path)) return kInvalidName;
  return result(RemoveDirectoryA(path.c_str()));
}

Status Win32FileSystem::replaceFile(const std::string& from, const std::string& to) {
  if (holdsZeroByte(from) || holdsZeroByte(to)) return kInvalidName;
  return result(MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

Status Win32FileSystem::deleteAtRestart(const std::string& path) {
  if (holdsZeroByte(path)) return kInvalidName;
  return result(MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
}

Status Win32FileSystem::find(const std::string& pattern, const std::function<bool(const FoundEntry&)>& visit) {
  if (holdsZeroByte(pattern)) return kInvalidName;
  WIN32_FIND_DATAA data;
  UniqueFind search(FindFirstFileA(pattern.c_str(), &data));
  if (!search) return lastError();
  do {
    if (!visit(FoundEntry{data.cFileName, data.dwFileAttributes, data.cAlternateFileName})) break;
  } while (FindNextFileA(search.get(), &data));
  return kSuccess;
}

std::string Win32FileSystem::currentDirectory() {
  std::string buffer(GetCurrentDirectoryA(0, nullptr), '\0');
  buffer.resize(GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data()));
  return buffer;
}

Status Win32FileSystem::setCurrentDirectory(const std::string& path) {
  if (holdsZeroByte(path)) return kInvalidName;
  return result(SetCurrentDirectoryA(path.c_str()));
}

}  // namespace cvl::platform
