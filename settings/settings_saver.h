#pragma once
// Carries the current user's settings of the suite's main application across
// a reinstallation: a backup copies them into a temporary key, a restore
// copies that key into the current version's settings and removes it.
#include <string>

#include "platform/platform.h"

namespace cvl::settings {

inline constexpr const char* kCurrentSettingsKey = "Software\\Corvel\\PathCrafter\\8.2";
inline constexpr const char* kOlderSettingsKey = "Software\\Corvel\\Deskora\\8.0";
inline constexpr const char* kTemporaryParentKey = "Software";
inline constexpr const char* kTemporaryName = "CorvelTemp";
inline constexpr const char* kTemporaryKey = "Software\\CorvelTemp";

// Copies the newest settings key found into the temporary key (merging into
// one left from before). Nothing is written when there are no settings.
void runBackup(platform::Platform& platform);

// Copies the temporary key into the current version's settings, merging,
// and removes the temporary key once the copy has fully succeeded.
void runRestore(platform::Platform& platform);

// Runs the backup when "BACKUP" stands anywhere in the command line's
// arguments (any case), then the restore when "RESTORE" does.
void runStowset(platform::Platform& platform, const std::string& commandLine);

}  // namespace cvl::settings
