// Layout facts of the GET CONFIGURATION answer and its profile list feature (0000h): read by the
// drive and disc queries, built by the emulated drive.
#pragma once

#include <cstdint>

namespace kv::configuration {

// 8-byte feature header: data length (bytes 0-3, the bytes after this field), current profile
// (bytes 6-7); the feature descriptors follow.
inline constexpr uint32_t kDataLength = 0;
inline constexpr uint32_t kDataLengthSize = 4;
inline constexpr uint32_t kCurrentProfileOffset = 6;
inline constexpr uint32_t kFeatureHeaderSize = 8;
// Each feature descriptor: feature code (bytes 0-1), version, persistent and current (byte 2),
// additional length (byte 3), then that many bytes.
inline constexpr uint32_t kFeatureCode = 0;
inline constexpr uint32_t kFeatureFlagsByte = 2;
inline constexpr uint32_t kFeatureAdditionalLength = 3;
inline constexpr uint32_t kFeatureDescriptorHeaderSize = 4;
// Profile list feature: 4-byte profile descriptors, profile number (bytes 0-1), CurrentP (byte 2
// bit 0).
inline constexpr uint32_t kProfileDescriptorSize = 4;
inline constexpr uint32_t kProfileNumber = 0;
inline constexpr uint32_t kProfileCurrentByte = 2;
inline constexpr uint8_t kProfileCurrentBit = 0x01;
// The feature's additional length is one byte, so at most this many profiles fit.
inline constexpr uint32_t kMaxProfiles = 255 / kProfileDescriptorSize;
// Asked for alone, the profile list is the first feature: its additional length at byte 11, the
// low byte of the first profile number at byte 13.
inline constexpr uint32_t kProfileListAdditionalLength =
    kFeatureHeaderSize + kFeatureAdditionalLength;
inline constexpr uint32_t kFirstProfileLowByte =
    kFeatureHeaderSize + kFeatureDescriptorHeaderSize + kProfileNumber + 1;
static_assert(kProfileListAdditionalLength == 11 && kFirstProfileLowByte == 13);
static_assert(kMaxProfiles == 63);

}  // namespace kv::configuration
