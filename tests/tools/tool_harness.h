#pragma once
// Runs a tool that sits beside the test program and looks at the real
// registry, read and written through the platform's own registry.
#include <gtest/gtest.h>

#include <optional>

#include "platform/win32/win32_registry.h"
#include "tests/support/child_process.h"

namespace tools_test {

using namespace cvl::platform;

class ToolTest : public ::testing::Test {
 protected:
  // The tool's exit status, or nullopt when it did not start or end in time.
  static std::optional<uint32_t> runTool(const char* exeName) { return cvl::test::runBeside(exeName, "", 60000); }

  RegKeyPtr open(RegRoot root, const std::string& key) {  // null when missing
    RegKeyPtr handle;
    return registry.openKey(root, key, access::kRead, handle) == kSuccess ? std::move(handle) : nullptr;
  }
  bool exists(RegRoot root, const std::string& key) { return open(root, key) != nullptr; }
  RegKeyPtr makeKey(RegRoot root, const std::string& key) {
    RegKeyPtr handle;
    EXPECT_EQ(registry.createKey(root, key, access::kAllAccess, handle), kSuccess) << key;
    return handle;
  }
  void setString(RegRoot root, const std::string& key, const std::string& name, const std::string& text) {
    RegKeyPtr handle = makeKey(root, key);
    ASSERT_TRUE(handle);
    EXPECT_EQ(handle->setValue(name, RegValue::string(text)), kSuccess) << key;
  }
  std::optional<RegValue> value(RegRoot root, const std::string& key, const std::string& name) {
    RegKeyPtr handle = open(root, key);
    RegValue found;
    if (!handle || handle->queryValue(name, found) != kSuccess) return std::nullopt;
    return found;
  }
  RegKeyInfo info(RegRoot root, const std::string& key) {  // all zero for a missing key
    RegKeyPtr handle = open(root, key);
    RegKeyInfo found;
    if (handle) {
      EXPECT_EQ(handle->info(found), kSuccess) << key;
    }
    return found;
  }

  Win32Registry registry;
};

}  // namespace tools_test
