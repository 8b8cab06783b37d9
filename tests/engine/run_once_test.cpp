#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "uninstaller/engine/phases/run_once.h"

using namespace cvl;
using namespace cvl::platform;

namespace {

constexpr const char* kRunOnce = "software\\corvel\\uninstall\\components\\PATHCRAFTER\\RunOnce";

std::vector<std::string> commandsRun(MemoryPlatform& platform) {
  std::vector<std::string> commands;
  for (const auto& run : platform.system().runs()) commands.push_back(run.commandLine);
  return commands;
}

}  // namespace

TEST(RunComponentRunOnce, RunsLastValueFirstHiddenWithTheTimeout) {
  MemoryPlatform platform;
  auto& registry = platform.registry();
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "a", RegValue::string("C:\\Tools\\first.exe /a"));
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "b", RegValue::string("\"C:\\Tools\\second.exe\""));
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "c", RegValue::string("C:\\Tools\\third.exe"));
  for (const char* program : {"C:\\Tools\\first.exe", "C:\\Tools\\third.exe"}) platform.files().addFile(program);

  runComponentRunOnce(platform, "PATHCRAFTER");

  EXPECT_EQ(commandsRun(platform),
            (std::vector<std::string>{"C:\\Tools\\third.exe", "\"C:\\Tools\\second.exe\"", "C:\\Tools\\first.exe /a"}));
  EXPECT_EQ(platform.system().runs().front().timeoutMs, 30000u);
  EXPECT_TRUE(registry.value(RegRoot::LocalMachine, kRunOnce, "a"));  // left for the final clean-up
}

// Windows would search the uninstaller's and the current folder for a bare
// name and try "C:\Program.exe" first for an unquoted path with blanks: the
// program file is named exactly instead, and expandable strings expanded.
TEST(RunComponentRunOnce, StartsTheProgramFileTheCommandMeansWithoutASearch) {
  MemoryPlatform platform;
  auto& files = platform.files();
  for (const char* file : {"C:\\WINDOWS\\SYSTEM32\\cmd.exe", "C:\\Program.exe", "C:\\Program Files\\Corvel\\cvlfix.exe",
                           "C:\\Program Files\\Corvel\\cmd.exe", "C:\\Program Files\\Corvel\\tidy.exe"}) {
    files.addFile(file);
  }
  ASSERT_EQ(files.setCurrentDirectory("C:\\Program Files\\Corvel"), kSuccess);
  platform.system().setEnvironment("CVLHOME", "C:\\Program Files\\Corvel");
  auto& registry = platform.registry();
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "1", RegValue::string("cmd /c del x"));
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "2", RegValue::string("C:\\Program Files\\Corvel\\cvlfix.exe /undo 1"));
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "3", RegValue::string("%CVLHOME%\\tidy.exe /q", RegType::ExpandSz));
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "4", RegValue::string("tidy.exe"));     // not a system program
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "5", RegValue::string("Corvel\\tidy"));  // relative
  // No prefix is a file: Windows would go on to "C:\Program.exe".
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "6", RegValue::string("C:\\Program Files\\Corvel\\gone.exe /undo"));

  runComponentRunOnce(platform, "PATHCRAFTER");

  std::vector<std::string> started;
  for (const auto& run : platform.system().runs()) started.push_back(run.application + " | " + run.commandLine);
  EXPECT_EQ(started, (std::vector<std::string>{
                         "C:\\Program Files\\Corvel\\tidy.exe | \"C:\\Program Files\\Corvel\\tidy.exe\" /q",
                         "C:\\Program Files\\Corvel\\cvlfix.exe | \"C:\\Program Files\\Corvel\\cvlfix.exe\" /undo 1",
                         "C:\\WINDOWS\\SYSTEM32\\cmd.exe | cmd /c del x"}));
}

TEST(RunComponentRunOnce, SkipsWhatCannotBeRunAsItStands) {
  MemoryPlatform platform;
  auto& registry = platform.registry();
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "1empty", RegValue::string(""));
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "2number", RegValue::dword(7));
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "3long", RegValue::string(std::string(300, 'x')));
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "4good", RegValue::string("C:\\good.exe"));
  platform.files().addFile("C:\\good.exe");
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "5binary", RegValue::binary({'b', 'a', 'd', 0}));

  runComponentRunOnce(platform, "PATHCRAFTER");
  runComponentRunOnce(platform, "NO_SUCH_COMPONENT");

  EXPECT_EQ(commandsRun(platform), (std::vector<std::string>{"C:\\good.exe"}));
}
