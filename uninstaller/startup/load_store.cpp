#include "uninstaller/startup/startup_sequence.h"

#include "uninstaller/store/archive_error.h"
#include "uninstaller/store/config_store.h"

namespace cvl {
namespace {

// Bytes the registry value naming the uninstall directory may take.
constexpr uint32_t kDirectoryValueCapacity = 260;

std::string directoryOf(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The default value of the cdf key, or the program's own directory when it
// cannot be read. False when the key itself cannot be opened.
bool findUninstallDirectory(platform::Platform& platform, std::string& directory) {
  platform::RegKeyPtr key;
  if (platform.registry().openKey(platform::RegRoot::LocalMachine, names::kCdfKey, platform::access::kReadWriteCreate,
                                  key) != platform::kSuccess) {
    return false;
  }
  platform::RegValue value;
  if (key->queryValue("", value, kDirectoryValueCapacity) == platform::kSuccess) {
    directory = value.asString();
  } else {
    directory = directoryOf(platform.system().modulePath());
  }
  return true;
}

}  // namespace

bool loadStore(platform::Platform& platform, CConfigStore& store) {
  std::string path;
  if (!findUninstallDirectory(platform, path)) return false;
  if (path.empty() || path.back() != '\\') path += '\\';
  path += kStoreFileName;
  store.setPath(path);

  platform::FileStatus status;
  if (platform.files().status(path, status) != platform::kSuccess) return false;
  try {
    return store.load(platform.files(), path);
  } catch (const ArchiveError&) {
    // A store cut short is as unusable as a missing one.
    return false;
  }
}

}  // namespace cvl
