#include "uninstaller/catalogue/target_dir.h"

#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace cvl {

namespace {

constexpr std::string_view kTargetDirMacro = "<TARGETDIR>";

void replaceFirstMacro(const std::string& directory, CComponent& component) {
  const auto at = platform::upper(component.target).find(kTargetDirMacro);
  if (at != std::string::npos) component.target.replace(at, kTargetDirMacro.size(), directory);
}

}  // namespace

// Without recursion, since member chains may be as long as the store allows:
// a component is fixed when the walk leaves it, after all its members.
void substituteTargetDir(const ComponentMap& components, const std::string& directory, CComponent& component,
                         TargetsFixed& fixed) {
  struct Frame {
    CComponent* component;
    size_t nextMember = 0;
  };
  if (!fixed.insert(&component).second) return;
  std::vector<Frame> stack{{&component}};
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.nextMember == top.component->members.size()) {
      replaceFirstMacro(directory, *top.component);
      stack.pop_back();
      continue;
    }
    CComponent* member = components.find(top.component->members[top.nextMember++]);
    if (member && member->isEligible() && fixed.insert(member).second) stack.push_back({member});
  }
}

}  // namespace cvl
