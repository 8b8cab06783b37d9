#include "tests/support/doubles/driver_doubles.h"

namespace cvl::test {

SelectionTree::Item PlainTree::add(CheckState state, CComponent* component, Item parent) {
  nodes_.push_back({state, component, parent, {}});
  const Item item = nodes_.size();
  (parent == 0 ? roots_ : nodes_.at(parent - 1).children).push_back(item);
  return item;
}

SelectionTree::Item PlainTree::nextSibling(Item item) const {
  const Item parent = node(item).parent;
  const auto& siblings = parent == 0 ? roots_ : node(parent).children;
  for (size_t i = 0; i + 1 < siblings.size(); ++i) {
    if (siblings[i] == item) return siblings[i + 1];
  }
  return 0;
}

void ProgressRecorder::tick() {
  if (!events.empty() && events.back().rfind("tick*", 0) == 0) {
    events.back() = "tick*" + std::to_string(std::stoi(events.back().substr(5)) + 1);
  } else {
    events.push_back("tick*1");
  }
}

}  // namespace cvl::test
