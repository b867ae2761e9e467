// Elapsed time over the platform's high-resolution counter.
#pragma once

#include <cstdint>

namespace kv {

class Platform;

class HiTimer {
 public:
  explicit HiTimer(Platform& platform);
  ~HiTimer();
  HiTimer(const HiTimer&) = delete;
  HiTimer& operator=(const HiTimer&) = delete;

  void Start(bool reset);
  void Stop();
  void Reset();
  double RunningSeconds();
  double TotalSeconds() const;

  bool HasCounter() const { return !noCounter_; }

 private:
  Platform& platform_;
  int64_t frequency_ = 0;
  int64_t start_ = 0;
  int64_t stop_ = 0;
  int64_t accumulated_ = 0;
  int64_t overhead_ = 0;
  bool noCounter_ = false;
  // Kept apart from start_ so that a counter reading of 0 still counts as running.
  bool running_ = false;
};

}  // namespace kv
