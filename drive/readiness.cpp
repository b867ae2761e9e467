// Waiting for a drive to become ready, and clearing a pending unit attention.
#include "drive/atapi_device.h"
#include "drive/mmc.h"

namespace kv {

namespace {

constexpr uint32_t kPollIntervalMs = 300;
// A drive that keeps raising unit attention is asked at most this many times in all.
constexpr int kUnitAttentionAttempts = 16;

}  // namespace

bool AtapiDevice::WaitUntilReady(int32_t limitSeconds) {
  const bool bounded = limitSeconds > 0;
  // Without a counter the timer reads 0 for ever; a bounded wait then counts polls instead.
  const bool countPolls = bounded && !WaitTimer->HasCounter();
  const int64_t pollBudget = countPolls ? int64_t{limitSeconds} * 1000 / kPollIntervalMs : 0;
  if (bounded) {
    WaitTimer->Start(true);
  }

  bool gaveUp = false;
  int64_t polls = 0;
  for (;;) {
    TestUnitReady();
    ++polls;
    // A command that never reached the drive says nothing new; the previous answer in
    // LastCommand must not keep the loop going.
    const bool becomingReady = LastCommandReachedTransport() &&
                               (LastSenseIs(mmc::kSenseNotReady, mmc::kAscNotReadyBecoming) ||
                                LastSenseKeyIs(mmc::kSenseUnitAttention));
    if (!becomingReady) {
      break;
    }
    if (bounded) {
      const bool spent = countPolls
                             ? polls >= pollBudget
                             : WaitTimer->RunningSeconds() >= static_cast<double>(limitSeconds);
      if (spent) {
        gaveUp = true;
        break;
      }
    }
    if (waitHook_) {
      waitHook_();
    }
    platform_.SleepMilliseconds(kPollIntervalMs);
  }

  // The final answer is what callers read from LastCommand.
  TestUnitReady();
  if (bounded) {
    WaitTimer->Stop();
  }
  return !gaveUp;
}

void AtapiDevice::ClearUnitAttention() {
  for (int attempt = 0; attempt < kUnitAttentionAttempts; ++attempt) {
    if (TestUnitReady() != 0) {
      return;
    }
    if (!LastCommandReachedTransport() || !LastSenseKeyIs(mmc::kSenseUnitAttention)) {
      return;
    }
  }
}

}  // namespace kv
