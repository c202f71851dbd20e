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
