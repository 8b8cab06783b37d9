#include "uninstaller/engine/phases/logged_files.h"

#include <algorithm>

#include "uninstaller/engine/path_macros.h"
#include "uninstaller/removal/safe_paths.h"

namespace cvl {
namespace {

// The log's own count says how many names are meant; never more than it holds.
size_t countToVisit(int32_t fileCount, const StringList& files) {
  return fileCount <= 0 ? 0 : std::min(static_cast<size_t>(fileCount), files.size());
}

void visitFiles(const std::string& unexpandedDirectory, int32_t fileCount, const StringList& files,
                const PathMacros& macros, const LoggedFileVisitor& visit) {
  const size_t count = countToVisit(fileCount, files);
  if (count == 0) return;
  std::string directory = unexpandedDirectory;
  expandPathMacros(directory, macros);
  // A relative base would resolve against the current drive or directory.
  if (!isAbsolutePath(directory)) return;
  for (size_t i = 0; i < count; ++i) {
    if (staysInsideFolder(files[i]) && namesAFile(files[i])) visit(files[i], directory);
  }
}

}  // namespace

void forEachLoggedFile(const CComponent& component, const CFilegroup& group, const PathMacros& macros,
                       const LoggedFileVisitor& visit) {
  visitFiles(component.target + "\\", group.fileCount(), group.files(), macros, visit);
  for (const CDir* position = group.rootDir(); position != nullptr;) {
    const CDir* dir = CFilegroup::nextDir(position);
    if (!staysInsideFolder(dir->name())) continue;
    visitFiles(component.target + "\\" + dir->name() + "\\", dir->fileCount(), dir->files(), macros, visit);
  }
}

}  // namespace cvl
