#pragma once
// Phase 5: the registry entries the install log records for a component.
#include "uninstaller/catalogue/component.h"
#include "uninstaller/engine/removal_context.h"

namespace cvl {

// Keys of the suite ("SOFTWARE\CORVEL") and class registrations ("HKCR\")
// go whole; in any other, shared, key, and in a shared container whatever
// its path, only the logged values go. The suite's root and the
// uninstaller's records are left alone. Every key is noted for the sweep of
// emptied keys, and a key below "\NEW USER SETTINGS\" takes its twin
// without that segment along, judged by the same rules.
void removeComponentRegistry(RemovalContext& context, const CComponent& component);

}  // namespace cvl
