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
// as such, only the COM and shell containers are.
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
// HKEY_USERS\<SID>_Classes: a user's classes root, loaded as a hive of its own.
constexpr std::string_view kUserClassesSuffix = "_CLASSES";
// Below a SOFTWARE\CLASSES key: where every program adds its context-menu
// entries and shell handlers. Each of these, its "shell" and "shellex" and
// every direct child of "shellex" is shared.
constexpr std::array<std::string_view, 7> kShellContainers = {
    "*", "ALLFILESYSTEMOBJECTS", "DIRECTORY", "DIRECTORY\\BACKGROUND", "FOLDER", "DRIVE", "UNKNOWN"};
// Below a file-extension key ".ext": the lists other programs add themselves to.
constexpr std::array<std::string_view, 3> kExtensionContainers = {"OPENWITHPROGIDS", "OPENWITHLIST", "SHELLEX"};
// The uninstaller's own records and the suite's root: deleting them would
// leave every later run without its store and log, and take other
// products of the maker with them. Only the final clean-up removes the
// records, and it says so (KeyScope::UninstallerRecords).
constexpr std::string_view kSuiteRoot = "SOFTWARE\\CORVEL";
constexpr std::string_view kUninstallerRecords = "SOFTWARE\\CORVEL\\UNINSTALL";
// The suite's entry in the Windows list of programs: a partial removal
// leaves the suite installed, and with it the way to remove the rest.
constexpr std::string_view kWindowsUninstallEntry =
    "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\UNINSTALL\\CORVEL SYSTEM";

// No rule looks further down than this many levels, nor tells apart two
// paths that both reach it: deeper levels are not read, so a path logged
// thousands of levels deep costs no more than a short one.
constexpr size_t kLevelsRead = 12;

// Upper-cased levels, at most kLevelsRead; empty levels (doubled or
// trailing backslashes) are dropped, as the registry itself would not tell
// "A\\B" from "A\B".
std::vector<std::string> levelsOf(std::string_view subKey) {
  std::vector<std::string> levels;
  std::string level;
  for (size_t i = 0; i <= subKey.size() && levels.size() < kLevelsRead; ++i) {
    const char c = i < subKey.size() ? subKey[i] : '\\';
    if (c != '\\') {
      level += c;
    } else if (!level.empty()) {
      levels.push_back(platform::upper(std::move(level)));
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

template <size_t N>
bool isOneOf(const std::string& text, const std::array<std::string_view, N>& list) {
  for (auto entry : list) {
    if (text == entry) return true;
  }
  return false;
}

bool startsWith(const std::string& path, std::string_view head) {
  return path.compare(0, head.size(), head) == 0 && (path.size() == head.size() || path[head.size()] == '\\');
}

// levels below a SOFTWARE\CLASSES key.
bool isSharedClassesKey(const std::vector<std::string>& levels) {
  if (levels.empty()) return false;
  const std::string path = joined(levels, levels.size());
  if (levels.size() == 1 && isOneOf(path, kClassContainers)) return true;
  if (levels.size() == 2 && levels[0].front() == '.' && isOneOf(levels[1], kExtensionContainers)) return true;
  const std::string parent = joined(levels, levels.size() - 1);
  for (auto container : kShellContainers) {
    const std::string shellEx = std::string(container) + "\\SHELLEX";
    if (path == container || path == std::string(container) + "\\SHELL" || path == shellEx || parent == shellEx) {
      return true;
    }
  }
  return false;
}

bool isSharedBelowHive(const std::vector<std::string>& levels, KeyScope scope) {
  if (levels.size() <= 1) return true;  // the hive itself or one of its first-level keys
  const std::string path = joined(levels, levels.size());
  for (auto shared : kSharedContainers) {
    if (path == shared) return true;
  }
  const std::string parent = joined(levels, levels.size() - 1);
  if (parent == kSharedParent) return true;
  if (levels.size() > 2 && joined(levels, 2) == kClassesKey &&
      isSharedClassesKey(std::vector<std::string>(levels.begin() + 2, levels.end()))) {
    return true;
  }
  if (scope == KeyScope::UninstallerRecords) return false;
  return path == kSuiteRoot || startsWith(path, kUninstallerRecords) || startsWith(path, kWindowsUninstallEntry);
}

}  // namespace

bool isProtectedKey(platform::RegRoot root, std::string_view subKey, KeyScope scope) {
  std::vector<std::string> levels = levelsOf(subKey);
  if (root == platform::RegRoot::Users) {
    if (levels.empty()) return true;  // HKEY_USERS itself
    // "<SID>_Classes" is a user's classes root, the same keys as the user's SOFTWARE\CLASSES.
    const bool classesHive = levels.front().size() > kUserClassesSuffix.size() &&
                             levels.front().ends_with(kUserClassesSuffix);
    levels.erase(levels.begin());     // the user's hive key
    if (classesHive) levels.insert(levels.begin(), {"SOFTWARE", "CLASSES"});
  }
  if (root == platform::RegRoot::ClassesRoot) levels.insert(levels.begin(), {"SOFTWARE", "CLASSES"});
  return isSharedBelowHive(levels, scope);
}

}  // namespace cvl
