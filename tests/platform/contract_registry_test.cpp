// Registry behaviour the core relies on, identical on every platform.
#include "contract_fixture.h"
#include "uninstaller/removal/delete_key_tree.h"

namespace cvl::platform::contract {
namespace {

using Names = std::vector<std::string>;
using test::keyNames;
using test::valueNames;

// Names ignore case but keep their first spelling; extra backslashes in a
// path are skipped, a leading one is refused, an empty name reopens the key.
TEST_P(Contract, RegistryNamesIgnoreCaseAndPathsSkipExtraBackslashes) {
  RegKeyPtr key = makeKey("MixedCase\\Inner"), again, recreated, mixed, missing;
  ASSERT_TRUE(key);
  ASSERT_EQ(key->setValue("ValueName", RegValue::string("one")), kSuccess);
  ASSERT_EQ(key->setValue("VALUENAME", RegValue::string("two")), kSuccess);
  ASSERT_EQ(open("MIXEDCASE\\inner", again), kSuccess);
  RegValue value;
  ASSERT_EQ(again->queryValue("valuename", value), kSuccess);
  EXPECT_EQ(value.asString(), "two");
  EXPECT_EQ(valueNames(*again), Names{"ValueName"});
  ASSERT_EQ(reg().createKey(kUser, subKey("mixedcase\\INNER\\New"), access::kAllAccess, recreated), kSuccess);
  EXPECT_EQ(keyNames(*scratchKey()), Names{"MixedCase"});
  ASSERT_EQ(open("mixedcase", mixed), kSuccess);
  EXPECT_EQ(keyNames(*mixed), Names{"Inner"});

  makeKey("Trail");
  EXPECT_EQ(open("Trail\\", key), kSuccess);
  EXPECT_EQ(reg().openKey(kUser, scratch_->key + "\\\\Trail\\\\", access::kRead, key), kSuccess);
  EXPECT_EQ(reg().openKey(kUser, "\\" + subKey("Trail"), access::kRead, key), kBadPathname);
  EXPECT_EQ(key->createKey("\\Inner", access::kAllAccess, again), kBadPathname);
  EXPECT_EQ(open("Absent", missing), kFileNotFound);
  EXPECT_EQ(open("Absent\\Deeper", missing), kFileNotFound);
  ASSERT_EQ(scratchKey()->openKey("", access::kAllAccess, again), kSuccess);
  EXPECT_EQ(keyNames(*again), (Names{"MixedCase", "Trail"}));
}

TEST_P(Contract, RegistryEnumeratesKeysAndValuesSortedByLowerCaseNameUntilNoMoreItems) {
  RegKeyPtr key = scratchKey(), child;
  for (const char* name : {"beta", "Alpha", "_under", "Zed", "gamma", "alpha2"}) {
    ASSERT_EQ(key->createKey(name, access::kAllAccess, child), kSuccess);
    ASSERT_EQ(key->setValue(name, RegValue::dword(1)), kSuccess);
  }
  const Names sorted{"_under", "Alpha", "alpha2", "beta", "gamma", "Zed"};
  EXPECT_EQ(keyNames(*key), sorted);
  EXPECT_EQ(valueNames(*key), sorted);
  std::string name = "stale";
  EXPECT_EQ(key->enumKey(6, name), kNoMoreItems);
  EXPECT_EQ(key->enumValue(6, name, nullptr), kNoMoreItems);
  EXPECT_EQ(key->enumKey(1000, name), kNoMoreItems);
}

TEST_P(Contract, RegistryKeyWithSubkeysCannotBeDeletedTheNtWay) {
  makeKey("Parent\\Child\\Grandchild");
  RegKeyPtr parent = makeKey("Parent");
  EXPECT_EQ(reg().deleteKey(kUser, subKey("Parent")), kAccessDenied);
  EXPECT_EQ(parent->deleteKey("Child"), kAccessDenied);
  EXPECT_EQ(parent->deleteKey("Child\\Grandchild"), kSuccess);
  EXPECT_EQ(parent->deleteKey("child"), kSuccess);
  EXPECT_EQ(parent->deleteKey("Child"), kFileNotFound);
  EXPECT_EQ(reg().deleteKey(kUser, subKey("PARENT")), kSuccess);
  EXPECT_EQ(reg().deleteKey(kUser, subKey("Parent")), kFileNotFound);
  EXPECT_TRUE(keyNames(*scratchKey()).empty());
  // An empty name deletes the key behind the handle itself, and so does the
  // handle, given the right, once the key holds no subkey.
  RegKeyPtr self = makeKey("Self");
  EXPECT_EQ(self->deleteKey(""), kSuccess);
  EXPECT_EQ(open("Self", self), kFileNotFound);
  makeKey("Self\\Child");
  ASSERT_EQ(open("Self", self, access::kRead), kSuccess);
  EXPECT_EQ(self->deleteSelf(), kAccessDenied) << "no right to delete";
  ASSERT_EQ(open("Self", self, access::kRead | access::kDelete), kSuccess);
  EXPECT_EQ(self->deleteSelf(), kAccessDenied) << "a subkey left";
  EXPECT_EQ(reg().deleteKey(kUser, subKey("Self\\Child")), kSuccess);
  EXPECT_EQ(self->deleteSelf(), kSuccess);
  EXPECT_EQ(open("Self", self), kFileNotFound);
}

// A link leads every open through it to the key it names, unless the open
// asks for the link itself, and RegDeleteKey follows it too. The removal's
// own deletion keeps the link and leaves what it names whole.
TEST_P(Contract, RegistryLinksLeadToWhatTheyNameUnlessOpenedAsThemselves) {
  const std::string target = "Software\\CvlContractLinkTarget";
  auto machine = [&](const std::string& below, RegKeyPtr& out, bool create = false) {
    return create ? reg().createKey(RegRoot::LocalMachine, target + below, access::kAllAccess, out)
                  : reg().openKey(RegRoot::LocalMachine, target + below, access::kRead, out);
  };
  test::eraseKey(reg(), RegRoot::LocalMachine, target);
  RegKeyPtr key, below;
  ASSERT_EQ(machine("\\Sub", key, true), kSuccess);
  ASSERT_EQ(machine("", key, true), kSuccess);
  ASSERT_EQ(key->setValue("Owned", RegValue::dword(1)), kSuccess);
  scratch_->plantLink(kUser, subKey("Link"), "\\REGISTRY\\MACHINE\\" + target);

  bool link = true;
  ASSERT_EQ(open("Link", key), kSuccess);
  EXPECT_EQ(key->isLink(link), kSuccess);
  EXPECT_FALSE(link);
  EXPECT_EQ(keyNames(*key), Names{"Sub"});
  EXPECT_EQ(open("Link\\Sub", key, access::kRead | access::kOpenLink), kSuccess) << "a link on the way is followed";

  ASSERT_EQ(open("Link", key, access::kRead | access::kOpenLink), kSuccess);
  EXPECT_EQ(key->isLink(link), kSuccess);
  EXPECT_TRUE(link);
  EXPECT_TRUE(keyNames(*key).empty());
  EXPECT_EQ(key->openKey("Sub", access::kRead, below), kSuccess) << "a path from the link itself leads on";

  EXPECT_EQ(scratchKey()->deleteKey("Link\\Sub"), kSuccess);
  EXPECT_EQ(machine("\\Sub", below), kFileNotFound);
  ASSERT_EQ(machine("\\Sub", below, true), kSuccess);
  NotedPaths noted;
  EXPECT_TRUE(cvl::deleteKeyTree(platform(), noted, "HKCU\\" + subKey("Link")));
  EXPECT_TRUE(cvl::deleteKeyTree(platform(), noted, "HKCU\\" + scratch_->key));
  EXPECT_EQ(machine("\\Sub", below), kSuccess);
  RegValue owned;
  ASSERT_EQ(machine("", key), kSuccess);
  EXPECT_EQ(key->queryValue("Owned", owned), kSuccess);
  ASSERT_EQ(open("Link", key, access::kRead | access::kOpenLink | access::kDelete), kSuccess);
  EXPECT_TRUE(key->isLink(link) == kSuccess && link) << "the link stays";
  EXPECT_EQ(key->deleteSelf(), kSuccess) << "a link opened as itself goes itself";
  EXPECT_EQ(open("Link", key, access::kRead | access::kOpenLink), kFileNotFound);
  EXPECT_EQ(machine("\\Sub", below), kSuccess) << "what it named stays whole";
  test::eraseKey(reg(), RegRoot::LocalMachine, target);
}

// A handle answers for its key: once the key is deleted every call says so,
// and a handle does only what it was opened for.
TEST_P(Contract, RegistryHandlesKnowTheirKeyIsDeletedAndKeepToTheirAccess) {
  RegKeyPtr doomed = makeKey("Doomed", {"v"}), reader, writer, child;
  makeKey("Guarded", {"v"});
  ASSERT_EQ(reg().deleteKey(kUser, subKey("Doomed")), kSuccess);
  RegValue value;
  std::string name;
  RegKeyInfo info;
  EXPECT_EQ(doomed->queryValue("v", value), kKeyDeleted);
  EXPECT_EQ(doomed->setValue("w", RegValue::dword(1)), kKeyDeleted);
  EXPECT_EQ(doomed->enumValue(0, name, nullptr), kKeyDeleted);
  EXPECT_EQ(doomed->enumKey(0, name), kKeyDeleted);
  EXPECT_EQ(doomed->info(info), kKeyDeleted);
  EXPECT_EQ(doomed->createKey("Child", access::kAllAccess, child), kKeyDeleted);
  EXPECT_EQ(doomed->openKey("", access::kRead, child), kKeyDeleted);
  EXPECT_NE(open("Doomed", child), kSuccess);

  ASSERT_EQ(open("Guarded", reader), kSuccess);
  ASSERT_EQ(open("Guarded", writer, access::kSetValue), kSuccess);
  EXPECT_EQ(reader->queryValue("v", value), kSuccess);
  EXPECT_EQ(reader->setValue("v", RegValue::dword(2)), kAccessDenied);
  EXPECT_EQ(reader->deleteValue("v"), kAccessDenied);
  EXPECT_EQ(writer->queryValue("v", value), kAccessDenied);
  EXPECT_EQ(writer->enumKey(0, name), kAccessDenied);
  EXPECT_EQ(writer->enumValue(0, name, nullptr), kAccessDenied);
  EXPECT_EQ(writer->info(info), kSuccess);
  EXPECT_EQ(writer->setValue("v", RegValue::dword(3)), kSuccess);
  EXPECT_EQ(writer->deleteValue("v"), kSuccess);
  EXPECT_EQ(writer->deleteValue("v"), kFileNotFound);
  // Creating and deleting subkeys asks nothing of the parent's handle.
  EXPECT_EQ(reader->createKey("Child", access::kAllAccess, child), kSuccess);
  EXPECT_EQ(reader->deleteKey("Child"), kSuccess);
}

// A buffer too small gives kMoreData with the size needed; values of any
// size read whole.
TEST_P(Contract, RegistrySmallBuffersGiveMoreDataWithTheNeededSize) {
  RegKeyPtr key = scratchKey(), child;
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

  for (size_t size : {0u, 1u, 6u, 511u, 512u, 513u, 4096u, 70000u}) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + size);
    ASSERT_EQ(key->setValue("Blob", RegValue::binary(bytes)), kSuccess);
    ASSERT_EQ(key->queryValue("Blob", value, 100000), kSuccess) << size;
    EXPECT_EQ(value.data, bytes) << size;
    if (size == 0) continue;
    value = RegValue{};
    EXPECT_EQ(key->queryValue("Blob", value, static_cast<uint32_t>(size - 1)), kMoreData) << size;
    EXPECT_EQ(value.type, RegType::Binary) << size;
    EXPECT_EQ(value.data.size(), size);
  }
  ASSERT_EQ(key->setValue("Text", RegValue::string("hello")), kSuccess);
  EXPECT_EQ(key->queryValue("Text", value, 5), kMoreData);
  EXPECT_EQ(value.data.size(), 6u);
  ASSERT_EQ(key->queryValue("Text", value, 6), kSuccess);
  EXPECT_EQ(value.asString(), "hello");
  const std::string text(600, 'x');
  ASSERT_EQ(key->setValue("Long", RegValue::string(text)), kSuccess);
  ASSERT_EQ(key->queryValue("Long", value, 1000), kSuccess);
  EXPECT_EQ(value.asString(), text);
}

TEST_P(Contract, RegistryValueTypesRoundTripAndTheDefaultValueHasTheEmptyName) {
  RegKeyPtr key = makeKey("Typed");
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

CVL_ON_EACH_IMPLEMENTATION(Contract);

}  // namespace
}  // namespace cvl::platform::contract
