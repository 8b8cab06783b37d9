#include "tests/checker/machine_snapshot.h"

#include <functional>
#include <optional>

#include "platform/memory/wildcard.h"

namespace cvl::checker {
namespace {

using namespace platform;

void snapshotFiles(MemoryFileSystem& files, MachineSnapshot& out) {
  for (std::string path : files.paths()) {
    FileState state;
    state.directory = !path.empty() && path.back() == '\\';
    if (state.directory) path.pop_back();
    if (files.status(path, state.status) != kSuccess) continue;
    if (!state.directory) state.content = files.content(path).value_or("");
    out.files[upper(path)] = std::move(state);
  }
}

void snapshotKeys(MemoryRegistry& registry, RegRoot root, const std::string& prefix, MachineSnapshot& out) {
  std::function<void(const std::string&)> walk = [&](const std::string& key) {
    const std::string place = upper(key.empty() ? prefix : prefix + "\\" + key);
    if (!key.empty()) out.keys[place] = key;
    for (const std::string& name : registry.valueNames(root, key)) {
      out.values[{place, upper(name)}] = *registry.value(root, key, name);
    }
    for (const std::string& child : registry.subKeyNames(root, key)) walk(key.empty() ? child : key + "\\" + child);
  };
  walk("");
}

bool sameStatus(const FileStatus& a, const FileStatus& b) {
  return a.attributes == b.attributes && a.created == b.created && a.accessed == b.accessed &&
         a.written == b.written;
}

// The long name of the child of folder whose alias is part, or nothing.
std::optional<std::string> childByAlias(const std::string& folder, const std::string& part, const MachineSnapshot& machine) {
  const std::string prefix = folder + "\\";
  for (auto it = machine.files.lower_bound(prefix); it != machine.files.end() && it->first.rfind(prefix, 0) == 0; ++it) {
    const std::string rest = it->first.substr(prefix.size());
    const std::string name = rest.substr(0, rest.find('\\'));
    if (shortNameOf(name) == part) return name;
  }
  return std::nullopt;
}

}  // namespace

std::string withLongNames(const std::string& path, const MachineSnapshot& machine) {
  if (path.find('~') == std::string::npos) return path;
  std::vector<std::string> parts;
  for (size_t start = 0;;) {
    const size_t slash = path.find('\\', start);
    parts.push_back(path.substr(start, slash - start));
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  const size_t rootParts = parts[0].empty() ? 4 : 1;  // "\\server\share" or "C:"
  std::string resolved;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i < rootParts) {
      resolved += (i ? "\\" : "") + parts[i];
      continue;
    }
    const auto alias = parts[i].find('~') == std::string::npos || machine.files.count(resolved + "\\" + parts[i])
                           ? std::nullopt
                           : childByAlias(resolved, parts[i], machine);
    resolved += "\\" + alias.value_or(parts[i]);
  }
  return resolved;
}

MachineSnapshot takeSnapshot(MemoryPlatform& machine) {
  MachineSnapshot snapshot = takeRegistrySnapshot(machine);
  snapshotFiles(machine.files(), snapshot);
  return snapshot;
}

MachineSnapshot takeRegistrySnapshot(MemoryPlatform& machine) {
  MachineSnapshot snapshot;
  snapshotKeys(machine.registry(), RegRoot::ClassesRoot, "HKCR", snapshot);
  snapshotKeys(machine.registry(), RegRoot::CurrentUser, "HKCU", snapshot);
  snapshotKeys(machine.registry(), RegRoot::LocalMachine, "HKLM", snapshot);
  snapshotKeys(machine.registry(), RegRoot::Users, "HKU", snapshot);
  return snapshot;
}

std::vector<Change> changesBetween(const MachineSnapshot& before, const MachineSnapshot& after) {
  using Kind = Change::Kind;
  std::vector<Change> changes;
  for (const auto& [path, state] : before.files) {
    const auto now = after.files.find(path);
    if (now == after.files.end()) {
      changes.push_back({state.directory ? Kind::DirDeleted : Kind::FileDeleted, path, {}});
    } else if (!sameStatus(state.status, now->second.status) || state.content != now->second.content ||
               state.directory != now->second.directory) {
      changes.push_back({Kind::FileAltered, path, {}});
    }
  }
  for (const auto& [path, state] : after.files) {
    if (!before.files.count(path)) changes.push_back({Kind::FileCreated, path, {}});
  }
  for (const auto& [place, name] : before.keys) {
    if (!after.keys.count(place)) changes.push_back({Kind::KeyDeleted, place, {}});
  }
  for (const auto& [place, name] : after.keys) {
    if (!before.keys.count(place)) changes.push_back({Kind::KeyCreated, place, {}});
  }
  for (const auto& [where, value] : before.values) {
    const auto now = after.values.find(where);
    if (now == after.values.end()) {
      changes.push_back({Kind::ValueDeleted, where.first, where.second});
    } else if (now->second.type != value.type || now->second.data != value.data) {
      changes.push_back({Kind::ValueWritten, where.first, where.second});
    }
  }
  for (const auto& [where, value] : after.values) {
    if (!before.values.count(where)) changes.push_back({Kind::ValueWritten, where.first, where.second});
  }
  return changes;
}

std::string describe(const Change& change) {
  static const char* const kNames[] = {"file deleted", "directory deleted", "file altered", "file created",
                                       "key deleted",  "key created",       "value deleted", "value written"};
  std::string text = std::string(kNames[static_cast<int>(change.kind)]) + " " + change.path;
  if (!change.valueName.empty() || change.kind == Change::Kind::ValueDeleted ||
      change.kind == Change::Kind::ValueWritten) {
    text += " [" + change.valueName + "]";
  }
  return text;
}

}  // namespace cvl::checker
