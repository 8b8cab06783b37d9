#pragma once
// Running a test's work on a stack no larger than the uninstaller's own, so
// that what would overflow the program overflows the test too (the test
// runner's main thread has several times as much).
#include <cstddef>
#include <functional>

namespace cvl::test {

constexpr size_t kProgramStackBytes = 2 * 1024 * 1024;

// Runs work on a new thread with a stack of kProgramStackBytes and waits for
// it. False when the thread could not be started; an overflow ends the
// whole test program.
bool runOnProgramStack(const std::function<void()>& work);

}  // namespace cvl::test
