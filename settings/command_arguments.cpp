#include "settings/command_arguments.h"

#include "platform/platform.h"

namespace cvl::settings {

namespace {

bool startsWithNoCase(const std::string& text, size_t at, const std::string& prefix) {
  return text.size() - at >= prefix.size() && platform::equalsNoCase(text.substr(at, prefix.size()), prefix);
}

// Characters the program's own path takes at the start of the line; 0 when
// it is not there. An unquoted path may hold blanks, so it is matched whole.
size_t ownPathLength(const std::string& commandLine, const std::string& programPath) {
  if (programPath.empty()) return 0;
  if (!commandLine.empty() && commandLine[0] == '"' && startsWithNoCase(commandLine, 1, programPath) &&
      commandLine.size() > programPath.size() + 1 && commandLine[programPath.size() + 1] == '"') {
    return programPath.size() + 2;
  }
  return startsWithNoCase(commandLine, 0, programPath) ? programPath.size() : 0;
}

size_t firstTokenLength(const std::string& commandLine) {
  if (!commandLine.empty() && commandLine[0] == '"') {
    const size_t closing = commandLine.find('"', 1);
    return closing == std::string::npos ? commandLine.size() : closing + 1;
  }
  const size_t blank = commandLine.find_first_of(" \t");
  return blank == std::string::npos ? commandLine.size() : blank;
}

}  // namespace

std::string argumentsOf(const std::string& commandLine, const std::string& programPath) {
  size_t skipped = ownPathLength(commandLine, programPath);
  if (skipped == 0) skipped = firstTokenLength(commandLine);
  return commandLine.substr(skipped);
}

}  // namespace cvl::settings
