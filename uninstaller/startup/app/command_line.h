#pragma once
// The uninstaller's switches. Every test is a substring search in the
// upper-cased command line, program path included, so switches may stand
// anywhere and a longer word that contains one counts as that switch.
#include <string>

namespace cvl {

struct StartupFlags {
  bool help = false;  // "/?": show the switches and do nothing else
  bool silent = false;
  bool showErrors = true;
  bool showProgress = true;
};

StartupFlags parseCommandLine(const std::string& commandLine);

// The command line contains word, letter case ignored on both sides.
bool hasSwitch(const std::string& commandLine, const std::string& word);

// The text "/?" shows, captioned with the program's file name.
extern const char* const kHelpText;

}  // namespace cvl
