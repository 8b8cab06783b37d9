// A run over files that are in use, kept by rule, or gone already: what is
// scheduled for the restart, the result it shows, and the journal's account
// of every decision; and a plan, which must list what the real run does.
#include <gtest/gtest.h>

#include "tests/engine/engine_world.h"
#include "uninstaller/engine/record/run_mode.h"

namespace cvl::test {
namespace {

using namespace platform;

struct JournaledRun {
  Lines journal;
  Lines scheduled;
  bool hadErrors = false;
};

// Through the layer the mode puts over the machine, with the journal and
// the bookkeeping as the program has them.
JournaledRun runAs(EngineWorld& w, RunMode mode) {
  JournaledRun run;
  RemovalJournal journal;
  journal.attach([&](const std::string& line) { run.journal.push_back(line); });
  RunMachine machine(w.platform, journal, mode);
  RemovalContext context = w.installation.removalContext(machine.platform());
  context.journal = &journal;
  context.recordFiles = &w.files;
  runUninstall(context, w.tree, w.progress);
  run.scheduled = context.scheduledAtRestart;
  run.hadErrors = context.hadErrors;
  return run;
}

class InUse : public testing::Test {
 protected:
  void SetUp() override {
    w.addTop({.name = "Office", .required = {"SPELL"}, .fileGroups = {"OFFICE"}});
    w.addTop({.name = "Macros", .required = {"SPELL"}, .fileGroups = {"MACROS"}});
    w.addPart({.name = "Spell", .requiredBy = {"OFFICE", "MACROS"}, .fileGroups = {"SPELL"}});
    w.suite.groups = {{.name = "OFFICE",
                       .files = {"office.exe", "cvlmfc40.dll", "gone.txt"},
                       .directories = {{"BIN", {"busy.dll"}}, {"BIN\\DEEP", {"held.ocx"}}}},
                      {.name = "SPELL", .shared = true, .files = {"spell.dll"}},
                      {.name = "MACROS", .files = {"macros.dll"}}};
    w.suite.coreFiles = {"CVLMFC40.DLL"};
    w.suite.sharedCounts = {{w.target("spell.dll"), 3}};
    w.install();
    ASSERT_EQ(w.files.deleteFile(w.target("gone.txt")), kSuccess);
    w.check("Office");
    w.check("Macros", CheckState::Unchecked);
    ASSERT_EQ(w.files.open(w.target("BIN\\busy.dll"), OpenMode::Read, busy), kSuccess);
  }

