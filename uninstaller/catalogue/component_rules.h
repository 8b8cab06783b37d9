#pragma once
// How one key/value pair of a component definition section fills the component.
#include <string>

#include "uninstaller/catalogue/component.h"

namespace cvl {

// Upper-cases key and value and applies the first rule whose word the key
// equals (for flags and texts) or begins with (for lists). Keys that match
// no rule are ignored.
void applyComponentPair(CComponent& component, const std::string& key, const std::string& value);

}  // namespace cvl
