// Fuzz target: the configuration store loader. Any input must either load
// or raise an archive error; a loaded store must write out in a form that
// loads back to the very same bytes, and lookups on it must hold.
#include <cstdlib>

#include "tests/archive/bytes.h"
#include "uninstaller/store/config_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cvl;
  CConfigStore store;
  try {
    test::loadInto(store, test::Bytes(data, data + size));
  } catch (const ArchiveError&) {
    return 0;
  }
  for (const auto& [name, set] : store.sets()) {
    if (store.findSectionSet(name) != set.get()) std::abort();
    for (const auto& [sectionName, section] : set->sections()) {
      if (set->findSection(sectionName) == nullptr) std::abort();
    }
  }
  store.markRemoved("WORD");

  const test::Bytes once = test::stored(store);
  // The writer's own output must load without throwing.
  CConfigStore again = test::loaded<CConfigStore>(once);
  if (test::stored(again) != once) std::abort();
  return 0;
}
