#include "drive/platform/linux/linux_clock.h"

#include <cerrno>
#include <ctime>

namespace kv {

namespace {
constexpr long kNanosecondsPerMillisecond = 1000000;
constexpr uint32_t kMillisecondsPerSecond = 1000;
}  // namespace

int64_t MonotonicNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * kMonotonicTicksPerSecond + now.tv_nsec;
}

void SleepFor(uint32_t milliseconds) {
  timespec remaining{};
  remaining.tv_sec = static_cast<time_t>(milliseconds / kMillisecondsPerSecond);
  remaining.tv_nsec =
      static_cast<long>(milliseconds % kMillisecondsPerSecond) * kNanosecondsPerMillisecond;
  while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

}  // namespace kv
