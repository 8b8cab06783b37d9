#pragma once
// Phase 5: the registry entries the install log records for a component.
#include "uninstaller/catalogue/component.h"
#include "uninstaller/engine/removal_context.h"
#include "uninstaller/removal/key_walker.h"

namespace cvl {

// Keys of the suite ("SOFTWARE\CORVEL") and class registrations ("HKCR\")
// go whole; in any other, shared, key, and in a shared container whatever
// its path, only the logged values go. The suite's root and the
// uninstaller's records are left alone. Every key is noted for the sweep of
// emptied keys, and a key below "\NEW USER SETTINGS\" takes its twin
// without that segment along, judged by the same rules. The levels keys
// opens stay open from one component to the next.
void removeComponentRegistry(RemovalContext& context, KeyWalker& keys, const CComponent& component);

}  // namespace cvl
