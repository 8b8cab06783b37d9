#include "uninstaller/removal/safe_paths.h"

#include <cctype>
#include <vector>

#include "platform/platform.h"

namespace cvl {
namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

bool isDriveLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// "\\server\share\": both parts present and the share closed by a separator.
bool isUncPath(const std::string& path) {
  if (path.size() < 2 || !isSeparator(path[0]) || !isSeparator(path[1])) return false;
  size_t at = 2;
  for (int part = 0; part < 2; ++part) {
    const size_t start = at;
    while (at < path.size() && !isSeparator(path[at])) ++at;
    if (at == start || at == path.size()) return false;
    ++at;
  }
  return true;
}

bool leadsUpward(const std::string& segment) {
  if (segment.find("..") == std::string::npos) return false;
  return segment.find_first_not_of(". ") == std::string::npos;
}

std::vector<std::string> canonicalSegments(const std::string& path) {
  std::vector<std::string> segments;
  std::string segment;
  for (char c : platform::upper(path) + '\\') {
    if (!isSeparator(c)) {
      segment += c;
      continue;
    }
    while (!segment.empty() && (segment.back() == '.' || segment.back() == ' ') && segment != "..") segment.pop_back();
    if (segment == ".." && !segments.empty()) {
      segments.pop_back();
    } else if (!segment.empty()) {
      segments.push_back(segment);
    }
    segment.clear();
  }
  return segments;
}

}  // namespace

bool isSamePath(const std::string& a, const std::string& b) { return canonicalSegments(a) == canonicalSegments(b); }

std::vector<std::string> resolvedSegments(const std::string& path) { return canonicalSegments(path); }

std::string resolvedFileName(const std::string& path) {
  const std::vector<std::string> segments = canonicalSegments(path);
  return segments.empty() ? std::string() : segments.back();
}

bool namesAFile(const std::string& name) {
  const std::string last = resolvedFileName(name);
  if (last.empty()) return false;
  std::string stem = last.substr(0, last.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (const char* device : {"CON", "NUL", "AUX", "PRN"}) {
    if (stem == device) return false;
  }
  const bool numbered = stem.size() == 4 && (stem.rfind("COM", 0) == 0 || stem.rfind("LPT", 0) == 0);
  return !(numbered && stem[3] >= '1' && stem[3] <= '9');
}

bool isAbsolutePath(const std::string& path) {
  // "\\?\" and "\\.\" reach the same files past the usual checks of a name.
  if (path.size() >= 4 && isSeparator(path[0]) && isSeparator(path[1]) && (path[2] == '?' || path[2] == '.') &&
      isSeparator(path[3])) {
    return false;
  }
  if (path.size() >= 3 && isDriveLetter(path[0]) && path[1] == ':' && isSeparator(path[2])) return true;
  return isUncPath(path);
}

bool staysInsideFolder(const std::string& name) {
  if (name.empty()) return true;
  if (isSeparator(name.front()) || name.find(':') != std::string::npos) return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = start;
    while (end < name.size() && !isSeparator(name[end])) ++end;
    if (leadsUpward(name.substr(start, end - start))) return false;
    start = end + 1;
  }
  return true;
}

}  // namespace cvl
