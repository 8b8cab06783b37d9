#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "uninstaller/engine/phases/run_once.h"

using namespace cvl;
using namespace cvl::platform;

namespace {

constexpr const char* kRunOnce = "software\\corvel\\uninstall\\components\\PATHCRAFTER\\RunOnce";

void seedCommands(MemoryPlatform& platform, const std::vector<std::pair<std::string, RegValue>>& commands) {
  for (const auto& [name, command] : commands) {
    platform.registry().seedValue(RegRoot::LocalMachine, kRunOnce, name, command);
  }
}

// Each run as "program file | command line".
std::vector<std::string> started(MemoryPlatform& platform) {
  std::vector<std::string> runs;
  for (const auto& run : platform.system().runs()) runs.push_back(run.application + " | " + run.commandLine);
  return runs;
}

}  // namespace

// Last value first, each hidden with the timeout. Windows would search the
// uninstaller's and the current folder for a bare name and try
// "C:\Program.exe" first for an unquoted path with blanks: the program file
// is named exactly instead, and expandable strings expanded.
TEST(RunComponentRunOnce, RunsLastValueFirstStartingTheProgramFileTheCommandMeansWithoutASearch) {
  MemoryPlatform platform;
  auto& files = platform.files();
  for (const char* file : {"C:\\WINDOWS\\SYSTEM32\\cmd.exe", "C:\\Program.exe", "C:\\Program Files\\Corvel\\cvlfix.exe",
                           "C:\\Program Files\\Corvel\\cmd.exe", "C:\\Program Files\\Corvel\\tidy.exe",
                           "C:\\Tools\\plain.exe"}) {
    files.addFile(file);
  }
  ASSERT_EQ(files.setCurrentDirectory("C:\\Program Files\\Corvel"), kSuccess);
  platform.system().setEnvironment("CVLHOME", "C:\\Program Files\\Corvel");
  seedCommands(platform, {{"1", RegValue::string("cmd /c del x")},
                          {"2", RegValue::string("C:\\Program Files\\Corvel\\cvlfix.exe /undo 1")},
                          {"3", RegValue::string("%CVLHOME%\\tidy.exe /q", RegType::ExpandSz)},
                          {"4", RegValue::string("tidy.exe")},     // not a system program
                          {"5", RegValue::string("Corvel\\tidy")},  // relative
                          // No prefix is a file: Windows would go on to "C:\Program.exe".
                          {"6", RegValue::string("C:\\Program Files\\Corvel\\gone.exe /undo")},
                          {"7", RegValue::string("\"C:\\Tools\\quoted.exe\"")},
                          {"8", RegValue::string("C:\\Tools\\plain.exe /a")}});

  runComponentRunOnce(platform, "PATHCRAFTER");

  const std::string corvel = "C:\\Program Files\\Corvel\\";
  EXPECT_EQ(started(platform), (std::vector<std::string>{"C:\\Tools\\plain.exe | C:\\Tools\\plain.exe /a",
                                                         "C:\\Tools\\quoted.exe | \"C:\\Tools\\quoted.exe\"",
                                                         corvel + "tidy.exe | \"" + corvel + "tidy.exe\" /q",
                                                         corvel + "cvlfix.exe | \"" + corvel + "cvlfix.exe\" /undo 1",
                                                         "C:\\WINDOWS\\SYSTEM32\\cmd.exe | cmd /c del x"}));
  for (const auto& run : platform.system().runs()) EXPECT_EQ(run.timeoutMs, 30000u);
  EXPECT_TRUE(platform.registry().value(RegRoot::LocalMachine, kRunOnce, "1"));  // left for the final clean-up
}

TEST(RunComponentRunOnce, SkipsWhatCannotBeRunAsItStands) {
  MemoryPlatform platform;
  seedCommands(platform, {{"1empty", RegValue::string("")},
                          {"2number", RegValue::dword(7)},
                          {"3long", RegValue::string(std::string(300, 'x'))},
                          {"4good", RegValue::string("C:\\good.exe")},
                          {"5binary", RegValue::binary({'b', 'a', 'd', 0})}});
  platform.files().addFile("C:\\good.exe");

  runComponentRunOnce(platform, "PATHCRAFTER");
  runComponentRunOnce(platform, "NO_SUCH_COMPONENT");

  EXPECT_EQ(started(platform), (std::vector<std::string>{"C:\\good.exe | C:\\good.exe"}));
}
