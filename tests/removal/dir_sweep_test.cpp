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

struct SettlingPlatform : Platform {
  Registry& registry() override { return memory.registry(); }
  FileSystem& files() override { return settling; }
  MemorySystem& system() override { return memory.system(); }
  // Each noted directory is made first; C:\Keep.txt keeps the sweep off the drive.
  void sweep(const Paths& dirs) {
    disk.addFile("C:\\Keep.txt");
    NotedPaths noted;
    for (const std::string& dir : dirs) {
      disk.addDirectory(dir);
      noted.noteDirForRemoval(dir);
    }
    noted.removeNotedDirs(*this);
  }
  MemoryPlatform memory;
  MemoryFileSystem& disk = memory.files();
  SettlingFiles settling{disk};
};

TEST(DirSettling, OnlyAParentEmptiedOfNotedChildrenIsWaitedForAndForOneSecondAtMost) {
  struct Case {
    const char* name;
    Paths noted, files;
    std::map<std::string, int> refusals;  // by upper-cased path
    Paths gone, kept;
    uint64_t sleptAtLeast, sleptAtMost;
  };
  const std::string deep = "C:\\Corvel\\L0\\L1\\L2\\L3\\L4\\L5\\L6\\L7", corvel = "C:\\Corvel", bin = "C:\\Corvel\\Bin";
  const Case cases[] = {
      {"NothingToWaitFor", {deep}, {}, {}, {corvel}, {}, 0, 0},
      {"SettlesLate", {bin}, {}, {{"C:\\CORVEL", 2}}, {corvel}, {}, 1, 999},
      {"NeverSettles", {bin}, {}, {{"C:\\CORVEL", 1000}}, {bin}, {corvel}, 1000, 1000},
      {"RealContentOrNoNotedChildren", {bin, "C:\\Leaf"}, {"C:\\Corvel\\User.ini"}, {{"C:\\LEAF", 1}}, {},
       {"C:\\Corvel\\User.ini", "C:\\Leaf"}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SettlingPlatform machine;
    machine.settling.refusals = c.refusals;
    for (const std::string& file : c.files) machine.disk.addFile(file);
    machine.sweep(c.noted);
    for (const std::string& gone : c.gone) EXPECT_FALSE(machine.disk.exists(gone)) << gone;
    for (const std::string& kept : c.kept) EXPECT_TRUE(machine.disk.exists(kept)) << kept;
    EXPECT_GE(machine.memory.system().sleptMs(), c.sleptAtLeast);
    EXPECT_LE(machine.memory.system().sleptMs(), c.sleptAtMost);
  }
}

TEST(DirSettling, DriveItselfIsNeverAskedToGo) {
  SettlingPlatform machine;
  machine.disk.addDirectory("C:\\Empty");
  ASSERT_EQ(machine.disk.setCurrentDirectory("C:\\Empty"), kSuccess);
  machine.sweep({"C:\\Corvel"});
  EXPECT_FALSE(machine.disk.exists("C:\\Corvel"));
  EXPECT_EQ(machine.settling.removals, Paths{"C:\\Corvel"});
}

}  // namespace
}  // namespace cvl::test
