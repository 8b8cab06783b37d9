// A run over files that are in use, kept by rule, or gone already: what is
// scheduled for the restart, the result it shows, and the journal's account
// of every decision.
#include <gtest/gtest.h>

#include "tests/engine/engine_world.h"
#include "uninstaller/engine/record/run_mode.h"

namespace cvl::test {
namespace {

using namespace platform;

TEST(InUse, FilesHeldOpenAndTheFoldersTheyKeepGoAtRestartAndTheJournalSaysWhyEachThingStayed) {
  EngineWorld w;
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
  FilePtr busy, held;
  ASSERT_EQ(w.files.open(w.target("BIN\\busy.dll"), OpenMode::Read, busy), kSuccess);
  ASSERT_EQ(w.files.open(w.target("BIN\\DEEP\\held.ocx"), OpenMode::CreateAlways, held), kSuccess);

  // Through the layer a logged run puts over the machine, with the journal
  // and the bookkeeping as the program has them.
  Lines journalLines;
  RemovalJournal journal;
  journal.attach([&](const std::string& line) { journalLines.push_back(line); });
  RunMachine machine(w.platform, journal, RunMode::Logged);
  RemovalContext context = w.installation.removalContext(machine.platform());
  context.journal = &journal;
  context.recordFiles = &w.files;
  runUninstall(context, w.tree, w.progress);

  EXPECT_FALSE(context.hadErrors);
  EXPECT_EQ(w.progress.events[w.progress.events.size() - 3], "step 8");
  // Files before the folders they keep, deeper folders before their parents.
  const Lines scheduled = {w.target("BIN\\busy.dll"), w.target("BIN\\DEEP\\held.ocx"), w.target("BIN\\DEEP"),
                          w.target("BIN")};
  EXPECT_EQ(context.scheduledAtRestart, scheduled);
  EXPECT_EQ(w.files.scheduledAtRestart(), context.scheduledAtRestart);
  const std::string target = w.target("");
  EXPECT_EQ(journalLines, (Lines{
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

}  // namespace
}  // namespace cvl::test
