#include "uninstaller/catalogue/component.h"

#include "uninstaller/catalogue/component_map.h"

namespace cvl {

bool CComponent::isDueForRemoval() const {
  return removalRequests > 0 && removalRequests >= (marked ? 1 : 0) + dependents;
}

void CComponent::requestRemoval() {
  ++removalRequests;
  if (!isDueForRemoval() || !owner_) return;
  for (const std::string& memberName : members) {
    CComponent* member = owner_->find(memberName);
    if (member && member->isEligible()) member->requestRemoval();
  }
  for (const std::string& requiredName : required) {
    if (!requiredDone.insert(requiredName).second) continue;
    if (CComponent* needed = owner_->find(requiredName)) needed->requestRemoval();
  }
}

}  // namespace cvl
