// A run over files that are in use, kept by rule, or gone already: what is
// scheduled for the restart, the result it shows, and the journal's account
// of every decision.
#include <gtest/gtest.h>

#include "tests/engine/engine_world.h"
#include "uninstaller/engine/record/run_mode.h"
#include "uninstaller/engine/uninstall_driver.h"

namespace cvl::test {
namespace {

using namespace platform;

constexpr const char* kTarget = "C:\\Program Files\\Corvel\\";

class InUse : public testing::Test {
 protected:
  void SetUp() override {
    w.addTopComponent("Office", {{"FILEGROUP1", "OFFICE"}, {"REQUIRED1", "SPELL"}});
    w.addTopComponent("Macros", {{"FILEGROUP1", "MACROS"}, {"REQUIRED1", "SPELL"}});
    w.addComponent("Spell", {{"FILEGROUP1", "SPELL"}, {"REQUIREDBY1", "OFFICE"}, {"REQUIREDBY2", "MACROS"}});
    CFilegroup& office = w.addGroup("OFFICE");
    EngineWorld::addFiles(office, {"office.exe", "cvlmfc40.dll", "gone.txt"});
    EngineWorld::addDir(office, "BIN", {"busy.dll"});
    EngineWorld::addDir(office, "BIN\\DEEP", {"held.ocx"});
    CFilegroup& shared = w.addGroup("SPELL");
    shared.setShared(true);
    EngineWorld::addFiles(shared, {"spell.dll"});
    EngineWorld::addFiles(w.addGroup("MACROS"), {"macros.dll"});
    w.addCoreFile("CVLMFC40.DLL");
    for (const char* file : {"office.exe", "cvlmfc40.dll", "BIN\\busy.dll", "BIN\\DEEP\\held.ocx", "spell.dll",
                             "macros.dll"}) {
      w.files.addFile(kTarget + std::string(file));
    }
    w.registry.seedValue(RegRoot::LocalMachine, "software\\microsoft\\windows\\currentversion\\shareddlls",
                         kTarget + std::string("spell.dll"), RegValue::dword(3));
    w.load();
    tree.add(CheckState::Checked, &w.component("Office"));
    tree.add(CheckState::Unchecked, &w.component("Macros"));
  }

  // Runs over the journaling layer, as a logged run does.
  std::vector<std::string> runLogged() {
    std::vector<std::string> lines;
    w.context().journal->attach([&](const std::string& line) { lines.push_back(line); });
    RunMachine logged(w.platform, *w.context().journal, RunMode::Logged);
    RemovalContext context(logged.platform(), w.catalogue, w.log, w.macros, w.noted, w.store, EngineWorld::kUninstallDir);
    context.journal = w.context().journal;
    runUninstall(context, tree, progress);
    scheduled = context.scheduledAtRestart;
    hadErrors = context.hadErrors;
    return lines;
  }

