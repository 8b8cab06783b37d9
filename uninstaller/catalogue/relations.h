#pragma once
// The links between components that the definition sections name: groups
// (MEMBER), dependencies (REQUIRED, REQUIREDBY) and which members need a
// removal request of their own.
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "uninstaller/catalogue/component_map.h"

namespace cvl {

// Every component, each group before all of its members; none when a
// component is, through MEMBER links, a member of itself. Such a catalogue
// is rejected: its root walk and its removal requests would never end.
std::optional<std::vector<CComponent*>> groupsBeforeMembers(const ComponentMap& components);

// Runs the passes in order: dependents, parents, roots, marking of members.
// topNames holds the upper-cased values of the TopComponents section.
// Names that name no component are skipped. Needs a catalogue without member cycles.
void linkComponents(const ComponentMap& components, const std::set<std::string>& topNames);

}  // namespace cvl
