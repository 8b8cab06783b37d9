#pragma once
#include <string>

#include "platform/registry.h"

namespace cvl::settings {

// Opens root\path like Registry::openKey, also when the whole path is longer
// than the single-byte registry calls accept (they convert it through a
// buffer of one file path's size): such a path is opened in pieces, each
// below the key the previous one opened.
platform::Status openKeyPath(platform::Registry& registry, platform::RegRoot root, const std::string& path,
                             uint32_t access, platform::RegKeyPtr& out);

}  // namespace cvl::settings
