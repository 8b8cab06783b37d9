#pragma once
// The checker's own reading of which components a removal must take: the
// component sections of the store read pair by pair, groups, dependencies
// and marks worked out, target folders taken from the registry as it was
// before the run, and the removal requests of the checked items spread to
// a fixed point. Written plainly and without the engine's catalogue, so a
// wrong spread or a wrong target shows as a change the judge forbids.
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry.h"
#include "tests/checker/choices.h"
#include "uninstaller/engine/driver_ports.h"
#include "uninstaller/store/config_store.h"

namespace cvl::checker {

// One item of the selection tree as the checker built it.
struct SelectionItem {
  std::string component;  // upper case
  CheckState state = CheckState::Unchecked;
  std::vector<SelectionItem> children;
};
using Selection = std::vector<SelectionItem>;  // the top-level items

// A component due for removal, as the judge sees it.
struct DueComponent {
  std::string name;    // as its section is named
  std::string target;  // upper case, the registry's folder put in
  std::vector<std::string> fileGroups;
  bool vba = false;
};

// Registry values by upper-case place ("HKLM\SUB\KEY") and name.
using RegistryValues = std::map<std::pair<std::string, std::string>, platform::RegValue>;

class ComponentModel {
 public:
  // unopenable: registry places that cannot be opened.
  ComponentModel(const CConfigStore& store, const RegistryValues& registry, const std::set<std::string>& unopenable);

  // Start-up gets past the store: its sets and sections are there and no
  // group is its own member, however indirectly.
  bool startsUp() const { return startsUp_; }
  // Top components offered, upper case, in the store's order.
  const std::vector<std::string>& offered() const { return offered_; }
  // Members shown below an expanded item: eligible and visible.
  std::vector<std::string> shownMembers(const std::string& component) const;
  bool knows(const std::string& component) const { return find(component) >= 0; }
  // TARGET with the registry's folder put in; empty for an unknown name.
  std::string targetOf(const std::string& component) const;

  // Nothing when start-up stops at the store.
  std::vector<DueComponent> dueFor(const Selection& selection) const;
  // The store as the write-back leaves it: SELECTED=No for each due component.
  void markRemoved(CConfigStore& store, const std::vector<DueComponent>& due) const;

 private:
  struct Component {
    std::string name;
    std::string target;
    bool uninstallable = false, includeInBuild = false, visible = false, selected = false, expand = false, vba = false;
    std::vector<std::string> members, required, requiredBy, fileGroups;
    int parent = -1;
    int dependents = 0;
    bool marked = false;
    bool eligible() const { return selected && uninstallable && includeInBuild; }
  };

  void readSections(const CSectionSet& set);
  bool membersFormACycle() const;
  void linkAndMark(const std::set<std::string>& topNames);
  void offerTopComponents(const CSection& top, const RegistryValues& registry, const std::set<std::string>& unopenable);
  void putInTargetDir(const std::string& directory, int component, std::set<int>& fixed);
  int find(const std::string& name) const;
  bool eligible(const std::string& name) const;

  std::vector<Component> components_;  // in the order first named
  std::map<std::string, int> byName_;  // upper case
  std::vector<std::string> offered_;
  bool startsUp_ = false;
};

// The items a run checks: the tree the selection dialog would offer for
// the store (its top components, and the members an expanded item shows),
// with check states drawn from choices, or repeated from an earlier run
// where the same items are offered again. A group's state follows its
// members' as the tri-state tree keeps it.
Selection drawSelection(const ComponentModel& model, Choices& choices);
Selection repeatSelection(const ComponentModel& model, const Selection& earlier);

// Every top-level item fully checked: the whole suite goes.
bool checksEverything(const Selection& selection);

}  // namespace cvl::checker
