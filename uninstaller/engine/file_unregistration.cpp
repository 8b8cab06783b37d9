#include "uninstaller/engine/file_unregistration.h"

#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/logged_files.h"
#include "uninstaller/engine/run_and_wait.h"
#include "uninstaller/engine/shared_dll.h"
#include "uninstaller/installlog/uninstall_log.h"

namespace cvl {

using namespace platform;

void unregisterFile(RemovalContext& context, const std::string& fileName, const std::string& fullPath, bool shared) {
  FileStatus status;
  if (context.files().status(fullPath, status) != kSuccess) return;
  if (context.catalogue.coreFiles.count(fileName) != 0) return;
  if (shared && releaseSharedDll(context.platform, fullPath, false) != 0) return;

  const std::string directory = fullPath.substr(0, fullPath.rfind('\\'));
  const std::string previous = context.files().currentDirectory();
  // The tool is given the bare name; from anywhere else it could reach a
  // different file of that name.
  if (context.files().setCurrentDirectory(directory) != kSuccess) return;
  runAndWait(context.system(), "regsvr32 /u /s " + fileName);
  context.files().setCurrentDirectory(previous);
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
