// Fuzz target: a raw configuration store and a raw install log, taken
// through start-up (catalogue, relation passes, top components) and a whole
// removal on the in-memory machine, with the checker judging every change.
// Input: a 16-bit little-endian store length, the store, then the log; what
// the log names is placed on the machine first.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "tests/checker/checked_removal.h"
#include "uninstaller/store/archive_error.h"
#include "uninstaller/store/byte_file.h"

namespace {

template <class Record>
void loadFrom(Record& record, const std::vector<uint8_t>& bytes) {
  cvl::ByteFile file(bytes);
  cvl::Archive archive(file, cvl::Archive::Direction::Loading);
  record.serialize(archive);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t storeSize = std::min<size_t>(data[0] | (data[1] << 8), size - 2);
  const std::vector<uint8_t> store(data + 2, data + 2 + storeSize);
  const std::vector<uint8_t> log(data + 2 + storeSize, data + size);

  cvl::checker::CheckedRemoval removal;
  removal.writeStore(store);
  removal.writeLog(log);
  cvl::CConfigStore storeRecord;
  cvl::CUninstallLog logRecord;
  try {
    loadFrom(storeRecord, store);
    loadFrom(logRecord, log);
  } catch (const cvl::ArchiveError&) {
  }
  cvl::checker::ByteChoices plain(nullptr, 0);
  cvl::checker::placeLoggedItems(plain, removal, storeRecord, logRecord);
  for (const auto& violation : removal.run(plain).violations) {
    std::fprintf(stderr, "%s: %s\n", violation.rule.c_str(), violation.what.c_str());
    std::abort();
  }
  return 0;
}
