// Logged names that mean one thing to a text comparison and another to
// Windows. Each table row is one spelling of a logged entry aimed at a
// victim the entry must not reach (kept) or may reach (removed); each row
// runs a whole removal of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "tests/engine/engine_world.h"
#include "uninstaller/engine/record/run_mode.h"

namespace cvl::test {
namespace {

using namespace platform;
using namespace std::string_literals;

// File and CoreFile log a name in the target; OwnFile logs the install
// log's name under a target spelled as the row says; OwnName logs the name
// in the uninstaller's folder, where the log and a long-named program lie. HelpSide and Script
// put a file of that name beside a logged help file or into the
// uninstaller's folder, where the help system's and the installer's own
// leftovers are searched for. SelfReg logs a self-registering file of the
// target; its "removal" is its unregistration.
enum class Kind { File, CoreFile, OwnFile, OwnName, HelpSide, Script, SelfReg, Key, Value, Shortcut };

struct Spelling {
  Kind kind;
  std::string logged;
  bool removed;  // whether the victim may go
  std::string journalTail = {};  // a kept line ending this way is expected
  bool unseen = false;           // not even looked at as a file of the target
};

bool anyLine(const Lines& journal, const std::function<bool(const std::string&)>& holds) {
  return std::any_of(journal.begin(), journal.end(), holds);
}

// One removal of a component that logs a single entry.
void removeLoggedEntry(const Spelling& row) {
  EngineWorld w;
  const bool own = row.kind == Kind::OwnFile || row.kind == Kind::OwnName;
  const std::string ownTarget = row.kind == Kind::OwnFile ? row.logged : EngineWorld::kUninstallDir;
  w.addTop({.name = "App", .fileGroups = {"APP_FILES"}, .target = own ? ownTarget : "<TARGETDIR>"});
  if (own) w.addTop({.name = "Other"});  // left unchecked: the run is partial, and no final clean-up follows
  fixture::FileGroup group{.name = "App_Files", .selfRegister = row.kind == Kind::SelfReg};
  Lines victims;  // files the entry must not reach, or may
  switch (row.kind) {
    case Kind::File:
      group.files = {row.logged};
      victims = {w.target("app.dll")};
      break;
    case Kind::CoreFile:
      group.files = {row.logged};
      w.suite.coreFiles = {"kernel32.dll"};
      victims = {w.target("kernel32.dll"), w.target("sub\\kernel32.dll")};
      break;
    case Kind::OwnFile:
      group.files = {"cvlinst.log"};
      victims = {EngineWorld::kUninstallDir + "cvlinst.log"s};
      break;
    case Kind::OwnName:
      group.files = {row.logged};
      w.system.setModulePath(EngineWorld::kUninstallDir + "Corvel Remover.exe"s);
      victims = {EngineWorld::kUninstallDir + "cvlinst.log"s, w.system.modulePath()};
      break;
    case Kind::HelpSide:
      group.files = {"guide.hlp"};
      w.files.addFile(w.target("guide.hlp"));
      victims = {w.target(row.logged)};
      break;
    case Kind::Script:
      victims = {EngineWorld::kUninstallDir + row.logged};
      break;
    case Kind::SelfReg:
      group.files = {row.logged};
      w.files.addFile(w.target("plain.dll"));
      w.files.addFile(w.target("system.dll"), "", attr::kSystem);
      w.files.addFile(EngineWorld::kUninstallDir + "cvlpsapi.dll"s);
      break;
    case Kind::Key:
      group.registry = {{row.logged, {}}};
      w.suite.unloggedKeys = {{"HKLM\\Software\\Corvel\\App", {"Setting=victim"}},
                              {"HKLM\\Software\\Corvel\\App\\Child", {}}};
      break;
    case Kind::Value:
      group.registry = {{"HKLM\\Software\\Shared", {row.logged}}};
      w.suite.unloggedKeys = {{"HKLM\\Software\\Shared", {"Setting=victim"}}};
      break;
    case Kind::Shortcut:
      group.missingShortcuts = {"<FOLDER_PROGRAMS>\\Corvel\\T"};
      w.suite.dataStrings = {{"T", row.logged}};
      victims = {EngineWorld::kUserPrograms + "\\Corvel\\Tool.lnk"s};
      break;
  }
  w.suite.groups = {group};
  for (const std::string& victim : victims) w.files.addFile(victim, "victim");
  w.load();
  const Lines& journal = w.journalLines();
  w.check("App");
  if (own) w.check("Other", CheckState::Unchecked);
  EXPECT_TRUE(w.run());
  bool victimGone = false;
  switch (row.kind) {
    case Kind::SelfReg: victimGone = !w.system.runs().empty(); break;
    case Kind::Key: victimGone = !w.registry.hasKey(RegRoot::LocalMachine, "Software\\Corvel\\App"); break;
    case Kind::Value: victimGone = !w.registry.value(RegRoot::LocalMachine, "Software\\Shared", "Setting"); break;
    default: victimGone = std::any_of(victims.begin(), victims.end(), [&](auto& v) { return !w.files.exists(v); });
  }
  EXPECT_EQ(victimGone, row.removed);
  const std::string& tail = row.journalTail;
  EXPECT_TRUE(tail.empty() ||
              anyLine(journal, [&](auto& line) { return line.starts_with("kept ") && line.ends_with(tail); }));
  // Whether the run looked at the logged name as a file of the target at all.
  const std::string path = "file: " + EngineWorld::target(row.logged) + " (";
  EXPECT_FALSE(row.unseen && anyLine(journal, [&](auto& line) { return line.find(path) != std::string::npos; }));
}

TEST(HostileNames, EachLoggedEntryReachesOnlyWhatItNamesToWindows) {
  std::vector<Spelling> table = {
      // Windows reads a name only up to its first zero byte.
      {Kind::File, "app.dll", true},
      {Kind::File, "app.dll\0.txt"s, false, "(damaged name)"},
      {Kind::Key, "HKLM\\Software\\Corvel\\App", true},
      {Kind::Key, "HKLM\\Software\\Corvel\\App\0\\Software\\Corvel"s, false, "(damaged name)"},
      {Kind::Value, "Setting=1", true},
      {Kind::Value, "Setting\0x=1"s, false, "(damaged name)"},
      {Kind::Shortcut, "Tool", true},
      {Kind::Shortcut, "Tool.lnk\0x"s, false, "(damaged name)"},
      {Kind::File, "app.dll. ", true},
      // Device prefixes are no target; a share or another slash still names
      // the uninstaller's own folder.
      {Kind::OwnFile, "C:\\Program Files\\Corvel\\Uninstall", false, "(the uninstaller's own file)"},
      {Kind::OwnFile, "\\\\?\\C:\\Program Files\\Corvel\\Uninstall", false},
      {Kind::OwnFile, "\\\\.\\C:\\Program Files\\Corvel\\Uninstall", false},
      {Kind::OwnFile, "\\\\localhost\\C$\\Program Files\\Corvel\\Uninstall", false, "(the uninstaller's own file)"},
      {Kind::OwnFile, "C:/Program Files/Corvel/./Uninstall", false, "(the uninstaller's own file)"},
      // Told apart by name before identity: every spelling of an own name still counts.
      {Kind::OwnName, "CVLINST.LOG. ", false, "(the uninstaller's own file)"},
      {Kind::OwnName, "CORVEL~1.EXE", false, "(the uninstaller's own file)"},
      {Kind::OwnName, "corvel remover.EXE", false, "(the uninstaller's own file)"},
      // A search finds long names through their short names too.
      {Kind::HelpSide, "guide.gid", true},
      {Kind::HelpSide, "Guide.FTS", true},
      {Kind::HelpSide, "notes.gidx", false},
      {Kind::HelpSide, "index.chw2", false},
      {Kind::Script, "deis1.isu", true},
      {Kind::Script, "deisconfig.isux", false},
      // Phase 1 unregisters only what phase 2 deletes.
      {Kind::SelfReg, "plain.dll", true},
      {Kind::SelfReg, "system.dll", false},
      {Kind::SelfReg, "Uninstall\\cvlpsapi.dll", false},
  };
  // The core-file test compares the name Windows resolves, and a name that
  // cannot be a file of its own is not looked at.
  for (const char* core : {"KERNEL32.DLL", "KERNEL32.DLL.", "kernel32.dll ", "kernel32.dll. .", "./KERNEL32.DLL",
                           "sub/KERNEL32.DLL", "sub\\.\\kernel32.dll"}) {
    table.push_back({Kind::CoreFile, core, false, "(core file)"});
  }
  for (const char* device : {"", ".", "CON", "nul.txt", "Aux .log", "COM1", "lpt9.dat", "sub\\PRN"}) {
    table.push_back({Kind::File, device, false, "", true});
  }
  for (const Spelling& row : table) {
    SCOPED_TRACE(testing::PrintToString(row.logged));
    removeLoggedEntry(row);
  }
}

// The user may plant registry links in the user's own hive, where the twin
// of every machine key is removed too: in the twin of a logged key, as the
// twin itself, or on the way to the twin of a key whose values are logged.
// Each link would lead into another vendor's key.
TEST(HostileNames, ALinkPlantedInTheUsersHiveLeadsTheRemovalNowhere) {
  EngineWorld w;
  w.addTop({.name = "App", .fileGroups = {"APP_FILES"}});
  w.suite.groups = {{.name = "App_Files",
                     .registry = {{"HKLM\\Software\\Corvel\\App", {}},
                                  {"HKLM\\Software\\Corvel\\Viewer", {}},
                                  {"HKLM\\Software\\Shared\\Inner", {"Setting=1"}}}}};
  const std::string otherVendor = "Software\\OtherVendor";
  for (const char* key : {"Software\\Corvel\\App", "Software\\Corvel\\Viewer\\Sub", "Software\\Shared\\Inner"}) {
    w.suite.unloggedKeys.push_back({"HKLM\\"s + key, {"Setting=ours"}});
  }
  for (const std::string& key : {otherVendor, otherVendor + "\\Inner"}) {
    w.suite.unloggedKeys.push_back({"HKLM\\" + key, {"Setting=theirs"}});
  }
  const Lines links = {"Software\\Corvel\\App", "Software\\Corvel\\Viewer\\Planted", "Software\\Shared"};
  for (const std::string& link : links) {
    w.registry.seedLink(RegRoot::CurrentUser, link, "\\REGISTRY\\MACHINE\\" + otherVendor);
  }
  w.load();
  const Lines& journal = w.journalLines();
  w.check("App");

  ASSERT_TRUE(w.run());

  for (const std::string& key : {otherVendor, otherVendor + "\\Inner"}) {
    EXPECT_EQ(w.registry.value(RegRoot::LocalMachine, key, "Setting").value_or(RegValue{}).asString(), "theirs");
  }
  EXPECT_FALSE(w.registry.hasKey(RegRoot::LocalMachine, "Software\\Corvel"));
  EXPECT_FALSE(w.registry.value(RegRoot::LocalMachine, "Software\\Shared\\Inner", "Setting"));
  for (const std::string& link : links) {
    EXPECT_TRUE(w.registry.value(RegRoot::CurrentUser, link, "SymbolicLinkValue")) << link;
    const std::string kept = "kept key: HKCU\\" + link + " (registry link";
    EXPECT_TRUE(anyLine(journal, [&](auto& line) { return equalsNoCase(line.substr(0, kept.size()), kept); })) << link;
  }
}

// A slash is part of a key's name to the registry: what a plan deleted
// below "Vendor\App" says nothing about the subkeys of "Vendor/App".
TEST(HostileNames, APlanReadsASlashInAKeyNameAsTheRunDoes) {
  const auto journalOf = [](RunMode mode) {
    EngineWorld w;
    w.addTop({.name = "App", .fileGroups = {"APP_FILES"}});
    w.addTop({.name = "Other"});  // left unchecked: no final clean-up
    const fixture::RegistryKey nested{"HKCU\\Software\\Corvel\\Vendor\\App\\Settings", {"Theme=1"}};
    const fixture::RegistryKey slashed{"HKCU\\Software\\Corvel\\Vendor/App", {"Path=1"}};
    w.suite.groups = {{.name = "App_Files", .registry = {nested, slashed}}};
    w.suite.unloggedKeys = {nested, slashed, {"HKCU\\Software\\Corvel\\Vendor/App\\Data", {"Size=1"}}};
    w.load();
    w.check("App");
    w.check("Other", CheckState::Unchecked);
    Lines lines;
    RemovalJournal journal;
    journal.attach([&](const std::string& line) { lines.push_back(line); });
    RunMachine machine(w.platform, journal, mode);
    RemovalContext context = w.installation.removalContext(machine.platform());
    context.journal = &journal;
    runUninstall(context, w.tree, w.progress);
    return lines;
  };
  const Lines ran = journalOf(RunMode::Logged);
  EXPECT_TRUE(anyLine(ran, [](const std::string& line) { return line.ends_with("Vendor/App\\Data"); }));
  EXPECT_EQ(journalOf(RunMode::Plan), ran);
}

}  // namespace
}  // namespace cvl::test
