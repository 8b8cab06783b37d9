#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "tests/archive/bytes.h"
#include "uninstaller/startup/startup_sequence.h"
#include "uninstaller/store/config_store.h"

namespace cvl {
namespace {

using platform::MemoryFileSystem;
using platform::MemoryPlatform;
using test::Bytes;
using test::cat;
using test::hex;
using test::str;
using test::u32;

const std::string kDir = "C:\\Program Files\\Corvel\\Uninstall";
const std::string kPath = kDir + "\\cvlinst.dat";

// One set holding one section with the given pairs.
Bytes oneSetStore(const std::string& key, const std::string& section, std::initializer_list<Bytes> pairs) {
  Bytes body;
  for (const Bytes& pair : pairs) body.insert(body.end(), pair.begin(), pair.end());
  return cat({u32(1), str(key), str("default.cdf"), u32(1), str(section),
              Bytes{static_cast<uint8_t>(pairs.size()), 0}, body});
}

Bytes pair(const std::string& key, const std::string& value) { return cat({str(key), str(value)}); }

CConfigStore loadBytes(const Bytes& bytes) {
  CConfigStore store;
  test::load(bytes, [&](Archive& a) { return store.serialize(a), 0; });
  return store;
}

Bytes storeBytes(CConfigStore& store) {
  return test::store([&](Archive& a) { store.serialize(a); });
}

std::string asText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(ConfigStoreFormat, LayoutOfSetsSectionsAndPairs) {
  CConfigStore store;
  store.enterSet("default.cdf").setValue("Word", "SELECTED", "Yes");
  EXPECT_EQ(storeBytes(store), oneSetStore("default.cdf", "Word", {pair("SELECTED", "Yes")}));
}

TEST(ConfigStoreFormat, UnchangedStoreRoundTripsByteForByte) {
  // Neither sets, sections nor keys are in sorted order, and case varies.
  const Bytes file = cat({u32(2), str("value.shl"), str("value.shl"), u32(2), str("Zeta"), hex("02 00"),
                          pair("b", "1"), pair("A", "2"), str("alpha"), hex("00 00"), str("default.cdf"),
                          str("default.cdf"), u32(1), str("TopComponents"), hex("01 00"), pair("1", "Word")});
  CConfigStore store = loadBytes(file);
  EXPECT_EQ(storeBytes(store), file);
}

TEST(ConfigStoreFormat, NonPositiveCountsMeanNothing) {
  EXPECT_TRUE(loadBytes(u32(0)).sets().empty());
  EXPECT_TRUE(loadBytes(u32(0x80000000)).sets().empty());
  CConfigStore store = loadBytes(cat({u32(1), str("a"), str("a"), u32(0xFFFFFFFF)}));
  ASSERT_NE(store.findSectionSet("A"), nullptr);
  EXPECT_TRUE(store.findSectionSet("A")->sections().empty());
}

TEST(ConfigStoreFormat, TruncatedOrOverlongStoresRaiseEndOfFile) {
  const Bytes whole = oneSetStore("default.cdf", "Word", {pair("SELECTED", "Yes")});
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    EXPECT_THROW(loadBytes(Bytes(whole.begin(), whole.begin() + cut)), ArchiveEndOfFile) << cut;
  }
  EXPECT_THROW(loadBytes(cat({u32(0x7FFFFFFF), str("a")})), ArchiveEndOfFile);
  EXPECT_THROW(loadBytes(cat({u32(1), str("a"), str("a"), u32(0x7FFFFFFF)})), ArchiveEndOfFile);
}

TEST(ConfigStoreLookup, SetsAreFoundByTheBaseNameOfTheirKeyInAnyCase) {
  CConfigStore store = loadBytes(oneSetStore("C:\\SETUP\\Disk1\\DEFAULT.CDF", "Word", {}));
  const CSectionSet* set = store.findSectionSet("default.cdf");
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(set->name(), "default.cdf");  // the set record's own name wins
  EXPECT_EQ(set->listedKey(), "C:\\SETUP\\Disk1\\DEFAULT.CDF");
  EXPECT_EQ(store.sets().begin()->first, "DEFAULT.CDF");
  EXPECT_EQ(store.findSectionSet("default"), nullptr);
  // Written back under its base name.
  EXPECT_EQ(storeBytes(store), oneSetStore("DEFAULT.CDF", "Word", {}));
}

TEST(ConfigStoreLookup, ASecondListingOfASetAddsToIt) {
  const Bytes file = cat({u32(2), str("a\\default.cdf"), str("first"), u32(2), str("One"), hex("01 00"),
                          pair("k", "old"), str("Two"), hex("00 00"), str("b\\Default.CDF"), str("second"), u32(1),
                          str("One"), hex("01 00"), pair("k", "new")});
  CConfigStore store = loadBytes(file);
  ASSERT_EQ(store.sets().size(), 1u);
  const CSectionSet* set = store.findSectionSet("DEFAULT.CDF");
  EXPECT_EQ(set->name(), "second");
  ASSERT_EQ(set->sections().size(), 2u);
  EXPECT_EQ(set->sections().begin()->first, "One");  // replaced where it stood
  EXPECT_EQ(*set->findSection("one")->find("k"), "new");
}

TEST(ConfigStoreLookup, SectionsIgnoreCaseButKeysDoNot) {
  CConfigStore store = loadBytes(cat({u32(1), str("default.cdf"), str("default.cdf"), u32(2), str("Word"),
                                      hex("01 00"), pair("Selected", "Yes"), str("WORD"), hex("00 00")}));
  CSectionSet* set = store.findSectionSet("Default.Cdf");
  ASSERT_EQ(set->sections().size(), 2u);  // exact names are distinct sections
  EXPECT_EQ(set->findSection("word"), set->sections().begin()->second.get());

  // The section of exactly that name receives the key, the other keeps none.
  EXPECT_TRUE(store.markRemoved("WORD"));
  const CSection* word = set->findSection("Word");
  EXPECT_EQ(*set->sections().find("WORD")->get()->find("SELECTED"), "No");
  EXPECT_EQ(word->find("SELECTED"), nullptr);
  // Without one, the first in file order ignoring case does; "Selected" stays.
  EXPECT_TRUE(store.markRemoved("wORD"));
  EXPECT_EQ(*word->find("Selected"), "Yes");
  EXPECT_EQ(*word->find("SELECTED"), "No");

  // A component without a section gets one, at the end.
  EXPECT_TRUE(store.markRemoved("EXCEL"));
  EXPECT_EQ((set->sections().end() - 1)->first, "EXCEL");
  EXPECT_EQ(*set->findSection("Excel")->find("SELECTED"), "No");

  CConfigStore withoutComponents = loadBytes(u32(0));
  EXPECT_FALSE(withoutComponents.markRemoved("WORD"));
}

class LoadStoreTest : public ::testing::Test {
 protected:
  void seedDirectoryValue(const std::string& directory) {
    platform_.registry().seedValue(platform::RegRoot::LocalMachine, names::kCdfKey, "",
                                   platform::RegValue::string(directory));
  }
  void seedStore(const std::string& path, const Bytes& bytes) { platform_.files().addFile(path, asText(bytes)); }

