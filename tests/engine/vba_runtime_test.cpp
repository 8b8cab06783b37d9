#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "uninstaller/engine/phases/stdcall.h"
#include "uninstaller/engine/phases/vba_runtime.h"

using namespace cvl;
using namespace cvl::platform;

namespace {

constexpr const char* kVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kLibrary = "D:\\Apps\\Common Files\\Microsoft Shared\\VBA\\VBA6\\vbai60.dll";

std::vector<std::string> calls;

int CVL_STDCALL fakeInit(const char* path, int mode, int flags) {
  const std::string text = path;
  calls.push_back("Init " + text + " " + std::to_string(mode) + " " + std::to_string(flags));
  return text.find("KEEP") == std::string::npos ? 0 : 1;
}
int CVL_STDCALL fakeUnInstall() {
  calls.push_back("UnInstall");
  return 0;
}

class VbaRuntime : public testing::Test {
 protected:
  void SetUp() override {
    calls.clear();
    platform.registry().seedValue(RegRoot::LocalMachine, kVersionKey, "ProgramFilesDir", RegValue::string("D:\\Apps"));
  }
  void offerLibrary(bool withInit, bool withUnInstall) {
    MemorySystem::Symbols symbols;
    if (withInit) symbols["Init"] = reinterpret_cast<void*>(&fakeInit);
    if (withUnInstall) symbols["UnInstall"] = reinterpret_cast<void*>(&fakeUnInstall);
    platform.system().addLibrary(kLibrary, symbols);
  }
  MemoryPlatform platform;
};

}  // namespace

TEST_F(VbaRuntime, InitsEachPackageInOrderAndUninstallsWhenInitAgrees) {
  offerLibrary(true, true);
  uninstallVbaRuntime(platform, {"C:\\SETUP\\ONE.MSI", "C:\\KEEP\\TWO.MSI", "C:\\SETUP\\THREE.MSI"});
  EXPECT_EQ(calls, (std::vector<std::string>{"Init C:\\SETUP\\ONE.MSI 1 0", "UnInstall", "Init C:\\KEEP\\TWO.MSI 1 0",
                                             "Init C:\\SETUP\\THREE.MSI 1 0", "UnInstall"}));
  EXPECT_EQ(platform.system().libraryLoads(), (std::vector<std::string>{kLibrary}));
  EXPECT_EQ(platform.system().loadedLibraries(), 0);
}

TEST_F(VbaRuntime, MissingLibraryOrExportCallsNothing) {
  uninstallVbaRuntime(platform, {"C:\\SETUP\\ONE.MSI"});
  offerLibrary(true, false);
  uninstallVbaRuntime(platform, {"C:\\SETUP\\ONE.MSI"});
  offerLibrary(false, true);
  uninstallVbaRuntime(platform, {"C:\\SETUP\\ONE.MSI"});
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(platform.system().loadedLibraries(), 0);
}

// The library is loaded by a full path only: a relative folder would take
// whatever the current folder holds; a folder too long to read is none.
TEST_F(VbaRuntime, OnlyAnAbsoluteProgramFilesFolderLoadsTheLibrary) {
  offerLibrary(true, true);
  const std::pair<std::string, bool> spellings[] = {{"D:\\Apps", true}, {"", false},         {"Apps", false},
                                                    {"\\Apps", false},  {".\\Apps", false}, {"D:Apps", false},
                                                    {std::string(400, 'x'), false}};
  for (const auto& [folder, loads] : spellings) {
    platform.registry().seedValue(RegRoot::LocalMachine, kVersionKey, "ProgramFilesDir", RegValue::string(folder));
    const size_t before = platform.system().libraryLoads().size();
    uninstallVbaRuntime(platform, {"C:\\SETUP\\ONE.MSI"});
    EXPECT_EQ(platform.system().libraryLoads().size() - before, loads ? 1u : 0u) << folder;
  }
  EXPECT_EQ(calls, (std::vector<std::string>{"Init C:\\SETUP\\ONE.MSI 1 0", "UnInstall"}));
}
