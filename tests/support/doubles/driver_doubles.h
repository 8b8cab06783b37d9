#pragma once
// Stand-ins for the dialogs around the removal driver: a plain selection
// tree and a progress window that records what it is told.
#include <functional>
#include <string>
#include <vector>

#include "uninstaller/engine/driver_ports.h"

namespace cvl::test {

class PlainTree : public SelectionTree {
 public:
  // Returns the new item, a top-level one when parent is 0.
  Item add(CheckState state, CComponent* component, Item parent = 0);

  Item firstRoot() const override { return roots_.empty() ? 0 : roots_.front(); }
  Item firstChild(Item item) const override { return node(item).children.empty() ? 0 : node(item).children.front(); }
  Item nextSibling(Item item) const override;
  CheckState checkState(Item item) const override { return node(item).state; }
  CComponent* component(Item item) const override { return node(item).component; }

 private:
  struct Node {
    CheckState state;
    CComponent* component;
    Item parent;
    std::vector<Item> children;
  };
  const Node& node(Item item) const { return nodes_.at(item - 1); }
  std::vector<Node> nodes_;
  std::vector<Item> roots_;
};

// Records every call; ticks in a row are folded into one "tick*N" entry.
class ProgressRecorder : public ProgressWindow {
 public:
  void create() override { events.push_back("create"); }
  void setProgressVisible(bool visible) override { events.push_back(visible ? "visible" : "hidden"); }
  void showStep(int step) override {
    events.push_back("step " + std::to_string(step));
    if (onStep) onStep(step);
  }
  void setRange(int minimum, int maximum) override {
    events.push_back("range " + std::to_string(minimum) + ".." + std::to_string(maximum));
  }
  void tick() override;
  void finish(bool silent) override { events.push_back(silent ? "finish silent" : "finish"); }
  void showLogNotWritten() override { events.push_back("log not written"); }

  std::vector<std::string> events;
  std::function<void(int)> onStep;  // runs after a step is shown
};

}  // namespace cvl::test
