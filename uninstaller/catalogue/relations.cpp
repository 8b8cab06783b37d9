#include "uninstaller/catalogue/relations.h"

#include <map>

#include "platform/platform.h"

namespace cvl {

namespace {

enum class Visit { Open, Done };

bool reachesOpenMember(const ComponentMap& components, const CComponent& component,
                       std::map<const CComponent*, Visit>& visits) {
  visits[&component] = Visit::Open;
  for (const std::string& name : component.members) {
    const CComponent* member = components.find(name);
    if (!member) continue;
    const auto seen = visits.find(member);
    if (seen != visits.end()) {
      if (seen->second == Visit::Open) return true;
      continue;
    }
    if (reachesOpenMember(components, *member, visits)) return true;
  }
  visits[&component] = Visit::Done;
  return false;
}

void countDependents(const ComponentMap& components) {
  for (const auto& entry : components) {
    for (const std::string& name : entry.component->requiredBy) {
      const CComponent* dependent = components.find(name);
      if (dependent && dependent->isEligible()) ++entry.component->dependents;
    }
  }
}

// When several groups name the same member, the last one in map order wins.
void linkParents(const ComponentMap& components) {
  for (const auto& entry : components) {
    for (const std::string& name : entry.component->members) {
      if (CComponent* member = components.find(name)) member->parent = entry.component.get();
    }
  }
}

void linkRoots(const ComponentMap& components) {
  for (const auto& entry : components) {
    CComponent* top = entry.component.get();
    while (top->parent) top = top->parent;
    entry.component->root = top;
  }
}

void markMembers(const ComponentMap& components, const CComponent& group) {
  for (const std::string& name : group.members) {
    CComponent* member = components.find(name);
    if (member && member->isEligible()) member->marked = true;
  }
}

bool isOffered(const CComponent& component) { return component.visible && component.selected; }

// Whether a group between the component and its root, root excluded, is
// needed by installed components.
bool hasNeededAncestor(const CComponent& component) {
  for (const CComponent* up = component.parent; up && up != component.root; up = up->parent) {
    if (up->dependents > 0) return true;
  }
  return false;
}

// A group's members need their own request when the group is offered at
// the top, or when the group or one of its ancestors is needed by others.
bool membersNeedOwnRequest(const CComponent& component, const std::set<std::string>& topNames) {
  auto isTop = [&](const CComponent& c) { return topNames.count(platform::upper(c.name)) > 0; };
  if (isTop(component)) return isOffered(component);
  if (component.parent && component.dependents > 0) return true;
  if (isTop(*component.root) && isOffered(*component.root)) return true;
  if (!isTop(*component.root) && component.dependents > 0) return true;
  return hasNeededAncestor(component);
}

void markGroupMembers(const ComponentMap& components, const std::set<std::string>& topNames) {
  for (const auto& entry : components) {
    if (membersNeedOwnRequest(*entry.component, topNames)) markMembers(components, *entry.component);
  }
}

}  // namespace

bool hasMemberCycle(const ComponentMap& components) {
  std::map<const CComponent*, Visit> visits;
  for (const auto& entry : components) {
    if (visits.count(entry.component.get())) continue;
    if (reachesOpenMember(components, *entry.component, visits)) return true;
  }
  return false;
}

void linkComponents(const ComponentMap& components, const std::set<std::string>& topNames) {
  countDependents(components);
  linkParents(components);
  linkRoots(components);
  markGroupMembers(components, topNames);
}

}  // namespace cvl
