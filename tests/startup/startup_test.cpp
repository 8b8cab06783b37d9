// Start-up against an in-memory Windows: switches and the run's log, the
// configuration chain with each of its failures, path macros and the
// suite's programs.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>

#include "platform/memory/memory_platform.h"
#include "tests/support/installation/installation.h"
#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/startup/command_line.h"
#include "uninstaller/startup/log_switches.h"
#include "uninstaller/startup/startup_sequence.h"
#include "uninstaller/store/config_store.h"

namespace cvl {
namespace {

using platform::RegRoot;

TEST(CommandLine, SwitchesAnywhereInAnyCaseInsideLongerWords) {
  struct Case { const char* line; bool help, silent, showErrors, showProgress; };
  // A longer word holding a switch counts; without /SILENT, /SHOWERRORS changes nothing.
  const Case cases[] = {{"\"C:\\Corvel\\Cvlunst2.exe\"", false, false, true, true},
                        {"cvlunst2.exe /silent uninstallall", false, true, false, false},
                        {"cvlunst2.exe /Silent /ShowProgressBar", false, true, false, true},
                        {"cvlunst2.exe /SHOWERRORS", false, false, true, true},
                        {"cvlunst2.exe /?", true, false, true, true}};
  for (const Case& c : cases) {
    const StartupFlags flags = parseCommandLine(c.line, "C:\\Corvel\\Cvlunst2.exe").flags;
    EXPECT_EQ(std::vector<bool>({flags.help, flags.silent, flags.showErrors, flags.showProgress}),
              std::vector<bool>({c.help, c.silent, c.showErrors, c.showProgress}))
        << c.line;
  }
}

// Whatever the program's folder is called and however the line names the
// program, only the arguments reach the switches and the display texts.
TEST(CommandLine, TheProgramsOwnNameIsNeverMatched) {
  const std::vector<std::string> paths = {"C:\\Tools\\Corvel Viewer\\Cvlunst2.exe",
                                          "C:\\Program Files\\Common Files\\Corvel\\Cvlunst2.exe",
                                          "C:\\Setup /Silent\\UNINSTALLALL /?\\Cvlunst2.exe"};
  const std::vector<std::string> argumentLists = {"", " /SILENT", " \"Corvel Sheets\" /ShowProgress",
                                                  "\t/silent uninstallall", "  /?", " \"corvel viewer\""};
  for (const std::string& path : paths) {
    std::string lower = path;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // As given, in other letter case, and under names other than the path
    // the system reports (a short name, a bare program name).
    const std::vector<std::string> programs = {path, "\"" + path + "\"", lower, "\"" + lower + "\"",
                                               "\"C:\\Tools\\Corvel Viewer\\CVLUNS~1.EXE\"",
                                               "C:\\PROGRA~1\\CORVEL~1\\CVLUNS~1.EXE", "Cvlunst2"};
    for (const std::string& program : programs) {
      for (const std::string& arguments : argumentLists) {
        const CommandLine parsed = parseCommandLine(program + arguments, path);
        EXPECT_EQ(parsed.arguments, platform::upper(arguments)) << program << arguments;
        EXPECT_EQ(parsed.flags.silent, hasSwitch(arguments, "/SILENT")) << program << arguments;
        EXPECT_EQ(parsed.flags.help, hasSwitch(arguments, "/?")) << program << arguments;
      }
    }
  }
}

TEST(CommandLine, HasSwitchIgnoresCaseOnBothSides) {
  EXPECT_TRUE(hasSwitch("cvlunst2.exe corvel writer", "Corvel Writer"));
  EXPECT_TRUE(hasSwitch("cvlunst2.exe \"XCORVEL WRITERS\"", "corvel writer"));
  EXPECT_FALSE(hasSwitch("cvlunst2.exe corvel  writer", "Corvel Writer"));
}

// "/LOG=" and "/PLAN": the file name is kept as typed and takes part in no
// other matching.
TEST(LogSwitches, TheFileNameIsTakenAsTypedAndCountsAsNothingElse) {
  struct Case { const char* line; const char* logPath; bool plan, invalid; };
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

const std::string kStorePath = "C:\\Suite\\Uninstall\\cvlinst.dat", kLogPath = "C:\\Suite\\Uninstall\\cvlinst.log";
const std::string kPathsKey = "software\\corvel\\uninstall\\paths";

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() { prepare(machine); }

  void prepare(platform::MemoryPlatform& on) {
    on.system().setSpecialFolder(platform::csidl::kPrograms, "C:\\Users\\Tester\\Programs");
    on.system().setSpecialFolder(platform::csidl::kCommonPrograms, "C:\\All Users\\Programs");
    on.system().setModulePath("C:\\Suite\\Uninstall\\Cvlunst2.exe");
    fixture::install(on, suite);
  }
  // Start-up on a machine of its own, with a store and catalogue of its own.
  static StartupError startOn(platform::MemoryPlatform& on, StartupState& started) {
    CConfigStore ownStore;
    Catalogue ownCatalogue;
    return runStartup(on, ownStore, ownCatalogue, started);
  }

  fixture::Installation suite = fixture::sampleSuite("C:\\Suite", "C:\\Users\\Tester\\Programs");
  platform::MemoryPlatform machine;
  CConfigStore store;
  Catalogue catalogue;
  StartupState state;
};

TEST_F(StartupTest, ASoundInstallationLoadsEverything) {
  ASSERT_EQ(runStartup(machine, store, catalogue, state), StartupError::None);
  EXPECT_EQ(state.uninstallDir, "C:\\Suite\\Uninstall\\");
  EXPECT_EQ(state.logPath, kLogPath);
  EXPECT_EQ(state.processLibraryPath, "C:\\Suite\\Uninstall\\cvlpsapi.dll");
  EXPECT_EQ(catalogue.topComponents, (std::vector<std::string>{"OFFICE", "VIEWER", "FONTS"}));
  EXPECT_EQ(state.log.groups().size(), suite.groups.size());
  EXPECT_EQ(state.pathMacros.at("<TARGETDIR>"), "C:\\Suite\\Corvel") << "spelled as stored";
  EXPECT_EQ(state.pathMacros.at("<FOLDER_PROGRAMS>"), "C:\\Users\\Tester\\Programs") << "as the shell gives it";
  EXPECT_EQ(state.pathMacros.at("<COMMON_FOLDER_PROGRAMS>"), "C:\\All Users\\Programs");
  EXPECT_EQ(state.suitePrograms, (std::set<std::string>{"SHEETS.EXE", "VIEWER.EXE", "WRITER.EXE"}));
}

// Each broken part stops start-up with its error. The steps read the store,
// the log, then the paths key: the first failing one is reported, nothing
// half-read is kept, and nothing from the steps after it is read. A foreign
// or newer log would load empty and a full removal would remove nothing but
// the uninstaller's own records. Without its registry entry the store is
// looked for in the program's own directory.
TEST_F(StartupTest, ABrokenPartIsReportedAndNothingAfterItIsRead) {
  using platform::MemoryPlatform;
  using Break = std::function<void(MemoryPlatform&)>;
  using Change = std::function<void(std::string&)>;
  auto remove = [](std::string path) -> Break { return [=](MemoryPlatform& m) { (void)m.files().deleteFile(path); }; };
  auto edit = [](std::string path, Change change) -> Break {
    return [=](MemoryPlatform& m) {
      std::string bytes = *m.files().content(path);
      change(bytes);
      m.files().addFile(path, bytes);
    };
  };
  auto cutTo = [](double part) -> Change { return [=](std::string& bytes) { bytes.resize(bytes.size() * part); }; };
  // The log's header is a length byte and 30 characters; the version follows it.
  auto setByte = [](size_t at, char value) -> Change { return [=](std::string& bytes) { bytes[at] = value; }; };
  const Break noPathsKey = [](MemoryPlatform& m) { (void)m.registry().deleteKey(RegRoot::LocalMachine, kPathsKey); };
  const Break noTopComponents = [this](MemoryPlatform& m) {
    fixture::Installation noTop = suite;
    noTop.topSection = false;
    fixture::writeStore(m, noTop);
  };
  const Break noStoreDirectory = [](MemoryPlatform& m) {
    platform::RegKeyPtr key;
    ASSERT_EQ(m.registry().openKey(RegRoot::LocalMachine, "software\\corvel\\uninstall\\cdf", platform::access::kAllAccess,
                                   key),
              platform::kSuccess);
    ASSERT_EQ(key->deleteValue(""), platform::kSuccess);
  };
  const std::string foreignLog = std::string("\x0b", 1) + "Other Log!!" + std::string(8, '\0');
  using E = StartupError;
  struct Case {
    const char* what;
    std::vector<Break> breaks;
    StartupError error;
  };
  const Case cases[] = {
      {"no store", {remove(kStorePath)}, E::ConfigurationFile},
      {"store cut to 200 bytes", {edit(kStorePath, [](std::string& b) { b.resize(200); })}, E::ConfigurationFile},
      {"store cut in half", {edit(kStorePath, cutTo(0.5))}, E::ConfigurationFile},
      {"store without top components", {noTopComponents}, E::ConfigurationFile},
      {"no log", {remove(kLogPath)}, E::ConfigurationFile},
      {"log cut in half", {edit(kLogPath, cutTo(0.5))}, E::ConfigurationFile},
      {"log cut to a third and no paths key", {edit(kLogPath, cutTo(1.0 / 3)), noPathsKey}, E::ConfigurationFile},
      {"a foreign log", {edit(kLogPath, [&](std::string& b) { b = foreignLog; })}, E::ConfigurationFile},
      {"a log header in other case", {edit(kLogPath, setByte(1, 'c'))}, E::ConfigurationFile},
      {"a newer log", {edit(kLogPath, setByte(31, 2))}, E::ConfigurationFile},
      {"an older log", {edit(kLogPath, setByte(31, 0))}, E::None},
      {"no paths key", {noPathsKey}, E::ConfigurationSettings},
      {"no store directory entry", {noStoreDirectory}, E::None},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryPlatform broken;
    prepare(broken);
    for (const Break& breakIt : c.breaks) breakIt(broken);
    StartupState started;
    EXPECT_EQ(startOn(broken, started), c.error);
    EXPECT_EQ(started.log.groups().empty(), c.error == StartupError::ConfigurationFile);
    EXPECT_EQ(started.pathMacros.empty(), c.error != StartupError::None);
    if (c.error == StartupError::None) {
      EXPECT_EQ(started.uninstallDir, "C:\\Suite\\Uninstall\\");
    }
  }
}

TEST_F(StartupTest, AnUnknownProgramsFolderIsError16ButTheCommonOneIsOptional) {
  platform::MemoryPlatform onlyPrograms, without;
  for (platform::MemoryPlatform* m : {&onlyPrograms, &without}) fixture::install(*m, suite);
  onlyPrograms.system().setSpecialFolder(platform::csidl::kPrograms, "C:\\P");
  EXPECT_EQ(startOn(onlyPrograms, state), StartupError::None);
  EXPECT_EQ(state.pathMacros.count("<COMMON_FOLDER_PROGRAMS>"), 0u);
  StartupState withoutState;
  EXPECT_EQ(startOn(without, withoutState), StartupError::WindowsSettings);
}

// Of two equal names either may win, but only one is kept.
TEST(PathMacros, NamesAreBracketedOnceAndUpperCasedAndValuesKeepTheirSpelling) {
  platform::MemoryPlatform machine;
  auto& registry = machine.registry();
  registry.seedValue(RegRoot::LocalMachine, kPathsKey, "targetdir", platform::RegValue::string("c:\\corvel"));
  registry.seedValue(RegRoot::LocalMachine, kPathsKey, "<open", platform::RegValue::string("a"));
  registry.seedValue(RegRoot::LocalMachine, kPathsKey, "close>", platform::RegValue::string("b"));
  registry.seedValue(RegRoot::LocalMachine, kPathsKey, "<Both>", platform::RegValue::string("c"));
  registry.seedValue(RegRoot::LocalMachine, kPathsKey, "Number", platform::RegValue::dword(0x41));
  registry.seedValue(RegRoot::LocalMachine, kPathsKey, "<X>", platform::RegValue::string("first"));
  registry.seedValue(RegRoot::LocalMachine, kPathsKey, "X", platform::RegValue::string("second"));
  PathMacros macros;
  ASSERT_TRUE(loadPathMacros(registry, macros));
  EXPECT_EQ(macros.at("<TARGETDIR>"), "c:\\corvel");
  EXPECT_EQ(macros.at("<OPEN"), "a") << "a half-bracketed name is kept as it is";
  EXPECT_EQ(macros.at("CLOSE>"), "b");
  EXPECT_EQ(macros.at("<BOTH>"), "c");
  EXPECT_EQ(macros.at("<NUMBER>"), "A") << "the type is not looked at";
  EXPECT_TRUE(macros.at("<X>") == "first" || macros.at("<X>") == "second");
  EXPECT_EQ(macros.size(), 6u);
}

TEST(RunningSuitePrograms, MatchFileNamesOnlyAndKeepEveryCopy) {
  std::set<std::string> suite{"WRITER.EXE", "VIEWER.EXE"};
  std::vector<std::string> running{"C:\\SUITE\\WRITER.EXE", "", "C:\\WINDOWS\\EXPLORER.EXE",
                                   "D:\\OTHER\\WRITER.EXE", "C:\\SUITE\\WRITER.EXE.BAK", "VIEWER.EXE"};
  EXPECT_EQ(matchRunningSuitePrograms(running, suite),
            (std::vector<std::string>{"WRITER.EXE", "WRITER.EXE", "VIEWER.EXE"}));
}

}  // namespace
}  // namespace cvl
