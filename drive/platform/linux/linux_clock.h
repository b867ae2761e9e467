// The monotonic clock in nanoseconds, and sleeping.
#pragma once

#include <cstdint>

namespace kv {

inline constexpr int64_t kMonotonicTicksPerSecond = 1000000000;

int64_t MonotonicNanoseconds();
// Sleeps the whole time even when signals interrupt it.
void SleepFor(uint32_t milliseconds);

}  // namespace kv
