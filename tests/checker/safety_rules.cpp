#include "tests/checker/safety_rules.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <set>
#include <string_view>

#include "platform/platform.h"

namespace cvl::checker {

std::vector<std::string> segmentsOf(const std::string& text) {
  std::vector<std::string> segments(1);
  for (char c : text) {
    if (c == '\\') {
      segments.emplace_back();
    } else {
      segments.back() += c;
    }
  }
  return segments;
}

namespace {

using platform::upper;

std::string joined(const std::vector<std::string>& parts, size_t from, size_t to) {
  std::string text;
  for (size_t i = from; i < to; ++i) text += (i > from ? "\\" : "") + parts[i];
  return text;
}

// Windows reads either slash.
std::string withBackslashes(std::string text) {
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

// A part as Windows reads it: trailing dots and blanks dropped.
std::string asWindowsReads(std::string segment) {
  if (segment == "." || segment == "..") return segment;
  while (!segment.empty() && (segment.back() == '.' || segment.back() == ' ')) segment.pop_back();
  return segment;
}

bool isDevice(const std::string& segment) {
  std::string stem = upper(segment.substr(0, segment.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  static const std::array<std::string_view, 22> kDevices = {
      "CON",  "NUL",  "AUX",  "PRN",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
      "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
  return std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end();
}

// "\\localhost\C$\..." is drive C: itself.
std::string withDriveForShare(const std::string& path) {
  const std::string upperPath = upper(path);
  for (const std::string host : {"\\\\LOCALHOST\\", "\\\\127.0.0.1\\"}) {
    const size_t at = host.size();
    if (upperPath.rfind(host, 0) == 0 && path.size() > at + 1 && path[at + 1] == '$' &&
        (path.size() == at + 2 || path[at + 2] == '\\')) {
      return path.substr(at, 1) + ":" + (path.size() == at + 2 ? "\\" : path.substr(at + 2));
    }
  }
  return path;
}

}  // namespace

std::optional<std::string> absoluteFolder(const std::string& text) {
  const std::string path = withDriveForShare(withBackslashes(text));
  // A name Windows cuts at a zero, and device paths, are no folder of the suite's.
  if (path.find('\0') != std::string::npos || path.rfind("\\\\?\\", 0) == 0 || path.rfind("\\\\.\\", 0) == 0) {
    return std::nullopt;
  }
  std::string root;
  std::string rest;
  if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && path[2] == '\\') {
    root = path.substr(0, 2);
    rest = path.substr(3);
  } else if (path.rfind("\\\\", 0) == 0) {
    const auto server = path.find('\\', 2);
    const auto share = server == std::string::npos ? server : path.find('\\', server + 1);
    if (server == std::string::npos || server == 2 || share == std::string::npos || share == server + 1) {
      return std::nullopt;
    }
    root = path.substr(0, share);
    rest = path.substr(share + 1);
  } else {
    return std::nullopt;
  }
  std::vector<std::string> kept;
  for (const std::string& raw : segmentsOf(rest)) {
    const std::string segment = asWindowsReads(raw);
    if (segment == "..") {
      if (!kept.empty()) kept.pop_back();
    } else if (!segment.empty() && segment != ".") {
      kept.push_back(segment);
    }
  }
  std::string folder = root;
  for (const std::string& segment : kept) folder += "\\" + segment;
  return upper(folder);
}

std::optional<std::string> confinedName(const std::string& text) {
  const std::string name = withBackslashes(text);
  if (name.empty() || name[0] == '\\' || name.find('\0') != std::string::npos) return std::nullopt;
  std::vector<std::string> kept;
  for (const std::string& raw : segmentsOf(name)) {
    const std::string segment = asWindowsReads(raw);
    if (segment == ".." || segment.find(':') != std::string::npos) return std::nullopt;
    if (!segment.empty() && segment != ".") kept.push_back(upper(segment));
  }
  if (kept.empty() || isDevice(kept.back())) return std::nullopt;
  return joined(kept, 0, kept.size());
}

std::optional<std::string> expandMacros(std::string path, const std::map<std::string, std::string>& macros) {
  for (int round = 0; round < 16; ++round) {
    const auto open = path.find('<');
    const auto close = path.find('>');
    if (open == std::string::npos || close == std::string::npos || close < open) return path;
    const auto value = macros.find(path.substr(open, close - open + 1));
    if (value == macros.end() || (open == 0 && value->second.empty())) return std::nullopt;
    std::string head = path.substr(0, open) + value->second;
    std::string tail = path.substr(close + 1);
    if (!head.empty() && head.back() == '\\' && !tail.empty() && tail.front() == '\\') head.pop_back();
    path = head + tail;
  }
  return std::nullopt;
}

std::string placeOf(const std::string& prefix, const std::string& subKey) {
  std::string root = prefix == "HKCR" || prefix == "HKCU" || prefix == "HKLM" ? prefix : "HKU";
  std::string place = root;
  for (const std::string& segment : segmentsOf(subKey)) {
    if (!segment.empty()) place += "\\" + upper(segment);
  }
  return place;
}

std::optional<std::string> parentPlace(const std::string& place) {
  const auto slash = place.rfind('\\');
  if (slash == std::string::npos) return std::nullopt;
  return place.substr(0, slash);
}

bool isAtOrBelow(const std::string& place, const std::string& top) {
  return place == top || (place.size() > top.size() && place.compare(0, top.size(), top) == 0 &&
                          place[top.size()] == '\\');
}

namespace {

// Levels below the hive, HKEY_CLASSES_ROOT read as SOFTWARE\CLASSES and a
// user's hive key dropped.
std::vector<std::string> levelsBelowHive(const std::string& place) {
  std::vector<std::string> levels = segmentsOf(place);
  const std::string root = levels.front();
  levels.erase(levels.begin());
  // A user's "<SID>_Classes" hive holds the same keys as the user's SOFTWARE\CLASSES.
  const bool classesHive = root == "HKU" && !levels.empty() && levels.front().size() > 8 &&
                           levels.front().ends_with("_CLASSES");
  if (root == "HKU" && !levels.empty()) levels.erase(levels.begin());
  if (classesHive) levels.insert(levels.begin(), {"SOFTWARE", "CLASSES"});
  if (root == "HKCR") levels.insert(levels.begin(), {"SOFTWARE", "CLASSES"});
  return levels;
}

bool isShellContainer(const std::vector<std::string>& below) {
  static constexpr std::array<std::string_view, 7> kShellKeys = {
      "*", "ALLFILESYSTEMOBJECTS", "DIRECTORY", "DIRECTORY\\BACKGROUND", "FOLDER", "DRIVE", "UNKNOWN"};
  for (std::string_view key : kShellKeys) {
    const std::vector<std::string> parts = segmentsOf(std::string(key));
    if (below.size() < parts.size() || !std::equal(parts.begin(), parts.end(), below.begin())) continue;
    const std::vector<std::string> rest(below.begin() + static_cast<long>(parts.size()), below.end());
    if (rest.empty() || (rest.size() == 1 && (rest[0] == "SHELL" || rest[0] == "SHELLEX")) ||
        (rest.size() == 2 && rest[0] == "SHELLEX")) {
      return true;
    }
  }
  return false;
}

bool isClassContainer(const std::vector<std::string>& below) {
  static const std::set<std::string> kComContainers = {"CLSID", "INTERFACE", "TYPELIB", "APPID"};
  static const std::set<std::string> kExtensionLists = {"OPENWITHPROGIDS", "OPENWITHLIST", "SHELLEX"};
  if (below.size() == 1 && kComContainers.count(below[0])) return true;
  if (below.size() == 2 && below[0].starts_with('.') && kExtensionLists.count(below[1])) return true;
  return isShellContainer(below);
}

}  // namespace

bool isSharedContainer(const std::string& place) {
  const std::vector<std::string> levels = levelsBelowHive(place);
  if (levels.size() <= 1) return true;
  const std::string path = joined(levels, 0, levels.size());
  for (const char* shared : {"SOFTWARE\\CLASSES", "SOFTWARE\\MICROSOFT", "SOFTWARE\\MICROSOFT\\WINDOWS",
                             "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION", "SOFTWARE\\CORVEL"}) {
    if (path == shared) return true;
  }
  if (joined(levels, 0, levels.size() - 1) == "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION") return true;
  if (levels.size() > 2 && levels[0] == "SOFTWARE" && levels[1] == "CLASSES" &&
      isClassContainer(std::vector<std::string>(levels.begin() + 2, levels.end()))) {
    return true;
  }
  return isUninstallRecord(place);
}

bool isUninstallRecord(const std::string& place) {
  for (const char* top : {"HKLM\\SOFTWARE\\CORVEL\\UNINSTALL", "HKCU\\SOFTWARE\\CORVEL\\UNINSTALL",
                          "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\UNINSTALL\\CORVEL SYSTEM",
                          "HKCU\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\UNINSTALL\\CORVEL SYSTEM"}) {
    if (isAtOrBelow(place, top)) return true;
  }
  return false;
}

}  // namespace cvl::checker
