#include "uninstaller/startup/log_switches.h"

#include <algorithm>
#include <cctype>

#include "platform/platform.h"

namespace cvl {
namespace {

constexpr const char* kLogSwitch = "/LOG=";
constexpr size_t kLogSwitchLength = 5;
constexpr const char* kPlanSwitch = "/PLAN";

bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// The file name after "/LOG=": up to the closing quote when it starts with
// one, else up to the next blank or "/PLAN", whichever comes first: typed
// without a blank, the switch must still make the run a plan, never part
// of a file name while a real removal runs. end is set past the argument.
std::string argumentAt(const std::string& line, size_t start, size_t& end) {
  if (start < line.size() && line[start] == '"') {
    const size_t close = line.find('"', start + 1);
    end = close == std::string::npos ? line.size() : close + 1;
    return line.substr(start + 1, (close == std::string::npos ? line.size() : close) - start - 1);
  }
  end = start;
  while (end < line.size() && !isBlank(line[end])) ++end;
  end = std::min(end, platform::upper(line).find(kPlanSwitch, start));
  return line.substr(start, end - start);
}

}  // namespace

LogSwitches takeLogSwitches(const std::string& commandLine) {
  LogSwitches switches;
  switches.rest = commandLine;
  const size_t at = platform::upper(commandLine).find(kLogSwitch);
  bool hasLog = false;
  if (at != std::string::npos) {
    size_t end = 0;
    switches.logPath = argumentAt(commandLine, at + kLogSwitchLength, end);
    switches.rest = commandLine.substr(0, at) + " " + commandLine.substr(end);
    hasLog = true;
  }
  switches.plan = platform::upper(switches.rest).find(kPlanSwitch) != std::string::npos;
  switches.invalid = (hasLog && switches.logPath.empty()) || (switches.plan && !hasLog);
  return switches;
}

}  // namespace cvl
