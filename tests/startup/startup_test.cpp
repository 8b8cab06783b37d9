// Start-up against an in-memory Windows: switches, the configuration chain
// with each of its failures, path macros and the suite's programs.
#include <gtest/gtest.h>

#include <cctype>

#include "platform/memory/memory_platform.h"
#include "tests/support/installation/installation.h"
#include "uninstaller/catalogue/catalogue.h"
#include "uninstaller/startup/command_line.h"
#include "uninstaller/startup/startup_sequence.h"
#include "uninstaller/store/config_store.h"

namespace cvl {
namespace {

using platform::RegRoot;

StartupFlags flagsOf(const std::string& line) { return parseCommandLine(line, "C:\\Corvel\\Cvlunst2.exe").flags; }

TEST(CommandLine, SwitchesAnywhereInAnyCaseInsideLongerWords) {
  StartupFlags plain = flagsOf("\"C:\\Corvel\\Cvlunst2.exe\"");
  EXPECT_FALSE(plain.silent);
  EXPECT_TRUE(plain.showErrors);
  EXPECT_TRUE(plain.showProgress);
  EXPECT_FALSE(plain.help);

  StartupFlags silent = flagsOf("cvlunst2.exe /silent uninstallall");
  EXPECT_TRUE(silent.silent);
  EXPECT_FALSE(silent.showErrors);
  EXPECT_FALSE(silent.showProgress);

  StartupFlags progress = flagsOf("cvlunst2.exe /Silent /ShowProgressBar");
  EXPECT_TRUE(progress.showProgress) << "a longer word holding the switch counts";
  EXPECT_FALSE(progress.showErrors);

  StartupFlags errors = flagsOf("cvlunst2.exe /SHOWERRORS");
  EXPECT_FALSE(errors.silent);
  EXPECT_TRUE(errors.showErrors && errors.showProgress) << "without /SILENT it changes nothing";
  EXPECT_TRUE(flagsOf("cvlunst2.exe /?").help);
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

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() : suite(fixture::sampleSuite("C:\\Suite", "C:\\Users\\Tester\\Programs")) {
    system().setSpecialFolder(platform::csidl::kPrograms, "C:\\Users\\Tester\\Programs");
    system().setSpecialFolder(platform::csidl::kCommonPrograms, "C:\\All Users\\Programs");
    system().setModulePath("C:\\Suite\\Uninstall\\Cvlunst2.exe");
  }
  platform::MemorySystem& system() { return machine.system(); }

  StartupError start() {
    if (!installed) fixture::install(machine, suite);
    installed = true;
    return runStartup(machine, store, catalogue, state);
  }
  void installNow() {
    fixture::install(machine, suite);
    installed = true;
  }
  void truncate(const std::string& path, size_t keep) {
    std::string content = *machine.files().content(path);
    machine.files().deleteFile(path);
    machine.files().addFile(path, content.substr(0, keep));
  }

  platform::MemoryPlatform machine;
  fixture::Installation suite;
  bool installed = false;
  CConfigStore store;
  Catalogue catalogue;
  StartupState state;
};

TEST_F(StartupTest, ASoundInstallationLoadsEverything) {
  ASSERT_EQ(start(), StartupError::None);
  EXPECT_EQ(state.uninstallDir, "C:\\Suite\\Uninstall\\");
  EXPECT_EQ(state.logPath, "C:\\Suite\\Uninstall\\cvlinst.log");
  EXPECT_EQ(state.processLibraryPath, "C:\\Suite\\Uninstall\\cvlpsapi.dll");
  EXPECT_EQ(catalogue.topComponents, (std::vector<std::string>{"OFFICE", "VIEWER", "FONTS"}));
  EXPECT_EQ(state.log.groups().size(), suite.groups.size());
  EXPECT_EQ(state.pathMacros.at("<TARGETDIR>"), "C:\\Suite\\Corvel") << "spelled as stored";
  EXPECT_EQ(state.pathMacros.at("<FOLDER_PROGRAMS>"), "C:\\Users\\Tester\\Programs") << "as the shell gives it";
  EXPECT_EQ(state.pathMacros.at("<COMMON_FOLDER_PROGRAMS>"), "C:\\All Users\\Programs");
  EXPECT_EQ(state.suitePrograms, (std::set<std::string>{"SHEETS.EXE", "VIEWER.EXE", "WRITER.EXE"}));
}

TEST_F(StartupTest, TheStoreDirectoryFallsBackToTheProgramsOwn) {
  installNow();
  platform::RegKeyPtr key;
  machine.registry().openKey(RegRoot::LocalMachine, "software\\corvel\\uninstall\\cdf", platform::access::kAllAccess,
                             key);
  key->deleteValue("");
  ASSERT_EQ(start(), StartupError::None);
  EXPECT_EQ(state.uninstallDir, "C:\\Suite\\Uninstall\\");
}

TEST_F(StartupTest, ConfigurationFailuresAreError14) {
  installNow();
  machine.files().deleteFile("C:\\Suite\\Uninstall\\cvlinst.dat");
  EXPECT_EQ(start(), StartupError::ConfigurationFile);
}

TEST_F(StartupTest, ATruncatedStoreIsError14) {
  installNow();
  truncate("C:\\Suite\\Uninstall\\cvlinst.dat", 200);
  EXPECT_EQ(start(), StartupError::ConfigurationFile);
}

TEST_F(StartupTest, AStoreWithoutTopComponentsIsError14) {
  suite.topSection = false;
  EXPECT_EQ(start(), StartupError::ConfigurationFile);
}

TEST_F(StartupTest, AMissingOrTruncatedLogIsError14) {
  installNow();
  std::string log = *machine.files().content("C:\\Suite\\Uninstall\\cvlinst.log");
  machine.files().deleteFile("C:\\Suite\\Uninstall\\cvlinst.log");
  EXPECT_EQ(start(), StartupError::ConfigurationFile);

  CConfigStore freshStore;
  Catalogue freshCatalogue;
  StartupState freshState;
  machine.files().addFile("C:\\Suite\\Uninstall\\cvlinst.log", log.substr(0, log.size() / 2));
  EXPECT_EQ(runStartup(machine, freshStore, freshCatalogue, freshState), StartupError::ConfigurationFile);
  EXPECT_TRUE(freshState.log.groups().empty()) << "nothing half-read is kept";
}

// Several faults at once: the first in the order of the steps is reported,
// and nothing from the steps after it is kept.
TEST_F(StartupTest, TheFirstFailingStepIsReportedWhenSeveralFail) {
  installNow();
  const std::string logPath = "C:\\Suite\\Uninstall\\cvlinst.log";
  const std::string log = *machine.files().content(logPath);
  truncate(logPath, log.size() / 3);
  machine.registry().deleteKey(RegRoot::LocalMachine, "software\\corvel\\uninstall\\paths");
  EXPECT_EQ(start(), StartupError::ConfigurationFile) << "the log comes before the paths key";
  EXPECT_TRUE(state.pathMacros.empty()) << "the paths key is not read after the log failed";

  platform::MemoryPlatform brokenStore;
  fixture::install(brokenStore, suite);
  brokenStore.files().deleteFile(logPath);
  brokenStore.files().addFile(logPath, log);
  const std::string storePath = "C:\\Suite\\Uninstall\\cvlinst.dat";
  const std::string storeBytes = *brokenStore.files().content(storePath);
  brokenStore.files().deleteFile(storePath);
  brokenStore.files().addFile(storePath, storeBytes.substr(0, storeBytes.size() / 2));
  CConfigStore store2;
  Catalogue catalogue2;
  StartupState state2;
  EXPECT_EQ(runStartup(brokenStore, store2, catalogue2, state2), StartupError::ConfigurationFile);
  EXPECT_TRUE(state2.log.groups().empty()) << "the log is not read after the store failed";
}

// A foreign or newer log would load empty and a full removal would remove
// nothing but the uninstaller's own records.
TEST_F(StartupTest, ALogOfAnotherFormatOrANewerVersionIsError14) {
  installNow();
  const std::string logPath = "C:\\Suite\\Uninstall\\cvlinst.log";
  const std::string log = *machine.files().content(logPath);
  // The header is a length byte and 30 characters; the version follows it.
  std::string otherCase = log, newer = log, older = log;
  otherCase[1] = 'c';
  newer[31] = 2;
  older[31] = 0;
  const std::string foreign = std::string("\x0b", 1) + "Other Log!!" + std::string(8, '\0');
  for (const auto& [bytes, accepted] : std::vector<std::pair<std::string, bool>>{
           {foreign, false}, {otherCase, false}, {newer, false}, {older, true}}) {
    machine.files().deleteFile(logPath);
    machine.files().addFile(logPath, bytes);
    CConfigStore freshStore;
    Catalogue freshCatalogue;
    StartupState freshState;
    EXPECT_EQ(runStartup(machine, freshStore, freshCatalogue, freshState),
              accepted ? StartupError::None : StartupError::ConfigurationFile);
    EXPECT_EQ(freshState.log.groups().empty(), !accepted);
  }
}

TEST_F(StartupTest, AMissingPathsKeyIsError15EvenWithEverythingElseRead) {
  installNow();
  machine.registry().deleteKey(RegRoot::LocalMachine, "software\\corvel\\uninstall\\paths");
  EXPECT_EQ(start(), StartupError::ConfigurationSettings);
  EXPECT_FALSE(state.log.groups().empty());
}

TEST_F(StartupTest, AnUnknownProgramsFolderIsError16ButTheCommonOneIsOptional) {
  platform::MemoryPlatform other;
  fixture::install(other, suite);
  other.system().setSpecialFolder(platform::csidl::kPrograms, "C:\\P");
  EXPECT_EQ(runStartup(other, store, catalogue, state), StartupError::None);
  EXPECT_EQ(state.pathMacros.count("<COMMON_FOLDER_PROGRAMS>"), 0u);

  platform::MemoryPlatform without;
  fixture::install(without, suite);
  CConfigStore store2;
  Catalogue catalogue2;
  StartupState state2;
  EXPECT_EQ(runStartup(without, store2, catalogue2, state2), StartupError::WindowsSettings);
}

TEST(PathMacros, NamesAreBracketedOnceAndUpperCasedAndValuesKeepTheirSpelling) {
  platform::MemoryPlatform machine;
  auto& registry = machine.registry();
  const std::string key = "software\\corvel\\uninstall\\paths";
  registry.seedValue(RegRoot::LocalMachine, key, "targetdir", platform::RegValue::string("c:\\corvel"));
  registry.seedValue(RegRoot::LocalMachine, key, "<open", platform::RegValue::string("a"));
  registry.seedValue(RegRoot::LocalMachine, key, "close>", platform::RegValue::string("b"));
  registry.seedValue(RegRoot::LocalMachine, key, "<Both>", platform::RegValue::string("c"));
  registry.seedValue(RegRoot::LocalMachine, key, "Number", platform::RegValue::dword(0x41));
  PathMacros macros;
  ASSERT_TRUE(loadPathMacros(registry, macros));
  EXPECT_EQ(macros.at("<TARGETDIR>"), "c:\\corvel");
  EXPECT_EQ(macros.at("<OPEN"), "a") << "a half-bracketed name is kept as it is";
  EXPECT_EQ(macros.at("CLOSE>"), "b");
  EXPECT_EQ(macros.at("<BOTH>"), "c");
  EXPECT_EQ(macros.at("<NUMBER>"), "A") << "the type is not looked at";
  EXPECT_EQ(macros.size(), 5u);
}

TEST(PathMacros, ALaterEqualNameReplacesTheEarlier) {
  platform::MemoryPlatform machine;
  const std::string key = "software\\corvel\\uninstall\\paths";
  machine.registry().seedValue(RegRoot::LocalMachine, key, "<X>", platform::RegValue::string("first"));
  machine.registry().seedValue(RegRoot::LocalMachine, key, "X", platform::RegValue::string("second"));
  PathMacros macros;
  ASSERT_TRUE(loadPathMacros(machine.registry(), macros));
  ASSERT_EQ(macros.size(), 1u);
  EXPECT_TRUE(macros.at("<X>") == "first" || macros.at("<X>") == "second");
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
