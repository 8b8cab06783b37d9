#pragma once
// The suite's names and places, written once: its files, its registry keys
// and its uninstall record. Registry paths are relative to
// HKEY_LOCAL_MACHINE unless they carry a root prefix. Depends on nothing, so
// every layer of the uninstaller can use it.
namespace cvl::names {

inline constexpr const char* kStoreFile = "cvlinst.dat";
inline constexpr const char* kLogFile = "cvlinst.log";
inline constexpr const char* kProcessLibrary = "cvlpsapi.dll";
inline constexpr const char* kSuiteKey = "software\\corvel";
inline constexpr const char* kUninstallKey = "software\\corvel\\uninstall";
inline constexpr const char* kCdfKey = "software\\corvel\\uninstall\\cdf";
inline constexpr const char* kPathsKey = "software\\corvel\\uninstall\\paths";
inline constexpr const char* kComponentsKey = "software\\corvel\\uninstall\\components\\";
inline constexpr const char* kSharedDllsKey = "software\\microsoft\\windows\\currentversion\\shareddlls";
inline constexpr const char* kUninstallEntry = "Corvel System";
inline constexpr const char* kWindowsUninstallKey = "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\UNINSTALL\\";
inline constexpr const char* kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
inline constexpr const char* kVbaInstallerBelowProgramFiles =
    "\\Common Files\\Microsoft Shared\\VBA\\VBA6\\vbai60.dll";

// Buffer sizes of the registry reads, in bytes with the terminator.
inline constexpr unsigned kPathBuffer = 260;

// How long a child process (regsvr32, a RunOnce command) is waited for.
inline constexpr unsigned kChildTimeoutMs = 30000;

}  // namespace cvl::names
