// Under Wine a program that crashes is handed to the debugger, which prints
// a backtrace and ends it with exit status 0, so that ctest would count a
// crash as a pass. Every test program links this: a crash anywhere in the
// process ends it at once with a failing status and says where it was.
#include <windows.h>

#include <cstdio>

namespace {

LONG WINAPI endWithFailure(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
  std::fprintf(stderr, "crashed: exception 0x%08lx at %p\n", static_cast<unsigned long>(record.ExceptionCode),
               record.ExceptionAddress);
  std::fflush(stderr);
  std::fflush(stdout);
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_CONTINUE_SEARCH;
}

const LPTOP_LEVEL_EXCEPTION_FILTER installed = SetUnhandledExceptionFilter(endWithFailure);

}  // namespace
