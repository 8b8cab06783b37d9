// Logged names that mean one thing to a text comparison and another to
// Windows. Each table row is one spelling of a logged entry aimed at a
// victim the entry must not reach (kept) or may reach (removed); each row
// runs a whole removal of its own.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/engine/engine_world.h"

namespace cvl::test {
namespace {

using namespace platform;
using namespace std::string_literals;

// File and CoreFile log a name in the target; OwnFile logs the install
// log's name under a target spelled as the row says. HelpSide and Script
// put a file of that name beside a logged help file or into the
// uninstaller's folder, where the help system's and the installer's own
// leftovers are searched for. SelfReg logs a self-registering file of the
// target; its "removal" is its unregistration.
enum class Kind { File, CoreFile, OwnFile, HelpSide, Script, SelfReg, Key, Value, Shortcut };

struct Spelling {
  Kind kind;
  std::string logged;
  bool removed;  // whether the victim may go
  std::string journalTail = {};  // a kept line ending this way is expected
};

// One removal of a component that logs a single entry.
class LoggedEntry {
 public:
  explicit LoggedEntry(const Spelling& row) : row_(row) {
    w.addTop({.name = "App", .fileGroups = {"APP_FILES"}, .target = row.kind == Kind::OwnFile ? row.logged : "<TARGETDIR>"});
    // Left unchecked: the run is partial, and no final clean-up follows.
    if (row.kind == Kind::OwnFile) w.addTop({.name = "Other"});
    fixture::FileGroup group{.name = "App_Files"};
    switch (row.kind) {
      case Kind::File:
        group.files = {row.logged};
        w.files.addFile(w.target("app.dll"), "victim");
        break;
      case Kind::CoreFile:
        group.files = {row.logged};
        w.suite.coreFiles = {"kernel32.dll"};
        w.files.addFile(w.target("kernel32.dll"), "victim");
        w.files.addFile(w.target("sub\\kernel32.dll"), "victim");
        break;
      case Kind::OwnFile:
        group.files = {"cvlinst.log"};
        break;
      case Kind::HelpSide:
        group.files = {"guide.hlp"};
        w.files.addFile(w.target("guide.hlp"));
        w.files.addFile(w.target(row.logged), "victim");
        break;
      case Kind::Script:
        w.files.addFile(EngineWorld::kUninstallDir + row.logged, "victim");
        break;
      case Kind::SelfReg:
        group.selfRegister = true;
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
        w.files.addFile(EngineWorld::kUserPrograms + "\\Corvel\\Tool.lnk"s, "victim");
        break;
    }
    w.suite.groups = {group};
  }

  void run() {
    w.load();
    journal = &w.journalLines();
    w.check("App");
    if (row_.kind == Kind::OwnFile) w.check("Other", CheckState::Unchecked);
    ASSERT_TRUE(w.run());
  }

  bool victimGone() {
    switch (row_.kind) {
      case Kind::File: return !w.exists("app.dll");
      case Kind::CoreFile: return !w.exists("kernel32.dll") || !w.exists("sub\\kernel32.dll");
      case Kind::HelpSide: return !w.exists(row_.logged);
      case Kind::SelfReg: return !w.system.runs().empty();
      case Kind::Script: return !w.files.exists(EngineWorld::kUninstallDir + row_.logged);
      case Kind::OwnFile: return !w.files.exists(EngineWorld::kUninstallDir + "cvlinst.log"s);
      case Kind::Key: return !w.registry.hasKey(RegRoot::LocalMachine, "Software\\Corvel\\App");
      case Kind::Value: return !w.registry.value(RegRoot::LocalMachine, "Software\\Shared", "Setting");
      case Kind::Shortcut: return !w.files.exists(EngineWorld::kUserPrograms + "\\Corvel\\Tool.lnk"s);
    }
    return false;
  }

  bool journalHasKeptLineEndingIn(const std::string& tail) const {
    return std::any_of(journal->begin(), journal->end(), [&](const std::string& line) {
      return line.rfind("kept ", 0) == 0 && line.size() >= tail.size() &&
             line.compare(line.size() - tail.size(), tail.size(), tail) == 0;
    });
  }

  // Whether the run looked at the logged name as a file of the target at all.
  bool lookedAt(const std::string& logged) const {
    const std::string path = "file: " + w.target(logged) + " (";
    return std::any_of(journal->begin(), journal->end(),
                       [&](const std::string& line) { return line.find(path) != std::string::npos; });
  }

  EngineWorld w;
  const Lines* journal = nullptr;

