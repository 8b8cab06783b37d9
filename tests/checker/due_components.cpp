#include "tests/checker/due_components.h"

#include <algorithm>
#include <functional>
#include <map>

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

bool ComponentModel::eligible(const std::string& name) const {
  const int at = find(name);
  return at >= 0 && components_[at].eligible();
}

void ComponentModel::linkAndMark(const std::set<std::string>& topNames) {
  for (Component& c : components_) {
    for (const std::string& name : c.requiredBy) c.dependents += eligible(name);
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
    const bool mark = isTop(c)                          ? offeredAtTop(c)
                      : c.parent >= 0 && c.dependents > 0 ? true
                      : isTop(r)                          ? offeredAtTop(r) || neededAncestor
                                                          : c.dependents > 0 || neededAncestor;
    for (const std::string& name : c.members) {
      if (mark && eligible(name)) components_[find(name)].marked = true;
    }
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
    if (eligible(name)) putInTargetDir(directory, find(name), fixed);
  }
  const auto at = c.target.find("<TARGETDIR>");
  if (at != std::string::npos) c.target.replace(at, 11, directory);
}

std::vector<std::string> ComponentModel::shownMembers(const std::string& component) const {
  std::vector<std::string> shown;
  const int at = find(component);
  if (at < 0 || !components_[at].expand) return shown;
  for (const std::string& name : components_[at].members) {
    if (eligible(name) && components_[find(name)].visible) shown.push_back(name);
  }
  return shown;
}

std::string ComponentModel::targetOf(const std::string& component) const {
  return knows(upper(component)) ? components_[find(upper(component))].target : std::string();
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
        if (eligible(name)) next[find(name)] = std::min(kMany, next[find(name)] + passed);
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
  if (CSectionSet* set = store.findSectionSet("default.cdf")) {
    for (const DueComponent& component : due) set->setValue(component.name, "SELECTED", "No");
  }
}

namespace {

// Member lattices of crafted stores can be deep and wide; the dialog's
// tree is cut off here.
constexpr int kDeepest = 12;
constexpr int kMostItems = 300;

void addShownMembers(SelectionItem& item, const ComponentModel& model, int depth, int& items) {
  if (depth == kDeepest) return;
  for (const std::string& member : model.shownMembers(item.component)) {
    if (++items > kMostItems) return;
    item.children.push_back({member, CheckState::Unchecked, {}});
    addShownMembers(item.children.back(), model, depth + 1, items);
  }
}

Selection offeredTree(const ComponentModel& model) {
  Selection tree;
  int items = 0;
  for (const std::string& name : model.offered()) {
    tree.push_back({name, CheckState::Unchecked, {}});
    addShownMembers(tree.back(), model, 0, items);
  }
  return tree;
}

CheckState combined(const std::vector<SelectionItem>& children) {
  bool any = false, all = true;
  for (const SelectionItem& child : children) {
    any = any || child.state != CheckState::Unchecked;
    all = all && child.state == CheckState::Checked;
  }
  return all ? CheckState::Checked : any ? CheckState::Partly : CheckState::Unchecked;
}

// Each item after its members, with its path: the names down to it, each
// numbered among its same-named siblings.
template <class Items, class Visit>
void afterMembers(Items& items, const std::string& parentPath, const Visit& visit) {
  std::map<std::string, int> seen;
  for (auto& item : items) {
    const std::string path = parentPath + "/" + item.component + "#" + std::to_string(seen[item.component]++);
    afterMembers(item.children, path, visit);
    visit(item, path);
  }
}

// Leaves take their state from leafState; groups follow their members.
void setStates(Selection& items, const std::function<CheckState(const std::string& path)>& leafState) {
  afterMembers(items, "", [&](SelectionItem& item, const std::string& path) {
    item.state = item.children.empty() ? leafState(path) : combined(item.children);
  });
}

}  // namespace

Selection drawSelection(const ComponentModel& model, Choices& choices) {
  Selection selection = offeredTree(model);
  setStates(selection,
            [&](const std::string&) { return choices.percent(35) ? CheckState::Unchecked : CheckState::Checked; });
  return selection;
}

// An item checked before is checked again; one not offered before is
// checked only when the whole suite was.
Selection repeatSelection(const ComponentModel& model, const Selection& earlier) {
  std::map<std::string, CheckState> states;
  afterMembers(earlier, "", [&](const SelectionItem& item, const std::string& path) { states[path] = item.state; });
  const bool everything = checksEverything(earlier);
  Selection selection = offeredTree(model);
  setStates(selection, [&](const std::string& path) {
    const auto before = states.find(path);
    const bool check = before == states.end() ? everything : before->second == CheckState::Checked;
    return check ? CheckState::Checked : CheckState::Unchecked;
  });
  return selection;
}

bool checksEverything(const Selection& selection) {
  for (const SelectionItem& item : selection) {
    if (item.state != CheckState::Checked) return false;
  }
  return !selection.empty();
}

}  // namespace cvl::checker
