#pragma once
// Expansion of install-time path macros such as "<TARGETDIR>\BIN".
#include <string>

#include "uninstaller/engine/removal_context.h"

namespace cvl {

// Replaces every macro in path by its value, in place. An unknown macro, a
// macro whose expansion leaves nothing, or a chain of macros that does not
// end makes the whole path empty: such a path names nothing the installer
// wrote, so callers skip it.
void expandPathMacros(std::string& path, const PathMacros& macros);

}  // namespace cvl
