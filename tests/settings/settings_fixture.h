#pragma once
// Registry access for the settings scenarios, through the platform
// interface only, so the same scenarios run in memory and on a real
// registry. Every test starts and ends without the keys the saver uses.
#include <optional>

#include "settings/delete_tree.h"
#include "tests/support/scratch.h"

namespace settings_test {

using namespace cvl::platform;

inline const std::string kCur = "Software\\Corvel\\PathCrafter\\8.2";
inline const std::string kOld = "Software\\Corvel\\Deskora\\8.0";
inline const std::string kTemp = "Software\\CorvelTemp";
inline constexpr uint32_t kMissingNumber = 0xDEADBEEF;

class SettingsFixture : public cvl::test::OnEachPlatform {
 protected:
  void SetUp() override {
    OnEachPlatform::SetUp();
    // A folder name that holds a command word, as a user may well choose.
    if (auto* memory = dynamic_cast<cvl::test::MemoryScratch*>(scratch_.get())) {
      memory->memory.system().setModulePath("C:\\Program Files\\Old Backup\\Stowset.exe");
    }
    removeSavedKeys();
  }
  void TearDown() override {
    removeSavedKeys();
    OnEachPlatform::TearDown();
  }

  void removeSavedKeys() {
    for (const std::string& key : {kTemp, kCur, kOld}) {
      RegKeyPtr parent;
      const size_t slash = key.rfind('\\');
      if (reg().openKey(RegRoot::CurrentUser, key.substr(0, slash), access::kAllAccess, parent) == kSuccess) {
        (void)cvl::settings::deleteTree(*parent, key.substr(slash + 1));
      }
    }
    // Deleting fails harmlessly while something else still lives below.
    for (const char* key : {"Software\\Corvel\\PathCrafter", "Software\\Corvel\\Deskora", "Software\\Corvel"}) {
      (void)reg().deleteKey(RegRoot::CurrentUser, key);
    }
  }

  void makeKey(const std::string& key) {
    RegKeyPtr handle;
    EXPECT_EQ(walk(key, true, handle), kSuccess) << key;
  }
  void put(const std::string& key, const std::string& name, const RegValue& value) {
    RegKeyPtr handle;
    ASSERT_EQ(walk(key, true, handle), kSuccess) << key;
    EXPECT_EQ(handle->setValue(name, value), kSuccess) << key << " / " << name;
  }
  std::optional<RegValue> read(const std::string& key, const std::string& name) {
    RegKeyPtr handle;
    RegValue value;
    if (walk(key, false, handle) != kSuccess || handle->queryValue(name, value) != kSuccess) return std::nullopt;
    return value;
  }
  // The value read as text or number; "<missing>" or kMissingNumber when absent.
  std::string text(const std::string& key, const std::string& name) {
    const std::optional<RegValue> value = read(key, name);
    return value ? value->asString() : "<missing>";
  }
  uint32_t number(const std::string& key, const std::string& name) {
    const std::optional<RegValue> value = read(key, name);
    return value ? value->asDword() : kMissingNumber;
  }
  bool exists(const std::string& key) {
    RegKeyPtr handle;
    return walk(key, false, handle) == kSuccess;
  }
  std::vector<std::string> subkeys(const std::string& key) {
    RegKeyPtr handle;
    return walk(key, false, handle) == kSuccess ? cvl::test::keyNames(*handle) : std::vector<std::string>{};
  }

  // Values of every type, numbers of odd sizes and the unnamed value among
  // them, and the check that a copy holds them exactly as stored; the tag
  // tells levels apart.
  void putEveryType(const std::string& key, const std::string& tag) {
    for (const auto& [name, value] : everyType(tag)) put(key, name, value);
  }
  void expectEveryTypeCopied(const std::string& key, const std::string& tag) {
    SCOPED_TRACE(key);
    for (const auto& [name, expected] : everyType(tag)) {
      const std::optional<RegValue> got = read(key, name);
      ASSERT_TRUE(got.has_value()) << "missing value '" << name << "'";
      EXPECT_EQ(static_cast<uint32_t>(got->type), static_cast<uint32_t>(expected.type)) << name;
      EXPECT_EQ(got->data, expected.data) << name;
    }
  }

 private:
  // One name at a time, so that paths longer than one registry call takes
  // can be set up and inspected.
  Status walk(const std::string& path, bool create, RegKeyPtr& out) {
    RegKeyPtr key;
    Status status = reg().openKey(RegRoot::CurrentUser, "", access::kAllAccess, key);
    for (size_t start = 0; status == kSuccess && start < path.size();) {
      const size_t end = std::min(path.find('\\', start), path.size());
      const std::string name = path.substr(start, end - start);
      RegKeyPtr below;
      status = create ? key->createKey(name, access::kAllAccess, below) : key->openKey(name, access::kAllAccess, below);
      key = std::move(below);
      start = end + 1;
    }
    if (status == kSuccess) out = std::move(key);
    return status;
  }

  static std::vector<std::pair<std::string, RegValue>> everyType(const std::string& tag) {
    const auto size = static_cast<uint8_t>(tag.size());
    RegValue multi = RegValue::string("one", RegType::MultiSz);
    multi.data.insert(multi.data.end(), {'t', 'w', 'o', 0, 0});
    return {
        {"", RegValue::string("default " + tag)},
        {"Text", RegValue::string("text " + tag)},
        {"Bytes", RegValue::binary({0x00, 0xFF, 0x10, size})},
        {"NoBytes", RegValue::binary({})},
        {"Number", RegValue::dword(0xC0FFEE00u + size)},
        {"ShortNumber", RegValue{RegType::Dword, {size, 0x7F}}},
        {"LongNumber", RegValue{RegType::Dword, {1, 2, 3, 4, 5, 6, 7, size}}},
        {"Quad", RegValue{static_cast<RegType>(11), {8, 7, 6, 5, 4, 3, 2, size}}},  // REG_QWORD
        {"Expand", RegValue::string("%SystemRoot%\\" + tag, RegType::ExpandSz)},
        {"Multi", multi},
        {"Nothing", RegValue{RegType::None, {1, size}}},
        {"Private", RegValue{static_cast<RegType>(0x4C56), {'c', 'v', size}}},  // a type of the suite's own
    };
  }
};

// A platform whose registry will not write values of one name and passes
// everything else on: a failing write on demand, on the real registry as in
// memory.
std::unique_ptr<Platform> refusingWritesOf(Platform& inner, std::string valueName);

#define CVL_SETTINGS_ON_EACH_PLATFORM(Suite) CVL_ON_EACH_PLATFORM(Suite, ::cvl::test::scratchKinds("CvlSettings"))

}  // namespace settings_test
