#include <gtest/gtest.h>

#include "tests/archive/bytes.h"
#include "uninstaller/installlog/uninstall_log.h"

namespace cvl {
namespace {

using namespace test;

const Bytes kHeader = cat({hex("1E"), text("Corvel Uninstallation Log File"), u32(1)});

// A group with nothing but a name; `dirs` is the directory flag and tree.
Bytes group(const std::string& name, const Bytes& dirs = u32(0), const Bytes& registry = u32(0),
            const Bytes& shell = cat({str(""), u32(0)})) {
  return cat({str(name), u32(0), u32(0), u32(0), hex("00 00"), u32(0), hex("00 00"), dirs, registry, shell});
}

// A directory node with no files; child and sibling are complete encodings or empty.
Bytes dir(const std::string& name, const Bytes& child = {}, const Bytes& sibling = {}) {
  return cat({str(name), u32(0), hex("00 00"), u32(child.empty() ? 0 : 1), child, u32(sibling.empty() ? 0 : 1),
              sibling});
}

Bytes logOf(std::initializer_list<Bytes> groups) {
  return cat({kHeader, u32(static_cast<uint32_t>(groups.size())), cat(groups)});
}

const auto loadLog = loaded<CUninstallLog>;

std::vector<std::string> walk(const CFilegroup& group) {
  std::vector<std::string> names;
  for (const CDir* position = group.rootDir(); position != nullptr;) names.push_back(CFilegroup::nextDir(position)->name());
  return names;
}

TEST(InstallLogHeader, OnlyTheExactHeaderAndKnownVersionsLoad) {
  EXPECT_TRUE(loadLog(cat({kHeader, u32(0)})).groups().empty());
  EXPECT_EQ(loadLog(logOf({group("CORE")})).groups().size(), 1u);

  // The header in lower case, version 0 and version 2.
  for (const auto& [at, byte, groups] : {std::tuple{1, 'c', 0u}, {31, '\0', 1u}, {31, '\2', 0u}}) {
    Bytes changed = logOf({group("CORE")});
    changed[at] = static_cast<uint8_t>(byte);
    EXPECT_EQ(loadLog(changed).groups().size(), groups) << at << " " << int(byte);
  }

  EXPECT_TRUE(loadLog(cat({kHeader, u32(0xFFFFFFFF), group("CORE")})).groups().empty());
}

// Every field filled in, then written back byte for byte.
TEST(InstallLogGroup, FieldsInStreamOrderSurviveARoundTrip) {
  const Bytes shared = cat({str("Shared"), u32(1), u32(0xDEADBEEF), u32(7), hex("01 00"), str("k"), str("v"), u32(2),
                            hex("02 00"), str("a.dll"), str("b.ocx"), u32(0), u32(0), str("Menu"), u32(2),
                            str("1:Programs\\Corvel\\Word.lnk"), str("2:Desktop\\Word.lnk")});
  const Bytes registry = cat({u32(2), str("HKLM\\B"), hex("01 00"), str("v=1"), str("HKLM\\A"), hex("00 00")});
  const Bytes full = cat({str("Full"), u32(1), u32(42), u32(0), hex("02 00"), str("z"), str("1"), str("a"), str("2"),
                          u32(5), hex("01 00"), hex("FF 2C 01"), text(std::string(300, 'f')), u32(1),
                          dir("BIN", dir("HELP", {}, dir("SAMPLES")), dir("LIB")), registry,
                          cat({str("Menu"), u32(1), str("1:x")})});
  const Bytes bytes = logOf({shared, full, group("Second", cat({u32(1), dir("only")}))});
  CUninstallLog log = loadLog(bytes);
  ASSERT_EQ(log.groups().size(), 3u);
  const CFilegroup& g = *log.groups()[0];
  EXPECT_EQ(g.name(), "Shared");
  EXPECT_TRUE(g.shared());
  EXPECT_EQ(g.auxValue(), 0xDEADBEEFu);
  EXPECT_TRUE(g.selfRegister());  // any non-zero flag is set
  EXPECT_EQ(*g.auxMap().find("k"), "v");
  EXPECT_EQ(g.fileCount(), 2);
  EXPECT_EQ(g.files(), (StringList{"a.dll", "b.ocx"}));
  EXPECT_EQ(g.rootDir(), nullptr);
  EXPECT_EQ(g.shellObjects().name(), "Menu");
  EXPECT_EQ(g.shellObjects().itemCount(), 2);
  EXPECT_EQ(g.shellObjects().items(), (StringList{"1:Programs\\Corvel\\Word.lnk", "2:Desktop\\Word.lnk"}));
  EXPECT_EQ(log.groups()[1]->fileCount(), 5);  // kept as read, not as counted

  // Written back, the non-canonical flag 7 becomes 1 and nothing else moves.
  Bytes canonical = bytes;
  canonical[kHeader.size() + 4 + 7 + 4 + 4] = 1;
  EXPECT_EQ(stored(log), canonical);
}

TEST(InstallLogDirs, PreorderWalkWithPathsRelativeToTheTarget) {
  // Two first-level directories, A (with child X) and B.
  const Bytes twoLevels = cat({u32(1), str("A"), u32(0), hex("00 00"), u32(1), str("X"), u32(0), hex("00 00"), u32(0),
                               u32(0), u32(1), str("B"), u32(0), hex("00 00"), u32(0), u32(0)});
  EXPECT_EQ(twoLevels, cat({u32(1), dir("A", dir("X"), dir("B"))}));
  // BIN with child HELP, whose next sibling is SAMPLES; then a deep branch
  // to climb out of, resuming at the nearest ancestor's sibling.
  CUninstallLog log = loadLog(logOf({group("G", cat({u32(1), dir("BIN", dir("HELP", {}, dir("SAMPLES")))})),
                                     group("G", twoLevels),
                                     group("G", cat({u32(1), dir("A", dir("B", dir("C")), dir("D"))})), group("G")}));
  const auto& groups = log.groups();
  EXPECT_EQ(walk(*groups[0]), (std::vector<std::string>{"BIN", "BIN\\HELP", "BIN\\SAMPLES"}));
  EXPECT_EQ(groups[0]->rootDir()->firstChild()->nextSibling()->ownName(), "SAMPLES");
  EXPECT_EQ(walk(*groups[1]), (std::vector<std::string>{"A", "A\\X", "B"}));
  EXPECT_EQ(groups[1]->rootDir()->nextSibling()->parent(), nullptr);
  EXPECT_EQ(walk(*groups[2]), (std::vector<std::string>{"A", "A\\B", "A\\B\\C", "D"}));
  EXPECT_TRUE(walk(*groups[3]).empty());
}

TEST(InstallLogDirs, HugeTreesNeedNoDeepStack) {
  // Deep enough to overflow any thread stack if walked recursively.
  constexpr int kNodes = 200000;
  auto log = std::make_unique<CUninstallLog>();
  CFilegroup& wide = log->addGroup(std::make_unique<CFilegroup>());
  CDir* node = &wide.makeRootDir();
  for (int i = 1; i < kNodes; ++i) node = &node->makeNextSibling();
  CFilegroup& deep = log->addGroup(std::make_unique<CFilegroup>());
  node = &deep.makeRootDir();
  node->setOwnName("d");
  for (int i = 1; i < kNodes; ++i) node = &node->makeFirstChild();

  const Bytes bytes = stored(*log);
  CUninstallLog reread = loadLog(bytes);
  EXPECT_EQ(walk(*reread.groups()[0]).size(), static_cast<size_t>(kNodes));
  int count = 0;
  for (const CDir* position = reread.groups()[1]->rootDir(); position != nullptr; ++count) {
    CFilegroup::nextDir(position);
  }
  EXPECT_EQ(count, kNodes);
  EXPECT_EQ(stored(reread), bytes);
  log.reset();  // releasing both trees must not recurse either
}

TEST(InstallLogLookup, FindFileGroupIgnoresCaseAndTakesTheFirst) {
  CUninstallLog log = loadLog(logOf({group("CORE", u32(0), u32(0), cat({str("first"), u32(0)})), group("Core"),
                                     group("Extras")}));
  ASSERT_NE(log.findFileGroup("core"), nullptr);
  EXPECT_EQ(log.findFileGroup("core")->shellObjects().name(), "first");
  EXPECT_EQ(log.findFileGroup("EXTRAS"), log.groups()[2].get());
  EXPECT_EQ(log.findFileGroup("Extra"), nullptr);

  // Groups added after a lookup are found too.
  auto late = std::make_unique<CFilegroup>();
  late->setName("Late");
  const CFilegroup* added = &log.addGroup(std::move(late));
  EXPECT_EQ(log.findFileGroup("LATE"), added);

  // Reloading replaces everything, the lookup included.
  load(logOf({group("Other")}), [&](Archive& a) { log.serialize(a); });
  EXPECT_EQ(log.findFileGroup("core"), nullptr);
  EXPECT_NE(log.findFileGroup("other"), nullptr);
}

// Key paths are counted strings: a NUL inside one is part of it. A key
// listed twice keeps its first place and its last list.
TEST(InstallLogRegistry, KeysAndValuesAsListed) {
  const std::string withNul("HKLM\\A\0B", 8);
  const Bytes registry = cat({u32(6), str("K"), hex("01 00"), str("a=1"), str("HKLM\\Software\\Corvel"), hex("02 00"),
                              str("(Default)=x"), str("Path=C:\\Corvel"), str("HKCU\\Empty"), hex("00 00"),
                              str(withNul), hex("01 00"), str("v=1"), str("HKCR\\.cvl"), hex("01 00"),
                              str("----Comment----"), str("K"), hex("01 00"), str("a=2")});
  CUninstallLog log = loadLog(logOf({group("G", u32(0), registry)}));
  const CRegistry& reg = log.groups()[0]->registry();

  StringList keys{"already there"};
  EXPECT_EQ(reg.getKeys(keys), 6);
  EXPECT_EQ(keys, (StringList{"already there", "K", "HKLM\\Software\\Corvel", "HKCU\\Empty", withNul, "HKCR\\.cvl"}));

  StringList values;
  EXPECT_EQ(reg.getValues("HKLM\\Software\\Corvel", values), 2);
  EXPECT_EQ(values, (StringList{"(Default)=x", "Path=C:\\Corvel"}));
  EXPECT_EQ(reg.getValues("hklm\\software\\corvel", values), 2);  // exact comparison
  EXPECT_EQ(reg.getValues("HKCU\\Empty", values), 2);
  EXPECT_EQ(reg.getValues(nullptr, values), -1);
  EXPECT_EQ(reg.getValues(withNul, values), 3);
  EXPECT_EQ(reg.getValues("HKLM\\A", values), 3);  // not the same key
  EXPECT_EQ(reg.getValues("K", values), 4);
  EXPECT_EQ(values.back(), "a=2");
}

// The item count is kept as read; below one, no items follow.
TEST(InstallLogShellObjects, NegativeCountReadsNoItems) {
  CShellObj negative;
  load(cat({str("S"), u32(0xFFFFFFFE), str("ignored")}), [&](Archive& a) { negative.serialize(a); });
  EXPECT_EQ(negative.itemCount(), -2);
  EXPECT_TRUE(negative.items().empty());
}

TEST(InstallLogTruncation, EndOfFileEverywhereKeepsWhatWasRead) {
  const Bytes first = group("First", cat({u32(1), dir("A", dir("B"))}));
  const Bytes bytes = logOf({first, group("Second", u32(0), cat({u32(1), str("K"), hex("00 00")}))});
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    CUninstallLog log;
    EXPECT_THROW(load(Bytes(bytes.begin(), bytes.begin() + cut), [&](Archive& a) { log.serialize(a); }),
                 ArchiveEndOfFile)
        << cut;
    if (cut > kHeader.size() + 4 + first.size()) {
      ASSERT_EQ(log.groups().size(), 2u) << cut;
      EXPECT_EQ(log.findFileGroup("first")->rootDir()->firstChild()->name(), "A\\B");
    }
  }
}

TEST(InstallLogTruncation, CountsBeyondTheFileFailBeforeAllocating) {
  EXPECT_THROW(loadLog(cat({kHeader, u32(0x7FFFFFFF), group("G")})), ArchiveEndOfFile);
  EXPECT_THROW(loadLog(logOf({group("G", u32(0), cat({u32(0x7FFFFFFF), str("K")}))})), ArchiveEndOfFile);
  EXPECT_THROW(loadLog(logOf({group("G", u32(0), u32(0), cat({str(""), u32(0x7FFFFFFF), str("x")}))})),
               ArchiveEndOfFile);
}

}  // namespace
}  // namespace cvl
