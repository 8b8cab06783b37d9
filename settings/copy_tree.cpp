#include "settings/copy_tree.h"

#include <vector>

#include "settings/key_path.h"
#include "settings/placeholders.h"

namespace cvl::settings {

using platform::RegType;

namespace {

// Only plain text carries placeholders; every other type, numbers of any
// size included, is written back exactly as stored.
bool copyValue(platform::Platform& platform, RegKeyView& source, RegKeyView& destination, size_t index) {
  const std::string name = source.valueName(index);
  platform::RegValue value;
  if (!source.getValue(name, value)) return false;
  if (value.type != RegType::Sz) return destination.setValue(name, value);
  std::string text = value.asString();
  expandPlaceholders(platform, text);
  return destination.setString(name, text);
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

// How far a branch got: a value that fails leaves a gap but the copy goes
// on, so a backup still carries everything else; a key that cannot be
// reached or listed stops the copy at every level.
enum class Outcome { Complete, ValuesMissed, Stopped };

Outcome copyBranch(platform::Platform& platform, RegKeyView& source, RegKeyView& destination);

Outcome copySubkey(platform::Platform& platform, RegKeyView& source, RegKeyView& destination,
                   const std::string& sourcePath, const std::string& destinationPath, const std::string& name) {
  destination.createSubkey(name);  // reaching it below is what counts
  if (!source.setPath(joinPath(sourcePath, name))) return Outcome::Stopped;
  if (!destination.setPath(joinPath(destinationPath, name))) return Outcome::Stopped;
  const Outcome below = copyBranch(platform, source, destination);
  if (below == Outcome::Stopped) return below;
  // Going on from the wrong key would write into the child, so a failed
  // return ends the copy too.
  if (!source.setPath(sourcePath) || !destination.setPath(destinationPath)) return Outcome::Stopped;
  return below;
}

Outcome copyBranch(platform::Platform& platform, RegKeyView& source, RegKeyView& destination) {
  const size_t subkeyCount = source.subkeyCount();
  const size_t valueCount = source.valueCount();
  const std::string sourcePath = source.path();
  const std::string destinationPath = destination.path();

  // A settings key only partly listed must not pass for a complete copy:
  // a restore would then remove the only full backup.
  if (!source.listedCompletely()) return Outcome::Stopped;

  Outcome outcome = Outcome::Complete;
  for (size_t index = 0; index < valueCount; ++index) {
    if (!copyValue(platform, source, destination, index)) outcome = Outcome::ValuesMissed;
  }
  for (const std::string& name : subkeysToCopy(source, subkeyCount)) {
    const Outcome below = copySubkey(platform, source, destination, sourcePath, destinationPath, name);
    if (below == Outcome::Stopped) return below;
    if (below == Outcome::ValuesMissed) outcome = below;
  }
  return outcome;
}

}  // namespace

bool copyKey(platform::Platform& platform, RegKeyView& source, RegKeyView& destination) {
  return copyBranch(platform, source, destination) == Outcome::Complete;
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
