// STUB: replaced by its owner.
#include "drive/hi_timer.h"
#include "drive/platform.h"
namespace kv {
HiTimer::HiTimer(Platform& platform) : platform_(platform) {}
HiTimer::~HiTimer() = default;
void HiTimer::Start(bool) {}
void HiTimer::Stop() {}
void HiTimer::Reset() {}
double HiTimer::RunningSeconds() { return 0; }
double HiTimer::TotalSeconds() const { return 0; }
}  // namespace kv
