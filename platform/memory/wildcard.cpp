#include "platform/memory/wildcard.h"

#include "platform/platform.h"

namespace cvl::platform {
namespace {

bool matchFrom(const std::string& pattern, const std::string& name) {
  // Greedy match with one backtrack point per '*', the usual linear-time form.
  size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p, ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++, starN = n;
    } else if (starP != std::string::npos) {
      p = starP + 1, n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '.')) ++p;
  return p == pattern.size();
}

bool legalShortChar(char c) { return c > ' ' && std::string("\"*+,./:;<=>?[\\]|").find(c) == std::string::npos; }

std::string shortPart(const std::string& text, size_t limit) {
  std::string part;
  for (char c : text) {
    if (legalShortChar(c) && part.size() < limit) part += c;
  }
  return upper(part);
}

}  // namespace

std::string shortNameOf(const std::string& name) {
  if (name == "." || name == "..") return {};
  const size_t dot = name.rfind('.');
  const bool hasExtension = dot != std::string::npos && dot > 0;
  const std::string base = hasExtension ? name.substr(0, dot) : name;
  const std::string extension = hasExtension ? name.substr(dot + 1) : "";
  const bool legal = !base.empty() && base.size() <= 8 && extension.size() <= 3 &&
                     shortPart(base, 8).size() == base.size() && shortPart(extension, 3).size() == extension.size();
  if (legal) return {};
  std::string alias = shortPart(base, 6) + "~1";
  if (hasExtension && !shortPart(extension, 3).empty()) alias += "." + shortPart(extension, 3);
  return alias;
}

bool matchesWildcard(const std::string& pattern, const std::string& name) {
  if (pattern == "*.*") return true;
  const std::string folded = upper(pattern);
  if (matchFrom(folded, upper(name))) return true;
  const std::string alias = shortNameOf(name);
  return !alias.empty() && matchFrom(folded, alias);
}

}  // namespace cvl::platform