  EngineWorld w;
  PlainTree tree;
  ProgressRecorder progress;
  std::vector<std::string> scheduled;
  bool hadErrors = false;
};

TEST_F(InUse, FilesHeldOpenAndTheFoldersTheyKeepGoAtRestartAndTheJournalSaysWhyEachThingStayed) {
  FilePtr busy, held;
  ASSERT_EQ(w.files.open(kTarget + std::string("BIN\\busy.dll"), OpenMode::Read, busy), kSuccess);
  ASSERT_EQ(w.files.open(kTarget + std::string("BIN\\DEEP\\held.ocx"), OpenMode::CreateAlways, held), kSuccess);

  const std::vector<std::string> lines = runLogged();

  EXPECT_FALSE(hadErrors);
  EXPECT_EQ(progress.events[progress.events.size() - 3], "step 8");
  // Files before the folders they keep, deeper folders before their parents.
  EXPECT_EQ(scheduled, (std::vector<std::string>{"C:\\PROGRAM FILES\\CORVEL\\BIN\\busy.dll",
                                                  "C:\\PROGRAM FILES\\CORVEL\\BIN\\DEEP\\held.ocx",
                                                  "C:\\PROGRAM FILES\\CORVEL\\BIN\\DEEP", "C:\\PROGRAM FILES\\CORVEL\\BIN"}));
  EXPECT_EQ(w.files.scheduledAtRestart(), scheduled);
  const std::vector<std::string> expected = {
      "kept component: Macros (not selected)",
      "kept component: Spell (still required by Macros)",
      "removed file: C:\\PROGRAM FILES\\CORVEL\\office.exe",
      "kept file: C:\\PROGRAM FILES\\CORVEL\\cvlmfc40.dll (core file)",
      "kept file: C:\\PROGRAM FILES\\CORVEL\\gone.txt (not found)",
      "kept file: C:\\PROGRAM FILES\\CORVEL\\BIN\\busy.dll (in use, removed at restart)",
      "kept file: C:\\PROGRAM FILES\\CORVEL\\BIN\\DEEP\\held.ocx (in use, removed at restart)",
      "kept folder: C:\\PROGRAM FILES\\CORVEL\\BIN\\DEEP (in use, removed at restart)",
      "kept folder: C:\\PROGRAM FILES\\CORVEL\\BIN (in use, removed at restart)",
  };
  EXPECT_EQ(lines, expected);

  busy.reset();
  held.reset();
  w.files.restart();
  EXPECT_FALSE(w.files.exists(kTarget + std::string("BIN")));
  EXPECT_TRUE(w.files.exists(kTarget + std::string("cvlmfc40.dll")));
}

TEST_F(InUse, AFileThatCannotBeScheduledIsAnErrorAndNoRestartIsPromised) {
  FilePtr busy;
  ASSERT_EQ(w.files.open(kTarget + std::string("BIN\\busy.dll"), OpenMode::Read, busy), kSuccess);
  w.files.fail(kTarget + std::string("BIN\\busy.dll"), MemoryFileSystem::Op::DeleteAtRestart, kAccessDenied);

  const std::vector<std::string> lines = runLogged();

  EXPECT_TRUE(hadErrors);
  EXPECT_EQ(progress.events[progress.events.size() - 3], "step 7");
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "kept file: C:\\PROGRAM FILES\\CORVEL\\BIN\\busy.dll (in use, Windows error 32)"),
            lines.end());
  EXPECT_TRUE(w.files.exists(kTarget + std::string("BIN")));
}

}  // namespace
}  // namespace cvl::test

