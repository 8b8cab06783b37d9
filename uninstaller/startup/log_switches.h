#pragma once
// The switches of a logged run: "/LOG=<file>" names the file the run's
// record is appended to, "/PLAN" makes the run a dry run written there.
// The file's name is taken as typed and then cut out of the command line,
// so nothing in it can count as a switch, a display text or "UNINSTALLALL".
#include <string>

namespace cvl {

struct LogSwitches {
  std::string logPath;  // as typed, quotes removed; empty without "/LOG="
  bool plan = false;
  // "/PLAN" without "/LOG=", or "/LOG=" with no file after it.
  bool invalid = false;
  // The command line without the "/LOG=" argument, letter case as given.
  std::string rest;
};

LogSwitches takeLogSwitches(const std::string& commandLine);

}  // namespace cvl
