// Fuzz target: the removal checker over generated installations, the input
// bytes making the generator's choices. Any run that touches what the store
// and the log do not give the suite is a finding.
#include <cstdio>
#include <cstdlib>

#include "tests/checker/checked_removal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  cvl::checker::CheckedRemoval removal;
  cvl::checker::ByteChoices choices(data, size);
  cvl::checker::installRandomSuite(choices, removal);
  for (const auto& violation : removal.run(choices).violations) {
    std::fprintf(stderr, "%s: %s\n", violation.rule.c_str(), violation.what.c_str());
    std::abort();
  }
  return 0;
}