  MemoryPlatform platform_;
  CConfigStore store_;
  const Bytes file_ = oneSetStore("default.cdf", "Word", {pair("SELECTED", "Yes")});
};

TEST_F(LoadStoreTest, FindsTheStoreThroughTheRegistry) {
  for (const std::string& directory : {kDir, kDir + "\\"}) {
    seedDirectoryValue(directory);
    seedStore(kPath, file_);
    CConfigStore store;
    ASSERT_TRUE(loadStore(platform_, store)) << directory;
    EXPECT_EQ(store.path(), kPath);
    EXPECT_NE(store.findSectionSet("default.cdf"), nullptr);
  }
}

TEST_F(LoadStoreTest, FallsBackToTheProgramDirectoryWhenTheValueIsUnreadable) {
  platform_.registry().seedKey(platform::RegRoot::LocalMachine, names::kCdfKey);
  platform_.system().setModulePath("D:\\Tools\\Cvlunst2.exe");
  seedStore("D:\\Tools\\cvlinst.dat", file_);
  ASSERT_TRUE(loadStore(platform_, store_));
  EXPECT_EQ(store_.path(), "D:\\Tools\\cvlinst.dat");

  // A directory longer than the 260-byte buffer cannot be read either.
  seedDirectoryValue("C:\\" + std::string(300, 'x'));
  CConfigStore again;
  ASSERT_TRUE(loadStore(platform_, again));
  EXPECT_EQ(again.path(), "D:\\Tools\\cvlinst.dat");
}

TEST_F(LoadStoreTest, FailsWithoutKeyFileOrCompleteContent) {
  seedStore(kPath, file_);
  EXPECT_FALSE(loadStore(platform_, store_));  // no key

  seedDirectoryValue(kDir);
  platform_.registry().fail(platform::RegRoot::LocalMachine, names::kCdfKey, platform::MemoryRegistry::Op::Open,
                            platform::kAccessDenied);
  EXPECT_FALSE(loadStore(platform_, store_));
  platform_.registry().clearFaults();

  seedDirectoryValue("C:\\Elsewhere");
  EXPECT_FALSE(loadStore(platform_, store_));  // no file there

  seedDirectoryValue(kDir);
  seedStore(kPath, Bytes(file_.begin(), file_.end() - 1));
  EXPECT_FALSE(loadStore(platform_, store_));
}

class WriteBackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files().addFile(kPath, asText(file_), platform::attr::kArchive | platform::attr::kHidden);
    ASSERT_EQ(files().status(kPath, before_), platform::kSuccess);
    ASSERT_TRUE(store_.load(files(), kPath));
    files().setClock(before_.written + 10'000'000);  // anything written now looks newer
  }
  MemoryFileSystem& files() { return platform_.files(); }
  std::string content() { return *files().content(kPath); }
  void expectUntouched() {
    EXPECT_EQ(content(), asText(file_));
    EXPECT_FALSE(files().exists(kPath + ".new"));
    EXPECT_EQ(files().paths().size(), 4u);  // C:\, the two directories and the store
  }

  MemoryPlatform platform_;
  CConfigStore store_;
  platform::FileStatus before_;
  const Bytes file_ = oneSetStore("default.cdf", "Word", {pair("SELECTED", "YES")});
};

