#include "drive/hi_timer.h"

#include "drive/platform.h"

namespace kv {

HiTimer::HiTimer(Platform& platform) : platform_(platform) {
  frequency_ = platform_.CounterFrequency();
  if (frequency_ <= 0) {
    frequency_ = 0;
    noCounter_ = true;
    return;
  }
  // Measure one empty start/stop once; every interval has it subtracted.
  Start(false);
  Stop();
  overhead_ = accumulated_;
  start_ = 0;
  stop_ = 0;
  accumulated_ = 0;
}

HiTimer::~HiTimer() {
  if (running_) {
    Stop();
  }
}

void HiTimer::Start(bool reset) {
  if (noCounter_) {
    return;
  }
  if (reset) {
    Reset();
  }
  start_ = platform_.CounterNow();
  running_ = true;
}

void HiTimer::Stop() {
  if (noCounter_) {
    return;
  }
  stop_ = platform_.CounterNow();
  accumulated_ += stop_ - start_ - overhead_;
  start_ = 0;
  running_ = false;
}

void HiTimer::Reset() {
  if (running_) {
    Stop();
  }
  accumulated_ = 0;
}

double HiTimer::RunningSeconds() {
  if (noCounter_ || !running_) {
    return 0.0;
  }
  stop_ = platform_.CounterNow();
  return static_cast<double>(stop_ - start_ - overhead_) / static_cast<double>(frequency_);
}

double HiTimer::TotalSeconds() const {
  if (noCounter_) {
    return 0.0;
  }
  int64_t ticks = accumulated_;
  if (running_) {
    ticks += stop_ - start_ - overhead_;
  }
  return static_cast<double>(ticks) / static_cast<double>(frequency_);
}

}  // namespace kv
