#include "uninstaller/catalogue/component.h"

#include <algorithm>
#include <queue>
#include <unordered_map>

#include "uninstaller/catalogue/component_map.h"

namespace cvl {

namespace {

// A count this high passes every threshold it can still meet: thresholds
// are counts of a store's entries, and even summed along the longest chain
// they stay far below it. Counts stop here instead of overflowing.
constexpr uint64_t kUnbounded = uint64_t{1} << 62;

uint64_t addCounts(uint64_t a, uint64_t b) { return std::min(a + b, kUnbounded); }

// Requests that make the component due: its own when marked, one from each
// installed dependent, and at least one.
uint64_t requestsToBeDue(const CComponent& component) {
  return static_cast<uint64_t>(std::max<int64_t>(1, int64_t{component.marked ? 1 : 0} + component.dependents));
}

// Counts requests arriving together; returns how many of them arrived while
// the component was due, each of which goes on to every eligible member.
uint64_t receive(CComponent& component, uint64_t count) {
  if (component.requestsPassedOn == kUnbounded) return 0;
  const uint64_t due = requestsToBeDue(component);
  const uint64_t before = component.requestsPassedOn > 0 ? due - 1 + component.requestsPassedOn
                                                         : static_cast<uint64_t>(component.removalRequests);
  const uint64_t after = addCounts(before, count);
  if (after < due) {
    component.removalRequests = static_cast<int32_t>(after);
    return 0;
  }
  component.removalRequests = static_cast<int32_t>(due);
  const uint64_t passedOn = after == kUnbounded ? kUnbounded : after - due + 1;
  const uint64_t fresh = passedOn == kUnbounded ? kUnbounded : passedOn - component.requestsPassedOn;
  component.requestsPassedOn = passedOn;
  return fresh;
}

struct RanksLater {
  bool operator()(const CComponent* a, const CComponent* b) const { return a->groupRank > b->groupRank; }
};

}  // namespace

bool CComponent::isDueForRemoval() const {
  return removalRequests > 0 && removalRequests >= (marked ? 1 : 0) + dependents;
}

// Requests travel as counts, groups before their members, so a member that
// many groups name hears from all of them at once: a lattice of shared
// members costs one visit per component and link, not one per path, and no
// chain of links deepens the stack. How many requests a component ends up
// with does not depend on the order they come in, so the result is that of
// passing them one by one.
void CComponent::requestRemoval() {
  if (!owner_) {
    receive(*this, 1);
    return;
  }
  std::priority_queue<CComponent*, std::vector<CComponent*>, RanksLater> queue;
  std::unordered_map<CComponent*, uint64_t> waiting;
  auto send = [&](CComponent& to, uint64_t count) {
    const auto [at, isNew] = waiting.emplace(&to, 0);
    at->second = addCounts(at->second, count);
    if (isNew) queue.push(&to);
  };
  send(*this, 1);
  while (!queue.empty()) {
    CComponent& component = *queue.top();
    queue.pop();
    const auto found = waiting.find(&component);
    const uint64_t count = found->second;
    waiting.erase(found);
    const uint64_t passed = receive(component, count);
    if (!component.isDueForRemoval()) continue;
    for (size_t i = 0; passed > 0 && i < component.members.size(); ++i) {
      CComponent* member = owner_->find(component.members[i]);
      if (member && member->isEligible()) send(*member, passed);
    }
    for (const std::string& requiredName : component.required) {
      if (!component.requiredDone.insert(requiredName).second) continue;
      if (CComponent* needed = owner_->find(requiredName)) send(*needed, 1);
    }
  }
}

}  // namespace cvl
