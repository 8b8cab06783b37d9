// The sweep of noted directories: deepest first, only what is empty, and
// never a parent of something that stayed.
#include "platform/forwarding.h"
#include "removal_fixture.h"

namespace cvl::test {
namespace {

using namespace platform;
using Paths = std::vector<std::string>;

class DirSweep : public Removal {};

// Each case in a folder of its own below the scratch directory.
struct SweepCase {
  const char* name;
  Paths dirs, files, noted, gone, kept;
  bool afterACutRun = false;  // going on from a run cut short, a missing folder is one that run removed
};

TEST_P(DirSweep, RemovesWhatIsEmptyUpToWhatStillHoldsSomething) {
  const SweepCase cases[] = {
      {"Chain", {"Program Files\\Corvel\\Bin"}, {"Program Files\\Other.txt"}, {"Program Files\\Corvel\\Bin\\"},
       {"Program Files\\Corvel"}, {"Program Files\\Other.txt"}},
      {"FileKeepsItsAncestors", {"Corvel\\Bin"}, {"Corvel\\Bin\\Left.dll"}, {"Corvel\\Bin"}, {},
       {"Corvel\\Bin\\Left.dll"}},
      {"MissingKeepsItsEmptyParent", {"Corvel"}, {}, {"Corvel\\Gone"}, {}, {"Corvel"}},
      {"MissingAfterACutRunFreesItsParent", {"Corvel"}, {}, {"Corvel\\Gone"}, {"Corvel"}, {}, true},
      {"EverySiblingIsTriedAfterAFailure", {"Corvel\\A", "Corvel\\B", "Corvel\\C", "Corvel\\D\\E"},
       {"Corvel\\B\\busy.txt"}, {"Corvel\\A", "Corvel\\B", "Corvel\\C", "Corvel\\D\\E"},
       {"Corvel\\A", "Corvel\\C", "Corvel\\D"}, {"Corvel\\B"}},
      {"UnnotedEmptySubdirectoryKeepsItsParent", {"Corvel\\Noted", "Corvel\\Unnoted"}, {}, {"Corvel\\Noted"},
       {"Corvel\\Noted"}, {"Corvel\\Unnoted"}},
  };
  for (const SweepCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string at = std::string(c.name) + "\\";
    for (const std::string& dir : c.dirs) makeDir(at + dir);
    for (const std::string& file : c.files) writeFile(at + file);
    NotedPaths sweep;
    for (const std::string& dir : c.noted) sweep.noteDirForRemoval(path(at + dir));
    sweep.missingDirsWereRemoved = c.afterACutRun;
    sweep.removeNotedDirs(platform());
    for (const std::string& gone : c.gone) EXPECT_FALSE(exists(at + gone)) << gone;
    for (const std::string& kept : c.kept) EXPECT_TRUE(exists(at + kept)) << kept;
  }
  EXPECT_TRUE(exists("keeper.txt"));
}

TEST_P(DirSweep, SweepLeavesTheTreeAndCanRunAgain) {
  makeDir("Corvel\\Bin");
  writeFile("Corvel\\Bin\\Late.dll");
  noted.noteDirForRemoval(path("Corvel\\Bin"));
  noted.removeNotedDirs(platform());
  ASSERT_TRUE(exists("Corvel\\Bin"));
  ASSERT_EQ(files().deleteFile(path("Corvel\\Bin\\Late.dll")), kSuccess);
  noted.removeNotedDirs(platform());
  EXPECT_FALSE(exists("Corvel"));
}

CVL_REMOVAL_ON_EACH_PLATFORM(DirSweep);

// The in-memory file system with removals that fail a given number of
// times first, as Windows does while deleted entries settle.
class SettlingFiles : public ForwardingFileSystem {
 public:
  using ForwardingFileSystem::ForwardingFileSystem;
  Status removeDirectory(const std::string& p) override {
    removals.push_back(p);
    int& left = refusals[upper(p)];
    return left > 0 ? (--left, kDirNotEmpty) : inner_.removeDirectory(p);
  }
  Paths removals;
  std::map<std::string, int> refusals;  // by upper-cased path
};

class DirSettling : public ::testing::Test, public Platform {
 protected:
  Registry& registry() override { return memory.registry(); }
  FileSystem& files() override { return settling; }
  MemorySystem& system() override { return memory.system(); }
  bool exists(const std::string& p) { return memory.files().exists(p); }
  void sweep(const Paths& dirs, const Paths& noted) {
    memory.files().addFile("C:\\Keep.txt");
    for (const std::string& dir : dirs) memory.files().addDirectory(dir);
    NotedPaths sweep;
    for (const std::string& dir : noted) sweep.noteDirForRemoval(dir);
    sweep.removeNotedDirs(*this);
  }
  uint64_t slept() { return memory.system().sleptMs(); }

  MemoryPlatform memory;
  SettlingFiles settling{memory.files()};
};

TEST_F(DirSettling, NothingToWaitForMeansNoWait) {
  std::string deep = "C:\\Corvel";
  for (int level = 0; level < 8; ++level) deep += "\\L" + std::to_string(level);
  sweep({deep}, {deep});
  EXPECT_FALSE(exists("C:\\Corvel"));
  EXPECT_EQ(slept(), 0u);
}

TEST_F(DirSettling, ParentThatSettlesLateIsRemovedAfterShortPauses) {
  settling.refusals["C:\\CORVEL"] = 2;
  sweep({"C:\\Corvel\\Bin"}, {"C:\\Corvel\\Bin"});
  EXPECT_FALSE(exists("C:\\Corvel"));
  EXPECT_GT(slept(), 0u);
  EXPECT_LT(slept(), 1000u);
}

TEST_F(DirSettling, ParentThatNeverSettlesIsGivenUpAfterOneSecond) {
  settling.refusals["C:\\CORVEL"] = 1000;
  sweep({"C:\\Corvel\\Bin"}, {"C:\\Corvel\\Bin"});
  EXPECT_TRUE(exists("C:\\Corvel"));
  EXPECT_FALSE(exists("C:\\Corvel\\Bin"));
  EXPECT_EQ(slept(), 1000u);
}

TEST_F(DirSettling, RealContentOrNoNotedChildrenIsNotWaitedFor) {
  memory.files().addFile("C:\\Corvel\\User.ini");
  settling.refusals["C:\\LEAF"] = 1;
  sweep({"C:\\Corvel\\Bin", "C:\\Leaf"}, {"C:\\Corvel\\Bin", "C:\\Leaf"});
  EXPECT_TRUE(exists("C:\\Corvel\\User.ini"));
  EXPECT_TRUE(exists("C:\\Leaf"));
  EXPECT_EQ(slept(), 0u);
}

TEST_F(DirSettling, DriveItselfIsNeverAskedToGo) {
  memory.files().addDirectory("C:\\Empty");
  ASSERT_EQ(memory.files().setCurrentDirectory("C:\\Empty"), kSuccess);
  sweep({"C:\\Corvel"}, {"C:\\Corvel"});
  EXPECT_FALSE(exists("C:\\Corvel"));
  EXPECT_EQ(settling.removals, Paths{"C:\\Corvel"});
}

}  // namespace
}  // namespace cvl::test
