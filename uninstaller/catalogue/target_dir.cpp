#include "uninstaller/catalogue/target_dir.h"

#include <string_view>

namespace cvl {

namespace {

constexpr std::string_view kTargetDirMacro = "<TARGETDIR>";

}  // namespace

void substituteTargetDir(const ComponentMap& components, const std::string& directory, CComponent& component) {
  for (const std::string& name : component.members) {
    CComponent* member = components.find(name);
    if (member && member->isEligible()) substituteTargetDir(components, directory, *member);
  }
  const auto at = component.target.find(kTargetDirMacro);
  if (at != std::string::npos) component.target.replace(at, kTargetDirMacro.size(), directory);
}

}  // namespace cvl
