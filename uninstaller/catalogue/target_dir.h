#pragma once
// Fixing a component's target directory once the registry names it.
#include <string>
#include <unordered_set>

#include "uninstaller/catalogue/component_map.h"

namespace cvl {

// Components whose target was already fixed during this start-up.
using TargetsFixed = std::unordered_set<const CComponent*>;

// Replaces the first "<TARGETDIR>" in the target of the component and,
// before that, of each eligible member, depth first. A component is fixed
// once only: the first group or top component to reach it decides its
// directory, and a directory that itself holds "<TARGETDIR>", or a target
// that holds it twice, is not substituted again.
void substituteTargetDir(const ComponentMap& components, const std::string& directory, CComponent& component,
                         TargetsFixed& fixed);

}  // namespace cvl
