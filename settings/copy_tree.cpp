#include "settings/copy_tree.h"

#include <vector>

#include "settings/key_path.h"
#include "settings/placeholders.h"

namespace cvl::settings {

using platform::RegType;

namespace {

void copyValue(platform::Platform& platform, RegKeyView& source, RegKeyView& destination, size_t index) {
  const std::string name = source.valueName(index);
  RegType type = RegType::None;
  uint32_t size = 0;
  if (!source.valueInfo(index, type, size)) return;
  switch (type) {
    case RegType::Sz: {
      std::string text;
      if (!source.getString(name, text)) return;
      expandPlaceholders(platform, text);
      destination.setString(name, text);
      return;
    }
    case RegType::Binary: {
      std::vector<uint8_t> bytes;
      if (source.getBytes(name, bytes, size)) destination.setBytes(name, bytes);
      return;
    }
    case RegType::Dword: {
      uint32_t number = 0;
      if (source.getNumber(name, number)) destination.setNumber(name, number);
      return;
    }
    default:
      return;  // other types are deliberately left behind
  }
}

// The cached lists die on every change of path, so descend from a copy.
std::vector<std::string> subkeysToCopy(RegKeyView& source, size_t count) {
  std::vector<std::string> names;
  for (size_t index = 0; index < count; ++index) {
    std::string name = source.subkeyName(index);
    if (!source.isReserved(name)) names.push_back(std::move(name));
  }
  return names;
}

bool copySubkey(platform::Platform& platform, RegKeyView& source, RegKeyView& destination,
                const std::string& sourcePath, const std::string& destinationPath, const std::string& name) {
  destination.createSubkey(name);  // reaching it below is what counts
  if (!source.setPath(joinPath(sourcePath, name))) return false;
  if (!destination.setPath(joinPath(destinationPath, name))) return false;
  if (!copyKey(platform, source, destination)) return false;
  // Going on from the wrong key would write into the child, so a failed
  // return ends the copy too.
  return source.setPath(sourcePath) && destination.setPath(destinationPath);
}

}  // namespace

bool copyKey(platform::Platform& platform, RegKeyView& source, RegKeyView& destination) {
  const size_t subkeyCount = source.subkeyCount();
  const size_t valueCount = source.valueCount();
  const std::string sourcePath = source.path();
  const std::string destinationPath = destination.path();

  for (size_t index = 0; index < valueCount; ++index) copyValue(platform, source, destination, index);

  for (const std::string& name : subkeysToCopy(source, subkeyCount)) {
    if (!copySubkey(platform, source, destination, sourcePath, destinationPath, name)) return false;
  }
  return true;
}

bool copyTree(platform::Platform& platform, platform::RegRoot sourceRoot, const std::string& sourcePath,
              platform::RegRoot destinationRoot, const std::string& destinationPath) {
  RegKeyView source(platform.registry(), sourceRoot, sourcePath);
  RegKeyView destination(platform.registry(), destinationRoot, destinationPath);

  platform::RegKeyPtr created;
  if (platform.registry().createKey(destinationRoot, destinationPath, platform::access::kAllAccess, created) !=
      platform::kSuccess) {
    return false;
  }
  // An unreadable source would otherwise count as an empty, successful copy,
  // and a restore would then remove its only copy of the settings.
  if (!source.open()) return false;
  return copyKey(platform, source, destination);
}

}  // namespace cvl::settings
