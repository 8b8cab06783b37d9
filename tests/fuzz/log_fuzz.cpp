// Fuzz target: the install-log loader. Any input must either load or raise
// an archive error; a loaded log must write out in a form that loads back
// to the very same bytes, its directory walks must end, and every group
// must be found by its name.
#include <cstdlib>

#include "platform/platform.h"
#include "tests/archive/bytes.h"
#include "uninstaller/installlog/uninstall_log.h"

namespace {

void checkGroup(const cvl::CUninstallLog& log, const cvl::CFilegroup& group) {
  const cvl::CFilegroup* found = log.findFileGroup(group.name());
  if (found == nullptr || !cvl::platform::equalsNoCase(found->name(), group.name())) std::abort();
  size_t nodes = 0;
  for (const cvl::CDir* position = group.rootDir(); position != nullptr; ++nodes) {
    if (nodes > (1u << 20)) std::abort();  // a walk that does not end
    cvl::CFilegroup::nextDir(position);
  }
  cvl::StringList keys;
  if (group.registry().getKeys(keys) != static_cast<int>(group.registry().keys().size())) std::abort();
  for (const std::string& key : keys) {
    cvl::StringList values;
    if (group.registry().getValues(key, values) != static_cast<int>(group.registry().keys().find(key)->size())) {
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cvl;
  CUninstallLog log;
  try {
    test::loadInto(log, test::Bytes(data, data + size));
  } catch (const ArchiveError&) {
    return 0;
  }
  for (const auto& group : log.groups()) checkGroup(log, *group);

  const test::Bytes once = test::stored(log);
  // The writer's own output must load without throwing.
  CUninstallLog again = test::loaded<CUninstallLog>(once);
  if (again.groups().size() != log.groups().size() || test::stored(again) != once) std::abort();
  return 0;
}
