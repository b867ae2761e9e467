// The twelve command builders. Each copies its template, packs the caller's fields (cut to their
// width, big-endian) and hands the block to ExecuteCommand; none looks at the answer.
#include <array>

#include "drive/atapi_device.h"
#include "drive/mmc.h"

namespace kv {

namespace {

using Template = std::array<uint8_t, kCdbLength>;

constexpr Template Opcode(uint8_t op) {
  return Template{op};
}

constexpr Template kTestUnitReadyTemplate = Opcode(mmc::kOpTestUnitReady);
constexpr Template kInquiryTemplate = Opcode(mmc::kOpInquiry);
constexpr Template kModeSense10Template = Opcode(mmc::kOpModeSense10);
constexpr Template kGetConfigurationTemplate = Opcode(mmc::kOpGetConfiguration);
constexpr Template kGetPerformanceTemplate = Opcode(mmc::kOpGetPerformance);
constexpr Template kReadDiscInformationTemplate = Opcode(mmc::kOpReadDiscInformation);
constexpr Template kReadDvdStructureTemplate = Opcode(mmc::kOpReadDvdStructure);
constexpr Template kReadFormatCapacitiesTemplate = Opcode(mmc::kOpReadFormatCapacities);
constexpr Template kReadTocPmaAtipTemplate = Opcode(mmc::kOpReadTocPmaAtip);
constexpr Template kSetCdSpeedTemplate = Opcode(mmc::kOpSetCdSpeed);
constexpr Template kSetStreamingTemplate = Opcode(mmc::kOpSetStreaming);
constexpr Template kVendorMediaIdTemplate = {mmc::kOpVendorMediaId, 0x00, 0x03, 0x01};

// The vendor media identifier answer is always 12 bytes.
constexpr uint32_t kVendorMediaIdLength = 12;

void PutBE16(Template& cdb, std::size_t at, uint32_t value) {
  cdb[at] = static_cast<uint8_t>(value >> 8);
  cdb[at + 1] = static_cast<uint8_t>(value);
}

void PutBE32(Template& cdb, std::size_t at, uint32_t value) {
  cdb[at] = static_cast<uint8_t>(value >> 24);
  cdb[at + 1] = static_cast<uint8_t>(value >> 16);
  cdb[at + 2] = static_cast<uint8_t>(value >> 8);
  cdb[at + 3] = static_cast<uint8_t>(value);
}

}  // namespace

uint8_t AtapiDevice::TestUnitReady() {
  Template cdb = kTestUnitReadyTemplate;
  return ExecuteCommand(cdb.data(), kDirectionNone, 0);
}

uint8_t AtapiDevice::Inquiry(uint8_t cmdDt, uint8_t evpd, uint8_t pageCode,
                             uint32_t allocationLength, uint8_t control) {
  Template cdb = kInquiryTemplate;
  cdb[1] = static_cast<uint8_t>(((cmdDt & 1) << 1) | (evpd & 1));
  cdb[2] = pageCode;
  cdb[4] = static_cast<uint8_t>(allocationLength);  // one byte: the 6-byte command's field
  cdb[5] = control;
  return ExecuteCommand(cdb.data(), kDirectionIn, allocationLength);
}

uint8_t AtapiDevice::ModeSense10(uint8_t dbd, uint8_t pageControl, uint8_t pageCode,
                                 uint32_t allocationLength, uint8_t control) {
  Template cdb = kModeSense10Template;
  cdb[1] = static_cast<uint8_t>((dbd & 1) << 3);
  cdb[2] = static_cast<uint8_t>(((pageControl & 3) << 6) | (pageCode & 0x3F));
  PutBE16(cdb, 7, allocationLength);
  cdb[9] = control;
  return ExecuteCommand(cdb.data(), kDirectionIn, allocationLength);
}

uint8_t AtapiDevice::GetConfiguration(uint8_t requestType, uint32_t startingFeature,
                                      uint32_t allocationLength, uint8_t control) {
  Template cdb = kGetConfigurationTemplate;
  cdb[1] = static_cast<uint8_t>(requestType & 3);
  PutBE16(cdb, 2, startingFeature);
  PutBE16(cdb, 7, allocationLength);
  cdb[9] = control;
  return ExecuteCommand(cdb.data(), kDirectionIn, allocationLength);
}

uint8_t AtapiDevice::GetPerformance(uint8_t dataType, uint32_t startingLba, uint32_t maxDescriptors,
                                    uint8_t type, uint8_t control, uint32_t transferLength) {
  Template cdb = kGetPerformanceTemplate;
  cdb[1] = static_cast<uint8_t>(dataType & 0x1F);
  PutBE32(cdb, 2, startingLba);
  PutBE16(cdb, 8, maxDescriptors);
  cdb[10] = type;
  cdb[11] = control;
  return ExecuteCommand(cdb.data(), kDirectionIn, transferLength);
}

uint8_t AtapiDevice::ReadDiscInformation(uint32_t allocationLength, uint8_t control) {
  Template cdb = kReadDiscInformationTemplate;
  PutBE16(cdb, 7, allocationLength);
  cdb[9] = control;
  return ExecuteCommand(cdb.data(), kDirectionIn, allocationLength);
}

uint8_t AtapiDevice::ReadDvdStructure(uint32_t address, uint8_t layer, uint8_t format,
                                      uint32_t allocationLength, uint8_t agid, uint8_t control) {
  Template cdb = kReadDvdStructureTemplate;
  PutBE32(cdb, 2, address);
  cdb[6] = layer;
  cdb[7] = format;
  PutBE16(cdb, 8, allocationLength);
  cdb[10] = static_cast<uint8_t>((agid & 3) << 6);
  cdb[11] = control;
  return ExecuteCommand(cdb.data(), kDirectionIn, allocationLength);
}

uint8_t AtapiDevice::ReadFormatCapacities(uint32_t allocationLength, uint8_t control) {
  Template cdb = kReadFormatCapacitiesTemplate;
  PutBE16(cdb, 7, allocationLength);
  cdb[9] = control;
  return ExecuteCommand(cdb.data(), kDirectionIn, allocationLength);
}

uint8_t AtapiDevice::ReadTocPmaAtip(uint8_t msf, uint8_t format, uint8_t trackNumber,
                                    uint32_t allocationLength, uint8_t control) {
  Template cdb = kReadTocPmaAtipTemplate;
  cdb[1] = static_cast<uint8_t>((msf & 1) << 1);
  cdb[2] = static_cast<uint8_t>(format & 0x0F);
  cdb[6] = trackNumber;
  PutBE16(cdb, 7, allocationLength);
  cdb[9] = control;
  return ExecuteCommand(cdb.data(), kDirectionIn, allocationLength);
}

uint8_t AtapiDevice::SetCdSpeed(uint8_t rotationControl, uint32_t readSpeed, uint32_t writeSpeed,
                                uint8_t control) {
  Template cdb = kSetCdSpeedTemplate;
  cdb[1] = static_cast<uint8_t>(rotationControl & 3);
  PutBE16(cdb, 2, readSpeed);
  PutBE16(cdb, 4, writeSpeed);
  cdb[11] = control;
  return ExecuteCommand(cdb.data(), kDirectionNone, 0);
}

uint8_t AtapiDevice::SetStreaming(uint32_t parameterLength, uint8_t control) {
  Template cdb = kSetStreamingTemplate;
  PutBE16(cdb, 9, parameterLength);
  cdb[11] = control;
  return ExecuteCommand(cdb.data(), kDirectionOut, parameterLength);
}

uint8_t AtapiDevice::ReadVendorMediaId() {
  Template cdb = kVendorMediaIdTemplate;
  return ExecuteCommand(cdb.data(), kDirectionIn, kVendorMediaIdLength);
}

bool AtapiDevice::LastSenseIs(uint8_t senseKey, uint8_t asc) const {
  return LastCommand_.SenseKey == senseKey && LastCommand_.Asc == asc;
}

bool AtapiDevice::LastSenseKeyIs(uint8_t senseKey) const {
  return LastCommand_.SenseKey == senseKey;
}

}  // namespace kv
