// File-system behaviour the core relies on, identical on every platform.
#include <algorithm>
#include <set>

#include "contract_fixture.h"

namespace cvl::platform::contract {
namespace {

std::set<std::string> found(FileSystem& files, const std::string& pattern, Status* result = nullptr) {
  std::set<std::string> names;
  Status s = files.find(pattern, [&](const FoundEntry& entry) {
    names.insert(entry.name);
    return true;
  });
  if (result) *result = s;
  return names;
}

uint32_t attributesOf(FileSystem& files, const std::string& path) {
  FileStatus status;
  return files.status(path, status) == kSuccess ? status.attributes : 0xFFFFFFFF;
}

TEST_P(Contract, FilesOpenModesReadWriteAndTruncate) {
  writeFile("data.bin", "0123456789");
  EXPECT_EQ(readFile("DATA.BIN"), "0123456789");

  FilePtr file;
  ASSERT_EQ(files().open(path("data.bin"), OpenMode::WriteExisting, file), kSuccess);
  ASSERT_EQ(file->write("ab", 2), kSuccess);
  ASSERT_EQ(file->flush(), kSuccess);
  file.reset();
  EXPECT_EQ(readFile("data.bin"), "ab23456789");

  ASSERT_EQ(files().open(path("data.bin"), OpenMode::Read, file), kSuccess);
  EXPECT_EQ(file->size(), 10u);
  char buffer[8];
  uint32_t done = 0;
  ASSERT_EQ(file->read(buffer, 8, done), kSuccess);
  EXPECT_EQ(done, 8u);
  ASSERT_EQ(file->read(buffer, 8, done), kSuccess);
  EXPECT_EQ(done, 2u);
  ASSERT_EQ(file->read(buffer, 8, done), kSuccess);
  EXPECT_EQ(done, 0u);
  EXPECT_EQ(file->write("x", 1), kAccessDenied);
  file.reset();

  writeFile("data.bin", "new");
  EXPECT_EQ(readFile("data.bin"), "new");
  EXPECT_EQ(files().open(path("absent.bin"), OpenMode::Read, file), kFileNotFound);
  EXPECT_EQ(files().open(path("absent.bin"), OpenMode::WriteExisting, file), kFileNotFound);
  EXPECT_EQ(files().open(path("NoDir\\x.bin"), OpenMode::CreateAlways, file), kPathNotFound);
  EXPECT_EQ(files().open(scratch_->directory, OpenMode::Read, file), kAccessDenied);
}

// The mode of an elevated program's log: appended like Append, never through a link.
TEST_P(Contract, FilesAppendNoLinkAppendsButRefusesALink) {
  writeFile("run.log", "one\n");
  FilePtr file;
  ASSERT_EQ(files().open(path("run.log"), OpenMode::AppendNoLink, file), kSuccess);
  ASSERT_EQ(file->write("two\n", 4), kSuccess);
  file.reset();
  EXPECT_EQ(readFile("run.log"), "one\ntwo\n");
  ASSERT_EQ(files().open(path("new.log"), OpenMode::AppendNoLink, file), kSuccess);
  file.reset();
  EXPECT_EQ(readFile("new.log"), "");

  if (!scratch_->makeLink(path("link.log"), path("run.log"))) GTEST_SKIP() << "no symbolic link can be made here";
  EXPECT_EQ(files().open(path("link.log"), OpenMode::AppendNoLink, file), kStoppedOnLink);
  EXPECT_EQ(readFile("run.log"), "one\ntwo\n");
}

TEST_P(Contract, FilesOpenForWritingExcludesOtherHandlesAndDeletion) {
  writeFile("shared.txt", "x");
  FilePtr reader1, reader2, writer;
  ASSERT_EQ(files().open(path("shared.txt"), OpenMode::Read, reader1), kSuccess);
  EXPECT_EQ(files().open(path("shared.txt"), OpenMode::Read, reader2), kSuccess);
  EXPECT_EQ(files().open(path("shared.txt"), OpenMode::WriteExisting, writer), kSharingViolation);
  EXPECT_EQ(files().deleteFile(path("shared.txt")), kSharingViolation);
  reader1.reset();
  reader2.reset();
  ASSERT_EQ(files().open(path("shared.txt"), OpenMode::WriteExisting, writer), kSuccess);
  EXPECT_EQ(files().open(path("shared.txt"), OpenMode::Read, reader1), kSharingViolation);
  writer.reset();
  EXPECT_EQ(files().deleteFile(path("shared.txt")), kSuccess);
}

// Files always carry the archive bit under Wine, whatever is set. Opening a
// read-only file for writing is refused by Windows but not by Wine running
// as root, so only deletion shows the read-only rule here.
TEST_P(Contract, FilesAttributesAndTheReadOnlyRule) {
  writeFile("ro.txt", "keep");
  EXPECT_EQ(attributesOf(files(), path("ro.txt")), attr::kArchive);
  EXPECT_EQ(attributesOf(files(), scratch_->directory), attr::kDirectory);

  ASSERT_EQ(files().setAttributes(path("ro.txt"), attr::kReadOnly | attr::kHidden | attr::kSystem), kSuccess);
  EXPECT_EQ(attributesOf(files(), path("RO.TXT")), attr::kReadOnly | attr::kHidden | attr::kSystem | attr::kArchive);
  EXPECT_EQ(files().deleteFile(path("ro.txt")), kAccessDenied);
  EXPECT_EQ(readFile("ro.txt"), "keep");

  ASSERT_EQ(files().setAttributes(path("ro.txt"), attr::kNormal), kSuccess);
  EXPECT_EQ(attributesOf(files(), path("ro.txt")), attr::kArchive);
  ASSERT_EQ(files().setAttributes(path("ro.txt"), attr::kReadOnly), kSuccess);
  ASSERT_EQ(files().setAttributes(path("ro.txt"), 0), kSuccess);
  EXPECT_EQ(attributesOf(files(), path("ro.txt")), attr::kArchive);
  EXPECT_EQ(files().deleteFile(path("ro.txt")), kSuccess);
  EXPECT_EQ(files().deleteFile(path("ro.txt")), kFileNotFound);
  EXPECT_EQ(files().deleteFile(path("NoDir\\ro.txt")), kPathNotFound);
  EXPECT_EQ(files().setAttributes(path("ro.txt"), attr::kNormal), kFileNotFound);
  FileStatus status;
  EXPECT_EQ(files().status(path("ro.txt"), status), kFileNotFound);
  EXPECT_EQ(files().status(path("NoDir\\ro.txt"), status), kPathNotFound);
}

TEST_P(Contract, FilesTimesAreSetAndReadBackWithTheAttributes) {
  writeFile("stamped.txt", "t");
  const FileTime written = 125911584000000000ull;  // 2000-01-01
  const FileTime accessed = written + 36000000000ull;
  FileStatus wanted{attr::kReadOnly | attr::kArchive, 0, accessed, written, 0};
  ASSERT_EQ(files().setStatus(path("stamped.txt"), wanted), kSuccess);
  FileStatus status;
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

TEST_P(Contract, FilesFindMatchesWildcardsWithoutCaseAndReportsDotEntries) {
  for (const char* name : {"readme.txt", "Main.GID", "other.gid", "main.hlp", "noext"}) writeFile(name, "");
  ASSERT_EQ(files().createDirectory(path("Sub")), kSuccess);

  EXPECT_EQ(found(files(), path("*.*")),
            (std::set<std::string>{".", "..", "readme.txt", "Main.GID", "other.gid", "main.hlp", "noext", "Sub"}));
  EXPECT_EQ(found(files(), path("*")), found(files(), path("*.*")));
  EXPECT_EQ(found(files(), path("*.GID")), (std::set<std::string>{"Main.GID", "other.gid"}));
  EXPECT_EQ(found(files(), path("MAIN.*")), (std::set<std::string>{"Main.GID", "main.hlp"}));
  EXPECT_EQ(found(files(), path("?ain.hlp")), (std::set<std::string>{"main.hlp"}));
  EXPECT_EQ(found(files(), path("sub")), (std::set<std::string>{"Sub"}));

  Status result = kSuccess;
  EXPECT_TRUE(found(files(), path("*.FTS"), &result).empty());
  EXPECT_EQ(result, kFileNotFound);
  found(files(), path("Absent\\*.*"), &result);
  EXPECT_EQ(result, kPathNotFound);
  found(files(), path("readme.txt\\*.*"), &result);
  EXPECT_EQ(result, kInvalidName);
  found(files(), scratch_->directory + "\\", &result);
  EXPECT_EQ(result, kFileNotFound);

  std::vector<FoundEntry> dots;
  files().find(path("*.*"), [&](const FoundEntry& entry) {
    if (entry.name == "." || entry.name == "..") dots.push_back(entry);
    return true;
  });
  ASSERT_EQ(dots.size(), 2u);
  EXPECT_TRUE(dots[0].attributes & attr::kDirectory);
  int visits = 0;
  EXPECT_EQ(files().find(path("*.*"), [&](const FoundEntry&) { return ++visits < 2; }), kSuccess);
  EXPECT_EQ(visits, 2);
}

// Trailing dots and stars of a pattern are optional, and a long name is
// also found through its 8.3 alias.
TEST_P(Contract, FilesFindFollowsTheDosPatternRules) {
  for (const char* name : {"abc", "help.gidx", "help.hlp"}) writeFile(name, "");
  EXPECT_EQ(found(files(), path("abc.*")), (std::set<std::string>{"abc"}));
  EXPECT_EQ(found(files(), path("abc.")), (std::set<std::string>{"abc"}));
  EXPECT_EQ(found(files(), path("ab?")), (std::set<std::string>{"abc"}));
  EXPECT_TRUE(found(files(), path("abc?")).empty());
  EXPECT_EQ(found(files(), path("*.GID")), (std::set<std::string>{"help.gidx"}));
  EXPECT_EQ(found(files(), path("*.hl?")), (std::set<std::string>{"help.hlp"}));
}

TEST_P(Contract, FilesFindVisitorMayDeleteWhatItIsShown) {
  for (const char* name : {"a.gid", "b.gid", "c.gid"}) writeFile(name, "");
  EXPECT_EQ(files().find(path("*.gid"),
                         [&](const FoundEntry& entry) { return files().deleteFile(path(entry.name)) == kSuccess; }),
            kSuccess);
  EXPECT_EQ(found(files(), path("*.*")), (std::set<std::string>{".", ".."}));
}

TEST_P(Contract, FilesDirectoriesAreCreatedAndRemovedOnlyWhenEmpty) {
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
  FileStatus stamp{attr::kReadOnly | attr::kHidden, 0, 0, 125911584000000000ull, 0};
  ASSERT_EQ(files().setStatus(path("Dir"), stamp), kSuccess);
  FileStatus status;
  ASSERT_EQ(files().status(path("Dir\\"), status), kSuccess);
  EXPECT_EQ(status.attributes, attr::kDirectory | attr::kHidden);
  EXPECT_EQ(status.written, stamp.written);
  EXPECT_EQ(files().removeDirectory(path("dir\\")), kSuccess);
  EXPECT_EQ(attributesOf(files(), path("Dir")), 0xFFFFFFFFu);

  // A trailing backslash names a directory only.
  EXPECT_EQ(files().status(path("plain.txt\\"), status), kPathNotFound);
  EXPECT_EQ(files().deleteFile(path("plain.txt\\")), kInvalidName);
}

TEST_P(Contract, FilesReplaceMovesContentAndTimesOverTheTarget) {
  writeFile("store.dat", "old");
  writeFile("store.tmp", "new");
  FileStatus stamp{attr::kArchive, 0, 0, 125911584000000000ull, 0};
  ASSERT_EQ(files().setStatus(path("store.tmp"), stamp), kSuccess);

  ASSERT_EQ(files().replaceFile(path("store.tmp"), path("store.dat")), kSuccess);
  EXPECT_EQ(readFile("store.dat"), "new");
  FileStatus status;
  EXPECT_EQ(files().status(path("store.tmp"), status), kFileNotFound);
  ASSERT_EQ(files().status(path("store.dat"), status), kSuccess);
  EXPECT_EQ(status.written, stamp.written);

  EXPECT_EQ(files().replaceFile(path("store.tmp"), path("store.dat")), kFileNotFound);
  ASSERT_EQ(files().replaceFile(path("store.dat"), path("renamed.dat")), kSuccess);
  EXPECT_EQ(readFile("renamed.dat"), "new");

  writeFile("next.tmp", "next");
  FilePtr open;
  ASSERT_EQ(files().open(path("renamed.dat"), OpenMode::Read, open), kSuccess);
  EXPECT_EQ(files().replaceFile(path("next.tmp"), path("renamed.dat")), kAccessDenied);
  EXPECT_EQ(files().replaceFile(path("renamed.dat"), path("other.dat")), kSharingViolation);
  open.reset();
  EXPECT_EQ(readFile("renamed.dat"), "new");
  ASSERT_EQ(files().createDirectory(path("Dir")), kSuccess);
  EXPECT_EQ(files().replaceFile(path("next.tmp"), path("Dir")), kAccessDenied);
}

TEST_P(Contract, FilesCurrentDirectoryAnchorsRelativePaths) {
  ASSERT_EQ(files().createDirectory(path("Work")), kSuccess);
  ASSERT_EQ(files().setCurrentDirectory(path("Work")), kSuccess);
  EXPECT_EQ(files().currentDirectory(), path("Work"));
  FilePtr file;
  ASSERT_EQ(files().open("relative.txt", OpenMode::CreateAlways, file), kSuccess);
  file.reset();
  EXPECT_EQ(readFile("Work\\relative.txt"), "");
  EXPECT_EQ(attributesOf(files(), "..\\Work\\relative.txt"), attr::kArchive);

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
  ASSERT_EQ(files().setCurrentDirectory(scratch_->directory), kSuccess);
  EXPECT_EQ(files().removeDirectory(path("Work")), kSuccess);
}

TEST_P(Contract, FilesOverwritingKeepsHiddenAndSystemAttributes) {
  writeFile("hidden.dat", "secret");
  ASSERT_EQ(files().setAttributes(path("hidden.dat"), attr::kHidden | attr::kSystem), kSuccess);
  writeFile("hidden.dat", "new");
  EXPECT_EQ(readFile("hidden.dat"), "new");
  EXPECT_EQ(attributesOf(files(), path("hidden.dat")), attr::kHidden | attr::kSystem | attr::kArchive);
}

}  // namespace
}  // namespace cvl::platform::contract
