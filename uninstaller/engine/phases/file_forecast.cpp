#include "uninstaller/engine/phases/file_forecast.h"

#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/phases/logged_files.h"
#include "uninstaller/engine/removal_context.h"
#include "uninstaller/installlog/uninstall_log.h"
#include "uninstaller/removal/safe_paths.h"

namespace cvl {
namespace {

void forecastComponent(RemovalContext& context, const CComponent& component, FileForecast& forecast) {
  for (const std::string& groupName : component.fileGroups) {
    const CFilegroup* group = context.log.findFileGroup(groupName);
    if (group == nullptr) continue;
    forEachLoggedFile(component, *group, context.pathMacros,
                      [&](const std::string& fileName, const std::string& directory) {
                        ForecastFile& file = forecast.files[forecastKey(context.files(), directory + fileName)];
                        if (group->shared()) {
                          ++file.sharedReleases[platform::upper(directory + fileName)];
                        } else {
                          file.unshared = true;
                        }
                      });
  }
}

}  // namespace

std::string forecastKey(platform::FileSystem& files, const std::string& fullPath) {
  platform::FileIdentity identity;
  if (files.identity(fullPath, identity) == platform::kSuccess) {
    return "#" + std::to_string(identity.volume) + ":" + std::to_string(identity.index);
  }
  std::string path;
  for (const std::string& segment : resolvedSegments(fullPath)) path += (path.empty() ? "" : "\\") + segment;
  return path;
}

FileForecast& fileForecast(RemovalContext& context) {
  if (!context.fileForecast) {
    context.fileForecast.emplace();
    for (const auto& entry : context.catalogue.componentMap) {
      if (entry.component->isDueForRemoval()) forecastComponent(context, *entry.component, *context.fileForecast);
    }
  }
  return *context.fileForecast;
}

}  // namespace cvl
