// The sweep of noted directories: deepest first, only what is empty, and
// never a parent of something that stayed.
#include "platform/memory/memory_platform.h"
#include "world.h"

namespace cvl::test {
namespace {

using namespace platform;

class DirSweep : public OnEachPlatform {
 protected:
  void note(const std::string& relative) { noted.noteDirForRemoval(path(relative)); }
};

TEST_P(DirSweep, EmptiedChainGoesUpToWhatStillHoldsSomething) {
  makeDir("Program Files\\Corvel\\Bin");
  makeFile("Program Files\\Other.txt");
  note("Program Files\\Corvel\\Bin\\");
  noted.removeNotedDirs(platform());
  EXPECT_FALSE(exists("Program Files\\Corvel"));
  EXPECT_TRUE(exists("Program Files\\Other.txt"));
  EXPECT_TRUE(exists("keeper.txt"));
}

TEST_P(DirSweep, DirectoryWithAFileKeepsItsAncestors) {
  makeDir("Corvel\\Bin");
  makeFile("Corvel\\Bin\\Left.dll");
  note("Corvel\\Bin");
  noted.removeNotedDirs(platform());
  EXPECT_TRUE(exists("Corvel\\Bin\\Left.dll"));
}

TEST_P(DirSweep, MissingNotedDirectoryKeepsItsEmptyParent) {
  makeDir("Corvel");
  note("Corvel\\Gone");
  noted.removeNotedDirs(platform());
  EXPECT_TRUE(exists("Corvel"));
}

// Going on from a run cut short, the missing folder is one that run removed.
TEST_P(DirSweep, MissingNotedDirectoryFreesItsParentAfterACutRun) {
  makeDir("Corvel");
  note("Corvel\\Gone");
  noted.missingDirsWereRemoved = true;
  noted.removeNotedDirs(platform());
  EXPECT_FALSE(exists("Corvel"));
}

TEST_P(DirSweep, EverySiblingIsTriedAfterAFailure) {
  for (const char* dir : {"Corvel\\A", "Corvel\\B", "Corvel\\C", "Corvel\\D\\E"}) {
    makeDir(dir);
    note(dir);
  }
  makeFile("Corvel\\B\\busy.txt");
  noted.removeNotedDirs(platform());
  EXPECT_FALSE(exists("Corvel\\A"));
  EXPECT_TRUE(exists("Corvel\\B"));
  EXPECT_FALSE(exists("Corvel\\C"));
  EXPECT_FALSE(exists("Corvel\\D"));
}

TEST_P(DirSweep, UnnotedEmptySubdirectoryKeepsItsParent) {
  makeDir("Corvel\\Noted");
  makeDir("Corvel\\Unnoted");
  note("Corvel\\Noted");
  noted.removeNotedDirs(platform());
  EXPECT_FALSE(exists("Corvel\\Noted"));
  EXPECT_TRUE(exists("Corvel\\Unnoted"));
}

TEST_P(DirSweep, SweepLeavesTheTreeAndCanRunAgain) {
  makeDir("Corvel\\Bin");
  makeFile("Corvel\\Bin\\Late.dll");
  note("Corvel\\Bin");
  noted.removeNotedDirs(platform());
  ASSERT_TRUE(exists("Corvel\\Bin"));
  platform().files().deleteFile(path("Corvel\\Bin\\Late.dll"));
  noted.removeNotedDirs(platform());
  EXPECT_FALSE(exists("Corvel"));
}

CVL_ON_EACH_PLATFORM(DirSweep);

// The in-memory file system with removals that fail a given number of
// times first, as Windows does while deleted entries settle.
class SettlingFiles : public FileSystem {
 public:
  explicit SettlingFiles(MemoryFileSystem& inner) : inner_(inner) {}
  Status open(const std::string& p, OpenMode m, FilePtr& out) override { return inner_.open(p, m, out); }
  Status status(const std::string& p, FileStatus& out) override { return inner_.status(p, out); }
  Status setStatus(const std::string& p, const FileStatus& s) override { return inner_.setStatus(p, s); }
  Status setAttributes(const std::string& p, uint32_t a) override { return inner_.setAttributes(p, a); }
  Status identity(const std::string& p, FileIdentity& out) override { return inner_.identity(p, out); }
  Status deleteFile(const std::string& p) override { return inner_.deleteFile(p); }
  Status createDirectory(const std::string& p) override { return inner_.createDirectory(p); }
  Status replaceFile(const std::string& f, const std::string& t) override { return inner_.replaceFile(f, t); }
  Status deleteAtRestart(const std::string& p) override { return inner_.deleteAtRestart(p); }
  Status find(const std::string& p, const std::function<bool(const FoundEntry&)>& v) override { return inner_.find(p, v); }
  std::string currentDirectory() override { return inner_.currentDirectory(); }
  Status setCurrentDirectory(const std::string& p) override { return inner_.setCurrentDirectory(p); }
  Status removeDirectory(const std::string& p) override {
    removals.push_back(p);
    int& left = refusals[upper(p)];
    if (left > 0) {
      --left;
      return kDirNotEmpty;
    }
    return inner_.removeDirectory(p);
  }

