// Contract checks shared by the fuzz targets: a broken contract aborts, which
// libFuzzer reports as a finding just like a sanitizer error.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <cstring>

#define FUZZ_CHECK(condition)                                                        \
  do {                                                                               \
    if (!(condition)) {                                                              \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                  \
    }                                                                                \
  } while (0)

// A fixed-size text field still ends within its own bytes.
template <size_t N> bool terminated(const char (&field)[N]) { return strnlen(field, N) < N; }
