#pragma once
// Registry access for the settings scenarios, through the platform
// interface only, so the same scenarios run in memory and on a real
// registry. Every test starts and ends without the keys the saver uses.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace settings_test {

inline constexpr const char* kCurrent = "Software\\Corvel\\PathCrafter\\8.2";
inline constexpr const char* kOlder = "Software\\Corvel\\Deskora\\8.0";
inline constexpr const char* kTemporary = "Software\\CorvelTemp";
inline constexpr uint32_t kMissingNumber = 0xDEADBEEF;

class SettingsFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  cvl::platform::Platform& platform() { return *platform_; }

  void makeKey(const std::string& key);
  void put(const std::string& key, const std::string& name, const cvl::platform::RegValue& value);
  std::optional<cvl::platform::RegValue> read(const std::string& key, const std::string& name);
  // The value read as text or number; "<missing>" or kMissingNumber when absent.
  std::string text(const std::string& key, const std::string& name);
  uint32_t number(const std::string& key, const std::string& name);
  bool exists(const std::string& key);
  std::vector<std::string> subkeys(const std::string& key);
  std::vector<std::string> values(const std::string& key);

  // Values of every type, numbers of odd sizes and the unnamed value among
  // them, and the check that a copy holds them exactly as stored.
  void putEveryType(const std::string& key, const std::string& tag);
  void expectEveryTypeCopied(const std::string& key, const std::string& tag);

 private:
  void removeSavedKeys();
  std::unique_ptr<cvl::platform::Platform> platform_;
};

}  // namespace settings_test