  EngineWorld w;
  FilePtr busy;
};

TEST_F(InUse, FilesHeldOpenAndTheFoldersTheyKeepGoAtRestartAndTheJournalSaysWhyEachThingStayed) {
  FilePtr held;
  ASSERT_EQ(w.files.open(w.target("BIN\\DEEP\\held.ocx"), OpenMode::CreateAlways, held), kSuccess);

  const JournaledRun run = runAs(w, RunMode::Logged);

  EXPECT_FALSE(run.hadErrors);
  EXPECT_EQ(w.progress.events[w.progress.events.size() - 3], "step 8");
  // Files before the folders they keep, deeper folders before their parents.
  EXPECT_EQ(run.scheduled,
            (Lines{w.target("BIN\\busy.dll"), w.target("BIN\\DEEP\\held.ocx"), w.target("BIN\\DEEP"), w.target("BIN")}));
  EXPECT_EQ(w.files.scheduledAtRestart(), run.scheduled);
  const std::string target = w.target("");
  EXPECT_EQ(run.journal, (Lines{
                             "kept component: Macros (not selected)",
                             "kept component: Spell (still required by Macros)",
                             "removed file: " + target + "office.exe",
                             "kept file: " + target + "cvlmfc40.dll (core file)",
                             "kept file: " + target + "gone.txt (not found)",
                             "kept file: " + target + "BIN\\busy.dll (in use, removed at restart)",
                             "kept file: " + target + "BIN\\DEEP\\held.ocx (in use, removed at restart)",
                             "kept folder: " + target + "BIN\\DEEP (in use, removed at restart)",
                             "kept folder: " + target + "BIN (in use, removed at restart)",
                         }));

  busy.reset();
  held.reset();
  w.files.restart();
  EXPECT_FALSE(w.exists("BIN"));
  EXPECT_TRUE(w.exists("cvlmfc40.dll"));
}

TEST_F(InUse, AFileThatCannotBeScheduledIsAnErrorAndNoRestartIsPromised) {
  w.files.fail(w.target("BIN\\busy.dll"), MemoryFileSystem::Op::DeleteAtRestart, kAccessDenied);

  const JournaledRun run = runAs(w, RunMode::Logged);

  EXPECT_TRUE(run.hadErrors);
  EXPECT_EQ(w.progress.events[w.progress.events.size() - 3], "step 7");
  EXPECT_NE(std::find(run.journal.begin(), run.journal.end(),
                      "kept file: " + w.target("BIN\\busy.dll (in use, Windows error 32)")),
            run.journal.end());
  EXPECT_TRUE(w.exists("BIN"));
}

// A suite whose folders and keys are emptied only by earlier steps: a
// shared library whose last count goes, a read-only file, a help file with
// its side files, shortcuts, a shared key losing only its values and suite
// keys going whole, and the final clean-up.
void installSuite(EngineWorld& w) {
  w.addTop({.name = "Office", .required = {"SHAREDLIB"}, .fileGroups = {"OFFICE"}});
  w.addPart({.name = "SharedLib", .requiredBy = {"OFFICE"}, .fileGroups = {"SHARED"}});
  w.suite.coreFiles = {"CVLMFC40.DLL"};
  w.suite.dataStrings = {{"TITLE", "Office"}};
  w.suite.groups = {{.name = "OFFICE",
                     .selfRegister = true,
                     .files = {"office.exe", "cvlmfc40.dll", "office.hlp", "readme.txt"},
                     .directories = {{"BIN", {"a.dll"}}, {"BIN\\DEEP", {"b.dll"}}},
                     .registry = {{"HKLM\\Software\\Corvel\\Office\\Settings", {"Theme=1"}},
                                  {"HKLM\\Software\\Shared", {"OfficePath=x"}}},
                     .shortcuts = {"<FOLDER_PROGRAMS>\\Corvel\\TITLE"}},
                    {.name = "SHARED", .shared = true, .files = {"common.dll"}}};
  w.suite.sharedCounts = {{w.target("common.dll"), 1}};
  w.suite.unloggedKeys = {{"HKCU\\Software\\Corvel\\Office\\Settings\\Window", {"Size=9"}},
                          {"HKLM\\Software\\Shared", {"Other=y"}}};
  w.addRunOnce("Office", "a", "cleanup.exe");
  w.install();
  w.files.addFile(w.target("office.gid"));
  w.files.addFile(w.target("readme.txt"), "", attr::kReadOnly);
  w.check("Office");
}

// "ran" lines without their outcome, which a plan cannot know.
Lines withoutOutcomes(Lines lines) {
  for (std::string& line : lines) {
    if (line.rfind("ran: ", 0) == 0) line = line.substr(0, line.rfind(" ("));
  }
  return lines;
}

TEST(Plan, ListsEntryByEntryWhatTheRealRunThenDoesAndChangesNothing) {
  EngineWorld planned, real;
  installSuite(planned);
  installSuite(real);
  const auto filesBefore = planned.files.paths();

  const Lines plannedLines = withoutOutcomes(runAs(planned, RunMode::Plan).journal);
  const Lines realLines = withoutOutcomes(runAs(real, RunMode::Logged).journal);

  EXPECT_EQ(plannedLines, realLines);
  EXPECT_GT(realLines.size(), 20u) << testing::PrintToString(realLines);
  EXPECT_FALSE(real.exists("BIN"));  // emptied by earlier steps, then swept
  EXPECT_FALSE(real.registry.hasKey(RegRoot::CurrentUser, "Software\\Corvel\\Office"));
  EXPECT_EQ(planned.files.paths(), filesBefore);
  EXPECT_TRUE(planned.registry.hasKey(RegRoot::CurrentUser, "Software\\Corvel\\Office\\Settings\\Window"));
  EXPECT_EQ(planned.registry.value(RegRoot::LocalMachine, "software\\microsoft\\windows\\currentversion\\shareddlls",
                                   planned.target("common.dll"))->asDword(), 1u);
  EXPECT_TRUE(planned.system.runs().empty());
  EXPECT_TRUE(planned.selectedOnDisk("Office"));
}

}  // namespace
}  // namespace cvl::test
