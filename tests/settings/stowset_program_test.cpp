// Runs the real Stowset.exe beside this test program and checks what it
// left in the current user's registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_platform.h"
#include "settings_fixture.h"
#include "tests/support/child_process.h"

using namespace cvl::platform;
using namespace settings_test;

namespace {

// The full 32-bit exit status, or -1 when the program could not be run.
long long runCommand(const std::string& commandLine) {
  const auto status = cvl::test::runToExit(commandLine, 60000);
  return status ? static_cast<long long>(*status) : -1;
}

long long runProgram(const std::string& arguments) {
  return runCommand("\"" + cvl::test::programDirectory() + "Stowset.exe\" " + arguments);
}

class StowsetProgram : public SettingsFixture {};

TEST_F(StowsetProgram, BacksUpAndRestoresThroughTheRegistryAlone) {
  const std::string cur = kCurrent;
  const std::string temp = kTemporary;
  putEveryType(std::string(kOlder) + "\\Options", "old");
  put(kOlder, "Home", RegValue::string("%USERNAME%"));

  ASSERT_EQ(runProgram("/backup"), 0);
  expectEveryTypeCopied(temp + "\\Options", "old");
  EXPECT_EQ(text(temp, "Home"), platform().system().userName());

  put(cur, "Kept", RegValue::dword(82));
  ASSERT_EQ(runProgram("RESTORE"), 0);
  expectEveryTypeCopied(cur + "\\Options", "old");
  EXPECT_EQ(number(cur, "Kept"), 82u);
  EXPECT_FALSE(exists(temp));
}

TEST_F(StowsetProgram, RestoresWhenItsOwnUnquotedPathNamesABackupFolder) {
  const std::string folder = cvl::test::programDirectory() + "Old Backup\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string program = folder + "Stowset.exe";
  ASSERT_TRUE(CopyFileA((cvl::test::programDirectory() + "Stowset.exe").c_str(), program.c_str(), FALSE));
  put(kTemporary, "V", RegValue::dword(3));
  put(kCurrent, "V", RegValue::dword(0));
  EXPECT_EQ(runCommand(program + " RESTORE"), 0);
  DeleteFileA(program.c_str());
  RemoveDirectoryA(folder.c_str());
  EXPECT_EQ(number(kCurrent, "V"), 3u);
  EXPECT_FALSE(exists(kTemporary));
}

TEST_F(StowsetProgram, EndsWithStatusZeroWhenThereIsNothingToDo) {
  EXPECT_EQ(runProgram(""), 0);
  EXPECT_EQ(runProgram("BACKUP RESTORE"), 0);
  EXPECT_FALSE(exists(kTemporary));
  EXPECT_FALSE(exists(kCurrent));
}

}  // namespace
