// Cvlunst2.exe on a suite with a self-registering server, under Wine. A
// same-named copy of the server sits in the system folder and a program
// named "regsvr32.exe" is planted in the install folder: only the system's
// own regsvr32 may run, and only on the logged copy.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "platform/win32/win32_platform.h"
#include "tests/support/child_process.h"
#include "tests/support/installation/installation.h"

namespace cvl::test {
namespace {

const std::string kRoot = "C:\\cvl-regsvr32";
const std::string kServer = "cvlselfreg.dll";
constexpr const char* kUnregisteredKey = "Software\\CvlEngineTest\\Unregistered";

fixture::Installation serverSuite() {
  fixture::Installation suite;
  suite.uninstallDir = kRoot + "\\Uninstall\\";
  suite.targetDir = kRoot + "\\Program Files";  // a blank, as most install folders have
  suite.programsFolder = kRoot + "\\Programs";
  fixture::Component servers;
  servers.name = "SERVERS";
  servers.displayText = "Servers";
  servers.fileGroups = {"SERVER_FILES"};
  suite.components = {servers};
  suite.topComponents = {"SERVERS"};
  fixture::FileGroup files;
  files.name = "SERVER_FILES";
  files.selfRegister = true;
  files.files = {kServer};
  suite.groups = {files};
  suite.pathMacros = {{"TARGETDIR", suite.targetDir}};
  return suite;
}

class UninstallerPrograms : public ::testing::Test {
 protected:
  void SetUp() override {
    clean();
    fixture::install(machine, suite);
    for (const auto& [from, to] : {std::pair{kServer, target(kServer)}, {kServer, systemCopy()},
                                   {std::string("cvl_planted_program.exe"), target("regsvr32.exe")}}) {
      ASSERT_TRUE(CopyFileA((programDirectory() + from).c_str(), to.c_str(), FALSE)) << to;
    }
  }
  void TearDown() override { clean(); }

  void clean() {
    (void)machine.system().shellDelete(kRoot, 0);  // missing on a first run
    DeleteFileA(systemCopy().c_str());
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "software\\corvel");
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvel System");
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\CvlEngineTest");
  }
  std::string target(const std::string& name) const { return suite.targetDir + "\\" + name; }
  std::string systemCopy() { return machine.system().systemDirectory() + "\\" + kServer; }
  bool exists(const std::string& path) const { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
  // Upper-cased paths of the server copies whose unregistration ran.
  std::vector<std::string> unregisteredCopies() {
    std::vector<std::string> copies;
    platform::RegKeyPtr key;
    if (machine.registry().openKey(platform::RegRoot::CurrentUser, kUnregisteredKey, platform::access::kRead, key) !=
        platform::kSuccess) {
      return copies;
    }
    std::string name;
    for (uint32_t index = 0; key->enumValue(index, name, nullptr) == platform::kSuccess; ++index) {
      copies.push_back(platform::upper(name));
    }
    return copies;
  }

  platform::Win32Platform machine;
  fixture::Installation suite = serverSuite();
};

TEST_F(UninstallerPrograms, OnlyTheSystemsRegsvr32RunsAndOnlyOnTheLoggedServer) {
  const auto status = runToExit("\"" + programDirectory() + "Cvlunst2.exe\" /SILENT UNINSTALLALL", 60000);

  ASSERT_TRUE(status);
  EXPECT_EQ(*status, 0u);
  EXPECT_EQ(unregisteredCopies(), std::vector<std::string>{platform::upper(target(kServer))});
  EXPECT_FALSE(exists(target("planted-program-ran.txt")));
  EXPECT_FALSE(exists(target(kServer)));
  EXPECT_TRUE(exists(systemCopy()));
}

}  // namespace
}  // namespace cvl::test
