#pragma once
// The items a run checks: the tree the selection dialog would offer for
// the store (its top components, and the members an expanded item shows),
// with check states drawn from choices, or repeated from an earlier run
// where the same items are offered again. A group's state follows its
// members' as the tri-state tree keeps it.
#include "tests/checker/choices.h"
#include "tests/checker/due_components.h"

namespace cvl::checker {

Selection drawSelection(const ComponentModel& model, Choices& choices);
Selection repeatSelection(const ComponentModel& model, const Selection& earlier);

// Every top-level item fully checked: the whole suite goes.
bool checksEverything(const Selection& selection);

}  // namespace cvl::checker
