#pragma once
// The uninstaller's command line. The program's own name is left out first,
// so a folder name in its path never reads as a switch or a component. In
// the rest, upper-cased, every switch test is a substring search: switches
// may stand anywhere and a longer word that contains one counts as that
// switch. Display texts and "UNINSTALLALL" are searched in the same text.
#include <string>

namespace cvl {

struct StartupFlags {
  bool help = false;  // "/?": show the switches and do nothing else
  bool silent = false;
  bool showErrors = true;
  bool showProgress = true;
};

struct CommandLine {
  std::string arguments;  // upper case, without the program's name
  StartupFlags flags;
};

// programPath is the running program's own file (GetModuleFileNameA).
CommandLine parseCommandLine(const std::string& commandLine, const std::string& programPath);

// Where the program's name ends: after programPath when the line starts with
// it (quoted or not, letter case ignored), else after the first token (a
// quoted one, or up to the first blank).
size_t programNameEnd(const std::string& commandLine, const std::string& programPath);

// The arguments contain word, letter case ignored on both sides.
bool hasSwitch(const std::string& arguments, const std::string& word);

// The text "/?" shows, captioned with the program's file name.
extern const char* const kHelpText;

}  // namespace cvl
