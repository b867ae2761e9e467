#include "drive/atapi_device.h"

namespace kv {

uint8_t AtapiDevice::ReadDataByte(uint32_t offset) const {
  if (!DataBuffer || offset >= kBufferSize) {
    return 0;
  }
  return DataBuffer[offset];
}

uint16_t AtapiDevice::ReadDataBE16(uint32_t offset) const {
  // 64-bit offsets so that a read near 4 GiB cannot wrap round to the start of the buffer.
  const uint64_t at = offset;
  auto byte = [&](uint64_t i) -> uint16_t {
    return at + i < kBufferSize ? ReadDataByte(static_cast<uint32_t>(at + i)) : 0;
  };
  return static_cast<uint16_t>((byte(0) << 8) | byte(1));
}

uint32_t AtapiDevice::ReadDataBE32(uint32_t offset) const {
  const uint64_t at = offset;
  auto byte = [&](uint64_t i) -> uint32_t {
    return at + i < kBufferSize ? ReadDataByte(static_cast<uint32_t>(at + i)) : 0;
  };
  return (byte(0) << 24) | (byte(1) << 16) | (byte(2) << 8) | byte(3);
}

bool AtapiDevice::AnswerHolds(uint32_t offset, uint32_t width) const {
  return static_cast<uint64_t>(offset) + width <= LastCommand_.Transferred;
}

void AtapiDevice::WriteParamBE32(uint32_t offset, uint32_t value) {
  // A value that does not fit whole is not written at all rather than torn.
  if (!ParameterBuffer || static_cast<uint64_t>(offset) + 4 > kBufferSize) {
    return;
  }
  ParameterBuffer[offset] = static_cast<uint8_t>(value >> 24);
  ParameterBuffer[offset + 1] = static_cast<uint8_t>(value >> 16);
  ParameterBuffer[offset + 2] = static_cast<uint8_t>(value >> 8);
  ParameterBuffer[offset + 3] = static_cast<uint8_t>(value);
}

}  // namespace kv
