// The outcome of the most recent command that reached a transport.
#pragma once

#include <cstdint>

#include "drive/platform.h"

namespace kv {

// Status values of CommandRecord::Status.
enum : uint8_t { kStatusFailed = 0, kStatusGood = 1, kStatusCheckCondition = 2 };

struct CommandRecord {
  uint8_t Status = kStatusFailed;
  uint8_t SenseKey = 0;
  uint8_t Asc = 0;
  uint8_t Ascq = 0;
  double Elapsed = 0.0;      // seconds
  uint32_t Transferred = 0;  // bytes moved; 0 after any failure
  uint8_t TimedOut = 0;
  Cdb CdbBytes{};  // the 12 bytes as sent
};

}  // namespace kv
