#pragma once
// Copies one key with everything below it into another, merging: what the
// destination holds and the source lacks stays as it is. Text values pass
// through placeholder expansion on the way.
#include <string>

#include "platform/platform.h"
#include "settings/reg_key_view.h"

namespace cvl::settings {

// Creates the destination if needed, then copies. False when the destination
// cannot be created, the source cannot be opened, or the copy stops part-way.
bool copyTree(platform::Platform& platform, platform::RegRoot sourceRoot, const std::string& sourcePath,
              platform::RegRoot destinationRoot, const std::string& destinationPath);

// Copies the values of the source's key and, recursively, its subkeys. Both
// views are moved down the tree and back. Values of every type are copied,
// only text ones expanded. A value that cannot be read or written fails the
// copy once everything else is copied; a key that cannot be listed in full
// or a subkey that cannot be reached fails it at once.
bool copyKey(platform::Platform& platform, RegKeyView& source, RegKeyView& destination);

}  // namespace cvl::settings
