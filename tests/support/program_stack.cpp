#include "tests/support/program_stack.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace cvl::test {
namespace {

#ifdef _WIN32
DWORD WINAPI runWork(void* work) {
#else
void* runWork(void* work) {
#endif
  (*static_cast<const std::function<void()>*>(work))();
  return 0;
}

}  // namespace

bool runOnProgramStack(const std::function<void()>& work) {
  void* argument = const_cast<std::function<void()>*>(&work);
#ifdef _WIN32
  HANDLE thread =
      CreateThread(nullptr, kProgramStackBytes, &runWork, argument, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (thread == nullptr) return false;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return true;
#else
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, kProgramStackBytes);
  pthread_t thread;
  const bool started = pthread_create(&thread, &attributes, &runWork, argument) == 0;
  pthread_attr_destroy(&attributes);
  if (started) pthread_join(thread, nullptr);
  return started;
#endif
}

}  // namespace cvl::test
