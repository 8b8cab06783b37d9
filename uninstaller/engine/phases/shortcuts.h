#pragma once
// Phase 3: the Start-menu shortcuts the install log records for a
// component, in the user's and in the all-users program folders.
#include "uninstaller/catalogue/component.h"
#include "uninstaller/engine/removal_context.h"

namespace cvl {

// Deletes both variants of every logged shortcut that exists (a failed
// delete sets context.hadErrors) and notes both folders for the sweep of
// emptied directories, whether or not a shortcut was there.
void removeComponentShortcuts(RemovalContext& context, const CComponent& component);

}  // namespace cvl
