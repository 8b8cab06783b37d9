#include "uninstaller/catalogue/catalogue.h"

#include "uninstaller/catalogue/component_rules.h"
#include "uninstaller/catalogue/relations.h"

namespace cvl {

namespace {

constexpr const char* kTopSectionName = "TopComponents";
constexpr const char* kComponentListName = "Components";

bool isComponentSection(const std::string& name) { return name != kComponentListName && name != kTopSectionName; }

std::unique_ptr<CComponent> componentOf(const std::string& name, const CSection& section) {
  auto component = std::make_unique<CComponent>(name);
  for (const auto& [key, value] : section) applyComponentPair(*component, key, value);
  return component;
}

std::set<std::string> topNamesOf(const CSectionSet& set) {
  std::set<std::string> names;
  if (const CSection* top = set.findSection(kTopSectionName)) {
    for (const auto& entry : *top) names.insert(platform::upper(entry.second));
  }
  return names;
}

}  // namespace

bool Catalogue::parseComponents(const CConfigStore& store) {
  componentMap.clear();
  const CSectionSet* set = store.findSectionSet(kComponentSetName);
  if (!set) return false;
  for (const auto& [name, section] : set->sections()) {
    if (isComponentSection(name)) componentMap.insert(componentOf(name, *section));
  }
  const auto order = groupsBeforeMembers(componentMap);
  if (!order) {
    componentMap.clear();
    return false;
  }
  for (size_t rank = 0; rank < order->size(); ++rank) (*order)[rank]->groupRank = rank;
  linkComponents(componentMap, topNamesOf(*set));
  return true;
}

bool Catalogue::loadDataStrings(const CConfigStore& store) {
  const CSectionSet* set = store.findSectionSet(kDataSetName);
  const CSection* data = set ? set->findSection("Data") : nullptr;
  if (!data) return false;
  for (const auto& [key, value] : *data) dataStrings[key] = value;
  return true;
}

bool Catalogue::loadCoreFiles(const CConfigStore& store) {
  const CSectionSet* set = store.findSectionSet(kCoreFileSetName);
  const CSection* win32 = set ? set->findSection("Win32") : nullptr;
  if (!win32) return false;
  for (const auto& entry : *win32) coreFiles.insert(platform::upper(entry.first));
  return true;
}

void Catalogue::release() {
  componentMap.clear();
  topComponents.clear();
  dataStrings.clear();
  coreFiles.clear();
}

Catalogue& catalogue() {
  static Catalogue instance;
  return instance;
}

}  // namespace cvl
