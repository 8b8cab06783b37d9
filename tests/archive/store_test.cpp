#include <gtest/gtest.h>

#include "tests/archive/bytes.h"
#include "tests/support/scratch.h"
#include "uninstaller/startup/startup_sequence.h"
#include "uninstaller/store/config_store.h"

namespace cvl {
namespace {

using platform::FileStatus;
using platform::MemoryFileSystem;
using namespace test;

const std::string kDir = "C:\\Program Files\\Corvel\\Uninstall";
const std::string kPath = kDir + "\\cvlinst.dat";

Bytes pair(const std::string& key, const std::string& value) { return cat({str(key), str(value)}); }

// One set holding one section with the given pairs.
Bytes oneSetStore(const std::string& key, const std::string& section, std::initializer_list<Bytes> pairs) {
  return cat({u32(1), str(key), str("default.cdf"), u32(1), str(section), Bytes{static_cast<uint8_t>(pairs.size()), 0},
              cat(pairs)});
}
const auto loadBytes = loaded<CConfigStore>;

TEST(ConfigStoreFormat, LayoutOfSetsSectionsAndPairs) {
  CConfigStore store;
  store.enterSet("default.cdf").setValue("Word", "SELECTED", "Yes");
  EXPECT_EQ(stored(store), oneSetStore("default.cdf", "Word", {pair("SELECTED", "Yes")}));
}

TEST(ConfigStoreFormat, UnchangedStoreRoundTripsByteForByte) {
  // Neither sets, sections nor keys are in sorted order, and case varies.
  const Bytes file = cat({u32(2), str("value.shl"), str("value.shl"), u32(2), str("Zeta"), hex("02 00"),
                          pair("b", "1"), pair("A", "2"), str("alpha"), hex("00 00"), str("default.cdf"),
                          str("default.cdf"), u32(1), str("TopComponents"), hex("01 00"), pair("1", "Word")});
  CConfigStore store = loadBytes(file);
  EXPECT_EQ(stored(store), file);
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
  EXPECT_EQ(stored(store), oneSetStore("DEFAULT.CDF", "Word", {}));
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

  platform::MemoryPlatform platform_;
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

// The store written back in place, on each platform: its file keeps its
// times and attributes, and any failure leaves it as it was.
class WriteBack : public OnEachPlatform {
 protected:
  void SetUp() override {
    OnEachPlatform::SetUp();
    writeFile("cvlinst.dat", asText(file_));
    FileStatus old;
    ASSERT_EQ(files().status(store(), old), platform::kSuccess);
    old.attributes = platform::attr::kHidden | platform::attr::kArchive;
    old.written -= 10'000'000ull * 3600 * 24 * 365;  // a year back: anything written now looks newer
    old.accessed = old.written;
    ASSERT_EQ(files().setStatus(store(), old), platform::kSuccess);
    ASSERT_EQ(files().status(store(), before_), platform::kSuccess);
    ASSERT_TRUE(store_.load(files(), store()));
  }
  std::string store() const { return path("cvlinst.dat"); }
  void expectUntouched() {
    EXPECT_EQ(readFile("cvlinst.dat"), asText(file_));
    std::vector<std::string> names;
    (void)files().find(path("*"), [&](const platform::FoundEntry& entry) { return names.push_back(entry.name), true; });
    EXPECT_EQ(names.size(), 3u) << "nothing beside the store";
  }

  CConfigStore store_;
  FileStatus before_;
  const Bytes file_ = oneSetStore("default.cdf", "Word", {pair("SELECTED", "YES")});
};

TEST_P(WriteBack, ShorterContentKeepsTheOldTailAndTheFileStatusLongerReplacesAll) {
  store_.markRemoved("WORD");
  ASSERT_TRUE(writeBackStore(files(), store_));
  FileStatus after;
  ASSERT_EQ(files().status(store(), after), platform::kSuccess);
  EXPECT_EQ(after.written, before_.written);
  EXPECT_EQ(after.attributes, before_.attributes);
  // A real file system stamps the access time itself.
  if (dynamic_cast<MemoryScratch*>(scratch_.get())) {
    EXPECT_EQ(after.accessed, before_.accessed);
  }
  const Bytes expected = oneSetStore("default.cdf", "Word", {pair("SELECTED", "No")});
  ASSERT_EQ(expected.size() + 1, file_.size());
  EXPECT_EQ(readFile("cvlinst.dat"), asText(expected) + "S");  // "YES" lost one letter; its last stays behind
  EXPECT_FALSE(exists("cvlinst.dat.new"));
  // Loading again sees only the new content.
  CConfigStore reread;
  ASSERT_TRUE(reread.load(files(), store()));
  EXPECT_EQ(*reread.findSectionSet("default.cdf")->findSection("WORD")->find("SELECTED"), "No");

  // Longer content replaces everything.
  store_.markRemoved("EXCEL");
  ASSERT_TRUE(writeBackStore(files(), store_));
  EXPECT_EQ(readFile("cvlinst.dat"), asText(stored(store_)));
}

TEST_P(WriteBack, AReadOnlyOrMissingStoreIsLeftAlone) {
  store_.markRemoved("WORD");
  ASSERT_EQ(files().setAttributes(store(), platform::attr::kReadOnly), platform::kSuccess);
  EXPECT_FALSE(writeBackStore(files(), store_));
  expectUntouched();
  ASSERT_EQ(files().setAttributes(store(), platform::attr::kNormal), platform::kSuccess);
  ASSERT_EQ(files().deleteFile(store()), platform::kSuccess);
  EXPECT_FALSE(writeBackStore(files(), store_));
  EXPECT_FALSE(exists("cvlinst.dat"));
}

// Faults are made in memory only.
class WriteBackFaults : public WriteBack {};

TEST_P(WriteBackFaults, AFailureAtAnyStepLeavesTheOldStore) {
  MemoryFileSystem& memory = dynamic_cast<MemoryScratch&>(*scratch_).memory.files();
  store_.markRemoved("WORD");
  const std::string temporary = store() + ".new";
  const std::pair<std::string, MemoryFileSystem::Op> faults[] = {
      {store(), MemoryFileSystem::Op::Open},      {temporary, MemoryFileSystem::Op::Open},
      {temporary, MemoryFileSystem::Op::Write},   {temporary, MemoryFileSystem::Op::Flush},
      {temporary, MemoryFileSystem::Op::Replace}, {store(), MemoryFileSystem::Op::Replace},
  };
  for (const auto& [path, op] : faults) {
    memory.fail(path, op, platform::kAccessDenied);
    EXPECT_FALSE(writeBackStore(files(), store_)) << path << " " << static_cast<int>(op);
    memory.clearFaults();
    expectUntouched();
  }
}

CVL_ON_EACH_PLATFORM(WriteBack, scratchKinds("CvlStore"));
CVL_ON_EACH_PLATFORM(WriteBackFaults, std::vector{scratchKinds("CvlStore").front()});

}  // namespace
}  // namespace cvl
