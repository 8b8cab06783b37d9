#pragma once
// Runs a tool that sits beside the test program and looks at the real
// registry, read and written through the platform's own registry.
#include <gtest/gtest.h>

#include <optional>

#include "platform/win32/win32_registry.h"

namespace tools_test {

using namespace cvl::platform;

class ToolTest : public ::testing::Test {
 protected:
  // The tool's exit status, or nullopt when it did not start or end in time.
  static std::optional<uint32_t> runTool(const char* exeName);

  bool exists(RegRoot root, const std::string& key);
  RegKeyPtr makeKey(RegRoot root, const std::string& key);
  void setString(RegRoot root, const std::string& key, const std::string& name, const std::string& text);
  std::optional<RegValue> value(RegRoot root, const std::string& key, const std::string& name);
  RegKeyInfo info(RegRoot root, const std::string& key);  // all zero for a missing key

  Win32Registry registry;
};

}  // namespace tools_test
