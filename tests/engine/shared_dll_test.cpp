#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "uninstaller/removal/shared_dll.h"

using namespace cvl;
using namespace cvl::platform;

namespace {

constexpr const char* kShared = "software\\microsoft\\windows\\currentversion\\shareddlls";
constexpr const char* kDll = "C:\\WINDOWS\\SYSTEM\\CVLCOMMON.DLL";

class SharedDllCount : public testing::Test {
 protected:
  void store(const RegValue& value) { platform.registry().seedValue(RegRoot::LocalMachine, kShared, kDll, value); }
  std::optional<RegValue> stored() const {
    return const_cast<MemoryPlatform&>(platform).registry().value(RegRoot::LocalMachine, kShared, kDll);
  }
  MemoryPlatform platform;
};

}  // namespace

TEST_F(SharedDllCount, OnlyACommittedReleaseWritesTheLowerCountWithItsType) {
  store(RegValue::binary({3, 0, 0, 0}));
  EXPECT_EQ(releaseSharedDll(platform, kDll, false), 2);
  EXPECT_EQ(stored()->asDword(), 3u);
  EXPECT_EQ(releaseSharedDll(platform, kDll, true), 2);
  ASSERT_TRUE(stored());
  EXPECT_EQ(stored()->asDword(), 2u);
  EXPECT_EQ(stored()->type, RegType::Binary);
}

TEST_F(SharedDllCount, LastReleaseRemovesTheValueAndItsUserCopy) {
  store(RegValue::dword(1));
  platform.registry().seedValue(RegRoot::CurrentUser, kShared, kDll, RegValue::dword(1));
  EXPECT_EQ(releaseSharedDll(platform, kDll, true), 0);
  EXPECT_FALSE(stored());
  EXPECT_FALSE(platform.registry().value(RegRoot::CurrentUser, kShared, kDll));
}

TEST_F(SharedDllCount, NoUsableCountMeansKeepAndWriteNothing) {
  EXPECT_EQ(releaseSharedDll(platform, kDll, true), -1);  // no key at all
  platform.registry().seedKey(RegRoot::LocalMachine, kShared);
  EXPECT_EQ(releaseSharedDll(platform, kDll, true), -1);  // no value

  for (uint32_t count : {0u, 0xFFFFFFFFu}) {  // 0 and -1: outside what an installer writes
    store(RegValue::dword(count));
    EXPECT_EQ(releaseSharedDll(platform, kDll, true), -1);
    EXPECT_EQ(stored()->asDword(), count);
  }
  store(RegValue::binary({1, 0, 0, 0, 0, 0, 0, 0}));  // does not fit 4 bytes
  EXPECT_EQ(releaseSharedDll(platform, kDll, true), -1);
  EXPECT_EQ(stored()->data.size(), 8u);
}

// The count goes by its name: a path holding '=' names no other count.
TEST_F(SharedDllCount, LastReleaseOfAPathHoldingAnEqualsSignRemovesOnlyItsOwnCount) {
  const std::pair<const char*, const char*> spellings[] = {
      {"C:\\Apps\\a=b\\x.dll", "C:\\Apps\\a"}, {"C:\\Apps\\x.dll=0", "C:\\Apps\\x.dll"}, {"C:\\=\\x.dll", "C:\\"}};
  for (const auto& [path, other] : spellings) {
    platform.registry().seedValue(RegRoot::LocalMachine, kShared, path, RegValue::dword(1));
    platform.registry().seedValue(RegRoot::LocalMachine, kShared, other, RegValue::dword(5));
    EXPECT_EQ(releaseSharedDll(platform, path, true), 0) << path;
    EXPECT_FALSE(platform.registry().value(RegRoot::LocalMachine, kShared, path)) << path;
    EXPECT_TRUE(platform.registry().value(RegRoot::LocalMachine, kShared, other)) << path;
  }
}
