// Runs the real Stowset.exe beside this test program and checks what it
// left in the current user's registry.
#include <windows.h>

#include "settings_fixture.h"
#include "tests/support/child_process.h"

using namespace settings_test;
using cvl::test::programDirectory;

namespace {

class StowsetProgram : public SettingsFixture {
 protected:
  // The full 32-bit exit status, or nullopt when the program could not be run.
  static std::optional<uint32_t> runProgram(const std::string& arguments) {
    return cvl::test::runBeside("Stowset.exe", arguments, 60000);
  }
};

TEST_P(StowsetProgram, BacksUpAndRestoresThroughTheRegistryAlone) {
  putEveryType(kOld + "\\Options", "old");
  put(kOld, "Home", RegValue::string("%USERNAME%"));
  ASSERT_EQ(runProgram("/backup"), 0u);
  expectEveryTypeCopied(kTemp + "\\Options", "old");
  EXPECT_EQ(text(kTemp, "Home"), platform().system().userName());

  put(kCur, "Kept", RegValue::dword(82));
  ASSERT_EQ(runProgram("RESTORE"), 0u);
  expectEveryTypeCopied(kCur + "\\Options", "old");
  EXPECT_EQ(number(kCur, "Kept"), 82u);
  EXPECT_FALSE(exists(kTemp));
}

TEST_P(StowsetProgram, RestoresWhenItsOwnUnquotedPathNamesABackupFolder) {
  const std::string folder = programDirectory() + "Old Backup\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string program = folder + "Stowset.exe";
  ASSERT_TRUE(CopyFileA((programDirectory() + "Stowset.exe").c_str(), program.c_str(), FALSE));
  put(kTemp, "V", RegValue::dword(3));
  put(kCur, "V", RegValue::dword(0));
  EXPECT_EQ(cvl::test::runToExit(program + " RESTORE", 60000), 0u);
  DeleteFileA(program.c_str());
  RemoveDirectoryA(folder.c_str());
  EXPECT_EQ(number(kCur, "V"), 3u);
  EXPECT_FALSE(exists(kTemp));
}

TEST_P(StowsetProgram, EndsWithStatusZeroWhenThereIsNothingToDo) {
  EXPECT_EQ(runProgram(""), 0u);
  EXPECT_EQ(runProgram("BACKUP RESTORE"), 0u);
  EXPECT_FALSE(exists(kTemp));
  EXPECT_FALSE(exists(kCur));
}

CVL_ON_EACH_PLATFORM(StowsetProgram, std::vector{cvl::test::win32Scratch("CvlStowset")});

}  // namespace
