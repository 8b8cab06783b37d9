// The run's log (/LOG=): where it may be written, and what it writes.
#include <gtest/gtest.h>

#include "tests/engine/engine_world.h"
#include "uninstaller/engine/record/log_path_check.h"
#include "uninstaller/engine/record/removal_log_file.h"

namespace cvl::test {
namespace {

using namespace platform;

struct LogPathRow {
  std::string path;
  bool written;
};

// Opens the log as the program does and writes one line into it.
bool writeLog(EngineWorld& w, const std::string& path) {
  const auto own = uninstallerFiles(EngineWorld::kUninstallDir, w.system.modulePath());
  const StartupState& state = w.installation.state;
  if (refusesLogPath(w.files, path, own, w.catalogue, state.log, state.pathMacros)) return false;
  RemovalLogFile log(w.files);
  if (log.open(path) != kSuccess) return false;
  log.writeLine("==== removal started");
  return log.close();
}

// Every name that reaches the uninstaller's own files or a file of the
// suite is refused, however it is spelled; the files of a component that
// stays count too, as the log is opened before the selection is made.
TEST(RunLog, IsNeverWrittenIntoTheUninstallersOrTheSuitesFiles) {
  EngineWorld w;
  w.addTop({.name = "App", .fileGroups = {"APP_FILES"}});
  w.addTop({.name = "Other", .fileGroups = {"OTHER_FILES"}});
  w.suite.groups = {{.name = "App_Files", .directories = {{"Bin", {"app.dll"}}}},
                    {.name = "Other_Files", .files = {"other.dll"}}};
  w.files.addFile("C:\\Logs\\linked.log", "", attr::kReparsePoint);
  w.system.setModulePath(EngineWorld::kUninstallDir + std::string("Cvlunst2.exe"));
  w.install();
  const std::string installLog = EngineWorld::kUninstallDir + std::string("cvlinst.log");
  const auto installLogBefore = w.files.content(installLog);
  ASSERT_EQ(w.files.setCurrentDirectory("C:\\Program Files\\Corvel\\Bin"), kSuccess);

  const std::vector<LogPathRow> rows = {
      {"C:\\Program Files\\Corvel\\Uninstall\\cvlinst.dat", false},
      {"c:/program files/corvel/uninstall/CVLINST.DAT", false},
      {"C:\\Program Files\\Corvel\\Uninstall\\cvlinst.log. ", false},
      {"\\\\localhost\\C$\\Program Files\\Corvel\\Uninstall\\cvlinst.log", false},
      {"C:\\Program Files\\Corvel\\Uninstall\\cvlinst.rec", false},
      {"C:\\Program Files\\Corvel\\Uninstall\\Sub\\..\\CVLINST.REC", false},
      {"C:\\Program Files\\Corvel\\Bin\\app.dll", false},
      {"C:/PROGRAM FILES/CORVEL/./bin/App.Dll..", false},
      {"\\\\127.0.0.1\\c$\\Program Files\\Corvel\\Bin\\app.dll", false},
      {"app.dll", false},
      {"..\\other.dll", false},
      {"C:\\Logs\\linked.log", false},
      {"C:\\Logs\\Corvel removal.log", true},
      {"C:\\Logs\\cvlinst.log", true},
      {"C:\\Program Files\\Corvel\\Uninstall\\removal.log", true},
      {"run.log", true},
  };
  for (const LogPathRow& row : rows) EXPECT_EQ(writeLog(w, row.path), row.written) << row.path;

  EXPECT_EQ(w.files.content("C:\\Program Files\\Corvel\\Bin\\app.dll"), w.suite.fileContent);
  EXPECT_EQ(w.files.content(installLog), installLogBefore);
  EXPECT_FALSE(w.files.exists("C:\\Program Files\\Corvel\\Uninstall\\cvlinst.rec"));
  EXPECT_EQ(w.files.content("C:\\Program Files\\Corvel\\Bin\\run.log"), "==== removal started\r\n");
}

// Each line is in the file as soon as it is noted, and a name holding a
// line break cannot forge a line of its own.
TEST(RunLog, EachLineIsWrittenAsItComesOrInAPlansBlocksAndNoNameBreaksIt) {
  MemoryPlatform machine;
  RemovalLogFile log(machine.files());
  ASSERT_EQ(log.open("C:\\run.log"), kSuccess);
  RemovalJournal journal;
  journal.attach([&](const std::string& line) { log.writeLine(line); });
  journal.removed("file", "C:\\a.dll\r\nremoved file: C:\\b.dll\n");
  EXPECT_EQ(machine.files().content("C:\\run.log"),
            "removed file: C:\\a.dll<0x0D><0x0A>removed file: C:\\b.dll<0x0A>\r\n");

  // A plan's lines are handed over in blocks, the last one as it closes.
  RemovalLogFile plan(machine.files());
  ASSERT_EQ(plan.open("C:\\plan.log", RemovalLogFile::Writes::Gathered), kSuccess);
  plan.writeLine("removed file: C:\\a.dll");
  plan.writeLine("removed file: C:\\b.dll");
  EXPECT_EQ(machine.files().content("C:\\plan.log"), "");
  EXPECT_TRUE(plan.close());
  EXPECT_EQ(machine.files().content("C:\\plan.log"), "removed file: C:\\a.dll\r\nremoved file: C:\\b.dll\r\n");
  // A block that cannot be written fails the plan.
  ASSERT_EQ(plan.open("C:\\plan.log", RemovalLogFile::Writes::Gathered), kSuccess);
  plan.writeLine("removed file: C:\\c.dll");
  machine.files().fail("C:\\plan.log", platform::MemoryFileSystem::Op::Write, kAccessDenied);
  EXPECT_FALSE(plan.flush());
}

}  // namespace
}  // namespace cvl::test
