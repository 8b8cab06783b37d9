#include "uninstaller/startup/command_line.h"

#include "platform/platform.h"

namespace cvl {
namespace {

constexpr const char* kBlanks = " \t";

bool startsWithAt(const std::string& text, size_t at, const std::string& prefix) {
  return !prefix.empty() && text.size() - at >= prefix.size() &&
         platform::equalsNoCase(text.substr(at, prefix.size()), prefix);
}

size_t endOfFirstToken(const std::string& line, size_t start) {
  if (line[start] == '"') {
    const size_t close = line.find('"', start + 1);
    return close == std::string::npos ? line.size() : close + 1;
  }
  const size_t blank = line.find_first_of(kBlanks, start);
  return blank == std::string::npos ? line.size() : blank;
}

StartupFlags flagsIn(const std::string& arguments) {
  StartupFlags flags;
  flags.help = arguments.find("/?") != std::string::npos;
  flags.silent = arguments.find("/SILENT") != std::string::npos;
  flags.showErrors = !flags.silent;
  flags.showProgress = !flags.silent;
  if (arguments.find("/SHOWERRORS") != std::string::npos) flags.showErrors = true;
  if (arguments.find("/SHOWPROGRESS") != std::string::npos) flags.showProgress = true;
  return flags;
}

}  // namespace

const char* const kHelpText =
    "Command line switches:\n\n"
    "/Silent  -  Totally silent\n"
    "/ShowProgress  -  Displays progress indicator\n"
    "/ShowErrors  -  Displays error messages (requires attendance)\n"
    "/Log=file  -  Appends a record of the removal to file\n"
    "/Plan  -  Writes what a removal would do to the /Log file, changing nothing\n"
    "/?  -  Displays this message";

size_t programNameEnd(const std::string& commandLine, const std::string& programPath) {
  const size_t start = commandLine.find_first_not_of(kBlanks);
  if (start == std::string::npos) return commandLine.size();
  const size_t quotedEnd = start + 1 + programPath.size();
  if (commandLine[start] == '"' && startsWithAt(commandLine, start + 1, programPath) &&
      quotedEnd < commandLine.size() && commandLine[quotedEnd] == '"') {
    return quotedEnd + 1;
  }
  if (startsWithAt(commandLine, start, programPath)) return start + programPath.size();
  return endOfFirstToken(commandLine, start);
}

CommandLine parseCommandLine(const std::string& commandLine, const std::string& programPath) {
  CommandLine parsed;
  parsed.arguments = platform::upper(commandLine.substr(programNameEnd(commandLine, programPath)));
  parsed.flags = flagsIn(parsed.arguments);
  return parsed;
}

bool hasSwitch(const std::string& arguments, const std::string& word) {
  return platform::upper(arguments).find(platform::upper(word)) != std::string::npos;
}

}  // namespace cvl
