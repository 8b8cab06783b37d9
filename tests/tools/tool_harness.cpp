#include "tool_harness.h"

#include "tests/support/child_process.h"

namespace tools_test {

std::optional<uint32_t> ToolTest::runTool(const char* exeName) {
  return cvl::test::runBeside(exeName, "", 60000);
}

bool ToolTest::exists(RegRoot root, const std::string& key) {
  RegKeyPtr handle;
  return registry.openKey(root, key, access::kRead, handle) == kSuccess;
}

RegKeyPtr ToolTest::makeKey(RegRoot root, const std::string& key) {
  RegKeyPtr handle;
  EXPECT_EQ(registry.createKey(root, key, access::kAllAccess, handle), kSuccess) << key;
  return handle;
}

void ToolTest::setString(RegRoot root, const std::string& key, const std::string& name, const std::string& text) {
  RegKeyPtr handle = makeKey(root, key);
  ASSERT_TRUE(handle);
  EXPECT_EQ(handle->setValue(name, RegValue::string(text)), kSuccess) << key;
}

std::optional<RegValue> ToolTest::value(RegRoot root, const std::string& key, const std::string& name) {
  RegKeyPtr handle;
  RegValue found;
  if (registry.openKey(root, key, access::kRead, handle) != kSuccess || handle->queryValue(name, found) != kSuccess) {
    return std::nullopt;
  }
  return found;
}

RegKeyInfo ToolTest::info(RegRoot root, const std::string& key) {
  RegKeyPtr handle;
  RegKeyInfo found;
  if (registry.openKey(root, key, access::kRead, handle) == kSuccess) EXPECT_EQ(handle->info(found), kSuccess) << key;
  return found;
}

}  // namespace tools_test
