#pragma once
// Starting a deliverable as its own process from a Windows test program.
// Wine's launcher keeps only 8 bits of an exit status; these keep all 32.
#include <cstdint>
#include <optional>
#include <string>

namespace cvl::test {

constexpr uint32_t kWaitForever = 0xFFFFFFFF;

// The full exit status, or nullopt when the program did not start or did
// not end within timeoutMs.
std::optional<uint32_t> runToExit(std::string commandLine, uint32_t timeoutMs);

// The folder of the running test program, ending in a backslash: the
// deliverables are built beside it.
std::string programDirectory();

// runToExit of a program built beside the test program, with its arguments.
std::optional<uint32_t> runBeside(const std::string& program, const std::string& arguments, uint32_t timeoutMs);

}  // namespace cvl::test
