// Layout of the GET CONFIGURATION answer: the feature header, feature descriptors, the profile
// list (feature 0000h) and the features the drive-information query names.
#pragma once

#include <cstdint>

namespace kv::feature {

// 8-byte feature header: bytes 0-3 the data length (bytes after this field), 6-7 the current
// profile.
inline constexpr uint32_t kDataLength = 0;
inline constexpr uint32_t kCurrentProfile = 6;
inline constexpr uint32_t kHeaderSize = 8;

// A feature descriptor: code, flags, additional length, then its own bytes.
inline constexpr uint32_t kCode = 0;
inline constexpr uint32_t kAdditionalLength = 3;
inline constexpr uint32_t kDescriptorHeaderSize = 4;

// Feature 0000h: 4-byte profile descriptors, profile number then the current bit.
inline constexpr uint16_t kProfileList = 0x0000;
inline constexpr uint32_t kProfileDescriptorSize = 4;
inline constexpr uint32_t kProfileNumber = 0;
inline constexpr uint32_t kProfileFlags = 2;
inline constexpr uint8_t kProfileCurrentBit = 0x01;

// Feature 0107h (real-time streaming): byte 4 bits.
inline constexpr uint16_t kRealTimeStreaming = 0x0107;
inline constexpr uint32_t kStreamingBits = 4;
inline constexpr uint8_t kStreamingWriteSpeed = 0x02;     // WSPD: write speed descriptors
inline constexpr uint8_t kStreamingSetCdSpeed = 0x08;     // SCS
inline constexpr uint8_t kStreamingReadBufferCap = 0x10;  // RBCB
inline constexpr uint8_t kStreamingWriteBits = 0x01;      // SW: write streaming

// Feature 0108h (drive serial number): ASCII from byte 4, additional length bytes.
inline constexpr uint16_t kSerialNumber = 0x0108;
inline constexpr uint32_t kSerialText = 4;

// Feature 010Ch (firmware information): "CCYYMMDDHHMISS" in ASCII from byte 4.
inline constexpr uint16_t kFirmwareInformation = 0x010C;
inline constexpr uint32_t kFirmwareDate = 4;
inline constexpr uint32_t kFirmwareDateLength = 14;

}  // namespace kv::feature
