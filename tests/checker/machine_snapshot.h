#pragma once
// The whole state of an in-memory machine, and what a run changed in it.
// Comparing two snapshots sees every file, directory, key and value a run
// deleted, created or altered, however the run went about it.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/memory/memory_platform.h"

namespace cvl::checker {

struct FileState {
  bool directory = false;
  platform::FileStatus status;
  std::string content;
};

// Registry places are written "HKLM\SUB\KEY" (root prefixes HKCR, HKCU,
// HKLM, HKU), upper case; values by key and upper-cased name.
struct MachineSnapshot {
  std::map<std::string, FileState> files;  // canonical upper-case paths
  std::map<std::string, std::string> keys;  // upper-case path to the path as stored
  std::map<std::pair<std::string, std::string>, platform::RegValue> values;
};

// The prefix of a root's places.
inline const char* prefixOf(platform::RegRoot root) {
  static constexpr const char* kPrefixes[] = {"HKCR", "HKCU", "HKLM", "HKU"};  // in the order of RegRoot
  return kPrefixes[static_cast<int>(root)];
}

MachineSnapshot takeSnapshot(platform::MemoryPlatform& machine);
// The registry alone, where only what is read from it matters.
MachineSnapshot takeRegistrySnapshot(platform::MemoryPlatform& machine);

// A canonical path with each 8.3 alias replaced by the long name of the
// file or folder it stands for on that machine, as Windows resolves it.
std::string withLongNames(const std::string& path, const MachineSnapshot& machine);

struct Change {
  enum class Kind { FileDeleted, DirDeleted, FileAltered, FileCreated, KeyDeleted, KeyCreated, ValueDeleted,
                    ValueWritten };
  Kind kind;
  std::string path;       // file or key
  std::string valueName;  // upper case, for value changes
};

std::vector<Change> changesBetween(const MachineSnapshot& before, const MachineSnapshot& after);

std::string describe(const Change& change);

}  // namespace cvl::checker
