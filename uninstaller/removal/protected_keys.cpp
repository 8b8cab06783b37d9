#include "uninstaller/removal/protected_keys.h"

#include <array>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace cvl {

namespace {

// One damaged or hostile log line such as "HKLM\SOFTWARE" or
// "HKCR\CLSID\" must not wipe a hive or the registrations of every other
// program. These are the places where our keys live side by side with
// everybody else's: we may delete what we put inside, never the container.
// Paths are relative to a hive (for HKEY_USERS, below the user's own key);
// HKEY_CLASSES_ROOT is the view of a SOFTWARE\CLASSES key, so its
// first-level keys (our ProgIDs and extensions among them) are not protected
// as such, only the COM containers are.
constexpr std::array<std::string_view, 4> kSharedContainers = {
    "SOFTWARE\\CLASSES",
    "SOFTWARE\\MICROSOFT",
    "SOFTWARE\\MICROSOFT\\WINDOWS",
    "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION",
};
// Every direct child of this key (Uninstall, Run, RunOnce, SharedDLLs...) is shared too.
constexpr std::string_view kSharedParent = "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION";
// COM registrations, directly under HKCR or under a SOFTWARE\CLASSES key.
constexpr std::array<std::string_view, 4> kClassContainers = {"CLSID", "INTERFACE", "TYPELIB", "APPID"};
constexpr std::string_view kClassesKey = "SOFTWARE\\CLASSES";

// Upper-cased levels; empty levels (doubled or trailing backslashes) are
// dropped, as the registry itself would not tell "A\\B" from "A\B".
std::vector<std::string> levelsOf(const std::string& subKey) {
  std::vector<std::string> levels;
  std::string level;
  for (char c : platform::upper(subKey) + '\\') {
    if (c != '\\') {
      level += c;
    } else if (!level.empty()) {
      levels.push_back(level);
      level.clear();
    }
  }
  return levels;
}

std::string joined(const std::vector<std::string>& levels, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += (i ? "\\" : "") + levels[i];
  return text;
}

bool isSharedBelowHive(const std::vector<std::string>& levels) {
  if (levels.size() <= 1) return true;  // the hive itself or one of its first-level keys
  const std::string path = joined(levels, levels.size());
  for (auto shared : kSharedContainers) {
    if (path == shared) return true;
  }
  const std::string parent = joined(levels, levels.size() - 1);
  if (parent == kSharedParent) return true;
  if (parent == kClassesKey) {
    for (auto container : kClassContainers) {
      if (levels.back() == container) return true;
    }
  }
  return false;
}

}  // namespace

bool isProtectedKey(platform::RegRoot root, const std::string& subKey) {
  std::vector<std::string> levels = levelsOf(subKey);
  if (root == platform::RegRoot::Users) {
    if (levels.empty()) return true;  // HKEY_USERS itself
    levels.erase(levels.begin());     // the user's hive key
  }
  if (root == platform::RegRoot::ClassesRoot) levels.insert(levels.begin(), {"SOFTWARE", "CLASSES"});
  return isSharedBelowHive(levels);
}

}  // namespace cvl
