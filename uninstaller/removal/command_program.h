#pragma once
// Which program file a command line from the registry starts. Windows
// would search for it (the uninstaller's folder and the current folder
// first) and try "C:\Program.exe" for "C:\Program Files\..."; the
// uninstaller names the file itself instead.
#include <optional>
#include <string>

#include "platform/platform.h"

namespace cvl {

struct ProgramStart {
  std::string application;  // full path of the program file
  std::string commandLine;
};

// A quoted absolute first token is taken as it stands; an unquoted
// absolute path is the longest prefix, ending at a blank, that names an
// existing file; a bare program name is looked up in the system folder
// only. Anything else (a relative path, an unclosed quote, a name the
// system folder lacks, an unquoted path no prefix of which is a file)
// starts nothing.
std::optional<ProgramStart> programOfCommand(platform::Platform& platform, const std::string& commandLine);

}  // namespace cvl
