// Runs the real Stowset.exe beside this test program and checks what it
// left in the current user's registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_platform.h"
#include "settings_fixture.h"

using namespace cvl::platform;
using namespace settings_test;

namespace {

std::string programBesideMe(const std::string& name) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

// The full 32-bit exit status, or -1 when the program could not be run.
long long runProgram(const std::string& arguments) {
  std::string commandLine = "\"";
  commandLine += programBesideMe("Stowset.exe");
  commandLine += "\" ";
  commandLine += arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return -1;
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD status = 0xFFFFFFFF;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return status;
}

class StowsetProgram : public SettingsFixture {};

TEST_F(StowsetProgram, BacksUpAndRestoresThroughTheRegistryAlone) {
  const std::string cur = kCurrent;
  const std::string temp = kTemporary;
  putEveryType(std::string(kOlder) + "\\Options", "old");
  put(kOlder, "Home", RegValue::string("%USERNAME%"));

  ASSERT_EQ(runProgram("/backup"), 0);
  expectCopiedTypesOnly(temp + "\\Options", "old");
  EXPECT_EQ(text(temp, "Home"), platform().system().userName());

  put(cur, "Kept", RegValue::dword(82));
  ASSERT_EQ(runProgram("RESTORE"), 0);
  expectCopiedTypesOnly(cur + "\\Options", "old");
  EXPECT_EQ(number(cur, "Kept"), 82u);
  EXPECT_FALSE(exists(temp));
}

TEST_F(StowsetProgram, EndsWithStatusZeroWhenThereIsNothingToDo) {
  EXPECT_EQ(runProgram(""), 0);
  EXPECT_EQ(runProgram("BACKUP RESTORE"), 0);
  EXPECT_FALSE(exists(kTemporary));
  EXPECT_FALSE(exists(kCurrent));
}

}  // namespace
