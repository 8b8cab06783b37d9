#pragma once
// The planning state the fix-up tests start from, set on a running
// installation of fixup.msi, and the outcome read back from it. Used in
// process by the tests and inside msiexec by the probe custom actions.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <string>

namespace fixup_scenario {

// Adds the runtime state columns the installer keeps hidden (Wine's
// installer has none) and fills them as planning would have: features Main
// local, Extras from source, Left not installed; only Plain and SwitchOff
// planned. Then turns OFFPROP false and ONPROP true. Returns false when a
// statement failed.
bool prepare(MSIHANDLE install, bool withFeatureAction = true);

// One line per component in table order: name, Action, ActionRequest,
// RuntimeFlags (empty fields as "-"), then the requested state of SwitchOff.
std::string outcome(MSIHANDLE install);

}  // namespace fixup_scenario
