#pragma once
// A string-keyed map that iterates in the order its keys were first entered,
// so a file loaded and stored again comes out with its entries in the same
// order. Keys are exact; findNoCase gives the first entry, in that order,
// whose key matches when ASCII letters are folded.
#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace cvl {

template <class V>
class OrderedMap {
 public:
  using Entry = std::pair<std::string, V>;
  using const_iterator = typename std::vector<Entry>::const_iterator;
  using iterator = typename std::vector<Entry>::iterator;

  V* find(const std::string& key) { return at(exact_, key); }
  const V* find(const std::string& key) const { return const_cast<OrderedMap*>(this)->find(key); }

  V* findNoCase(const std::string& key) {
    indexFolded();
    return at(folded_, platform::upper(key));
  }
  const V* findNoCase(const std::string& key) const { return const_cast<OrderedMap*>(this)->findNoCase(key); }

  // Replaces the value of an existing key where it stands, or appends.
  V& assign(const std::string& key, V value) {
    if (V* existing = find(key)) {
      *existing = std::move(value);
      return *existing;
    }
    exact_.emplace(key, entries_.size());
    entries_.emplace_back(key, std::move(value));
    return entries_.back().second;
  }

  void clear() {
    entries_.clear();
    exact_.clear();
    folded_.clear();
    foldedCount_ = 0;
  }

  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }
  // Values may be changed in place; keys must not be.
  iterator begin() { return entries_.begin(); }
  iterator end() { return entries_.end(); }

 private:
  V* at(const std::unordered_map<std::string, size_t>& index, const std::string& key) {
    const auto hit = index.find(key);
    return hit == index.end() ? nullptr : &entries_[hit->second].second;
  }

  // The folded index costs as much as the exact one, and most maps are
  // never searched ignoring case; it is brought up to date on first use.
  void indexFolded() {
    for (; foldedCount_ < entries_.size(); ++foldedCount_) {
      folded_.emplace(platform::upper(entries_[foldedCount_].first), foldedCount_);  // keeps the first
    }
  }

  std::vector<Entry> entries_;
  std::unordered_map<std::string, size_t> exact_;
  std::unordered_map<std::string, size_t> folded_;
  size_t foldedCount_ = 0;
};

}  // namespace cvl
