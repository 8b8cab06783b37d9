#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/catalogue/target_dir.h"

namespace cvl {

namespace {

using namespace platform;

constexpr uint32_t kDirectoryCapacity = 260;

bool isInstalledTop(const CComponent& component) {
  return component.selected && component.visible && component.includeInBuild;
}

// The default value of the component's key under software\corvel\uninstall\components,
// spelled as stored, without one trailing backslash.
std::optional<std::string> targetDirectoryOf(Registry& registry, const std::string& name) {
  RegKeyPtr key;
  if (registry.openKey(RegRoot::LocalMachine, kComponentsKey + name, access::kReadWriteCreate, key) != kSuccess) {
    return std::nullopt;
  }
  RegValue value;
  if (key->queryValue("", value, kDirectoryCapacity) != kSuccess) return std::nullopt;
  std::string directory = value.asString();
  if (!directory.empty() && directory.back() == '\\') directory.pop_back();
  return directory;
}

}  // namespace

bool Catalogue::loadTopComponents(const CConfigStore& store, Platform& platform) {
  const CSectionSet* set = store.findSectionSet(kComponentSetName);
  const CSection* top = set ? set->findSection("TopComponents") : nullptr;
  if (!top) return false;
  TargetsFixed fixed;
  for (const auto& entry : *top) {
    const std::string name = upper(entry.second);
    CComponent* component = componentMap.find(name);
    if (!component || !isInstalledTop(*component)) continue;
    component->marked = true;
    topComponents.push_back(name);
    if (auto directory = targetDirectoryOf(platform.registry(), name)) {
      substituteTargetDir(componentMap, *directory, *component, fixed);
    }
  }
  return true;
}

}  // namespace cvl
