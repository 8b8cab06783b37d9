#include "uninstaller/removal/own_files.h"

#include <algorithm>

#include "platform/platform.h"

#include "uninstaller/removal/safe_paths.h"

namespace cvl {
namespace {

// "C:" alone would name the drive's current folder, not its root.
std::string folderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return std::string();
  const bool driveRoot = slash == 2 && path[1] == ':';
  return path.substr(0, driveRoot ? slash + 1 : slash);
}

// The name a path's last part stands for: a stream suffix (":$DATA")
// names the file itself.
std::string nameBeforeStream(std::string name) {
  name.resize(std::min(name.find(':'), name.size()));
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  return name;
}

}  // namespace

OwnFiles::OwnFiles(platform::FileSystem& files, const std::vector<std::string>& paths) : files_(files) {
  for (const std::string& path : paths) {
    own_.push_back({path, resolvedSegments(path), identityOf(path), folderIdentity(folderOf(path)),
                    indexOf(folderOf(path)), std::nullopt});
    anyExists_ = anyExists_ || own_.back().file.has_value();
  }
}

// Unknown when the file cannot be listed, or its name cannot be shown in
// the code page ("?" stands in): any name may then be its alias.
std::optional<std::vector<std::string>> OwnFiles::storedNames(const std::string& path) {
  std::optional<std::vector<std::string>> names;
  (void)files_.find(path, [&](const platform::FoundEntry& entry) {
    names.emplace(1, platform::upper(entry.name));
    if (!entry.shortName.empty()) names->push_back(platform::upper(entry.shortName));
    return false;
  });
  const auto plain = [](const std::string& name) {
    return platform::isPlainAscii(name) && name.find('?') == std::string::npos;
  };
  if (names && !std::all_of(names->begin(), names->end(), plain)) names.reset();
  return names;
}

bool OwnFiles::mayNameAnOwner(const std::string& name) {
  if (!namesRead_) {
    for (Own& own : own_) {
      if (own.file) own.names = storedNames(own.path);
    }
    namesRead_ = true;
  }
  // Windows folds the case of letters beyond ASCII as well: such a name is
  // left to the identity.
  const std::string spelled = nameBeforeStream(name);
  if (!platform::isPlainAscii(spelled)) return true;
  return std::any_of(own_.begin(), own_.end(), [&](const Own& own) {
    return own.file && (!own.names || std::count(own.names->begin(), own.names->end(), spelled) != 0);
  });
}

std::optional<platform::FileIdentity> OwnFiles::identityOf(const std::string& path) {
  platform::FileIdentity identity;
  if (path.empty() || files_.identity(path, identity) != platform::kSuccess) return std::nullopt;
  return identity;
}

// Read as a candidate folder's is, so the two always compare alike.
std::optional<uint64_t> OwnFiles::indexOf(const std::string& folder) {
  uint64_t index = 0;
  if (folder.empty() || files_.fileIndex(folder, index) != platform::kSuccess) return std::nullopt;
  return index;
}

std::optional<platform::FileIdentity> OwnFiles::folderIdentity(const std::string& folder) {
  const auto known = folders_.find(folder);
  if (known != folders_.end()) return known->second;
  return folders_[folder] = identityOf(folder);
}

// A folder whose index no owner folder has is none of them; the volume,
// slow to ask for, is only needed to tell the rest.
bool OwnFiles::mayBeOwnersFolder(const std::string& folder) {
  const auto known = mayBeOwners_.find(folder);
  if (known != mayBeOwners_.end()) return known->second;
  const std::optional<uint64_t> index = indexOf(folder);
  return mayBeOwners_[folder] =
             index && std::any_of(own_.begin(), own_.end(), [&](const Own& own) { return own.folderIndex == index; });
}

bool OwnFiles::holds(const std::string& fullPath, Reach reach) {
  const std::vector<std::string> segments = resolvedSegments(fullPath);
  if (std::any_of(own_.begin(), own_.end(), [&](const Own& own) { return own.segments == segments; })) return true;
  if (!anyExists_ || segments.empty()) return false;
  if (reach == Reach::Name && !mayNameAnOwner(segments.back())) return false;
  if (!mayBeOwnersFolder(folderOf(fullPath))) return false;
  const auto folder = folderIdentity(folderOf(fullPath));
  if (!folder) return false;
  const bool ownersFolder = std::any_of(own_.begin(), own_.end(), [&](const Own& own) { return own.folder == folder; });
  if (!ownersFolder) return false;
  const auto file = identityOf(fullPath);
  return file && std::any_of(own_.begin(), own_.end(), [&](const Own& own) { return own.file == file; });
}

}  // namespace cvl
