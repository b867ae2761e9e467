// Sense as the emulated drives report it: a {key, asc, ascq} value with named constants.
#pragma once

#include <cstdint>

namespace kv::emu {

struct Sense {
  uint8_t key = 0;
  uint8_t asc = 0;
  uint8_t ascq = 0;

  bool IsGood() const { return key == 0 && asc == 0 && ascq == 0; }
  friend bool operator==(const Sense&, const Sense&) = default;
};

inline constexpr uint8_t kSenseKeyNoSense = 0x00;
inline constexpr uint8_t kSenseKeyNotReady = 0x02;
inline constexpr uint8_t kSenseKeyMediumError = 0x03;
inline constexpr uint8_t kSenseKeyHardwareError = 0x04;
inline constexpr uint8_t kSenseKeyIllegalRequest = 0x05;
inline constexpr uint8_t kSenseKeyUnitAttention = 0x06;

inline constexpr Sense kSenseGood{};
inline constexpr Sense kSenseBecomingReady{kSenseKeyNotReady, 0x04, 0x01};
inline constexpr Sense kSenseMediumNotPresent{kSenseKeyNotReady, 0x3A, 0x00};
inline constexpr Sense kSenseParameterListLength{kSenseKeyIllegalRequest, 0x1A, 0x00};
inline constexpr Sense kSenseInvalidOpcode{kSenseKeyIllegalRequest, 0x20, 0x00};
inline constexpr Sense kSenseInvalidFieldInCdb{kSenseKeyIllegalRequest, 0x24, 0x00};
inline constexpr Sense kSenseIncompatibleMedium{kSenseKeyIllegalRequest, 0x30, 0x00};
inline constexpr Sense kSenseMediumChanged{kSenseKeyUnitAttention, 0x28, 0x00};

// Fixed-format sense data (response code 70h), the form every transport hands back.
inline constexpr uint8_t kFixedSenseResponseCode = 0x70;
inline constexpr uint8_t kFixedSenseLength = 18;
inline constexpr uint8_t kFixedSenseKeyOffset = 2;
inline constexpr uint8_t kFixedSenseAdditionalLengthOffset = 7;
inline constexpr uint8_t kFixedSenseAscOffset = 12;
inline constexpr uint8_t kFixedSenseAscqOffset = 13;

}  // namespace kv::emu
