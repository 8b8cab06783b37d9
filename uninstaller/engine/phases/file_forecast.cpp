#include "uninstaller/engine/phases/file_forecast.h"

#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/phases/logged_files.h"
#include "uninstaller/engine/removal_context.h"
#include "uninstaller/installlog/uninstall_log.h"

namespace cvl {
namespace {

void forecastComponent(RemovalContext& context, const CComponent& component, FileForecast& forecast) {
  for (const std::string& groupName : component.fileGroups) {
    const CFilegroup* group = context.log.findFileGroup(groupName);
    if (group == nullptr) continue;
    forEachLoggedFile(component, *group, context.pathMacros,
                      [&](const std::string& fileName, const std::string& directory) {
                        ForecastFile& file = forecast.files[platform::upper(directory + fileName)];
                        if (group->shared()) {
                          ++file.sharedReleases;
                        } else {
                          file.unshared = true;
                        }
                      });
  }
}

}  // namespace

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
