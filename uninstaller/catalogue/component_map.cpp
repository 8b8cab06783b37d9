#include "uninstaller/catalogue/component_map.h"

#include "platform/platform.h"

namespace cvl {

CComponent* ComponentMap::find(const std::string& key) const {
  const auto found = index_.find(key);
  return found == index_.end() ? nullptr : entries_[found->second].component.get();
}

CComponent& ComponentMap::insert(std::unique_ptr<CComponent> component) {
  component->owner_ = this;
  std::string key = platform::upper(component->name);
  const auto [found, isNew] = index_.emplace(key, entries_.size());
  if (isNew) {
    entries_.push_back({std::move(key), std::move(component)});
    return *entries_.back().component;
  }
  entries_[found->second].component = std::move(component);
  return *entries_[found->second].component;
}

void ComponentMap::clear() {
  index_.clear();
  entries_.clear();
}

}  // namespace cvl
