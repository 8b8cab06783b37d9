#pragma once
// A synthetic installation for the removal benchmark: components with one
// file group each, whose directory trees, files and registry keys are
// created for real, and the same things listed for a plain deleting loop.
#include <string>
#include <vector>

#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/installlog/uninstall_log.h"
#include "uninstaller/startup/loaded_installation.h"
#include "uninstaller/store/config_store.h"

namespace cvl::bench {

// prefix + separator + number, built by appending (the compiler warns
// wrongly about "text" + std::to_string(n)).
std::string numbered(std::string prefix, const char* separator, int number);
inline std::string numbered(const char* prefix, int number) { return numbered(prefix, "", number); }

struct SyntheticShape {
  int components = 100;
  int dirsPerComponent = 10;
  int filesPerDir = 20;
  int keysPerComponent = 50;
  int sharedPerComponent = 2;  // in a shared group of its own, each counted once in SharedDLLs
  int deepKeyLevels = 0;       // a logged key that deep below the first component's (in memory only)
};

struct SyntheticInstallation {
  static constexpr const char* kRoot = "C:\\CvlEngineBench";
  static constexpr const char* kTarget = "C:\\CvlEngineBench\\Program";
  static constexpr const char* kUninstallDir = "C:\\CvlEngineBench\\Uninstall\\";
  static constexpr const char* kKeyRoot = "Software\\Corvel\\EngineBench";  // below HKLM

  explicit SyntheticInstallation(SyntheticShape shape) : shape(shape) {}

  // Creates the files, directories and keys; false when any cannot be made.
  bool create() const;
  // The store and the log describing them, as the uninstaller would load them.
  void describe(CConfigStore& store, CUninstallLog& log) const;
  // Described, and loaded into what start-up fills: the catalogue read from
  // the store as start-up reads it, the path macros and the uninstall folder.
  void load(LoadedInstallation& into, platform::Platform& platform) const;
  void describeShared(int c, CSection& section, CUninstallLog& log) const;
  // What create() made, deepest first, for the baseline.
  std::vector<std::string> files() const;
  std::vector<std::string> directories() const;
  std::vector<std::string> keys() const;  // below HKLM
  std::vector<std::string> sharedFiles() const;  // also among files(), each the name of its count
  // Anything left over from a run that stopped half-way.
  void removeLeftovers() const;

  static std::string componentName(int c) { return numbered("Comp", c); }
  static std::string componentDir(int c) { return numbered(kTarget, "\\C", c); }
  static std::string dirName(int d) { return numbered("D", d); }
  static std::string fileName(int f) { return numbered("file", f).append(".dat"); }
  static std::string componentKey(int c) { return numbered(kKeyRoot, "\\C", c); }
  static std::string keyOf(int c, int k) { return numbered(componentKey(c), "\\K", k); }
  std::string deepKey() const;
  static std::string sharedDir(int c) { return componentDir(c) + "\\Shared"; }
  static std::string sharedName(int f) { return numbered("lib", f).append(".dll"); }
  static constexpr const char* kSharedDlls = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

  SyntheticShape shape;
};

}  // namespace cvl::bench
