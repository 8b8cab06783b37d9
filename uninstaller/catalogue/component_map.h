#pragma once
// The catalogue's components, owned, keyed by the upper-cased name and kept
// in the order in which they were first entered (the store's order).
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "uninstaller/catalogue/component.h"

namespace cvl {

class ComponentMap {
 public:
  struct Entry {
    std::string key;  // the component's name, upper case
    std::unique_ptr<CComponent> component;
  };

  ComponentMap() = default;
  ComponentMap(const ComponentMap&) = delete;
  ComponentMap& operator=(const ComponentMap&) = delete;

  // Exact lookup: the lists of a component hold upper-case names already.
  CComponent* find(const std::string& key) const;

  // Enters the component under its upper-cased name. One already there
  // under that key is replaced in its place and deleted.
  CComponent& insert(std::unique_ptr<CComponent> component);

  void clear();
  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  std::vector<Entry>::const_iterator begin() const { return entries_.begin(); }
  std::vector<Entry>::const_iterator end() const { return entries_.end(); }

 private:
  std::vector<Entry> entries_;
  std::map<std::string, size_t> index_;
};

}  // namespace cvl
