// STUB: replaced by its owner.
#include "drive/atapi_device.h"

namespace kv {

AtapiDevice::AtapiDevice(Platform& platform, Notifier* notifier)
    : platform_(platform), notifier_(notifier) {
  WaitTimer = std::make_unique<HiTimer>(platform_);
  CommandTimer = std::make_unique<HiTimer>(platform_);
  osInfo_ = std::make_unique<OSInfo>(platform_);
  DataBuffer = std::make_unique<uint8_t[]>(kBufferSize);
  ParameterBuffer = std::make_unique<uint8_t[]>(kBufferSize);
}
AtapiDevice::~AtapiDevice() = default;
void AtapiDevice::ClearIdentification() {}

}  // namespace kv
