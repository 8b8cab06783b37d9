// Fuzz target: a removal of a generated installation cut short after one of
// its changes, then run again. The first two bytes place the cut, the rest
// make the generator's choices. Any end that differs from one whole removal,
// a count dropped too far, a change the checker refuses or a RunOnce command
// started twice is a finding.
#include <cstdio>
#include <cstdlib>

#include "tests/checker/cut_rerun.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cvl::checker;
  if (size < 2) return 0;
  const uint32_t place = data[0] << 8 | data[1];
  const ChoicesSource source = [&] { return std::make_unique<ByteChoices>(data + 2, size - 2); };
  const WholeRemoval whole = wholeRemoval(source);
  if (whole.changes == 0) return 0;
  const std::string fault = cutAndRunAgain(source, place % whole.changes, whole);
  if (!fault.empty()) {
    std::fprintf(stderr, "%s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
