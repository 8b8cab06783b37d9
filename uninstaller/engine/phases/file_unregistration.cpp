#include "uninstaller/engine/phases/file_unregistration.h"

#include <algorithm>

#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/phases/file_forecast.h"
#include "uninstaller/engine/phases/file_removal.h"
#include "uninstaller/engine/phases/logged_files.h"
#include "uninstaller/engine/record/noted_changes.h"
#include "uninstaller/removal/run_and_wait.h"
#include "uninstaller/removal/safe_paths.h"
#include "uninstaller/removal/shared_dll.h"
#include "uninstaller/installlog/uninstall_log.h"

namespace cvl {

using namespace platform;

namespace {

// Whether phase 2 will delete a shared file: it drops each spelling's count
// once per listing of every removed component (at least this caller's
// own), less what earlier runs noted, and the file goes when one of them
// runs out; or a listing in an unshared group deletes it outright.
bool phaseTwoDeletes(RemovalContext& context, const ForecastFile& forecast, const std::string& fullPath) {
  if (forecast.unshared) return true;
  const std::string own = upper(fullPath);
  if (forecast.sharedReleases.count(own) == 0 && noteSaysFileGoes(context, own, 1)) return true;
  for (const auto& [spelling, listings] : forecast.sharedReleases) {
    if (noteSaysFileGoes(context, spelling, listings)) return true;
  }
  return false;
}

}  // namespace

void unregisterFile(RemovalContext& context, const std::string& fileName, const std::string& fullPath, bool shared) {
  FileStatus status;
  if (context.files().status(fullPath, status) != kSuccess) return;
  // Unregistered, a file phase 2 keeps would stay on the disk without its registration.
  if (isKeptWhole(context, fullPath, status.attributes)) return;
  // Folded as in file removal, so a core file logged in another case keeps its registration.
  if (context.catalogue.coreFiles.count(resolvedFileName(fullPath)) != 0) return;
  FileForecast& forecast = fileForecast(context);
  const std::string planned = forecastKey(context.files(), fullPath);
  if (shared && !phaseTwoDeletes(context, forecast.files[planned], fullPath)) return;
  if (!forecast.unregistered.insert(planned).second) return;  // once per file, however often and however spelled

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
