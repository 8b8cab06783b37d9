// "/LOG=" and "/PLAN": the file name is kept as typed and takes part in no
// other matching.
#include <gtest/gtest.h>

#include "uninstaller/startup/command_line.h"
#include "uninstaller/startup/log_switches.h"

namespace cvl {
namespace {

TEST(LogSwitches, TheFileNameIsTakenAsTypedAndCountsAsNothingElse) {
  struct Case {
    const char* line;
    const char* logPath;
    bool plan, invalid;
  };
  const Case cases[] = {
      {"\"C:\\Cvl\\Cvlunst2.exe\" /silent /log=C:\\Logs\\Run.log UNINSTALLALL", "C:\\Logs\\Run.log", false, false},
      {"x.exe /LOG=\"C:\\Corvel Logs\\Corvel Viewer.log\" /Plan", "C:\\Corvel Logs\\Corvel Viewer.log", true, false},
      {"x.exe /SILENT /LOG=C:\\Logs\\CorvelUninstallAll.log", "C:\\Logs\\CorvelUninstallAll.log", false, false},
      // "/PLAN" outside quotes is never part of a file name: the run is a plan.
      {"x.exe /SILENT /LOG=C:\\Logs\\x/silent/PLAN.log", "C:\\Logs\\x/silent", true, false},
      {"x.exe /SILENT /LOG=C:\\x.log/PLAN UNINSTALLALL", "C:\\x.log", true, false},
      {"x.exe /SILENT /log=C:\\x.log/plan", "C:\\x.log", true, false},
      {"x.exe /SILENT /LOG=\"C:\\Logs\\/PLAN.log\" UNINSTALLALL", "C:\\Logs\\/PLAN.log", false, false},
      {"x.exe /PLAN /SILENT", "", true, true},
      {"x.exe /SILENT /LOG= UNINSTALLALL", "", false, true},
      {"x.exe /SILENT /LOG=\"\"", "", false, true},
  };
  for (const Case& c : cases) {
    const LogSwitches switches = takeLogSwitches(c.line);
    EXPECT_EQ(switches.logPath, c.logPath) << c.line;
    EXPECT_EQ(switches.plan, c.plan) << c.line;
    EXPECT_EQ(switches.invalid, c.invalid) << c.line;
    // Nothing of the file name reaches the other switches and texts.
    for (const char* word : {"Corvel Viewer", "UNINSTALLALL.LOG", "CorvelUninstallAll", "x/silent"}) {
      EXPECT_FALSE(hasSwitch(switches.rest, word)) << c.line;
    }
  }
  EXPECT_FALSE(parseCommandLine("x.exe" + takeLogSwitches(" /LOG=C:\\silent\\/SILENT.log").rest, "").flags.silent);
}

}  // namespace
}  // namespace cvl
