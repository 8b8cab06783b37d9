#include "uninstaller/engine/file_unregistration.h"

#include <algorithm>

#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/file_plan.h"
#include "uninstaller/engine/logged_files.h"
#include "uninstaller/engine/noted_changes.h"
#include "uninstaller/engine/run_and_wait.h"
#include "uninstaller/engine/shared_dll.h"
#include "uninstaller/installlog/uninstall_log.h"

namespace cvl {

using namespace platform;

namespace {

// Whether phase 2 will delete a shared file: it drops the count once per
// listing of every removed component (at least this caller's own), less
// what earlier runs noted, or a listing in an unshared group deletes it
// outright.
bool phaseTwoDeletes(RemovalContext& context, const PlannedFile& planned, const std::string& fullPath) {
  if (planned.unshared) return true;
  return noteSaysFileGoes(context, fullPath, planned.sharedReleases);
}

}  // namespace

void unregisterFile(RemovalContext& context, const std::string& fileName, const std::string& fullPath, bool shared) {
  FileStatus status;
  if (context.files().status(fullPath, status) != kSuccess) return;
  const std::string upperPath = upper(fullPath);
  // Folded as in file removal, so a core file logged in another case keeps its registration.
  if (context.catalogue.coreFiles.count(upperPath.substr(upperPath.rfind('\\') + 1)) != 0) return;
  FilePlan& plan = filePlan(context);
  if (shared && !phaseTwoDeletes(context, plan.files[upperPath], fullPath)) return;
  if (!plan.unregistered.insert(upperPath).second) return;  // once per file, however often it is listed

  // Both by full path: a bare "regsvr32" could start a program planted in
  // the uninstaller's or the current folder, and a bare file name makes the
  // tool load a same-named library from the system folder instead.
  const std::string tool = context.system().systemDirectory() + "\\regsvr32.exe";
  const std::string quotedTool = tool.find(' ') == std::string::npos ? tool : "\"" + tool + "\"";
  // The tool's result is not examined: a server that fails to unregister
  // is still deleted with its component.
  (void)runAndWait(context.system(), tool, quotedTool + " /u /s \"" + fullPath + "\"");
}

void unregisterComponentFiles(RemovalContext& context, const CComponent& component) {
  for (const std::string& groupName : component.fileGroups) {
    const CFilegroup* group = context.log.findFileGroup(groupName);
    if (group == nullptr || !group->selfRegister()) continue;
    forEachLoggedFile(component, *group, context.pathMacros,
                      [&](const std::string& fileName, const std::string& directory) {
                        unregisterFile(context, fileName, directory + fileName, group->shared());
                      });
  }
}

}  // namespace cvl
