#pragma once
// A small installation of the suite on the real Windows (Wine's prefix),
// declared with the shared builder and loaded as start-up loads it: real
// files, keys, shared-library counts and shortcuts in the prefix's program
// folders, a registered self-registering server, the stand-in VBA
// installer and RunOnce commands that leave marks. Everything is removed
// again when the object dies.
#include <memory>
#include <optional>
#include <string>

#include "platform/win32/win32_platform.h"
#include "tests/support/installation/installation.h"
#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/startup/loaded_installation.h"

namespace cvl::test {

class WineInstallation {
 public:
  static constexpr const char* kRoot = "C:\\CvlEngineTest";
  static constexpr const char* kTarget = "C:\\CvlEngineTest\\Program";
  static constexpr const char* kUninstallDir = "C:\\CvlEngineTest\\Uninstall\\";
  static constexpr const char* kServerKey = "Software\\CvlEngineTest\\SelfRegServer";  // HKCU, the test DLL's own
  static constexpr const char* kSuiteKey = "Software\\Corvel\\EngineTest";              // HKLM, logged

  WineInstallation();
  ~WineInstallation();

  // Loads what was installed as the uninstaller would and builds the context.
  RemovalContext& load();

  static std::string target(const std::string& relative) { return std::string(kTarget) + "\\" + relative; }
  std::string userLink() const { return userFolder_ + "\\Engine Docs.lnk"; }
  std::string commonLink() const { return commonFolder_ + "\\Engine Docs.lnk"; }
  const std::string& userFolder() const { return userFolder_; }
  const std::string& commonFolder() const { return commonFolder_; }
  static std::string runOnceMarks() { return std::string(kRoot) + "\\runonce.txt"; }
  std::string vbaCalls() const { return vbaDir_ + "\\calls.txt"; }
  std::string sharedProgram() const { return commonFilesDir_ + "\\Corvel\\cvlunst.exe"; }

  static bool exists(const std::string& path);
  bool hasKey(platform::RegRoot root, const std::string& key);
  static std::optional<uint32_t> sharedCount(const std::string& file);
  static std::string contentOf(const std::string& path);

  platform::Win32Platform platform;
  LoadedInstallation installation;
  Catalogue& catalogue = installation.catalogue;

 private:
  fixture::Installation declared() const;
  void installHelpers();
  void removeEverything();

  std::string helperDir_;  // where the build put the test's helper libraries
  std::string programsFolder_, userFolder_, commonFolder_;
  std::string vbaDir_;
  std::string commonFilesDir_;
  std::unique_ptr<RemovalContext> context_;
};

}  // namespace cvl::test
