// cvlinst: shows the configuration store and the install log as JSON and
// writes them back from JSON, for support and for test fixtures.
#include <iostream>

#include "tools/archive_json/cvlinst_command.h"

int main(int argc, char** argv) {
  return cvl::runCvlinst(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
