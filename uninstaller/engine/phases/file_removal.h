#pragma once
// Phase 2: the logged files are deleted, keeping core files and shared
// libraries other programs still count on; their directories are noted for
// the sweep of emptied directories.
#include <string>

#include "uninstaller/catalogue/component.h"
#include "uninstaller/engine/removal_context.h"

namespace cvl {

void removeComponentFiles(RemovalContext& context, const CComponent& component);

// directory is the file's directory with a trailing backslash. A failed
// delete sets context.hadErrors. Deleting a help file (".HLP") also deletes
// the help system's side files of its directory.
void removeFile(RemovalContext& context, const std::string& fullPath, const std::string& directory, bool shared);

// Whether removeFile keeps the existing file whatever its component says:
// a system, volume-label or directory entry, or the uninstaller's own file.
bool isKeptWhole(RemovalContext& context, const std::string& fullPath, uint32_t attributes);

}  // namespace cvl
