#include "tests/support/child_process.h"

#include <windows.h>

#include "platform/win32/handles.h"

namespace cvl::test {

std::optional<uint32_t> runToExit(std::string commandLine, uint32_t timeoutMs) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
    return std::nullopt;
  }
  platform::UniqueKernelHandle process(started.hProcess), thread(started.hThread);
  DWORD status = 0;
  if (WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0 || !GetExitCodeProcess(process.get(), &status)) {
    return std::nullopt;
  }
  return status;
}

std::string programDirectory() {
  char path[MAX_PATH] = {};
  const std::string program(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return program.substr(0, program.find_last_of('\\') + 1);
}

std::optional<uint32_t> runBeside(const std::string& program, const std::string& arguments, uint32_t timeoutMs) {
  return runToExit("\"" + programDirectory() + program + "\" " + arguments, timeoutMs);
}

}  // namespace cvl::test
