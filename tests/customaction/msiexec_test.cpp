// One real installation by msiexec, in its own process, with the fix-up as a
// DLL custom action between two probe actions: proves the export's name and
// calling convention as the installer service uses them.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>

#include "fixup_package.h"
#include "tests/support/child_process.h"

using namespace fixup_test;

namespace {

std::optional<DWORD> msiexec(const char* operation, const std::string& package,
                             const std::string& properties = {}) {
  std::string command = "msiexec.exe ";
  command.append(operation).append(" \"").append(package).append("\" /qn ").append(properties);
  return cvl::test::runToExit(command, 180000);
}

std::string readFile(const std::string& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

TEST(Msiexec, RunsTheFixupAsCustomActionOfAnInstallation) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string probe = std::string(temp) + "cvl_fixup_outcome.txt";
  std::string package = packagePath();
  DeleteFileA(probe.c_str());
  msiexec("/x", package);  // a leftover of an interrupted run

  EXPECT_EQ(msiexec("/i", package, "PROBEFILE=\"" + probe + "\""), 0u);
  EXPECT_EQ(sortedLines(readFile(probe)), kFixedOutcome);

  EXPECT_EQ(msiexec("/x", package), 0u);
  DeleteFileA(probe.c_str());
}

}  // namespace
