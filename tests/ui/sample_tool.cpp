// cvl_sample: puts the sample suite into the real Windows it runs on, and
// runs the uninstaller there.
//   cvl_sample install <root>
//   cvl_sample run <program> [arguments...]   prints the program's full exit status
// (Wine's own launcher keeps only the low 8 bits of a status such as 1602.)
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/win32_platform.h"
#include "tests/support/installation/installation.h"
#include "tests/support/child_process.h"

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

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "run") return runAndReport(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: cvl_sample install <root> | run <program> [arguments...]\n");
    return 2;
  }
  const std::string command = argv[1], root = argv[2];
  cvl::platform::Win32Platform platform;
  std::string programs = platform.system().specialFolder(cvl::platform::csidl::kPrograms).value_or(root + "\\Programs");
  try {
    if (command == "install") {
      cvl::fixture::Installation suite = cvl::fixture::sampleSuite(root, programs);
      cvl::fixture::install(platform, suite);
      // The suite ships its process-status library beside the log.
      char system[MAX_PATH] = {};
      GetSystemDirectoryA(system, MAX_PATH);
      CopyFileA((std::string(system) + "\\psapi.dll").c_str(), (suite.uninstallDir + "cvlpsapi.dll").c_str(), FALSE);
    } else {
      std::fprintf(stderr, "cvl_sample: unknown command %s\n", command.c_str());
      return 2;
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "cvl_sample: %s\n", error.what());
    return 1;
  }
  return 0;
}
