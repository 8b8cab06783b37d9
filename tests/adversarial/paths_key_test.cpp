// The "paths" key is read through buffers of 260 bytes for a value's name
// and for its data: a value that does not fit either is skipped, and the
// values around it are still read. Checked on the in-memory registry and,
// in the Windows build, on the real one.
#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "uninstaller/startup/startup_sequence.h"
#ifdef _WIN32
#include "platform/win32/win32_platform.h"
#endif

namespace cvl::test {
namespace {

using platform::RegValue;

constexpr const char* kPathsKey = "software\\corvel\\uninstall\\paths";

void expectOversizeValuesSkipped(platform::Registry& registry) {
  platform::RegKeyPtr key;
  ASSERT_EQ(registry.createKey(platform::RegRoot::LocalMachine, kPathsKey, platform::access::kAllAccess, key),
            platform::kSuccess);
  // 259 characters and the terminator fill a buffer; one more does not.
  const std::string fits(259, 'F'), tooLong(260, 'L');
  ASSERT_EQ(key->setValue("DATAFITS", RegValue::string(fits)), platform::kSuccess);
  ASSERT_EQ(key->setValue("DATATOOLONG", RegValue::string(tooLong)), platform::kSuccess);
  ASSERT_EQ(key->setValue(fits, RegValue::string("name fits")), platform::kSuccess);
  ASSERT_EQ(key->setValue(tooLong, RegValue::string("name too long")), platform::kSuccess);
  key.reset();

  PathMacros macros;
  ASSERT_TRUE(loadPathMacros(registry, macros));
  EXPECT_EQ(macros, (PathMacros{{"<DATAFITS>", fits}, {"<" + fits + ">", "name fits"}}));
  registry.deleteKey(platform::RegRoot::LocalMachine, kPathsKey);
}

TEST(PathsKey, ValuesBeyondTheBuffersAreSkipped) {
  platform::MemoryPlatform memory;
  expectOversizeValuesSkipped(memory.registry());
#ifdef _WIN32
  platform::Win32Platform real;
  expectOversizeValuesSkipped(real.registry());
#endif
}

}  // namespace
}  // namespace cvl::test
