#include "settings_fixture.h"

#include "settings/delete_tree.h"

using namespace cvl::platform;

namespace settings_test {
namespace {

// One name at a time, so that paths longer than one registry call takes
// can be set up and inspected.
Status walk(Registry& registry, const std::string& path, bool create, RegKeyPtr& out) {
  RegKeyPtr key;
  Status status = registry.openKey(RegRoot::CurrentUser, "", access::kAllAccess, key);
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

// Every type and size a settings key may hold; the tag tells levels apart.
std::vector<std::pair<std::string, RegValue>> everyType(const std::string& tag) {
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

}  // namespace

void SettingsFixture::SetUp() {
  OnEachPlatform::SetUp();
  // A folder name that holds a command word, as a user may well choose.
  if (auto* memory = dynamic_cast<cvl::test::MemoryScratch*>(scratch_.get())) {
    memory->memory.system().setModulePath("C:\\Program Files\\Old Backup\\Stowset.exe");
  }
  removeSavedKeys();
}

void SettingsFixture::TearDown() {
  removeSavedKeys();
  OnEachPlatform::TearDown();
}

void SettingsFixture::removeSavedKeys() {
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

void SettingsFixture::makeKey(const std::string& key) {
  RegKeyPtr handle;
  EXPECT_EQ(walk(reg(), key, true, handle), kSuccess) << key;
}

void SettingsFixture::put(const std::string& key, const std::string& name, const RegValue& value) {
  RegKeyPtr handle;
  ASSERT_EQ(walk(reg(), key, true, handle), kSuccess) << key;
  EXPECT_EQ(handle->setValue(name, value), kSuccess) << key << " / " << name;
}

std::optional<RegValue> SettingsFixture::read(const std::string& key, const std::string& name) {
  RegKeyPtr handle;
  RegValue value;
  if (walk(reg(), key, false, handle) != kSuccess || handle->queryValue(name, value) != kSuccess) return std::nullopt;
  return value;
}

bool SettingsFixture::exists(const std::string& key) {
  RegKeyPtr handle;
  return walk(reg(), key, false, handle) == kSuccess;
}

std::string SettingsFixture::text(const std::string& key, const std::string& name) {
  const std::optional<RegValue> value = read(key, name);
  return value ? value->asString() : "<missing>";
}

uint32_t SettingsFixture::number(const std::string& key, const std::string& name) {
  const std::optional<RegValue> value = read(key, name);
  return value ? value->asDword() : kMissingNumber;
}

std::vector<std::string> SettingsFixture::subkeys(const std::string& key) {
  RegKeyPtr handle;
  return walk(reg(), key, false, handle) == kSuccess ? cvl::test::keyNames(*handle) : std::vector<std::string>{};
}

void SettingsFixture::putEveryType(const std::string& key, const std::string& tag) {
  for (const auto& [name, value] : everyType(tag)) put(key, name, value);
}

void SettingsFixture::expectEveryTypeCopied(const std::string& key, const std::string& tag) {
  SCOPED_TRACE(key);
  for (const auto& [name, expected] : everyType(tag)) {
    const std::optional<RegValue> got = read(key, name);
    ASSERT_TRUE(got.has_value()) << "missing value '" << name << "'";
    EXPECT_EQ(static_cast<uint32_t>(got->type), static_cast<uint32_t>(expected.type)) << name;
    EXPECT_EQ(got->data, expected.data) << name;
  }
}

}  // namespace settings_test
