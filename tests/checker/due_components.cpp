#include "tests/checker/due_components.h"

#include <algorithm>
#include <functional>

#include "tests/checker/safety_rules.h"

namespace cvl::checker {
namespace {

using platform::upper;

// Counts stop here: every threshold is a count of a store's entries, far below.
constexpr uint64_t kMany = uint64_t{1} << 40;

bool startsWith(const std::string& text, const char* word) { return text.rfind(word, 0) == 0; }

void appendIfAny(std::vector<std::string>& list, const std::string& value) {
  if (!value.empty()) list.push_back(value);
}

}  // namespace

ComponentModel::ComponentModel(const CConfigStore& store, const RegistryValues& registry,
                               const std::set<std::string>& unopenable) {
  const CSectionSet* set = store.findSectionSet("default.cdf");
  const CSection* top = set ? set->findSection("TopComponents") : nullptr;
  const CSectionSet* data = store.findSectionSet("value.shl");
  const CSectionSet* core = store.findSectionSet("corecomp.ini");
  if (!top || !data || !data->findSection("Data") || !core || !core->findSection("Win32")) return;
  readSections(*set);
  if (membersFormACycle()) return;
  std::set<std::string> topNames;
  for (const auto& entry : *top) topNames.insert(upper(entry.second));
  linkAndMark(topNames);
  offerTopComponents(*top, registry, unopenable);
  startsUp_ = true;
}

// Keys and values compared upper-cased; the first rule that fits applies.
void ComponentModel::readSections(const CSectionSet& set) {
  for (const auto& [name, section] : set.sections()) {
    if (name == "Components" || name == "TopComponents") continue;
    Component c;
    c.name = name;
    for (const auto& [rawKey, rawValue] : *section) {
      const std::string key = upper(rawKey), value = upper(rawValue);
      if (key == "TARGET") c.target = value;
      else if (key == "UNINSTALLABLE") c.uninstallable = value == "YES";
      else if (key == "INCLUDEINBUILD") c.includeInBuild = value == "YES";
      else if (key == "VISIBLE") c.visible = value == "YES";
      else if (key == "SELECTED") c.selected = value == "YES";
      else if (key == "MISC") {
        c.expand = value.find("EXPAND") != std::string::npos;
        c.vba = value.find("VBA") != std::string::npos;
      }
      else if (startsWith(key, "MEMBER")) appendIfAny(c.members, value);
      else if (startsWith(key, "REQUIREDBY")) appendIfAny(c.requiredBy, value);
      else if (startsWith(key, "REQUIRED")) appendIfAny(c.required, value);
      else if (startsWith(key, "FILEGROUP")) appendIfAny(c.fileGroups, value);
    }
    // Names differing only in case: the section read last stands where the first stood.
    const auto [at, isNew] = byName_.emplace(upper(name), static_cast<int>(components_.size()));
    if (isNew) {
      components_.push_back(std::move(c));
    } else {
      components_[at->second] = std::move(c);
    }
  }
}

int ComponentModel::find(const std::string& name) const {
  const auto found = byName_.find(name);
  return found == byName_.end() ? -1 : found->second;
}

bool ComponentModel::membersFormACycle() const {
  std::vector<int> state(components_.size(), 0);  // 0 unseen, 1 on the path, 2 done
  std::function<bool(int)> cycleFrom = [&](int at) {
    if (state[at] != 0) return state[at] == 1;
    state[at] = 1;
    for (const std::string& name : components_[at].members) {
      if (find(name) >= 0 && cycleFrom(find(name))) return true;
    }
    state[at] = 2;
    return false;
  };
  for (size_t i = 0; i < components_.size(); ++i) {
    if (cycleFrom(static_cast<int>(i))) return true;
  }
  return false;
}

void ComponentModel::markMembersOf(const Component& group) {
  for (const std::string& name : group.members) {
    const int member = find(name);
    if (member >= 0 && components_[member].eligible()) components_[member].marked = true;
  }
}

void ComponentModel::linkAndMark(const std::set<std::string>& topNames) {
  for (Component& c : components_) {
    for (const std::string& name : c.requiredBy) c.dependents += find(name) >= 0 && components_[find(name)].eligible();
  }
  for (size_t i = 0; i < components_.size(); ++i) {
    for (const std::string& name : components_[i].members) {
      if (find(name) >= 0) components_[find(name)].parent = static_cast<int>(i);
    }
  }
  const auto isTop = [&](const Component& c) { return topNames.count(upper(c.name)) != 0; };
  const auto offeredAtTop = [](const Component& c) { return c.visible && c.selected; };
  for (const Component& c : components_) {
    int root = find(upper(c.name));
    while (components_[root].parent >= 0) root = components_[root].parent;
    const Component& r = components_[root];
    // Whether a group between this one and its root, root excluded, is needed.
    bool neededAncestor = false;
    for (int at = c.parent; at >= 0 && at != root; at = components_[at].parent) {
      neededAncestor = neededAncestor || components_[at].dependents > 0;
    }
    bool mark;
    if (isTop(c)) {
      mark = offeredAtTop(c);
    } else if (c.parent >= 0 && c.dependents > 0) {
      mark = true;
    } else if (isTop(r)) {
      mark = offeredAtTop(r) || neededAncestor;
    } else {
      mark = c.dependents > 0 || neededAncestor;
    }
    if (mark) markMembersOf(c);
  }
}

void ComponentModel::offerTopComponents(const CSection& top, const RegistryValues& registry,
                                        const std::set<std::string>& unopenable) {
  std::set<int> fixed;
  for (const auto& entry : top) {
    const std::string name = upper(entry.second);
    const int at = find(name);
    if (at < 0 || !components_[at].selected || !components_[at].visible || !components_[at].includeInBuild) continue;
    components_[at].marked = true;
    offered_.push_back(name);
    // The component's key must open for reading, setting and creating; its
    // default value must fit 260 bytes with its terminator.
    if (name.find('\0') != std::string::npos) continue;
    const std::string key = placeOf("HKLM", "software\\corvel\\uninstall\\components\\" + name);
    const auto value = registry.find({key, ""});
    if (unopenable.count(key) || value == registry.end() || value->second.data.size() > 260) continue;
    std::string directory = upper(value->second.asString());
    if (!directory.empty() && directory.back() == '\\') directory.pop_back();
    putInTargetDir(directory, at, fixed);
  }
}

// Members first, depth first; each component once, whoever reaches it first.
void ComponentModel::putInTargetDir(const std::string& directory, int component, std::set<int>& fixed) {
  if (!fixed.insert(component).second) return;
  Component& c = components_[component];
  for (const std::string& name : c.members) {
    if (find(name) >= 0 && components_[find(name)].eligible()) putInTargetDir(directory, find(name), fixed);
  }
  const auto at = c.target.find("<TARGETDIR>");
  if (at != std::string::npos) c.target.replace(at, 11, directory);
}

std::vector<std::string> ComponentModel::shownMembers(const std::string& component) const {
  std::vector<std::string> shown;
  const int at = find(component);
  if (at < 0 || !components_[at].expand) return shown;
  for (const std::string& name : components_[at].members) {
    if (find(name) >= 0 && components_[find(name)].eligible() && components_[find(name)].visible) shown.push_back(name);
  }
  return shown;
}

std::string ComponentModel::targetOf(const std::string& component) const {
  return find(upper(component)) >= 0 ? components_[find(upper(component))].target : std::string();
}

// A checked item asks its component once; a partly checked one passes the
// question to its children. A component that gets k requests is due when
// k reaches its threshold (its own mark plus one per installed dependent,
// at least one), and each request it gets while due goes on to every
// eligible member; each required component hears from it once. Worked out
// as a fixed point of those counts, round by round.
std::vector<DueComponent> ComponentModel::dueFor(const Selection& selection) const {
  if (!startsUp_) return {};  // nothing runs; a loop of groups would not settle either
  const size_t n = components_.size();
  std::vector<uint64_t> own(n, 0);
  std::function<void(const SelectionItem&)> ask = [&](const SelectionItem& item) {
    if (item.state == CheckState::Checked && find(item.component) >= 0) ++own[find(item.component)];
    if (item.state == CheckState::Partly) {
      for (const SelectionItem& child : item.children) ask(child);
    }
  };
  for (const SelectionItem& item : selection) ask(item);

  const auto threshold = [&](size_t i) {
    return static_cast<uint64_t>(std::max(1, (components_[i].marked ? 1 : 0) + components_[i].dependents));
  };
  std::vector<uint64_t> received = own;
  for (;;) {
    std::vector<uint64_t> next = own;
    for (size_t i = 0; i < n; ++i) {
      if (received[i] < threshold(i)) continue;
      const uint64_t passed = received[i] - threshold(i) + 1;
      for (const std::string& name : components_[i].members) {
        const int member = find(name);
        if (member >= 0 && components_[member].eligible()) next[member] = std::min(kMany, next[member] + passed);
      }
      const std::set<std::string> required(components_[i].required.begin(), components_[i].required.end());
      for (const std::string& name : required) {
        if (find(name) >= 0) next[find(name)] = std::min(kMany, next[find(name)] + 1);
      }
    }
    if (next == received) break;
    received = next;
  }
  std::vector<DueComponent> due;
  for (size_t i = 0; i < n; ++i) {
    const Component& c = components_[i];
    if (received[i] > 0 && received[i] >= threshold(i)) due.push_back({c.name, c.target, c.fileGroups, c.vba});
  }
  return due;
}

void ComponentModel::markRemoved(CConfigStore& store, const std::vector<DueComponent>& due) const {
  CSectionSet* set = store.findSectionSet("default.cdf");
  for (const DueComponent& component : due) {
    if (set != nullptr) set->setValue(component.name, "SELECTED", "No");
  }
}

}  // namespace cvl::checker
