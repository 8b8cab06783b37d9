#pragma once
// Registry access for the settings scenarios, through the platform
// interface only, so the same scenarios run in memory and on a real
// registry. Every test starts and ends without the keys the saver uses.
#include <optional>

#include "tests/support/scratch.h"

namespace settings_test {

inline const std::string kCur = "Software\\Corvel\\PathCrafter\\8.2";
inline const std::string kOld = "Software\\Corvel\\Deskora\\8.0";
inline const std::string kTemp = "Software\\CorvelTemp";
inline constexpr uint32_t kMissingNumber = 0xDEADBEEF;

class SettingsFixture : public cvl::test::OnEachPlatform {
 protected:
  void SetUp() override;
  void TearDown() override;

  void makeKey(const std::string& key);
  void put(const std::string& key, const std::string& name, const cvl::platform::RegValue& value);
  std::optional<cvl::platform::RegValue> read(const std::string& key, const std::string& name);
  // The value read as text or number; "<missing>" or kMissingNumber when absent.
  std::string text(const std::string& key, const std::string& name);
  uint32_t number(const std::string& key, const std::string& name);
  bool exists(const std::string& key);
  std::vector<std::string> subkeys(const std::string& key);

  // Values of every type, numbers of odd sizes and the unnamed value among
  // them, and the check that a copy holds them exactly as stored.
  void putEveryType(const std::string& key, const std::string& tag);
  void expectEveryTypeCopied(const std::string& key, const std::string& tag);

 private:
  void removeSavedKeys();
};

// A platform whose registry will not write values of one name and passes
// everything else on: a failing write on demand, on the real registry as in
// memory.
std::unique_ptr<cvl::platform::Platform> refusingWritesOf(cvl::platform::Platform& inner, std::string valueName);

#define CVL_SETTINGS_ON_EACH_PLATFORM(Suite) CVL_ON_EACH_PLATFORM(Suite, ::cvl::test::scratchKinds("CvlSettings"))

}  // namespace settings_test
