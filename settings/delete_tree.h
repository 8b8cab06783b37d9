#pragma once
#include <string>

#include "platform/registry.h"

namespace cvl::settings {

// Removes child and everything below it, one leaf at a time, since some
// registries refuse to delete a key that still has subkeys. Returns the
// registry status: kSuccess when all of it is gone; otherwise the first
// failure, with what was not yet removed left in place. A registry link is
// such a failure (kAccessDenied): it is neither followed nor deleted.
platform::Status deleteTree(platform::RegKey& parent, const std::string& child);

}  // namespace cvl::settings
