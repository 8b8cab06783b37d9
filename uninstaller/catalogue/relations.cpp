#include "uninstaller/catalogue/relations.h"

#include <unordered_map>

#include "platform/platform.h"

namespace cvl {

namespace {

// The components a group names as members, in list order, missing names skipped.
std::vector<CComponent*> membersOf(const ComponentMap& components, const CComponent& group) {
  std::vector<CComponent*> members;
  for (const std::string& name : group.members) {
    if (CComponent* member = components.find(name)) members.push_back(member);
  }
  return members;
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

// Each walk up stops at the first component whose root is known, so every
// parent link is followed once however long the chains.
void linkRoots(const ComponentMap& components) {
  std::vector<CComponent*> path;
  for (const auto& entry : components) {
    CComponent* top = entry.component.get();
    while (!top->root && top->parent) {
      path.push_back(top);
      top = top->parent;
    }
    if (!top->root) top->root = top;
    for (CComponent* below : path) below->root = top->root;
    path.clear();
  }
}

void markMembers(const ComponentMap& components, const CComponent& group) {
  for (const std::string& name : group.members) {
    CComponent* member = components.find(name);
    if (member && member->isEligible()) member->marked = true;
  }
}

bool isOffered(const CComponent& component) { return component.visible && component.selected; }

// For each component, whether a group between it and its root, root
// excluded, is needed by installed components. Worked out once per
// component from its parent's answer, so long chains cost no more than
// short ones.
using NeededAncestors = std::unordered_map<const CComponent*, bool>;

NeededAncestors findNeededAncestors(const ComponentMap& components) {
  NeededAncestors needed;
  std::vector<const CComponent*> path;
  for (const auto& entry : components) {
    const CComponent* at = entry.component.get();
    while (!needed.count(at)) {
      path.push_back(at);
      if (!at->parent) break;
      at = at->parent;
    }
    for (auto below = path.rbegin(); below != path.rend(); ++below) {
      const CComponent* up = (*below)->parent;
      needed[*below] = up && up != (*below)->root && (up->dependents > 0 || needed.at(up));
    }
    path.clear();
  }
  return needed;
}

// A group's members need their own request when the group is offered at
// the top, or when the group or one of its ancestors is needed by others.
bool membersNeedOwnRequest(const CComponent& component, const std::set<std::string>& topNames,
                           const NeededAncestors& neededAncestors) {
  auto isTop = [&](const CComponent& c) { return topNames.count(platform::upper(c.name)) > 0; };
  if (isTop(component)) return isOffered(component);
  if (component.parent && component.dependents > 0) return true;
  if (isTop(*component.root) && isOffered(*component.root)) return true;
  if (!isTop(*component.root) && component.dependents > 0) return true;
  return neededAncestors.at(&component);
}

void markGroupMembers(const ComponentMap& components, const std::set<std::string>& topNames) {
  const NeededAncestors neededAncestors = findNeededAncestors(components);
  for (const auto& entry : components) {
    if (membersNeedOwnRequest(*entry.component, topNames, neededAncestors)) markMembers(components, *entry.component);
  }
}

}  // namespace

std::optional<std::vector<CComponent*>> groupsBeforeMembers(const ComponentMap& components) {
  // Depth first without recursion: member chains as long as the store allows
  // must not use up the stack. A component is finished once all its members
  // are; the finished order reversed puts every group before its members.
  enum class Visit { Open, Done };
  std::unordered_map<const CComponent*, Visit> visits;
  struct Frame {
    CComponent* component;
    std::vector<CComponent*> members;
    size_t next = 0;
  };
  std::vector<CComponent*> finished;
  std::vector<Frame> stack;
  for (const auto& entry : components) {
    if (visits.count(entry.component.get())) continue;
    visits[entry.component.get()] = Visit::Open;
    stack.push_back({entry.component.get(), membersOf(components, *entry.component)});
    while (!stack.empty()) {
      Frame& top = stack.back();
      if (top.next == top.members.size()) {
        visits[top.component] = Visit::Done;
        finished.push_back(top.component);
        stack.pop_back();
        continue;
      }
      CComponent* member = top.members[top.next++];
      const auto seen = visits.find(member);
      if (seen != visits.end()) {
        if (seen->second == Visit::Open) return std::nullopt;
        continue;
      }
      visits[member] = Visit::Open;
      stack.push_back({member, membersOf(components, *member)});
    }
  }
  return std::vector<CComponent*>(finished.rbegin(), finished.rend());
}

void linkComponents(const ComponentMap& components, const std::set<std::string>& topNames) {
  countDependents(components);
  linkParents(components);
  linkRoots(components);
  markGroupMembers(components, topNames);
}

}  // namespace cvl
