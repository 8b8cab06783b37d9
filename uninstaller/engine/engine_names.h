#pragma once
// Registry paths and file names the removal engine works with. Registry
// paths are relative to HKEY_LOCAL_MACHINE unless they carry a root prefix.
namespace cvl::names {

inline constexpr const char* kLogFile = "cvlinst.log";
inline constexpr const char* kProcessLibrary = "cvlpsapi.dll";
inline constexpr const char* kSuiteKey = "software\\corvel";
inline constexpr const char* kUninstallKey = "software\\corvel\\uninstall";
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
