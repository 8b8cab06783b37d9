#pragma once
// The texts the selection dialog shows for a component.
#include <map>
#include <string>

#include "uninstaller/catalogue/component.h"

namespace cvl {

using DataStrings = std::map<std::string, std::string>;

// The text the data strings give for the display text, trailing white space
// removed; else the display text itself; else the name.
std::string displayTextOf(const CComponent& component, const DataStrings& dataStrings);

// The text the data strings give for the description, trailing white space
// removed; empty when they have none.
std::string descriptionOf(const CComponent& component, const DataStrings& dataStrings);

}  // namespace cvl
