// Operation codes, sense values and fixed command arguments of the MMC commands the device sends.
#pragma once

#include <cstdint>

namespace kv::mmc {

// Operation codes (CDB byte 0).
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
