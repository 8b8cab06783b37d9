#pragma once
#include <string>

namespace cvl::settings {

// The command line without the program's name, so that words searched for
// in the arguments are never found in the folder the program lives in.
// When the line starts with programPath (quoted or not, any letter case)
// exactly that is skipped; otherwise the first token: a quoted one up to
// its closing quote, else everything up to the first blank.
std::string argumentsOf(const std::string& commandLine, const std::string& programPath);

}  // namespace cvl::settings
