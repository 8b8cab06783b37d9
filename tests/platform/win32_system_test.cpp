// The real process services, which the in-memory platform only records.
#include <gtest/gtest.h>

#include "platform/win32/win32_platform.h"

using namespace cvl::platform;

TEST(Win32System, ChildProcessesFinishTimeOutOrFailToStart) {
  Win32System sys;
  const std::string cmd = sys.systemDirectory() + "\\cmd.exe";
  EXPECT_EQ(sys.runHidden(cmd, "cmd.exe /c exit 3", 30000), WaitResult::Finished);
  // Only the file named runs: a bare name is not searched for.
  EXPECT_EQ(sys.runHidden("cmd.exe", "cmd.exe /c exit 3", 30000), WaitResult::NotStarted);
  EXPECT_EQ(sys.runHidden(cmd, "cmd.exe /c ping -n 3 127.0.0.1 >NUL", 0), WaitResult::TimedOut);
}

TEST(Win32System, IdentitiesDirectoriesAndLibraryExportsAreReported) {
  Win32System sys;
  EXPECT_FALSE(sys.userName().empty());
  EXPECT_FALSE(sys.computerName().empty());
  EXPECT_EQ(upper(sys.windowsDirectory()), "C:\\WINDOWS");
  EXPECT_EQ(upper(sys.systemDirectory()), "C:\\WINDOWS\\SYSTEM32");
  EXPECT_EQ(upper(sys.expandEnvironment("%WINDIR%\\x %NO_SUCH_CVL_VARIABLE%")), "C:\\WINDOWS\\X %NO_SUCH_CVL_VARIABLE%");
  const std::string module = upper(sys.modulePath());
  EXPECT_EQ(module.substr(module.size() - 4), ".EXE");
  EXPECT_TRUE(sys.environment("PATH"));
  EXPECT_TRUE(sys.specialFolder(csidl::kAppData));
  EXPECT_FALSE(sys.specialFolder(0x7F));
  EXPECT_EQ(sys.loadLibrary("cvl-no-such-library.dll"), nullptr);
  LibraryPtr kernel = sys.loadLibrary("kernel32.dll");
  ASSERT_NE(kernel, nullptr);
  EXPECT_NE(kernel->symbol("GetTickCount"), nullptr);
  EXPECT_EQ(kernel->symbol("CvlNoSuchExport"), nullptr);
}
