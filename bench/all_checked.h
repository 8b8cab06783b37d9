#pragma once
// The benchmarks' selection: every top component of the catalogue checked.
#include <vector>

#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/engine/driver_ports.h"

namespace cvl::bench {

class AllChecked : public SelectionTree {
 public:
  explicit AllChecked(const Catalogue& catalogue) {
    for (const auto& entry : catalogue.componentMap) items_.push_back(entry.component.get());
  }
  Item firstRoot() const override { return items_.empty() ? 0 : 1; }
  Item firstChild(Item) const override { return 0; }
  Item nextSibling(Item item) const override { return item < items_.size() ? item + 1 : 0; }
  CheckState checkState(Item) const override { return CheckState::Checked; }
  CComponent* component(Item item) const override { return items_[item - 1]; }

 private:
  std::vector<CComponent*> items_;
};

}  // namespace cvl::bench
