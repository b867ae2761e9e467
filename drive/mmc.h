// Sense values and fixed command arguments of the MMC commands the device sends; the operation
// codes are in mmc_opcodes.h.
#pragma once

#include <cstdint>

#include "drive/mmc_opcodes.h"

namespace kv::mmc {

// Sense keys and additional sense codes the queries test.
inline constexpr uint8_t kSenseNoSense = 0x00;
inline constexpr uint8_t kSenseNotReady = 0x02;
inline constexpr uint8_t kSenseIllegalRequest = 0x05;
inline constexpr uint8_t kSenseUnitAttention = 0x06;
inline constexpr uint8_t kAscNotReadyBecoming = 0x04;  // logical unit not ready (becoming ready)
inline constexpr uint8_t kAscMediumNotPresent = 0x3A;

// Mode page 2Ah: CD/DVD capabilities and mechanical status.
inline constexpr uint8_t kPageCapabilities = 0x2A;
// TOC/PMA/ATIP format code of the ATIP answer.
inline constexpr uint8_t kTocFormatAtip = 4;
// READ DVD STRUCTURE formats: physical format information, pre-recorded information in lead-in.
inline constexpr uint8_t kDvdFormatPhysical = 0x00;
inline constexpr uint8_t kDvdFormatPrerecorded = 0x0E;
// GET CONFIGURATION request types: all features, the one feature named.
inline constexpr uint8_t kConfigAllFeatures = 0;
inline constexpr uint8_t kConfigOneFeature = 2;
inline constexpr uint32_t kFeatureProfileList = 0;
// GET PERFORMANCE type of write speed descriptors.
inline constexpr uint8_t kPerformanceWriteSpeed = 3;

}  // namespace kv::mmc
