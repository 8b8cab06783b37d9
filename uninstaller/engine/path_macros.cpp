#include "uninstaller/engine/path_macros.h"

namespace cvl {
namespace {

// A value may itself hold a macro; a table that refers to itself would
// otherwise grow the path for ever.
constexpr int kMaxExpansions = 64;

bool holdsMacro(const std::string& path) {
  const auto open = path.find('<');
  const auto close = path.find('>');
  return open != std::string::npos && close != std::string::npos && open < close;
}

}  // namespace

void expandPathMacros(std::string& path, const PathMacros& macros) {
  for (int round = 0; holdsMacro(path); ++round) {
    if (round == kMaxExpansions) {
      path.clear();
      return;
    }
    const auto open = path.find('<');
    const auto close = path.find('>');
    const auto entry = macros.find(path.substr(open, close - open + 1));
    if (entry == macros.end()) {
      path.clear();
      return;
    }
    std::string result = path.substr(0, open) + entry->second;
    if (result.empty()) {
      path.clear();
      return;
    }
    const std::string rest = path.substr(close + 1);
    if (result.back() == '\\' && !rest.empty() && rest.front() == '\\') result.pop_back();
    path = result + rest;
  }
}

}  // namespace cvl
