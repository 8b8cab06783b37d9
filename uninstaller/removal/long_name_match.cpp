#include "uninstaller/removal/long_name_match.h"

#include "platform/platform.h"

namespace cvl {

bool longNameMatches(const std::string& pattern, const std::string& name) {
  const std::string p = platform::upper(pattern), n = platform::upper(name);
  // Greedy, with one point to come back to for the last '*'.
  size_t pi = 0, ni = 0, starP = std::string::npos, starN = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
      ++pi, ++ni;
    } else if (pi < p.size() && p[pi] == '*') {
      starP = pi++, starN = ni;
    } else if (starP != std::string::npos) {
      pi = starP + 1, ni = ++starN;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

}  // namespace cvl
