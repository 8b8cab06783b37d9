#include "uninstaller/engine/file_plan.h"

#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/logged_files.h"
#include "uninstaller/engine/safe_paths.h"
#include "uninstaller/installlog/uninstall_log.h"

namespace cvl {
namespace {

void planComponent(RemovalContext& context, const CComponent& component, FilePlan& plan) {
  for (const std::string& groupName : component.fileGroups) {
    const CFilegroup* group = context.log.findFileGroup(groupName);
    if (group == nullptr) continue;
    forEachLoggedFile(component, *group, context.pathMacros,
                      [&](const std::string& fileName, const std::string& directory) {
                        PlannedFile& file = plan.files[plannedPath(directory + fileName)];
                        if (group->shared()) {
                          ++file.sharedReleases[platform::upper(directory + fileName)];
                        } else {
                          file.unshared = true;
                        }
                      });
  }
}

}  // namespace

std::string plannedPath(const std::string& fullPath) {
  std::string path;
  for (const std::string& segment : resolvedSegments(fullPath)) path += (path.empty() ? "" : "\\") + segment;
  return path;
}

FilePlan& filePlan(RemovalContext& context) {
  if (!context.filePlan) {
    context.filePlan.emplace();
    for (const auto& entry : context.catalogue.componentMap) {
      if (entry.component->isDueForRemoval()) planComponent(context, *entry.component, *context.filePlan);
    }
  }
  return *context.filePlan;
}

}  // namespace cvl
