// An invariant of a fuzz target: a broken one stops the run like a crash, with what broke.
#pragma once

#include <cstdio>
#include <cstdlib>

#define KV_FUZZ_CHECK(condition)                                                              \
  do {                                                                                        \
    if (!(condition)) {                                                                       \
      std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                           \
    }                                                                                         \
  } while (false)
