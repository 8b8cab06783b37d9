#include "fixup_package.h"

#include <windows.h>

#include <algorithm>
#include <sstream>

namespace fixup_test {

std::string packagePath() {
  std::string path = "Z:" CVL_FIXUP_PACKAGE;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::vector<std::string> sortedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

}  // namespace fixup_test
