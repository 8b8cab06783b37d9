#pragma once
// Fixing a component's target directory once the registry names it.
#include <string>

#include "uninstaller/catalogue/component_map.h"

namespace cvl {

// Replaces the first "<TARGETDIR>" in the target of the component and,
// before that, of each eligible member, depth first.
void substituteTargetDir(const ComponentMap& components, const std::string& directory, CComponent& component);

}  // namespace cvl
