// Fuzz target: a raw configuration store and a raw install log, taken
// through start-up (catalogue, relation passes, top components) and a whole
// removal on the in-memory machine, with the checker judging every change.
// Input: a 16-bit little-endian store length, the store, then the log; what
// the log names is placed on the machine first.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "tests/checker/checked_removal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t storeSize = std::min<size_t>(data[0] | (data[1] << 8), size - 2);
  cvl::checker::CheckedRemoval removal;
  removal.writeStore(std::vector<uint8_t>(data + 2, data + 2 + storeSize));
  removal.writeLog(std::vector<uint8_t>(data + 2 + storeSize, data + size));
  cvl::checker::ByteChoices plain(nullptr, 0);
  cvl::checker::placeLoggedItems(plain, removal);
  for (const auto& violation : removal.run(plain).violations) {
    std::fprintf(stderr, "%s: %s\n", violation.rule.c_str(), violation.what.c_str());
    std::abort();
  }
  return 0;
}
