#pragma once
// One component of the installation as its definition section describes it,
// with the links and counters that decide whether a removal request reaches it.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace cvl {

class ComponentMap;

class CComponent {
 public:
  explicit CComponent(std::string name = {}) : name(std::move(name)) {}
  virtual ~CComponent() = default;
  CComponent(const CComponent&) = delete;
  CComponent& operator=(const CComponent&) = delete;

  // Installed and allowed to go: selected, uninstallable and in the build.
  bool isEligible() const { return selected && uninstallable && includeInBuild; }

  // Due once it has its own request (when marked) plus one from every
  // installed component that needs it.
  bool isDueForRemoval() const;

  // Counts one request; when that makes the component due, passes a request
  // to each eligible member and, once per name, to each required component.
  // Every request received while due is passed on to the members again.
  // The count stops at the highest value the due test tells apart, so no
  // store can make it overflow; how many requests went on to the members
  // is kept beside it, so the outcome is the same as counting each one.
  void requestRemoval();

  // Every value from the section is upper case.
  std::string name;  // letter case as stored
  std::string displayText;
  std::string description;
  std::string exeToRun;  // the store's EXETORUN: parsed, never acted on
  std::string target;
  bool uninstallable = false;
  bool includeInBuild = false;
  bool visible = false;
  bool selected = false;
  bool served = false;  // the store's SERVED: parsed, never acted on
  bool expand = false;
  bool vba = false;
  bool marked = false;  // needs a request of its own before it can go
  std::vector<std::string> members;
  std::vector<std::string> required;
  std::set<std::string> requiredDone;  // required names already sent a request
  std::vector<std::string> requiredBy;
  int32_t dependents = 0;  // eligible components in requiredBy
  std::vector<std::string> fileGroups;
  int32_t removalRequests = 0;  // saturates once due
  uint64_t requestsPassedOn = 0;  // requests passed to each member while due (saturating)
  size_t groupRank = 0;  // every group ranks before its members (set when the catalogue is built)
  CComponent* parent = nullptr;  // the group whose MEMBER list names this one
  CComponent* root = nullptr;    // topmost group; itself when it has no parent

 private:
  friend class ComponentMap;
  const ComponentMap* owner_ = nullptr;  // where member and required names are looked up
};

}  // namespace cvl
