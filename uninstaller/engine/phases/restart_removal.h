#pragma once
// Files in use cannot be deleted while the program holding them runs; they
// are handed to Windows to delete when it next starts, and so are the
// folders that stay only because of them.
#include <string>

#include "platform/file_system.h"
#include "uninstaller/engine/removal_context.h"

namespace cvl {

// Whether a failed delete means the file is held open: a sharing violation,
// or access denied on a file that is not read-only.
bool isInUse(platform::FileSystem& files, const std::string& path, platform::Status deleteStatus);

// Schedules the path for deletion at restart and records it; false when
// Windows refused, which leaves the caller's failure standing.
bool scheduleAtRestart(RemovalContext& context, const char* kind, const std::string& path);

// After the sweep of emptied folders: each noted folder that still exists
// but holds nothing except what was scheduled is scheduled too, deepest
// first, so that Windows deletes it after its contents.
void scheduleFoldersLeftForRestart(RemovalContext& context);

}  // namespace cvl
