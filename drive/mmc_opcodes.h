// Operation codes (CDB byte 0) of the MMC commands the device sends and the emulated drive
// answers.
#pragma once

#include <cstdint>

namespace kv::mmc {

inline constexpr uint8_t kOpTestUnitReady = 0x00;
inline constexpr uint8_t kOpInquiry = 0x12;
inline constexpr uint8_t kOpReadFormatCapacities = 0x23;
inline constexpr uint8_t kOpReadTocPmaAtip = 0x43;
inline constexpr uint8_t kOpGetConfiguration = 0x46;
inline constexpr uint8_t kOpReadDiscInformation = 0x51;
inline constexpr uint8_t kOpModeSense10 = 0x5A;
inline constexpr uint8_t kOpGetPerformance = 0xAC;
inline constexpr uint8_t kOpReadDvdStructure = 0xAD;
inline constexpr uint8_t kOpSetStreaming = 0xB6;
inline constexpr uint8_t kOpSetCdSpeed = 0xBB;
inline constexpr uint8_t kOpVendorMediaId = 0xDF;

}  // namespace kv::mmc
