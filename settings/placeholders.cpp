#include "settings/placeholders.h"

#include <optional>

namespace cvl::settings {

using platform::Platform;
using platform::System;

namespace {

struct Placeholder {
  const char* token;       // upper case, with its '%' signs
  const char* name;        // the token without them
  int shellFolder;         // 0: the shell is not asked
  const char* folderName;  // appended in the fallbacks; null: nothing
  bool ownVariable;        // the environment variable of its own name, not the home folder
};

// Searched in this order.
constexpr Placeholder kPlaceholders[] = {
    {"%APPDATA%", "APPDATA", platform::csidl::kAppData, "Application Data", false},
    {"%PERSONAL%", "PERSONAL", platform::csidl::kPersonal, "Personal", false},
    {"%USERPROFILE%", "USERPROFILE", 0, nullptr, true},
    {"%HOMEDIR%", "HOMEDIR", 0, nullptr, false},
};

constexpr const char* kUserNameToken = "%USERNAME%";
constexpr const char* kOverrideVariable = "CvlHomeDir";
constexpr const char* kShellFoldersKey = "Software\\Microsoft\\windows\\CurrentVersion\\Explorer\\Shell Folders";

// The fixed buffers the values are read into, terminator included. A value
// that does not fit is not read at all.
constexpr size_t kOverrideBuffer = 520;
constexpr size_t kPathBuffer = 260;
constexpr size_t kDriveBuffer = 3;
constexpr size_t kComputerNameBuffer = 16;

std::string fitting(std::string text, size_t buffer) { return text.size() < buffer ? text : std::string(); }

std::string readVariable(System& system, const std::string& name, size_t buffer) {
  return fitting(system.environment(name).value_or(""), buffer);
}

std::string userOrComputerName(System& system) {
  std::string name = system.userName();
  return name.empty() ? fitting(system.computerName(), kComputerNameBuffer) : name;
}

// base\folder, without doubling a backslash that base already ends in.
std::string appendFolder(const std::string& base, const std::string& folder) {
  if (!base.empty() && base.back() == '\\') return base + folder;
  return base + '\\' + folder;
}

const Placeholder* findPlaceholder(const std::string& upperToken) {
  for (const Placeholder& placeholder : kPlaceholders) {
    if (upperToken == placeholder.token) return &placeholder;
  }
  return nullptr;
}

std::string fromShell(System& system, const Placeholder& placeholder) {
  if (placeholder.shellFolder == 0) return {};
  return system.specialFolder(placeholder.shellFolder).value_or("");
}

std::string fromEnvironment(System& system, const Placeholder& placeholder) {
  std::string value = placeholder.ownVariable ? readVariable(system, placeholder.name, kPathBuffer)
                                              : readVariable(system, "HOMEDRIVE", kDriveBuffer) +
                                                    readVariable(system, "HOMEPATH", kPathBuffer);
  if (value.empty() || placeholder.folderName == nullptr) return value;
  return appendFolder(value, placeholder.folderName);
}

std::string fromShellFoldersKey(platform::Registry& registry, const Placeholder& placeholder) {
  platform::RegKeyPtr key;
  if (registry.openKey(platform::RegRoot::CurrentUser, kShellFoldersKey, platform::access::kRead, key) !=
      platform::kSuccess) {
    return {};
  }
  platform::RegValue value;
  if (key->queryValue(placeholder.name, value) != platform::kSuccess || value.type != platform::RegType::Sz) {
    return {};
  }
  return value.asString();
}

// The profile folder of systems that keep profiles below the Windows
// directory; always gives a value.
std::string fromWindowsDirectory(System& system, const Placeholder& placeholder, const std::string& userName) {
  std::string value = appendFolder(system.windowsDirectory(), "Profiles");
  if (!userName.empty()) value = appendFolder(value, userName);
  if (placeholder.folderName != nullptr) value = appendFolder(value, placeholder.folderName);
  return value;
}

std::string folderFor(Platform& platform, const Placeholder& placeholder) {
  System& system = platform.system();
  const std::string userName = system.userName();
  std::string value = fromShell(system, placeholder);
  if (value.empty()) value = fromEnvironment(system, placeholder);
  if (value.empty()) value = fromShellFoldersKey(platform.registry(), placeholder);
  if (value.empty()) value = fromWindowsDirectory(system, placeholder, userName);
  return value;
}

void dropTrailingBackslash(std::string& value) {
  if (!value.empty() && value.back() == '\\') value.pop_back();
}

}  // namespace

void expandPlaceholder(Platform& platform, std::string& token) {
  const std::string upperToken = platform::upper(token);
  if (upperToken == kUserNameToken) {
    token = userOrComputerName(platform.system());
    return;
  }
  const Placeholder* placeholder = findPlaceholder(upperToken);
  if (placeholder == nullptr) return;  // "%20" in a web address is no folder
  // The override stands for the four folder placeholders.
  std::string value = readVariable(platform.system(), kOverrideVariable, kOverrideBuffer);
  if (value.empty()) value = folderFor(platform, *placeholder);
  dropTrailingBackslash(value);
  token = value;
}

void expandPlaceholders(Platform& platform, std::string& text) {
  std::string output;
  std::string token;
  bool tokenOpen = false;
  for (char c : text) {
    if (c != '%') {
      (tokenOpen ? token : output) += c;
      continue;
    }
    token += c;
    if (tokenOpen) {
      expandPlaceholder(platform, token);
      output += token;
      token.clear();
    }
    tokenOpen = !tokenOpen;
  }
  output += token;  // an unfinished token stays as written
  text = std::move(output);
}

}  // namespace cvl::settings