 private:
  Spelling row_;
};

std::string shown(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\0' ? "\\0"s : std::string(1, c);
  return out;
}

void expectOutcomes(const std::vector<Spelling>& table) {
  for (const Spelling& row : table) {
    LoggedEntry entry(row);
    entry.run();
    EXPECT_EQ(entry.victimGone(), row.removed) << shown(row.logged);
    if (!row.journalTail.empty()) {
      EXPECT_TRUE(entry.journalHasKeptLineEndingIn(row.journalTail)) << shown(row.logged);
    }
  }
}

// Windows reads a name only up to its first zero byte.
TEST(HostileNames, AZeroByteInsideALoggedNameKeepsTheEntry) {
  expectOutcomes({
      {Kind::File, "app.dll", true},
      {Kind::File, "app.dll\0.txt"s, false, "(damaged name)"},
      {Kind::Key, "HKLM\\Software\\Corvel\\App", true},
      {Kind::Key, "HKLM\\Software\\Corvel\\App\0\\Software\\Corvel"s, false, "(damaged name)"},
      {Kind::Value, "Setting=1", true},
      {Kind::Value, "Setting\0x=1"s, false, "(damaged name)"},
      {Kind::Shortcut, "Tool", true},
      {Kind::Shortcut, "Tool.lnk\0x"s, false, "(damaged name)"},
  });
}

// The core-file test compares the name Windows resolves, and a name that
// cannot be a file of its own is not looked at.
TEST(HostileNames, CoreFilesAreKnownHoweverTheLoggedNameIsSpelled) {
  expectOutcomes({
      {Kind::CoreFile, "KERNEL32.DLL", false, "(core file)"},
      {Kind::CoreFile, "KERNEL32.DLL.", false, "(core file)"},
      {Kind::CoreFile, "kernel32.dll ", false, "(core file)"},
      {Kind::CoreFile, "kernel32.dll. .", false, "(core file)"},
      {Kind::CoreFile, "./KERNEL32.DLL", false, "(core file)"},
      {Kind::CoreFile, "sub/KERNEL32.DLL", false, "(core file)"},
      {Kind::CoreFile, "sub\\.\\kernel32.dll", false, "(core file)"},
      {Kind::File, "app.dll. ", true},
  });
  for (const std::string logged : {"", ".", "CON", "nul.txt", "Aux .log", "COM1", "lpt9.dat", "sub\\PRN"}) {
    LoggedEntry entry({Kind::File, logged, false});
    entry.run();
    EXPECT_FALSE(entry.lookedAt(logged)) << logged;
    EXPECT_FALSE(entry.victimGone()) << logged;
  }
}

// Device prefixes are no target; a share or another slash still names the
// uninstaller's own folder.
TEST(HostileNames, TheUninstallersOwnFilesAreKnownByWhatTheyAre) {
  expectOutcomes({
      {Kind::OwnFile, "C:\\Program Files\\Corvel\\Uninstall", false, "(the uninstaller's own file)"},
      {Kind::OwnFile, "\\\\?\\C:\\Program Files\\Corvel\\Uninstall", false},
      {Kind::OwnFile, "\\\\.\\C:\\Program Files\\Corvel\\Uninstall", false},
      {Kind::OwnFile, "\\\\localhost\\C$\\Program Files\\Corvel\\Uninstall", false,
       "(the uninstaller's own file)"},
      {Kind::OwnFile, "C:/Program Files/Corvel/./Uninstall", false, "(the uninstaller's own file)"},
  });
}

// A search finds long names through their short names too.
TEST(HostileNames, SearchesTakeOnlyLongNamesThatMatch) {
  expectOutcomes({
      {Kind::HelpSide, "guide.gid", true},
      {Kind::HelpSide, "Guide.FTS", true},
      {Kind::HelpSide, "notes.gidx", false},
      {Kind::HelpSide, "index.chw2", false},
      {Kind::Script, "deis1.isu", true},
      {Kind::Script, "deisconfig.isux", false},
  });
}

// Phase 1 unregisters only what phase 2 deletes.
TEST(HostileNames, OnlyFilesThatGoAreUnregistered) {
  expectOutcomes({
      {Kind::SelfReg, "plain.dll", true},
      {Kind::SelfReg, "system.dll", false},
      {Kind::SelfReg, "Uninstall\\cvlpsapi.dll", false},
  });
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
    EXPECT_TRUE(std::any_of(journal.begin(), journal.end(), [&](const std::string& line) {
      return equalsNoCase(line.substr(0, kept.size()), kept);
    })) << link;
  }
}

}  // namespace
}  // namespace cvl::test
