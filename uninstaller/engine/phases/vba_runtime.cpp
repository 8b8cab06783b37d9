#include "uninstaller/engine/phases/vba_runtime.h"

#include <optional>

#include "uninstaller/removal/safe_paths.h"
#include "uninstaller/suite/suite_layout.h"
#include "uninstaller/engine/phases/stdcall.h"

namespace cvl {
namespace {

using namespace platform;

using InitFunction = int(CVL_STDCALL*)(const char* packagePath, int mode, int flags);
using UnInstallFunction = int(CVL_STDCALL*)();

std::optional<std::string> programFilesDirectory(Registry& registry) {
  RegKeyPtr key;
  if (registry.openKey(RegRoot::LocalMachine, names::kCurrentVersionKey, access::kRead, key) != kSuccess) {
    return std::nullopt;
  }
  RegValue value;
  if (key->queryValue("ProgramFilesDir", value, names::kPathBuffer) != kSuccess) return std::nullopt;
  std::string directory = value.asString();
  // A relative folder would load whatever library the current folder holds.
  if (!isAbsolutePath(directory)) return std::nullopt;
  return directory;
}

}  // namespace

void uninstallVbaRuntime(Platform& platform, const std::vector<std::string>& msiPaths) {
  const auto programFiles = programFilesDirectory(platform.registry());
  if (!programFiles) return;
  const LibraryPtr library =
      platform.system().loadLibrary(*programFiles + names::kVbaInstallerBelowProgramFiles);
  if (!library) return;
  const auto init = reinterpret_cast<InitFunction>(library->symbol("Init"));
  const auto unInstall = reinterpret_cast<UnInstallFunction>(library->symbol("UnInstall"));
  if (init == nullptr || unInstall == nullptr) return;
  for (const std::string& path : msiPaths) {
    if (init(path.c_str(), 1, 0) == 0) unInstall();
  }
}

}  // namespace cvl
