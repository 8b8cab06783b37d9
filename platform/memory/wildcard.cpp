#include "platform/memory/wildcard.h"

#include "platform/platform.h"

namespace cvl::platform {
namespace {

bool matchFrom(const std::string& pattern, size_t p, const std::string& name, size_t n) {
  // Greedy match with one backtrack point per '*', the usual linear-time form.
  size_t starP = std::string::npos, starN = 0;
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
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool matchesWildcard(const std::string& pattern, const std::string& name) {
  if (pattern == "*.*") return true;
  return matchFrom(upper(pattern), 0, upper(name), 0);
}

}  // namespace cvl::platform
