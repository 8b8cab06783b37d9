// Registry behaviour the core relies on, identical on every platform.
#include <vector>

#include "contract_fixture.h"
#include "uninstaller/removal/delete_key_tree.h"

namespace cvl::platform::contract {
namespace {

std::vector<std::string> keyNames(const RegKey& key) {
  std::vector<std::string> names;
  std::string name;
  for (uint32_t i = 0; key.enumKey(i, name) == kSuccess; ++i) names.push_back(name);
  return names;
}

std::vector<std::string> valueNames(const RegKey& key) {
  std::vector<std::string> names;
  std::string name;
  for (uint32_t i = 0; key.enumValue(i, name, nullptr) == kSuccess; ++i) names.push_back(name);
  return names;
}

TEST_P(Contract, RegistryNamesIgnoreCaseButKeepTheirFirstSpelling) {
  RegKeyPtr key = createKey("MixedCase\\Inner");
  ASSERT_TRUE(key);
  ASSERT_EQ(key->setValue("ValueName", RegValue::string("one")), kSuccess);
  ASSERT_EQ(key->setValue("VALUENAME", RegValue::string("two")), kSuccess);

  RegKeyPtr again;
  ASSERT_EQ(reg().openKey(scratch_->root, keyPath("MIXEDCASE\\inner"), access::kRead, again), kSuccess);
  RegValue value;
  ASSERT_EQ(again->queryValue("valuename", value), kSuccess);
  EXPECT_EQ(value.asString(), "two");
  EXPECT_EQ(valueNames(*again), std::vector<std::string>{"ValueName"});

  RegKeyPtr recreated;
  ASSERT_EQ(reg().createKey(scratch_->root, keyPath("mixedcase\\INNER\\New"), access::kAllAccess, recreated),
            kSuccess);
  EXPECT_EQ(keyNames(*scratchKey()), std::vector<std::string>{"MixedCase"});
  RegKeyPtr mixed;
  ASSERT_EQ(reg().openKey(scratch_->root, keyPath("mixedcase"), access::kRead, mixed), kSuccess);
  EXPECT_EQ(keyNames(*mixed), std::vector<std::string>{"Inner"});
}

TEST_P(Contract, RegistryPathsSkipExtraBackslashesRefuseALeadingOneAndReopenWithEmptyName) {
  createKey("Trail");
  RegKeyPtr key, same, missing;
  EXPECT_EQ(reg().openKey(scratch_->root, keyPath("Trail\\"), access::kRead, key), kSuccess);
  EXPECT_EQ(reg().openKey(scratch_->root, scratch_->key + "\\\\Trail\\\\", access::kRead, key), kSuccess);
  EXPECT_EQ(reg().openKey(scratch_->root, "\\" + keyPath("Trail"), access::kRead, key), kBadPathname);
  EXPECT_EQ(key->createKey("\\Inner", access::kAllAccess, same), kBadPathname);
  EXPECT_EQ(reg().openKey(scratch_->root, keyPath("Absent"), access::kRead, missing), kFileNotFound);
  EXPECT_EQ(reg().openKey(scratch_->root, keyPath("Absent\\Deeper"), access::kRead, missing), kFileNotFound);
  ASSERT_EQ(scratchKey()->openKey("", access::kAllAccess, same), kSuccess);
  EXPECT_EQ(keyNames(*same), std::vector<std::string>{"Trail"});
}

TEST_P(Contract, RegistryEnumeratesKeysAndValuesSortedByLowerCaseNameUntilNoMoreItems) {
  RegKeyPtr key = scratchKey();
  for (const char* name : {"beta", "Alpha", "_under", "Zed", "gamma", "alpha2"}) {
    RegKeyPtr child;
    ASSERT_EQ(key->createKey(name, access::kAllAccess, child), kSuccess);
    ASSERT_EQ(key->setValue(name, RegValue::dword(1)), kSuccess);
  }
  const std::vector<std::string> sorted{"_under", "Alpha", "alpha2", "beta", "gamma", "Zed"};
  EXPECT_EQ(keyNames(*key), sorted);
  EXPECT_EQ(valueNames(*key), sorted);

  std::string name = "stale";
  EXPECT_EQ(key->enumKey(6, name), kNoMoreItems);
  EXPECT_EQ(key->enumValue(6, name, nullptr), kNoMoreItems);
  EXPECT_EQ(key->enumKey(1000, name), kNoMoreItems);
}

TEST_P(Contract, RegistryKeyWithSubkeysCannotBeDeletedTheNtWay) {
  createKey("Parent\\Child\\Grandchild");
  RegKeyPtr parent = createKey("Parent");
  EXPECT_EQ(reg().deleteKey(scratch_->root, keyPath("Parent")), kAccessDenied);
  EXPECT_EQ(parent->deleteKey("Child"), kAccessDenied);
  EXPECT_EQ(parent->deleteKey("Child\\Grandchild"), kSuccess);
  EXPECT_EQ(parent->deleteKey("child"), kSuccess);
  EXPECT_EQ(parent->deleteKey("Child"), kFileNotFound);
  EXPECT_EQ(reg().deleteKey(scratch_->root, keyPath("PARENT")), kSuccess);
  EXPECT_EQ(reg().deleteKey(scratch_->root, keyPath("Parent")), kFileNotFound);
  EXPECT_TRUE(keyNames(*scratchKey()).empty());

  // An empty name deletes the key behind the handle itself.
  RegKeyPtr self = createKey("Self");
  EXPECT_EQ(self->deleteKey(""), kSuccess);
  EXPECT_EQ(reg().openKey(scratch_->root, keyPath("Self"), access::kRead, self), kFileNotFound);
}

// A link leads every open through it to the key it names, unless the open
// asks for the link itself, and RegDeleteKey follows it too. The removal's
// own deletion keeps the link and leaves what it names whole.
TEST_P(Contract, RegistryLinksLeadToWhatTheyNameUnlessOpenedAsThemselves) {
  const std::string target = "Software\\CvlContractLinkTarget";
  deleteKeyTree(reg(), RegRoot::LocalMachine, target);
  RegKeyPtr key, below;
  ASSERT_EQ(reg().createKey(RegRoot::LocalMachine, target + "\\Sub", access::kAllAccess, key), kSuccess);
  ASSERT_EQ(reg().openKey(RegRoot::LocalMachine, target, access::kAllAccess, key), kSuccess);
  ASSERT_EQ(key->setValue("Owned", RegValue::dword(1)), kSuccess);
  scratch_->plantLink(scratch_->root, keyPath("Link"), "\\REGISTRY\\MACHINE\\" + target);

  bool link = true;
  ASSERT_EQ(reg().openKey(scratch_->root, keyPath("Link"), access::kRead, key), kSuccess);
  EXPECT_EQ(key->isLink(link), kSuccess);
  EXPECT_FALSE(link);
  EXPECT_EQ(keyNames(*key), std::vector<std::string>{"Sub"});
  EXPECT_EQ(reg().openKey(scratch_->root, keyPath("Link\\Sub"), access::kRead | access::kOpenLink, key), kSuccess)
      << "a link on the way is followed";

  ASSERT_EQ(reg().openKey(scratch_->root, keyPath("Link"), access::kRead | access::kOpenLink, key), kSuccess);
  EXPECT_EQ(key->isLink(link), kSuccess);
  EXPECT_TRUE(link);
  EXPECT_TRUE(keyNames(*key).empty());
  EXPECT_EQ(key->openKey("Sub", access::kRead, below), kSuccess) << "a path from the link itself leads on";

  EXPECT_EQ(scratchKey()->deleteKey("Link\\Sub"), kSuccess);
  EXPECT_EQ(reg().openKey(RegRoot::LocalMachine, target + "\\Sub", access::kRead, below), kFileNotFound);

  ASSERT_EQ(reg().createKey(RegRoot::LocalMachine, target + "\\Sub", access::kAllAccess, below), kSuccess);
  NotedPaths noted;
  EXPECT_TRUE(cvl::deleteKeyTree(scratch_->platform(), noted, "HKCU\\" + keyPath("Link")));
  EXPECT_TRUE(cvl::deleteKeyTree(scratch_->platform(), noted, "HKCU\\" + scratch_->key));
  EXPECT_EQ(reg().openKey(RegRoot::LocalMachine, target + "\\Sub", access::kRead, below), kSuccess);
  RegValue owned;
  ASSERT_EQ(reg().openKey(RegRoot::LocalMachine, target, access::kRead, key), kSuccess);
  EXPECT_EQ(key->queryValue("Owned", owned), kSuccess);
  ASSERT_EQ(reg().openKey(scratch_->root, keyPath("Link"), access::kRead | access::kOpenLink, key), kSuccess);
  EXPECT_TRUE(key->isLink(link) == kSuccess && link) << "the link stays";
  deleteKeyTree(reg(), RegRoot::LocalMachine, target);
}

TEST_P(Contract, RegistryHandleOfADeletedKeyReportsKeyDeleted) {
  RegKeyPtr doomed = createKey("Doomed");
  ASSERT_EQ(doomed->setValue("v", RegValue::dword(7)), kSuccess);
  ASSERT_EQ(reg().deleteKey(scratch_->root, keyPath("Doomed")), kSuccess);

  RegValue value;
  std::string name;
  RegKeyInfo info;
  RegKeyPtr child;
  EXPECT_EQ(doomed->queryValue("v", value), kKeyDeleted);
  EXPECT_EQ(doomed->setValue("w", RegValue::dword(1)), kKeyDeleted);
  EXPECT_EQ(doomed->enumValue(0, name, nullptr), kKeyDeleted);
  EXPECT_EQ(doomed->enumKey(0, name), kKeyDeleted);
  EXPECT_EQ(doomed->info(info), kKeyDeleted);
  EXPECT_EQ(doomed->createKey("Child", access::kAllAccess, child), kKeyDeleted);
  EXPECT_EQ(doomed->openKey("", access::kRead, child), kKeyDeleted);
  EXPECT_FALSE(reg().openKey(scratch_->root, keyPath("Doomed"), access::kRead, child) == kSuccess);
}

TEST_P(Contract, RegistryEnforcesTheAccessAKeyWasOpenedWith) {
  createKey("Guarded")->setValue("v", RegValue::dword(1));
  RegKeyPtr reader, writer;
  ASSERT_EQ(reg().openKey(scratch_->root, keyPath("Guarded"), access::kRead, reader), kSuccess);
  ASSERT_EQ(reg().openKey(scratch_->root, keyPath("Guarded"), access::kSetValue, writer), kSuccess);
  RegValue value;
  std::string name;
  EXPECT_EQ(reader->queryValue("v", value), kSuccess);
  EXPECT_EQ(reader->setValue("v", RegValue::dword(2)), kAccessDenied);
  EXPECT_EQ(reader->deleteValue("v"), kAccessDenied);
  EXPECT_EQ(writer->queryValue("v", value), kAccessDenied);
  EXPECT_EQ(writer->enumKey(0, name), kAccessDenied);
  EXPECT_EQ(writer->enumValue(0, name, nullptr), kAccessDenied);
  RegKeyInfo info;
  EXPECT_EQ(writer->info(info), kSuccess);
  EXPECT_EQ(writer->setValue("v", RegValue::dword(3)), kSuccess);
  EXPECT_EQ(writer->deleteValue("v"), kSuccess);
  EXPECT_EQ(writer->deleteValue("v"), kFileNotFound);

  // Creating and deleting subkeys asks nothing of the parent's handle.
  RegKeyPtr child;
  EXPECT_EQ(reader->createKey("Child", access::kAllAccess, child), kSuccess);
  EXPECT_EQ(reader->deleteKey("Child"), kSuccess);
}

TEST_P(Contract, RegistrySmallBuffersGiveMoreDataWithTheNeededSize) {
  RegKeyPtr key = scratchKey();
  RegKeyPtr child;
  ASSERT_EQ(key->createKey("Seven77", access::kAllAccess, child), kSuccess);
  ASSERT_EQ(key->setValue("Name5", RegValue::binary({1, 2, 3, 4, 5, 6})), kSuccess);

  std::string name;
  EXPECT_EQ(key->enumKey(0, name, 7), kMoreData);
  EXPECT_EQ(key->enumKey(0, name, 0), kMoreData);
  EXPECT_EQ(key->enumKey(1, name, 0), kNoMoreItems);
  ASSERT_EQ(key->enumKey(0, name, 8), kSuccess);
  EXPECT_EQ(name, "Seven77");

  RegValue value;
  EXPECT_EQ(key->enumValue(0, name, nullptr, 5), kMoreData);
  EXPECT_EQ(key->enumValue(0, name, nullptr, 0), kMoreData);
  EXPECT_EQ(key->enumValue(1, name, nullptr, 0), kNoMoreItems);
  ASSERT_EQ(key->enumValue(0, name, &value, 6, 6), kSuccess);
  EXPECT_EQ(value.data, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(key->enumValue(0, name, &value, 6, 5), kMoreData);
  EXPECT_EQ(value.type, RegType::Binary);
  EXPECT_EQ(value.data.size(), 6u);

  value = RegValue{};
  EXPECT_EQ(key->queryValue("Name5", value, 4), kMoreData);
  EXPECT_EQ(value.type, RegType::Binary);
  EXPECT_EQ(value.data.size(), 6u);
  ASSERT_EQ(key->setValue("Text", RegValue::string("hello")), kSuccess);
  EXPECT_EQ(key->queryValue("Text", value, 5), kMoreData);
  EXPECT_EQ(value.data.size(), 6u);
  ASSERT_EQ(key->queryValue("Text", value, 6), kSuccess);
  EXPECT_EQ(value.asString(), "hello");
}

TEST_P(Contract, RegistryValuesOfAnySizeReadWhole) {
  RegKeyPtr key = scratchKey();
  for (size_t size : {0u, 1u, 511u, 512u, 513u, 4096u, 70000u}) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + size);
    ASSERT_EQ(key->setValue("Blob", RegValue::binary(bytes)), kSuccess);
    RegValue value;
    ASSERT_EQ(key->queryValue("Blob", value, 100000), kSuccess) << size;
    EXPECT_EQ(value.data, bytes) << size;
    if (size > 0) {
      EXPECT_EQ(key->queryValue("Blob", value, static_cast<uint32_t>(size - 1)), kMoreData) << size;
      EXPECT_EQ(value.data.size(), size);
    }
  }
  const std::string text(600, 'x');
  ASSERT_EQ(key->setValue("Long", RegValue::string(text)), kSuccess);
  RegValue value;
  ASSERT_EQ(key->queryValue("Long", value, 1000), kSuccess);
  EXPECT_EQ(value.asString(), text);
}

TEST_P(Contract, RegistryValueTypesRoundTripAndTheDefaultValueHasTheEmptyName) {
  RegKeyPtr key = createKey("Typed");
  const std::vector<std::pair<std::string, RegValue>> stored{
      {"Sz", RegValue::string("C:\\Corvel")},
      {"Expand", RegValue::string("%SystemRoot%\\x", RegType::ExpandSz)},
      {"Multi", RegValue{RegType::MultiSz, {'a', 0, 'b', 'c', 0, 0}}},
      {"Bin", RegValue::binary({0, 255, 0, 7})},
      {"EmptyBin", RegValue::binary({})},
      {"Dword", RegValue::dword(0xDEADBEEF)},
      {"None", RegValue{RegType::None, {9}}},
  };
  RegValue value;
  EXPECT_EQ(key->queryValue("", value), kFileNotFound);
  for (const auto& [name, v] : stored) ASSERT_EQ(key->setValue(name, v), kSuccess) << name;
  ASSERT_EQ(key->setValue("", RegValue::string("default")), kSuccess);

  for (const auto& [name, v] : stored) {
    ASSERT_EQ(key->queryValue(name, value), kSuccess) << name;
    EXPECT_EQ(value.type, v.type) << name;
    EXPECT_EQ(value.data, v.data) << name;
  }
  ASSERT_EQ(key->queryValue("", value), kSuccess);
  EXPECT_EQ(value.asString(), "default");
  std::string first;
  ASSERT_EQ(key->enumValue(0, first, &value), kSuccess);
  EXPECT_EQ(first, "");
  EXPECT_EQ(value.asString(), "default");

  RegKeyInfo info;
  ASSERT_EQ(key->info(info), kSuccess);
  EXPECT_EQ(info.valueCount, 8u);
  EXPECT_EQ(info.subKeyCount, 0u);
  EXPECT_EQ(info.maxValueNameLength, 8u);  // "EmptyBin"
  EXPECT_EQ(info.maxValueDataSize, 30u);   // "%SystemRoot%\x" and its zero, in UTF-16
  EXPECT_EQ(key->deleteValue(""), kSuccess);
  EXPECT_EQ(key->queryValue("", value), kFileNotFound);
}

}  // namespace
}  // namespace cvl::platform::contract
