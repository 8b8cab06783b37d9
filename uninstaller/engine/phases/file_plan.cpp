#include "uninstaller/engine/phases/file_plan.h"

#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/phases/logged_files.h"
#include "uninstaller/engine/removal_context.h"
#include "uninstaller/installlog/uninstall_log.h"

namespace cvl {
namespace {

void planComponent(RemovalContext& context, const CComponent& component, FilePlan& plan) {
  for (const std::string& groupName : component.fileGroups) {
    const CFilegroup* group = context.log.findFileGroup(groupName);
    if (group == nullptr) continue;
    forEachLoggedFile(component, *group, context.pathMacros,
                      [&](const std::string& fileName, const std::string& directory) {
                        PlannedFile& file = plan.files[platform::upper(directory + fileName)];
                        if (group->shared()) {
                          ++file.sharedReleases;
                        } else {
                          file.unshared = true;
                        }
                      });
  }
}

}  // namespace

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
