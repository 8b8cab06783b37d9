// Fuzz target: cvlinst's view of either file. Dumping any input must give
// JSON or an archive error, and packing that JSON must succeed.
#include <cstdlib>

#include "tools/archive_json/archive_json.h"
#include "uninstaller/store/archive_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  cvl::Dump dump;
  try {
    dump = cvl::dumpArchive(std::vector<uint8_t>(data, data + size));
  } catch (const cvl::ArchiveError&) {
    return 0;
  }
  std::vector<uint8_t> bytes;
  if (!cvl::packJson(cvl::Json::parse(dump.document.dump()), bytes).empty()) std::abort();
  return 0;
}
