#pragma once
// The cvlinst command line, separate from main() so it can be tested:
//   cvlinst dump FILE        prints a store or install log as JSON
//   cvlinst pack JSON OUT    writes the archive the JSON describes
// Bad input gives one line on the error stream, naming the file and what is
// wrong, and status 2.
#include <ostream>
#include <string>
#include <vector>

namespace cvl {

inline constexpr int kCvlinstBadInput = 2;

int runCvlinst(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace cvl
