// Fuzz target: the configuration store loader. Any input must either load
// or raise an archive error; a loaded store must write out in a form that
// loads back to the very same bytes, and lookups on it must hold.
#include <cstdlib>

#include "uninstaller/store/byte_file.h"
#include "uninstaller/store/config_store.h"

namespace {

std::vector<uint8_t> stored(cvl::CConfigStore& store) {
  cvl::ByteFile file;
  cvl::Archive archive(file, cvl::Archive::Direction::Storing);
  store.serialize(archive);
  archive.close();
  return file.takeBytes();
}

void loadInto(cvl::CConfigStore& store, const std::vector<uint8_t>& bytes) {
  cvl::ByteFile file(bytes);
  cvl::Archive archive(file, cvl::Archive::Direction::Loading);
  store.serialize(archive);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  cvl::CConfigStore store;
  try {
    loadInto(store, std::vector<uint8_t>(data, data + size));
  } catch (const cvl::ArchiveError&) {
    return 0;
  }
  for (const auto& [name, set] : store.sets()) {
    if (store.findSectionSet(name) != set.get()) std::abort();
    for (const auto& [sectionName, section] : set->sections()) {
      if (set->findSection(sectionName) == nullptr) std::abort();
    }
  }
  store.markRemoved("WORD");

  const std::vector<uint8_t> once = stored(store);
  cvl::CConfigStore again;
  loadInto(again, once);  // must not throw: the writer's own output
  if (stored(again) != once) std::abort();
  return 0;
}