TEST_F(WriteBackTest, ShorterContentKeepsTheOldTailAndTheFileStatus) {
  store_.markRemoved("WORD");
  ASSERT_TRUE(writeBackStore(files(), store_));

  const Bytes expected = oneSetStore("default.cdf", "Word", {pair("SELECTED", "No")});
  ASSERT_EQ(expected.size() + 1, file_.size());
  EXPECT_EQ(content(), asText(expected) + "S");  // "YES" lost one letter; its last stays behind
  platform::FileStatus after;
  ASSERT_EQ(files().status(kPath, after), platform::kSuccess);
  EXPECT_EQ(after.written, before_.written);
  EXPECT_EQ(after.accessed, before_.accessed);
  EXPECT_EQ(after.attributes, before_.attributes);
  EXPECT_FALSE(files().exists(kPath + ".new"));

  // Loading again sees only the new content.
  CConfigStore reread;
  ASSERT_TRUE(reread.load(files(), kPath));
  EXPECT_EQ(*reread.findSectionSet("default.cdf")->findSection("WORD")->find("SELECTED"), "No");
}

TEST_F(WriteBackTest, LongerContentReplacesEverything) {
  store_.markRemoved("EXCEL");
  ASSERT_TRUE(writeBackStore(files(), store_));
  EXPECT_EQ(content(), asText(storeBytes(store_)));
}

TEST_F(WriteBackTest, AFailureAtAnyStepLeavesTheOldStore) {
  store_.markRemoved("WORD");
  const std::string temporary = kPath + ".new";
  const std::pair<std::string, MemoryFileSystem::Op> faults[] = {
      {kPath, MemoryFileSystem::Op::Open},     {temporary, MemoryFileSystem::Op::Open},
      {temporary, MemoryFileSystem::Op::Write}, {temporary, MemoryFileSystem::Op::Flush},
      {temporary, MemoryFileSystem::Op::Replace}, {kPath, MemoryFileSystem::Op::Replace},
  };
  for (const auto& [path, op] : faults) {
    files().fail(path, op, platform::kAccessDenied);
    EXPECT_FALSE(writeBackStore(files(), store_)) << path << " " << static_cast<int>(op);
    expectUntouched();
    files().clearFaults();
  }
  // A read-only store cannot be replaced either.
  files().setAttributes(kPath, platform::attr::kReadOnly);
  EXPECT_FALSE(writeBackStore(files(), store_));
  expectUntouched();
}

TEST_F(WriteBackTest, AMissingStoreIsNotCreated) {
  files().deleteFile(kPath);
  EXPECT_FALSE(writeBackStore(files(), store_));
  EXPECT_FALSE(files().exists(kPath));
}

}  // namespace
}  // namespace cvl
