#pragma once
// The removal run behind the selection dialog's "Uninstall" command.
#include "uninstaller/engine/removal_context.h"
#include "uninstaller/engine/driver_ports.h"

namespace cvl {

// Turns one item's check state into removal requests. Clears
// context.allRemoved at every item that is not fully checked. True when the
// item or one of its descendants was fully checked.
bool markSelection(RemovalContext& context, const SelectionTree& tree, SelectionTree::Item item);

// Runs the whole removal in its fixed order of phases. The caller hides the
// selection dialog first. Returns false, without creating the progress
// window or touching anything, when no item was checked; the caller decides
// how the program ends then.
bool runUninstall(RemovalContext& context, const SelectionTree& tree, ProgressWindow& progress);

}  // namespace cvl
