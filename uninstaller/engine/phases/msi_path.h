#pragma once
// Installer packages of removed components that carry the VBA runtime.
#include "uninstaller/catalogue/component.h"
#include "uninstaller/engine/removal_context.h"

namespace cvl {

// Appends the component's registered "MSIPath", upper-cased, to
// context.msiPaths when the component carries the VBA runtime and the path
// is not empty.
void collectMsiPath(RemovalContext& context, const CComponent& component);

}  // namespace cvl