namespace cvl::test {
namespace {

// A suite whose folders and keys are emptied only by earlier steps: a
// shared library whose last count goes, a read-only file, a help file with
// its side files, shortcuts, a shared key losing only its values and suite
// keys going whole, and the final clean-up.
void installSuite(EngineWorld& w) {
  w.addTopComponent("Office", {{"FILEGROUP1", "OFFICE"}, {"REQUIRED1", "SHAREDLIB"}});
  w.addComponent("SharedLib", {{"FILEGROUP1", "SHARED"}, {"REQUIREDBY1", "OFFICE"}});
  w.addCoreFile("CVLMFC40.DLL");
  w.addDataString("TITLE", "Office");
  CFilegroup& office = w.addGroup("OFFICE");
  office.setSelfRegister(true);
  EngineWorld::addFiles(office, {"office.exe", "cvlmfc40.dll", "office.hlp", "readme.txt"});
  EngineWorld::addDir(office, "BIN", {"a.dll"});
  EngineWorld::addDir(office, "BIN\\DEEP", {"b.dll"});
  office.registry().keys().assign("HKLM\\Software\\Corvel\\Office\\Settings", {"Theme=1"});
  office.registry().keys().assign("HKLM\\Software\\Shared", {"OfficePath=x"});
  office.shellObjects().items() = {"link:<FOLDER_PROGRAMS>\\Corvel\\TITLE"};
  CFilegroup& shared = w.addGroup("SHARED");
  shared.setShared(true);
  EngineWorld::addFiles(shared, {"common.dll"});
  for (const char* file : {"office.exe", "cvlmfc40.dll", "office.hlp", "office.gid", "BIN\\a.dll", "BIN\\DEEP\\b.dll",
                           "common.dll"}) {
    w.files.addFile(kTarget + std::string(file));
  }
  w.files.addFile(kTarget + std::string("readme.txt"), "", attr::kReadOnly);
  w.files.addFile(std::string(EngineWorld::kUserPrograms) + "\\Corvel\\Office.lnk");
  w.registry.seedValue(RegRoot::LocalMachine, "software\\microsoft\\windows\\currentversion\\shareddlls",
                       kTarget + std::string("common.dll"), RegValue::dword(1));
  w.registry.seedValue(RegRoot::LocalMachine, "Software\\Corvel\\Office\\Settings", "Theme", RegValue::string("1"));
  w.registry.seedValue(RegRoot::CurrentUser, "Software\\Corvel\\Office\\Settings\\Window", "Size", RegValue::string("9"));
  w.registry.seedValue(RegRoot::LocalMachine, "Software\\Shared", "OfficePath", RegValue::string("x"));
  w.registry.seedValue(RegRoot::LocalMachine, "Software\\Shared", "Other", RegValue::string("y"));
  w.registry.seedValue(RegRoot::LocalMachine, "software\\corvel\\uninstall\\components\\Office\\RunOnce", "a",
                       RegValue::string("cleanup.exe"));
  w.load();
}

// The journal of one run, planned or real, "ran" lines without their outcome.
std::vector<std::string> journalOfRun(EngineWorld& w, bool plan) {
  std::vector<std::string> lines;
  RemovalJournal journal;
  journal.attach([&](const std::string& line) {
    lines.push_back(line.rfind("ran: ", 0) == 0 ? line.substr(0, line.rfind(" (")) : line);
  });
  RunMachine machine(w.platform, journal, plan ? RunMode::Plan : RunMode::Logged);
  RemovalContext context(machine.platform(), w.catalogue, w.log, w.macros, w.noted,
                         w.store, EngineWorld::kUninstallDir);
  context.journal = &journal;
  context.recordFiles = &w.platform.files();  // as the program has it: bookkeeping is not journaled
  PlainTree tree;
  tree.add(CheckState::Checked, &w.component("Office"));
  ProgressRecorder progress;
  runUninstall(context, tree, progress);
  return lines;
}

TEST(Plan, ListsEntryByEntryWhatTheRealRunThenDoesAndChangesNothing) {
  EngineWorld planned, real;
  installSuite(planned);
  installSuite(real);
  const auto filesBefore = planned.files.paths();

  const std::vector<std::string> plannedLines = journalOfRun(planned, true);
  const std::vector<std::string> realLines = journalOfRun(real, false);

  EXPECT_EQ(plannedLines, realLines);
  EXPECT_GT(realLines.size(), 20u) << testing::PrintToString(realLines);
  EXPECT_FALSE(real.files.exists(kTarget + std::string("BIN")));  // emptied by earlier steps, then swept
  EXPECT_FALSE(real.registry.hasKey(RegRoot::CurrentUser, "Software\\Corvel\\Office"));
  EXPECT_EQ(planned.files.paths(), filesBefore);
  EXPECT_TRUE(planned.registry.hasKey(RegRoot::CurrentUser, "Software\\Corvel\\Office\\Settings\\Window"));
  EXPECT_EQ(planned.registry.value(RegRoot::LocalMachine, "software\\microsoft\\windows\\currentversion\\shareddlls",
                                   kTarget + std::string("common.dll"))->asDword(), 1u);
  EXPECT_TRUE(planned.system.runs().empty());
  EXPECT_EQ(planned.selectedOnDisk("Office"), "YES");
}

}  // namespace
}  // namespace cvl::test
