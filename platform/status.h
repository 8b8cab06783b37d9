#pragma once
// Win32 status codes as the platform layer reports them. The portable core
// compares against these names only, so both implementations must return
// exactly what Windows returns for the same situation.
#include <cstdint>

namespace cvl::platform {

using Status = long;

inline constexpr Status kSuccess = 0;
inline constexpr Status kFileNotFound = 2;        // ERROR_FILE_NOT_FOUND
inline constexpr Status kPathNotFound = 3;        // ERROR_PATH_NOT_FOUND
inline constexpr Status kAccessDenied = 5;        // ERROR_ACCESS_DENIED
inline constexpr Status kInvalidHandle = 6;       // ERROR_INVALID_HANDLE
inline constexpr Status kNotSameDevice = 17;      // ERROR_NOT_SAME_DEVICE
inline constexpr Status kSharingViolation = 32;   // ERROR_SHARING_VIOLATION
inline constexpr Status kNotSupported = 50;       // ERROR_NOT_SUPPORTED
inline constexpr Status kFileExists = 80;         // ERROR_FILE_EXISTS
inline constexpr Status kInvalidParameter = 87;   // ERROR_INVALID_PARAMETER
inline constexpr Status kInvalidName = 123;       // ERROR_INVALID_NAME
inline constexpr Status kDirNotEmpty = 145;       // ERROR_DIR_NOT_EMPTY
inline constexpr Status kBadPathname = 161;       // ERROR_BAD_PATHNAME
inline constexpr Status kAlreadyExists = 183;     // ERROR_ALREADY_EXISTS
inline constexpr Status kMoreData = 234;          // ERROR_MORE_DATA
inline constexpr Status kNoMoreItems = 259;       // ERROR_NO_MORE_ITEMS
inline constexpr Status kDirectory = 267;         // ERROR_DIRECTORY: a file where a directory belongs
inline constexpr Status kStoppedOnLink = 681;     // ERROR_STOPPED_ON_SYMLINK: a reparse point where a file was asked for
inline constexpr Status kKeyDeleted = 1018;       // ERROR_KEY_DELETED

}  // namespace cvl::platform
