#include "uninstaller/engine/phases/msi_path.h"

#include "uninstaller/suite/suite_layout.h"

namespace cvl {

using namespace platform;

void collectMsiPath(RemovalContext& context, const CComponent& component) {
  if (!component.vba) return;
  RegKeyPtr key;
  const std::string path = std::string(names::kComponentsKey) + component.name;
  if (context.registry().openKey(RegRoot::LocalMachine, path, access::kRead, key) != kSuccess) return;
  RegValue value;
  if (key->queryValue("MSIPath", value, names::kPathBuffer) != kSuccess) return;
  const std::string package = upper(value.asString());
  if (!package.empty()) context.msiPaths.push_back(package);
}

}  // namespace cvl
