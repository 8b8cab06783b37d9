#pragma once
// Expansion of install-time path macros such as "<TARGETDIR>\BIN".
#include <map>
#include <string>

namespace cvl {

// Key: a macro in angle brackets, upper case ("<TARGETDIR>"); value: its text.
using PathMacros = std::map<std::string, std::string>;

// Replaces every macro in path by its value, in place. An unknown macro, a
// macro whose expansion leaves nothing, or a chain of macros that does not
// end makes the whole path empty: such a path names nothing the installer
// wrote, so callers skip it.
void expandPathMacros(std::string& path, const PathMacros& macros);

}  // namespace cvl