  std::vector<std::string> removals;
  std::map<std::string, int> refusals;  // by upper-cased path

 private:
  MemoryFileSystem& inner_;
};

class SettlingPlatform : public Platform {
 public:
  Registry& registry() override { return memory.registry(); }
  FileSystem& files() override { return settling; }
  MemorySystem& system() override { return memory.system(); }
  MemoryPlatform memory;
  SettlingFiles settling{memory.files()};
};

class DirSettling : public ::testing::Test {
 protected:
  void SetUp() override { platform.memory.files().addFile("C:\\Keep.txt"); }
  bool exists(const std::string& p) { return platform.memory.files().exists(p); }
  uint64_t slept() { return platform.memory.system().sleptMs(); }

  SettlingPlatform platform;
  NotedPaths noted;
};

TEST_F(DirSettling, NothingToWaitForMeansNoWait) {
  std::string deep = "C:\\Corvel";
  for (int level = 0; level < 8; ++level) deep += "\\L" + std::to_string(level);
  platform.memory.files().addDirectory(deep);
  noted.noteDirForRemoval(deep);
  noted.removeNotedDirs(platform);
  EXPECT_FALSE(exists("C:\\Corvel"));
  EXPECT_EQ(slept(), 0u);
}

TEST_F(DirSettling, ParentThatSettlesLateIsRemovedAfterShortPauses) {
  platform.memory.files().addDirectory("C:\\Corvel\\Bin");
  platform.settling.refusals["C:\\CORVEL"] = 2;
  noted.noteDirForRemoval("C:\\Corvel\\Bin");
  noted.removeNotedDirs(platform);
  EXPECT_FALSE(exists("C:\\Corvel"));
  EXPECT_GT(slept(), 0u);
  EXPECT_LT(slept(), 1000u);
}

TEST_F(DirSettling, ParentThatNeverSettlesIsGivenUpAfterOneSecond) {
  platform.memory.files().addDirectory("C:\\Corvel\\Bin");
  platform.settling.refusals["C:\\CORVEL"] = 1000;
  noted.noteDirForRemoval("C:\\Corvel\\Bin");
  noted.removeNotedDirs(platform);
  EXPECT_TRUE(exists("C:\\Corvel"));
  EXPECT_FALSE(exists("C:\\Corvel\\Bin"));
  EXPECT_EQ(slept(), 1000u);
}

TEST_F(DirSettling, RealContentOrNoNotedChildrenIsNotWaitedFor) {
  platform.memory.files().addDirectory("C:\\Corvel\\Bin");
  platform.memory.files().addFile("C:\\Corvel\\User.ini");
  platform.memory.files().addDirectory("C:\\Leaf");
  platform.settling.refusals["C:\\LEAF"] = 1;
  noted.noteDirForRemoval("C:\\Corvel\\Bin");
  noted.noteDirForRemoval("C:\\Leaf");
  noted.removeNotedDirs(platform);
  EXPECT_TRUE(exists("C:\\Corvel\\User.ini"));
  EXPECT_TRUE(exists("C:\\Leaf"));
  EXPECT_EQ(slept(), 0u);
}

TEST_F(DirSettling, DriveItselfIsNeverAskedToGo) {
  platform.memory.files().addDirectory("C:\\Empty");
  ASSERT_EQ(platform.memory.files().setCurrentDirectory("C:\\Empty"), kSuccess);
  noted.noteDirForRemoval("C:\\Corvel");
  platform.memory.files().addDirectory("C:\\Corvel");
  noted.removeNotedDirs(platform);
  EXPECT_FALSE(exists("C:\\Corvel"));
  EXPECT_EQ(platform.settling.removals, (std::vector<std::string>{"C:\\Corvel"}));
}

}  // namespace
}  // namespace cvl::test
