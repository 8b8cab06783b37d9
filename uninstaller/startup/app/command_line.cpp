#include "uninstaller/startup/app/command_line.h"

#include "platform/platform.h"

namespace cvl {

const char* const kHelpText =
    "Command line switches:\n\n"
    "/Silent  -  Totally silent\n"
    "/ShowProgress  -  Displays progress indicator\n"
    "/ShowErrors  -  Displays error messages (requires attendance)\n"
    "/Log=file  -  Appends a record of the removal to file\n"
    "/Plan  -  Writes what a removal would do to the /Log file, changing nothing\n"
    "/?  -  Displays this message";

bool hasSwitch(const std::string& commandLine, const std::string& word) {
  return platform::upper(commandLine).find(platform::upper(word)) != std::string::npos;
}

StartupFlags parseCommandLine(const std::string& commandLine) {
  const std::string text = platform::upper(commandLine);
  StartupFlags flags;
  flags.help = text.find("/?") != std::string::npos;
  flags.silent = text.find("/SILENT") != std::string::npos;
  flags.showErrors = !flags.silent;
  flags.showProgress = !flags.silent;
  if (text.find("/SHOWERRORS") != std::string::npos) flags.showErrors = true;
  if (text.find("/SHOWPROGRESS") != std::string::npos) flags.showProgress = true;
  return flags;
}

}  // namespace cvl
