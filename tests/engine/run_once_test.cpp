#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "uninstaller/engine/run_once.h"

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
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "a", RegValue::string("first.exe /a"));
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "b", RegValue::string("%WINDIR%\\second.exe", RegType::ExpandSz));
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "c", RegValue::string("third.exe"));

  runComponentRunOnce(platform, "PATHCRAFTER");

  EXPECT_EQ(commandsRun(platform), (std::vector<std::string>{"third.exe", "%WINDIR%\\second.exe", "first.exe /a"}));
  EXPECT_EQ(platform.system().runs().front().timeoutMs, 30000u);
  EXPECT_TRUE(registry.value(RegRoot::LocalMachine, kRunOnce, "a"));  // left for the final clean-up
}

TEST(RunComponentRunOnce, SkipsWhatCannotBeRunAsItStands) {
  MemoryPlatform platform;
  auto& registry = platform.registry();
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "1empty", RegValue::string(""));
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "2number", RegValue::dword(7));
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "3long", RegValue::string(std::string(300, 'x')));
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "4good", RegValue::string("good.exe"));
  registry.seedValue(RegRoot::LocalMachine, kRunOnce, "5binary", RegValue::binary({'b', 'a', 'd', 0}));

  runComponentRunOnce(platform, "PATHCRAFTER");
  runComponentRunOnce(platform, "NO_SUCH_COMPONENT");

  EXPECT_EQ(commandsRun(platform), (std::vector<std::string>{"good.exe"}));
}
