// cvl_sample: puts the sample suite into the real Windows it runs on, and
// runs the uninstaller there.
//   cvl_sample install <root>
//   cvl_sample run <program> [arguments...]   prints the program's full exit status
// (Wine's own launcher keeps only the low 8 bits of a status such as 1602.)
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/win32_platform.h"
#include "tests/support/child_process.h"
#include "tests/support/installation/installation.h"

namespace {

int runAndReport(int argc, char** argv) {
  std::string commandLine = std::string("\"") + argv[2] + "\"";
  for (int i = 3; i < argc; ++i) commandLine += std::string(" ") + argv[i];
  const std::optional<uint32_t> status = cvl::test::runToExit(commandLine, cvl::test::kWaitForever);
  if (!status) {
    std::fprintf(stderr, "cvl_sample: cannot start %s\n", argv[2]);
    return 1;
  }
  std::printf("%lu\n", static_cast<unsigned long>(*status));
  return 0;
}

int install(const std::string& root) try {
  cvl::platform::Win32Platform platform;
  const std::string programs =
      platform.system().specialFolder(cvl::platform::csidl::kPrograms).value_or(root + "\\Programs");
  const cvl::fixture::Installation suite = cvl::fixture::sampleSuite(root, programs);
  cvl::fixture::install(platform, suite);
  // The suite ships its process-status library beside the log.
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  CopyFileA((std::string(system) + "\\psapi.dll").c_str(), (suite.uninstallDir + "cvlpsapi.dll").c_str(), FALSE);
  return 0;
} catch (const std::exception& error) {
  std::fprintf(stderr, "cvl_sample: %s\n", error.what());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc >= 3 ? argv[1] : "";
  if (command == "run") return runAndReport(argc, argv);
  if (command == "install") return install(argv[2]);
  std::fprintf(stderr, "usage: cvl_sample install <root> | run <program> [arguments...]\n");
  return 2;
}
