// What only the in-memory Windows offers: seeding, inspection, faults and
// the recorded process services that tests of the core rely on.
#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"

using namespace cvl::platform;

namespace {

class Memory : public ::testing::Test {
 protected:
  MemoryPlatform platform;
  MemoryRegistry& reg = platform.registry();
  MemoryFileSystem& files = platform.files();
  MemorySystem& sys = platform.system();
  using Paths = std::vector<std::string>;
  static constexpr RegRoot kMachine = RegRoot::LocalMachine, kUser = RegRoot::CurrentUser;
};

// Faults hit the named key only, until cleared.
TEST_F(Memory, SeededKeysAreVisibleThroughHandlesAndBackAndFaultsHitTheNamedKey) {
  reg.seedValue(kMachine, "Software\\Corvel\\Uninstall\\CDF", "", RegValue::string("C:\\CVL\\"));
  RegKeyPtr key, sub;
  ASSERT_EQ(reg.openKey(kMachine, "software\\corvel\\uninstall\\cdf", access::kRead, key), kSuccess);
  RegValue value;
  ASSERT_EQ(key->queryValue("", value), kSuccess);
  EXPECT_EQ(value.asString(), "C:\\CVL\\");

  ASSERT_EQ(key->createKey("Sub", access::kAllAccess, sub), kSuccess);
  ASSERT_EQ(sub->setValue("Count", RegValue::dword(3)), kSuccess);
  EXPECT_TRUE(reg.hasKey(kMachine, "SOFTWARE\\CORVEL\\UNINSTALL\\CDF\\SUB\\"));
  EXPECT_EQ(reg.value(kMachine, "Software\\Corvel\\Uninstall\\CDF\\Sub", "count")->asDword(), 3u);
  EXPECT_EQ(reg.subKeyNames(kMachine, "Software\\Corvel\\Uninstall\\CDF"), Paths{"Sub"});
  EXPECT_FALSE(reg.hasKey(kUser, "Software\\Corvel"));
  EXPECT_FALSE(reg.value(kMachine, "Software\\Corvel", "Missing"));

  reg.seedKey(kUser, "Software\\A\\B");
  reg.fail(kUser, "software\\a\\b\\", MemoryRegistry::Op::Delete, kAccessDenied);
  reg.fail(kUser, "Software\\A", MemoryRegistry::Op::Open, kFileNotFound);
  RegKeyPtr software, b;
  EXPECT_EQ(reg.openKey(kUser, "Software\\A", access::kRead, key), kFileNotFound);
  ASSERT_EQ(reg.openKey(kUser, "Software", access::kRead, software), kSuccess);
  EXPECT_EQ(software->openKey("A", access::kRead, key), kFileNotFound);
  EXPECT_EQ(reg.openKey(kUser, "Software\\A\\B", access::kRead, b), kSuccess);
  EXPECT_EQ(reg.deleteKey(kUser, "Software\\A\\B"), kAccessDenied);
  EXPECT_TRUE(reg.hasKey(kUser, "Software\\A\\B"));
  reg.clearFaults();
  EXPECT_EQ(reg.deleteKey(kUser, "Software\\A\\B"), kSuccess);
  EXPECT_EQ(reg.openKey(kUser, "Software\\A", access::kRead, key), kSuccess);
}

TEST_F(Memory, SeedingFilesCreatesParentsInspectionShowsStoredNamesAndTheClockStamps) {
  files.addFile("D:\\Corvel\\Bin\\Tool.DLL", "MZ", attr::kReadOnly | attr::kArchive);
  files.addDirectory("d:\\corvel\\Help");
  EXPECT_EQ(files.paths(),
            (Paths{"D:\\Corvel\\", "D:\\Corvel\\Bin\\", "D:\\Corvel\\Bin\\Tool.DLL", "D:\\Corvel\\Help\\"}));
  EXPECT_EQ(*files.content("d:\\CORVEL\\bin\\tool.dll"), "MZ");
  EXPECT_FALSE(files.content("D:\\Corvel\\Bin"));
  EXPECT_TRUE(files.exists("D:\\Corvel\\Help\\"));
  FileStatus status;
  ASSERT_EQ(files.status("D:\\Corvel\\Bin\\Tool.DLL", status), kSuccess);
  EXPECT_EQ(status.attributes, attr::kReadOnly | attr::kArchive);
  EXPECT_EQ(status.size, 2u);
  EXPECT_EQ(status.written, files.clock());

  // The clock stamps what is written; open handles are counted.
  files.setClock(5000);
  FilePtr writer;
  ASSERT_EQ(files.open("C:\\log.txt", OpenMode::CreateAlways, writer), kSuccess);
  files.setClock(7000);
  ASSERT_EQ(writer->write("abc", 3), kSuccess);
  EXPECT_EQ(files.openFiles(), 1);
  writer.reset();
  EXPECT_EQ(files.openFiles(), 0);
  ASSERT_EQ(files.status("C:\\log.txt", status), kSuccess);
  EXPECT_EQ(status.created, 5000u);
  EXPECT_EQ(status.written, 7000u);
  EXPECT_EQ(*files.content("C:\\log.txt"), "abc");

  files.seedTimes("C:\\log.txt", 1, 2, 3);
  ASSERT_EQ(files.setStatus("C:\\log.txt", FileStatus{0, 9, 0, 4, 0}), kSuccess);
  ASSERT_EQ(files.status("C:\\log.txt", status), kSuccess);
  EXPECT_EQ(status.created, 1u);
  EXPECT_EQ(status.accessed, 2u);
  EXPECT_EQ(status.written, 4u);
}

// The shell's deletion is recorded as well, faulted or not.
TEST_F(Memory, FileFaultsMakeTheChosenOperationFailOnThatPathOnlyUntilCleared) {
  for (const char* file : {"C:\\A\\busy.dll", "C:\\A\\free.dll", "C:\\A\\shortcut.lnk"}) files.addFile(file);
  files.addDirectory("C:\\A\\Sub");
  files.fail("c:\\a\\BUSY.DLL", MemoryFileSystem::Op::Delete, kSharingViolation);
  files.fail("C:\\A\\Sub", MemoryFileSystem::Op::RemoveDirectory, kAccessDenied);
  files.fail("C:\\A\\new.tmp", MemoryFileSystem::Op::Flush, kAccessDenied);
  files.fail("C:\\A\\shortcut.lnk", MemoryFileSystem::Op::ShellDelete, kAccessDenied);
  EXPECT_EQ(files.deleteFile("C:\\A\\busy.dll"), kSharingViolation);
  EXPECT_EQ(files.deleteFile("C:\\A\\free.dll"), kSuccess);
  EXPECT_EQ(files.removeDirectory("C:\\A\\Sub"), kAccessDenied);
  EXPECT_FALSE(sys.shellDelete("C:\\A\\shortcut.lnk", 0));
  EXPECT_TRUE(files.exists("C:\\A\\shortcut.lnk"));
  FilePtr file;
  ASSERT_EQ(files.open("C:\\A\\new.tmp", OpenMode::CreateAlways, file), kSuccess);
  EXPECT_EQ(file->write("x", 1), kSuccess);
  EXPECT_EQ(file->flush(), kAccessDenied);
  file.reset();
  files.clearFaults();
  EXPECT_EQ(files.deleteFile("C:\\A\\busy.dll"), kSuccess);
  EXPECT_EQ(files.removeDirectory("C:\\A\\Sub"), kSuccess);
  EXPECT_TRUE(sys.shellDelete("C:\\A", 0));
  EXPECT_EQ(files.paths(), Paths{});
  EXPECT_EQ(sys.shellDeletes(), (Paths{"C:\\A\\shortcut.lnk", "C:\\A"}));
}

// Windows refuses to write a read-only file; Wine running as root does not,
// so this rule is checked here rather than in the shared contract.
TEST_F(Memory, ReadOnlyFilesCannotBeOpenedForWriting) {
  files.addFile("C:\\cvlinst.dat", "store", attr::kReadOnly);
  FilePtr file;
  EXPECT_EQ(files.open("C:\\cvlinst.dat", OpenMode::WriteExisting, file), kAccessDenied);
  EXPECT_EQ(files.open("C:\\cvlinst.dat", OpenMode::CreateAlways, file), kAccessDenied);
  EXPECT_EQ(*files.content("C:\\cvlinst.dat"), "store");
  EXPECT_EQ(files.open("C:\\cvlinst.dat", OpenMode::Read, file), kSuccess);
}

TEST_F(Memory, IdentitiesEnvironmentAndFoldersAreSettings) {
  sys.setEnvironment("CvlHomeDir", "H:\\");
  EXPECT_EQ(sys.environment("CVLHOMEDIR"), "H:\\");
  sys.unsetEnvironment("cvlhomedir");
  EXPECT_FALSE(sys.environment("CvlHomeDir"));

  EXPECT_FALSE(sys.specialFolder(csidl::kAppData));
  sys.setSpecialFolder(csidl::kAppData, "C:\\Users\\u\\AppData\\Roaming");
  EXPECT_EQ(sys.specialFolder(csidl::kAppData), "C:\\Users\\u\\AppData\\Roaming");
  EXPECT_FALSE(sys.specialFolder(csidl::kPersonal));

  sys.setUserName("");
  sys.setComputerName("BOX");
  sys.setWindowsDirectory("C:\\WINNT");
  EXPECT_EQ(sys.userName(), "");
  EXPECT_EQ(sys.computerName(), "BOX");
  EXPECT_EQ(sys.windowsDirectory(), "C:\\WINNT");
}

TEST_F(Memory, ChildProcessesAreRecordedWithTheirDirectoryAndScripted) {
  files.addFile("C:\\App\\x.dll");
  ASSERT_EQ(files.setCurrentDirectory("C:\\App"), kSuccess);
  EXPECT_EQ(sys.runHidden("C:\\WINDOWS\\SYSTEM32\\regsvr32.exe", "regsvr32 /u /s x.dll", 30000), WaitResult::Finished);
  sys.onRun([&](const std::string& command) {
    (void)files.deleteFile("C:\\App\\x.dll");
    return command == "slow" ? WaitResult::TimedOut : WaitResult::Finished;
  });
  EXPECT_EQ(sys.runHidden("C:\\slow.exe", "slow", 10), WaitResult::TimedOut);
  ASSERT_EQ(sys.runs().size(), 2u);
  EXPECT_EQ(sys.runs()[0].application, "C:\\WINDOWS\\SYSTEM32\\regsvr32.exe");
  EXPECT_EQ(sys.runs()[0].commandLine, "regsvr32 /u /s x.dll");
  EXPECT_EQ(sys.runs()[0].currentDirectory, "C:\\App");
  EXPECT_EQ(sys.runs()[0].timeoutMs, 30000u);
  EXPECT_FALSE(files.exists("C:\\App\\x.dll"));
  sys.sleep(1000);
  sys.sleep(250);
  EXPECT_EQ(sys.sleptMs(), 1250u);
}

int fakeInit(const char*, int, int) { return 0; }

TEST_F(Memory, LibrariesAreRegisteredFakesCountedWhileLoaded) {
  sys.addLibrary("C:\\Common\\vbai60.dll", {{"Init", reinterpret_cast<void*>(&fakeInit)}});
  EXPECT_EQ(sys.loadLibrary("C:\\missing.dll"), nullptr);
  {
    LibraryPtr lib = sys.loadLibrary("c:\\COMMON\\VBAI60.DLL");
    ASSERT_NE(lib, nullptr);
    EXPECT_EQ(sys.loadedLibraries(), 1);
    auto init = reinterpret_cast<int (*)(const char*, int, int)>(lib->symbol("Init"));
    ASSERT_NE(init, nullptr);
    EXPECT_EQ(init("x", 1, 0), 0);
    EXPECT_EQ(lib->symbol("UnInstall"), nullptr);
    EXPECT_EQ(lib->symbol("init"), nullptr);
  }
  EXPECT_EQ(sys.loadedLibraries(), 0);
  EXPECT_EQ(sys.libraryLoads().size(), 2u);
}

}  // namespace
