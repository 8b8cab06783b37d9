#pragma once
// The files a file group recorded for a component, with their directories
// resolved against the component's target.
#include <functional>
#include <string>

#include "uninstaller/catalogue/component.h"
#include "uninstaller/engine/path_macros.h"
#include "uninstaller/installlog/filegroup.h"

namespace cvl {

// directory is the expanded directory of the file with a trailing backslash.
using LoggedFileVisitor = std::function<void(const std::string& fileName, const std::string& directory)>;

// Visits the group's own files, then the files of its directory tree in
// preorder, each in logged order. A directory whose path expands to
// nothing, or to no absolute folder, is skipped with its files: it names
// nothing the installer wrote. So is a file or directory name that would
// lead out of the component's target (see staysInsideFolder).
void forEachLoggedFile(const CComponent& component, const CFilegroup& group, const PathMacros& macros,
                       const LoggedFileVisitor& visit);

}  // namespace cvl
