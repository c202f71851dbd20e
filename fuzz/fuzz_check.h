#pragma once

#include <cstdio>
#include <cstdlib>

// A failed property is a finding: say which, and abort so that libFuzzer
// saves the input that showed it.
#define FUZZ_CHECK(cond)                                                               \
  do {                                                                                 \
    if (!(cond)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                    \
    }                                                                                  \
  } while (0)

// For the checking code: it needs no coverage of its own, and the fuzzer's
// hooks on its per-byte comparisons would take most of the run time.
#define FUZZ_NO_COVERAGE __attribute__((no_sanitize("coverage")))
