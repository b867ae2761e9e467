// Write speeds and the request to stream at the highest one.
#include <cstring>

#include "drive/atapi_device.h"
#include "drive/capabilities_page_answer.h"
#include "drive/mmc.h"
#include "drive/performance_answer.h"

namespace kv {

namespace {

constexpr uint32_t kPerformanceDescriptors = 50;
constexpr uint32_t kMaxSpeedTransfer = 1024;
constexpr uint32_t kStreamingTransfer = 4096;
using performance::kFirstDescriptorEnd;
using performance::kFirstEndLba;
using performance::kFirstReadSpeed;
using performance::kFirstWriteSpeed;

// The SET STREAMING performance descriptor.
constexpr uint32_t kStreamingDescriptorLength = 28;
constexpr uint32_t kStreamStartLba = 4;
constexpr uint32_t kStreamEndLba = 8;
constexpr uint32_t kStreamReadSize = 12;
constexpr uint32_t kStreamReadTime = 16;
constexpr uint32_t kStreamWriteSize = 20;
constexpr uint32_t kStreamWriteTime = 24;
constexpr uint32_t kStreamTimeMs = 1000;  // sizes per second make the sizes speeds in kB/s

constexpr uint32_t kCurrentSpeedLength = 40;
using capabilities_page::kCurrentWriteSpeed;

}  // namespace

// A drive without write-speed descriptors answers the header alone; the buffer past it still
// holds the previous command's bytes, which must not become a speed.
bool AtapiDevice::PerformanceAnswerHasDescriptor() const {
  return LastCommand_.Transferred >= kFirstDescriptorEnd &&
         ReadDataBE32(performance::kDataLength) >=
             kFirstDescriptorEnd - performance::kDataLengthSize;
}

double AtapiDevice::QueryMaxWriteSpeed() {
  if (!IsCdWriter()) {
    return 0.0;
  }
  if (GetPerformance(0, 0, kPerformanceDescriptors, mmc::kPerformanceWriteSpeed, 0,
                     kMaxSpeedTransfer) == 0 ||
      !PerformanceAnswerHasDescriptor()) {
    return 0.0;
  }
  return static_cast<double>(ReadDataBE32(kFirstWriteSpeed));
}

bool AtapiDevice::SetMaximumStreaming() {
  if (GetPerformance(0, 0, kPerformanceDescriptors, mmc::kPerformanceWriteSpeed, 0,
                     kStreamingTransfer) == 0 ||
      !PerformanceAnswerHasDescriptor()) {
    return false;
  }
  if (!ParameterBuffer) {
    return false;
  }
  std::memset(ParameterBuffer.get(), 0, kStreamingDescriptorLength);
  WriteParamBE32(kStreamStartLba, 0);
  WriteParamBE32(kStreamEndLba, ReadDataBE32(kFirstEndLba));
  WriteParamBE32(kStreamReadSize, ReadDataBE32(kFirstReadSpeed));
  WriteParamBE32(kStreamReadTime, kStreamTimeMs);
  WriteParamBE32(kStreamWriteSize, ReadDataBE32(kFirstWriteSpeed));
  WriteParamBE32(kStreamWriteTime, kStreamTimeMs);
  return SetStreaming(kStreamingDescriptorLength, 0) != 0;
}

uint32_t AtapiDevice::QueryCurrentWriteSpeed() {
  if (ModeSense10(0, 0, mmc::kPageCapabilities, kCurrentSpeedLength, 0) == 0 ||
      LastCommand_.Transferred < kCurrentWriteSpeed + 2) {
    return 0;
  }
  return ReadDataBE16(kCurrentWriteSpeed);
}

}  // namespace kv
