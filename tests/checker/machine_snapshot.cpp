#include "tests/checker/machine_snapshot.h"

#include <functional>
#include <optional>

#include "platform/memory/wildcard.h"
#include "tests/checker/safety_rules.h"

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

// Each entry of before, with what after holds for it (or null), then each
// entry after alone holds.
template <class Map, class Visit>
void compare(const Map& before, const Map& after, Visit visit) {
  for (const auto& [key, was] : before) {
    const auto now = after.find(key);
    visit(key, &was, now == after.end() ? nullptr : &now->second);
  }
  for (const auto& [key, is] : after) {
    if (!before.count(key)) visit(key, nullptr, &is);
  }
}

}  // namespace

std::string withLongNames(const std::string& path, const MachineSnapshot& machine) {
  if (path.find('~') == std::string::npos) return path;
  const std::vector<std::string> parts = segmentsOf(path);
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
  for (RegRoot root : {RegRoot::ClassesRoot, RegRoot::CurrentUser, RegRoot::LocalMachine, RegRoot::Users}) {
    snapshotKeys(machine.registry(), root, prefixOf(root), snapshot);
  }
  return snapshot;
}

std::vector<Change> changesBetween(const MachineSnapshot& before, const MachineSnapshot& after) {
  using Kind = Change::Kind;
  std::vector<Change> changes;
  compare(before.files, after.files, [&](const std::string& path, const FileState* was, const FileState* is) {
    if (!is || !was) {
      changes.push_back({!was ? Kind::FileCreated : was->directory ? Kind::DirDeleted : Kind::FileDeleted, path, {}});
    } else if (!sameStatus(was->status, is->status) || was->content != is->content || was->directory != is->directory) {
      changes.push_back({Kind::FileAltered, path, {}});
    }
  });
  compare(before.keys, after.keys, [&](const std::string& place, const std::string* was, const std::string* is) {
    if (!is || !was) changes.push_back({was ? Kind::KeyDeleted : Kind::KeyCreated, place, {}});
  });
  compare(before.values, after.values, [&](const auto& where, const RegValue* was, const RegValue* is) {
    if (!is) {
      changes.push_back({Kind::ValueDeleted, where.first, where.second});
    } else if (!was || is->type != was->type || is->data != was->data) {
      changes.push_back({Kind::ValueWritten, where.first, where.second});
    }
  });
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
