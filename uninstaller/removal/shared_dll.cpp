#include "uninstaller/removal/shared_dll.h"

#include "uninstaller/suite/suite_layout.h"

namespace cvl {

using namespace platform;

// By name through the value API, in the machine's list and its user twin:
// a path may hold '=', which would cut a "name=data" line short and name
// another program's count.
void deleteSharedCount(Platform& platform, const std::string& fullPath) {
  for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) {
    RegKeyPtr key;
    if (platform.registry().openKey(root, names::kSharedDllsKey, access::kSetValue, key) != kSuccess) continue;
    (void)key->deleteValue(fullPath);  // a value that will not go only leaves a stale count
  }
}

int32_t releaseSharedDll(Platform& platform, const std::string& fullPath, bool commit) {
  RegKeyPtr key;
  if (platform.registry().openKey(RegRoot::LocalMachine, names::kSharedDllsKey, access::kRead | access::kSetValue,
                                  key) != kSuccess) {
    return -1;
  }
  RegValue stored;
  if (key->queryValue(fullPath, stored, 4) != kSuccess || stored.data.size() != 4) return -1;
  // A count the installer never writes: keep the file, leave the value alone.
  const auto count = static_cast<int32_t>(stored.asDword());
  if (count <= 0) return -1;
  const int32_t released = count - 1;
  if (!commit) return released;
  if (released == 0) {
    key.reset();
    deleteSharedCount(platform, fullPath);
    return 0;
  }
  RegValue lowered = RegValue::dword(static_cast<uint32_t>(released));
  lowered.type = stored.type;
  // A count that cannot be lowered keeps the file anyway, which is the safe side.
  (void)key->setValue(fullPath, lowered);
  return released;
}

}  // namespace cvl
