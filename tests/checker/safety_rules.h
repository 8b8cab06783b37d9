#pragma once
// The rules that say what a removal may touch, written down once more,
// independently of the engine, so the checker judges the engine rather
// than repeating it: which folders count as absolute, which logged names
// stay inside their folder, and which registry keys are shared containers.
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cvl::checker {

// The parts of a text between backslashes, empty ones included.
std::vector<std::string> segmentsOf(const std::string& text);

// "X:\..." or "\\server\share\...": the folder resolved the way Windows
// resolves it ("." and ".." segments, doubled backslashes, trailing dots
// and blanks), upper case, without a trailing backslash. Nothing for
// anything else, a "\\?\" or "\\.\" path or one holding a zero byte included.
std::optional<std::string> absoluteFolder(const std::string& path);

// A logged name that, joined to its folder, stays inside it: no ".."
// segment, no drive, not starting with a backslash, no zero byte, not a
// device. Upper case, read as Windows reads it, with its segments joined
// by single backslashes.
std::optional<std::string> confinedName(const std::string& name);

// Path macros as the installer's table and the shell give them. A macro
// the table does not hold, or one that leaves nothing, names nothing.
std::optional<std::string> expandMacros(std::string path, const std::map<std::string, std::string>& macros);

// Registry places "HKLM\SUB\KEY", upper case. The root prefix maps as in
// the key notation: anything but HKCR, HKCU and HKLM means HKEY_USERS.
std::string placeOf(const std::string& prefix, const std::string& subKey);
// The parent place, or nothing for a root.
std::optional<std::string> parentPlace(const std::string& place);
bool isAtOrBelow(const std::string& place, const std::string& top);

// Keys many programs share: a hive's first level, the Windows and class
// containers, the shell-wide containers and the suite's own records.
bool isSharedContainer(const std::string& place);

// The suite's uninstall records and its entry in the Windows list of
// programs, machine-wide and the current user's mirror: only the final
// clean-up removes them, keys and values alike.
bool isUninstallRecord(const std::string& place);

}  // namespace cvl::checker
