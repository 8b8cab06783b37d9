#pragma once
// The test package fixup.msi built beside these tests, and what the fix-up
// makes of its scenario.
#include <algorithm>
#include <istream>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

namespace fixup_test {

using cvl::test::programDirectory;

// The package's path in Windows form.
inline std::string packagePath() {
  std::string path = "Z:" CVL_FIXUP_PACKAGE;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// Lines sorted, so outcomes compare regardless of row order.
inline std::vector<std::string> sortedLines(std::istream&& stream) {
  std::vector<std::string> lines;
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

// Component, Action, ActionRequest, RuntimeFlags after the fix-up ran on the
// prepared scenario, and SwitchOff's requested state (2: absent).
inline const std::vector<std::string> kFixedOutcome = {
    "LeftOut 0 0 12",         // its only feature is not installed
    "OptionalBoth 1 1 4",     // optional, features local and source: local
    "OptionalSource 2 2 4",   // optional, feature from source: source
    "Plain 1 1 12",           // no condition
    "SourceOnly 2 2 4",       // source only, though its feature is local
    "StaysOff 0 0 12",        // false but not planned
    "SwitchOff 1 1 12",       // switched off through the installer, row unchanged
    "SwitchOff requested 2",
    "SwitchOn 1 1 4",         // true, not planned: on, held-off flag cleared
    "Undecidable 0 0 12",     // condition cannot be evaluated
};

}  // namespace fixup_test
