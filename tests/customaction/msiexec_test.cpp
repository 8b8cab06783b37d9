// One real installation by msiexec, in its own process, with the fix-up as a
// DLL custom action between two probe actions: proves the export's name and
// calling convention as the installer service uses them.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "fixup_package.h"

using namespace fixup_test;

namespace {

std::optional<DWORD> msiexec(const char* operation, const std::string& package, const std::string& props = {}) {
  char system[MAX_PATH];
  const std::string program(system, GetSystemDirectoryA(system, MAX_PATH));
  return cvl::test::runToExit("\"" + program + "\\msiexec.exe\" " + operation + " \"" + package + "\" /qn " + props,
                              180000);
}

TEST(Msiexec, RunsTheFixupAsCustomActionOfAnInstallation) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string probe = std::string(temp) + "cvl_fixup_outcome.txt";
  std::string package = packagePath();
  DeleteFileA(probe.c_str());
  msiexec("/x", package);  // a leftover of an interrupted run

  EXPECT_EQ(msiexec("/i", package, "PROBEFILE=\"" + probe + "\""), 0u);
  EXPECT_EQ(sortedLines(std::ifstream(probe)), kFixedOutcome);

  EXPECT_EQ(msiexec("/x", package), 0u);
  DeleteFileA(probe.c_str());
}

}  // namespace
