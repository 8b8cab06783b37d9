// File-system behaviour the core relies on, identical on every platform,
// and the shell's deletion of files.
#include <set>

#include "contract_fixture.h"

namespace cvl::platform::contract {
namespace {

using Found = std::set<std::string>;

class Files : public Contract {
 protected:
  Found found(const std::string& pattern, Status* result = nullptr) {
    Found names;
    const Status s = files().find(path(pattern), [&](const FoundEntry& e) { return names.insert(e.name), true; });
    if (result) *result = s;
    return names;
  }
  Status findStatus(const std::string& pattern) {
    Status result = kSuccess;
    found(pattern, &result);
    return result;
  }
  uint32_t attributesOf(const std::string& relative) {
    FileStatus status;
    return files().status(path(relative), status) == kSuccess ? status.attributes : 0xFFFFFFFF;
  }
  Status open(const std::string& relative, OpenMode mode, FilePtr& file) {
    return files().open(path(relative), mode, file);
  }
};

TEST_P(Files, OpenModesReadWriteTruncateAndShare) {
  writeFile("data.bin", "0123456789");
  EXPECT_EQ(readFile("DATA.BIN"), "0123456789");
  FilePtr file;
  ASSERT_EQ(open("data.bin", OpenMode::WriteExisting, file), kSuccess);
  ASSERT_EQ(file->write("ab", 2), kSuccess);
  ASSERT_EQ(file->flush(), kSuccess);
  file.reset();
  EXPECT_EQ(readFile("data.bin"), "ab23456789");

  ASSERT_EQ(open("data.bin", OpenMode::Read, file), kSuccess);
  EXPECT_EQ(file->size(), 10u);
  char buffer[8];
  uint32_t done = 0;
  for (uint32_t expected : {8u, 2u, 0u}) {
    ASSERT_EQ(file->read(buffer, 8, done), kSuccess);
    EXPECT_EQ(done, expected);
  }
  EXPECT_EQ(file->write("x", 1), kAccessDenied);
  file.reset();

  writeFile("data.bin", "new");
  EXPECT_EQ(readFile("data.bin"), "new");
  EXPECT_EQ(open("absent.bin", OpenMode::Read, file), kFileNotFound);
  EXPECT_EQ(open("absent.bin", OpenMode::WriteExisting, file), kFileNotFound);
  EXPECT_EQ(open("NoDir\\x.bin", OpenMode::CreateAlways, file), kPathNotFound);
  EXPECT_EQ(files().open(scratch_->dir, OpenMode::Read, file), kAccessDenied);

  // Readers share with readers only, a writer with no one, and an open file cannot be deleted.
  FilePtr reader, writer;
  ASSERT_EQ(open("data.bin", OpenMode::Read, file), kSuccess);
  EXPECT_EQ(open("data.bin", OpenMode::Read, reader), kSuccess);
  EXPECT_EQ(open("data.bin", OpenMode::WriteExisting, writer), kSharingViolation);
  EXPECT_EQ(files().deleteFile(path("data.bin")), kSharingViolation);
  file.reset();
  reader.reset();
  ASSERT_EQ(open("data.bin", OpenMode::WriteExisting, writer), kSuccess);
  EXPECT_EQ(open("data.bin", OpenMode::Read, reader), kSharingViolation);
  writer.reset();
  EXPECT_EQ(files().deleteFile(path("data.bin")), kSuccess);
}

// The mode of an elevated program's log: appended like Append, never through a link.
TEST_P(Files, AppendNoLinkAppendsButRefusesALink) {
  writeFile("run.log", "one\n");
  FilePtr file;
  ASSERT_EQ(open("run.log", OpenMode::AppendNoLink, file), kSuccess);
  ASSERT_EQ(file->write("two\n", 4), kSuccess);
  file.reset();
  EXPECT_EQ(readFile("run.log"), "one\ntwo\n");
  ASSERT_EQ(open("new.log", OpenMode::AppendNoLink, file), kSuccess);
  file.reset();
  EXPECT_EQ(readFile("new.log"), "");

  if (!scratch_->makeLink(path("link.log"), path("run.log"))) GTEST_SKIP() << "no symbolic link can be made here";
  EXPECT_EQ(open("link.log", OpenMode::AppendNoLink, file), kStoppedOnLink);
  EXPECT_EQ(readFile("run.log"), "one\ntwo\n");
}

// Files always carry the archive bit under Wine, whatever is set. Opening a
// read-only file for writing is refused by Windows but not by Wine running
// as root, so only deletion shows the read-only rule here. Overwriting
// keeps the hidden and system bits. Times are set with the attributes.
TEST_P(Files, AttributesTimesAndTheReadOnlyRule) {
  writeFile("ro.txt", "keep");
  EXPECT_EQ(attributesOf("ro.txt"), attr::kArchive);
  EXPECT_EQ(attributesOf(""), attr::kDirectory);
  const uint32_t hiddenSystem = attr::kHidden | attr::kSystem;
  ASSERT_EQ(files().setAttributes(path("ro.txt"), attr::kReadOnly | hiddenSystem), kSuccess);
  EXPECT_EQ(attributesOf("RO.TXT"), attr::kReadOnly | hiddenSystem | attr::kArchive);
  EXPECT_EQ(files().deleteFile(path("ro.txt")), kAccessDenied);
  EXPECT_EQ(readFile("ro.txt"), "keep");

  ASSERT_EQ(files().setAttributes(path("ro.txt"), attr::kNormal), kSuccess);
  EXPECT_EQ(attributesOf("ro.txt"), attr::kArchive);
  ASSERT_EQ(files().setAttributes(path("ro.txt"), attr::kReadOnly), kSuccess);
  ASSERT_EQ(files().setAttributes(path("ro.txt"), 0), kSuccess);
  EXPECT_EQ(attributesOf("ro.txt"), attr::kArchive);
  EXPECT_EQ(files().deleteFile(path("ro.txt")), kSuccess);
  EXPECT_EQ(files().deleteFile(path("ro.txt")), kFileNotFound);
  EXPECT_EQ(files().deleteFile(path("NoDir\\ro.txt")), kPathNotFound);
  EXPECT_EQ(files().setAttributes(path("ro.txt"), attr::kNormal), kFileNotFound);
  FileStatus status;
  EXPECT_EQ(files().status(path("ro.txt"), status), kFileNotFound);
  EXPECT_EQ(files().status(path("NoDir\\ro.txt"), status), kPathNotFound);

  writeFile("hidden.dat", "secret");
  ASSERT_EQ(files().setAttributes(path("hidden.dat"), hiddenSystem), kSuccess);
  writeFile("hidden.dat", "new");
  EXPECT_EQ(readFile("hidden.dat"), "new");
  EXPECT_EQ(attributesOf("hidden.dat"), hiddenSystem | attr::kArchive);

  writeFile("stamped.txt", "t");
  const FileTime written = 125911584000000000ull;  // 2000-01-01
  const FileTime accessed = written + 36000000000ull;
  FileStatus wanted{attr::kReadOnly | attr::kArchive, 0, accessed, written, 0};
  ASSERT_EQ(files().setStatus(path("stamped.txt"), wanted), kSuccess);
  ASSERT_EQ(files().status(path("stamped.txt"), status), kSuccess);
  EXPECT_EQ(status.written, written);
  EXPECT_EQ(status.accessed, accessed);
  EXPECT_NE(status.created, 0u);
  EXPECT_EQ(status.attributes, attr::kReadOnly | attr::kArchive);
  EXPECT_EQ(status.size, 1u);
  // Setting the times again on a read-only file still works.
  wanted.written += 10000000;
  ASSERT_EQ(files().setStatus(path("stamped.txt"), wanted), kSuccess);
  ASSERT_EQ(files().status(path("stamped.txt"), status), kSuccess);
  EXPECT_EQ(status.written, wanted.written);
  EXPECT_EQ(files().setStatus(path("absent.txt"), wanted), kFileNotFound);
}

// Trailing dots and stars of a pattern are optional, and a long name is
// also found through its 8.3 alias. The visitor may delete what it is shown.
TEST_P(Files, FindMatchesWildcardsWithoutCaseAsDosDoesAndReportsDotEntries) {
  for (const char* name : {"abc", "help.gidx", "help.hlp"}) writeFile(name, "");
  EXPECT_EQ(found("abc.*"), Found{"abc"});
  EXPECT_EQ(found("abc."), Found{"abc"});
  EXPECT_EQ(found("ab?"), Found{"abc"});
  EXPECT_TRUE(found("abc?").empty());
  EXPECT_EQ(found("*.GID"), Found{"help.gidx"});
  EXPECT_EQ(found("*.hl?"), Found{"help.hlp"});
  auto remove = [&](const FoundEntry& e) { return e.name[0] == '.' || files().deleteFile(path(e.name)) == kSuccess; };
  EXPECT_EQ(files().find(path("*"), remove), kSuccess);
  EXPECT_EQ(found("*.*"), (Found{".", ".."}));

  for (const char* name : {"readme.txt", "Main.GID", "other.gid", "main.hlp", "noext"}) writeFile(name, "");
  makeDir("Sub");
  EXPECT_EQ(found("*.*"), (Found{".", "..", "readme.txt", "Main.GID", "other.gid", "main.hlp", "noext", "Sub"}));
  EXPECT_EQ(found("*"), found("*.*"));
  EXPECT_EQ(found("*.GID"), (Found{"Main.GID", "other.gid"}));
  EXPECT_EQ(found("MAIN.*"), (Found{"Main.GID", "main.hlp"}));
  EXPECT_EQ(found("?ain.hlp"), Found{"main.hlp"});
  EXPECT_EQ(found("sub"), Found{"Sub"});
  Status result = kSuccess;
  EXPECT_TRUE(found("*.FTS", &result).empty());
  EXPECT_EQ(result, kFileNotFound);
  EXPECT_EQ(findStatus("Absent\\*.*"), kPathNotFound);
  EXPECT_EQ(findStatus("readme.txt\\*.*"), kInvalidName);
  EXPECT_EQ(findStatus(""), kFileNotFound);

  std::vector<FoundEntry> dots;
  (void)files().find(path("*.*"), [&](const FoundEntry& entry) {
    if (entry.name == "." || entry.name == "..") dots.push_back(entry);
    return true;
  });
  ASSERT_EQ(dots.size(), 2u);
  EXPECT_TRUE(dots[0].attributes & attr::kDirectory);
  int visits = 0;
  EXPECT_EQ(files().find(path("*.*"), [&](const FoundEntry&) { return ++visits < 2; }), kSuccess);
  EXPECT_EQ(visits, 2);
}

TEST_P(Files, DirectoriesAreCreatedAndRemovedOnlyWhenEmpty) {
  ASSERT_EQ(files().createDirectory(path("Dir")), kSuccess);
  EXPECT_EQ(files().createDirectory(path("DIR")), kAlreadyExists);
  EXPECT_EQ(files().createDirectory(path("NoDir\\Dir")), kPathNotFound);
  writeFile("Dir\\inside.txt", "x");
  writeFile("plain.txt", "x");
  EXPECT_EQ(files().removeDirectory(path("Dir")), kDirNotEmpty);
  EXPECT_EQ(files().removeDirectory(path("plain.txt")), kDirectory);
  EXPECT_EQ(files().removeDirectory(path("Absent")), kFileNotFound);
  EXPECT_EQ(files().deleteFile(path("Dir")), kAccessDenied);
  EXPECT_EQ(files().createDirectory(path("plain.txt")), kAlreadyExists);

  ASSERT_EQ(files().deleteFile(path("Dir\\inside.txt")), kSuccess);
  // A directory keeps no read-only bit but takes its times.
  FileStatus stamp{attr::kReadOnly | attr::kHidden, 0, 0, 125911584000000000ull, 0}, status;
  ASSERT_EQ(files().setStatus(path("Dir"), stamp), kSuccess);
  ASSERT_EQ(files().status(path("Dir\\"), status), kSuccess);
  EXPECT_EQ(status.attributes, attr::kDirectory | attr::kHidden);
  EXPECT_EQ(status.written, stamp.written);
  EXPECT_EQ(files().removeDirectory(path("dir\\")), kSuccess);
  EXPECT_EQ(attributesOf("Dir"), 0xFFFFFFFFu);
  // A trailing backslash names a directory only.
  EXPECT_EQ(files().status(path("plain.txt\\"), status), kPathNotFound);
  EXPECT_EQ(files().deleteFile(path("plain.txt\\")), kInvalidName);
}

// The own-file test relies on both: another spelling is the same file, and
// a different index is a different file.
TEST_P(Files, IdentityFollowsTheFileNotTheSpellingTheIndexAgreesAndAnAliasReachesIt) {
  ASSERT_EQ(files().createDirectory(path("Dir")), kSuccess);
  writeFile("Dir\\one.txt", "1");
  writeFile("Dir\\two.txt", "2");
  FileIdentity one, again, two, dir;
  ASSERT_EQ(files().identity(path("Dir\\one.txt"), one), kSuccess);
  ASSERT_EQ(files().identity(path("DIR\\ONE.TXT"), again), kSuccess);
  ASSERT_EQ(files().identity(path("Dir\\two.txt"), two), kSuccess);
  ASSERT_EQ(files().identity(path("dir"), dir), kSuccess);
  EXPECT_EQ(one, again);
  EXPECT_NE(one, two);
  EXPECT_NE(one, dir);
  for (const auto& [name, identity] : {std::pair{"Dir\\one.txt", one}, {"Dir\\two.txt", two}, {"DIR", dir}}) {
    uint64_t index = 0;
    EXPECT_EQ(files().fileIndex(path(name), index), kSuccess) << name;
    EXPECT_EQ(index, identity.index) << name;
  }
  // A listing gives a long name's 8.3 alias, which reaches the same file.
  writeFile("Dir\\Long Named File.txt", "3");
  std::string alias;
  (void)files().find(path("Dir\\long named file.txt"), [&](const FoundEntry& e) { return alias = e.shortName, false; });
  FileIdentity byLongName, byAlias;
  ASSERT_FALSE(alias.empty());
  ASSERT_EQ(files().identity(path("Dir\\Long Named File.txt"), byLongName), kSuccess);
  ASSERT_EQ(files().identity(path("Dir\\" + alias), byAlias), kSuccess);
  EXPECT_EQ(byLongName, byAlias);
  uint64_t index = 0;
  EXPECT_NE(files().identity(path("Dir\\absent.txt"), again), kSuccess);
  EXPECT_NE(files().fileIndex(path("Dir\\absent.txt"), index), kSuccess);
}

TEST_P(Files, ReplaceMovesContentAndTimesOverTheTarget) {
  writeFile("store.dat", "old");
  writeFile("store.tmp", "new");
  FileStatus stamp{attr::kArchive, 0, 0, 125911584000000000ull, 0}, status;
  ASSERT_EQ(files().setStatus(path("store.tmp"), stamp), kSuccess);
  auto replace = [&](const std::string& from, const std::string& to) {
    return files().replaceFile(path(from), path(to));
  };

  ASSERT_EQ(replace("store.tmp", "store.dat"), kSuccess);
  EXPECT_EQ(readFile("store.dat"), "new");
  EXPECT_EQ(files().status(path("store.tmp"), status), kFileNotFound);
  ASSERT_EQ(files().status(path("store.dat"), status), kSuccess);
  EXPECT_EQ(status.written, stamp.written);
  EXPECT_EQ(replace("store.tmp", "store.dat"), kFileNotFound);
  ASSERT_EQ(replace("store.dat", "renamed.dat"), kSuccess);
  EXPECT_EQ(readFile("renamed.dat"), "new");

  writeFile("next.tmp", "next");
  FilePtr held;
  ASSERT_EQ(open("renamed.dat", OpenMode::Read, held), kSuccess);
  EXPECT_EQ(replace("next.tmp", "renamed.dat"), kAccessDenied);
  EXPECT_EQ(replace("renamed.dat", "other.dat"), kSharingViolation);
  held.reset();
  EXPECT_EQ(readFile("renamed.dat"), "new");
  makeDir("Dir");
  EXPECT_EQ(replace("next.tmp", "Dir"), kAccessDenied);
}

TEST_P(Files, CurrentDirectoryAnchorsRelativePaths) {
  makeDir("Work");
  ASSERT_EQ(files().setCurrentDirectory(path("Work")), kSuccess);
  EXPECT_EQ(files().currentDirectory(), path("Work"));
  FilePtr file;
  ASSERT_EQ(files().open("relative.txt", OpenMode::CreateAlways, file), kSuccess);
  file.reset();
  EXPECT_EQ(readFile("Work\\relative.txt"), "");
  FileStatus status;
  ASSERT_EQ(files().status("..\\Work\\relative.txt", status), kSuccess);
  EXPECT_EQ(status.attributes, attr::kArchive);

  ASSERT_EQ(files().setCurrentDirectory(path("Work\\")), kSuccess);
  EXPECT_EQ(files().currentDirectory(), path("Work"));
  EXPECT_EQ(files().setCurrentDirectory(path("Absent")), kFileNotFound);
  EXPECT_EQ(files().setCurrentDirectory(path("Work\\relative.txt")), kDirectory);
  EXPECT_EQ(files().currentDirectory(), path("Work"));
  // The directory keeps the spelling it was set with and cannot be removed.
  ASSERT_EQ(files().setCurrentDirectory(upper(path("work"))), kSuccess);
  EXPECT_EQ(files().currentDirectory(), upper(path("Work")));
  ASSERT_EQ(files().deleteFile(path("Work\\relative.txt")), kSuccess);
  EXPECT_EQ(files().removeDirectory(path("Work")), kSharingViolation);
  ASSERT_EQ(files().setCurrentDirectory(scratch_->dir), kSuccess);
  EXPECT_EQ(files().removeDirectory(path("Work")), kSuccess);
}

TEST_P(Files, ShellDeleteRemovesFilesAndTreesAndFailsOnWhatIsMissingAnUnsetVariableIsAbsent) {
  writeFile("Shortcut.lnk", "link");
  makeDir("Folder\\Inner");
  writeFile("Folder\\Inner\\deep.lnk", "link");
  EXPECT_TRUE(sys().shellDelete(path("Shortcut.lnk"), 0));
  EXPECT_FALSE(sys().shellDelete(path("Shortcut.lnk"), 0));
  EXPECT_TRUE(sys().shellDelete(path("Folder"), 0));
  FileStatus status;
  EXPECT_EQ(files().status(path("Folder"), status), kFileNotFound);
  EXPECT_EQ(files().status(scratch_->dir, status), kSuccess);
  EXPECT_FALSE(sys().environment("CVL_CONTRACT_SURELY_UNSET"));
}

CVL_ON_EACH_IMPLEMENTATION(Files);

}  // namespace
}  // namespace cvl::platform::contract
