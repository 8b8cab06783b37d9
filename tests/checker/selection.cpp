#include "tests/checker/selection.h"

#include <functional>
#include <map>

namespace cvl::checker {
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
  setStates(selection, [&](const std::string&) { return choices.percent(35) ? CheckState::Unchecked : CheckState::Checked; });
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
