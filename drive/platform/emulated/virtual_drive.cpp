// The drive's side of one command: readiness, raw answers, the handler table, faults and the
// transport rule that only the answer's own bytes are moved.
#include "drive/platform/emulated/virtual_drive.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "drive/mmc_opcodes.h"
#include "drive/platform/emulated/answer_bytes.h"

namespace kv::emu {

namespace {

using mmc::kOpGetConfiguration;
using mmc::kOpGetPerformance;
using mmc::kOpInquiry;
using mmc::kOpModeSense10;
using mmc::kOpReadDiscInformation;
using mmc::kOpReadDvdStructure;
using mmc::kOpReadFormatCapacities;
using mmc::kOpReadTocPmaAtip;
using mmc::kOpSetCdSpeed;
using mmc::kOpSetStreaming;
using mmc::kOpTestUnitReady;
using mmc::kOpVendorMediaId;

// The CDB field that selects among a command's answers, per opcode.
constexpr std::size_t kInquiryEvpdByte = 1;
constexpr uint8_t kInquiryEvpdBit = 0x01;
constexpr std::size_t kInquiryPageByte = 2;
constexpr std::size_t kTocFormatByte = 2;
constexpr uint8_t kTocFormatMask = 0x0F;
constexpr std::size_t kConfigurationRtByte = 1;
constexpr uint8_t kConfigurationRtMask = 0x03;
constexpr std::size_t kModePageByte = 2;
constexpr uint8_t kModePageMask = 0x3F;
constexpr std::size_t kPerformanceTypeByte = 10;
constexpr std::size_t kDvdStructureFormatByte = 7;

std::string HexByte(uint8_t value) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

}  // namespace

std::string OpcodeKey(uint8_t opcode) {
  return HexByte(opcode);
}

std::string CommandKey(const Cdb& cdb) {
  const uint8_t opcode = cdb[0];
  const std::string op = OpcodeKey(opcode);
  switch (opcode) {
    case kOpInquiry:
      if (cdb[kInquiryEvpdByte] & kInquiryEvpdBit) {
        return op + "/" + HexByte(cdb[kInquiryPageByte]);
      }
      return op;
    case kOpReadTocPmaAtip:
      return op + "/" + HexByte(cdb[kTocFormatByte] & kTocFormatMask);
    case kOpGetConfiguration:
      return op + "/" + HexByte(cdb[kConfigurationRtByte] & kConfigurationRtMask);
    case kOpModeSense10:
      return op + "/" + HexByte(cdb[kModePageByte] & kModePageMask);
    case kOpGetPerformance:
      return op + "/" + HexByte(cdb[kPerformanceTypeByte]);
    case kOpReadDvdStructure:
      return op + "/" + HexByte(cdb[kDvdStructureFormatByte]);
    default:
      return op;
  }
}

struct VirtualDrive::CommandEntry {
  Answer (VirtualDrive::*handler)(const Cdb&, const DataOut&) = nullptr;
  bool needsMedium = false;
};

const VirtualDrive::CommandEntry* VirtualDrive::FindCommand(uint8_t opcode) {
  static const std::array<CommandEntry, 256> table = [] {
    std::array<CommandEntry, 256> t{};
    t[kOpTestUnitReady] = {&VirtualDrive::cmd_test_unit_ready, true};
    t[kOpInquiry] = {&VirtualDrive::cmd_inquiry, false};
    t[kOpReadFormatCapacities] = {&VirtualDrive::cmd_read_format_capacities, true};
    t[kOpReadTocPmaAtip] = {&VirtualDrive::cmd_read_toc_pma_atip, true};
    t[kOpGetConfiguration] = {&VirtualDrive::cmd_get_configuration, false};
    t[kOpReadDiscInformation] = {&VirtualDrive::cmd_read_disc_information, true};
    t[kOpModeSense10] = {&VirtualDrive::cmd_mode_sense_10, false};
    t[kOpGetPerformance] = {&VirtualDrive::cmd_get_performance, true};
    t[kOpReadDvdStructure] = {&VirtualDrive::cmd_read_dvd_structure, true};
    t[kOpSetStreaming] = {&VirtualDrive::cmd_set_streaming, true};
    t[kOpSetCdSpeed] = {&VirtualDrive::cmd_set_cd_speed, false};
    t[kOpVendorMediaId] = {&VirtualDrive::cmd_vendor_media_id, true};
    return t;
  }();
  const CommandEntry& entry = table[opcode];
  return entry.handler ? &entry : nullptr;
}

VirtualDrive::VirtualDrive(DriveProfile profile) : profile_(std::move(profile)) {
  currentWriteSpeed_ = profile_.drive.capabilities.currentWriteSpeed;
  unitAttentionLeft_ = profile_.readiness.unitAttentionPolls;
  notReadyLeft_ = profile_.readiness.notReadyPolls;
}

void VirtualDrive::InsertDisc(const Disc& disc) {
  profile_.disc = disc;
  ++unitAttentionLeft_;
}

void VirtualDrive::EjectDisc() {
  profile_.disc = Disc{};
  ++unitAttentionLeft_;
}

void VirtualDrive::SetBecomingReady(uint32_t notReadyPolls, uint32_t unitAttentionPolls) {
  notReadyLeft_ = notReadyPolls;
  unitAttentionLeft_ = unitAttentionPolls;
}

uint16_t VirtualDrive::CurrentProfileNumber() const {
  if (!HasMedium()) {
    return 0;
  }
  return profile_.drive.currentProfile.value_or(DefaultCurrentProfile(profile_.disc));
}

const std::vector<WriteSpeedDescriptor>& VirtualDrive::WriteSpeeds() const {
  return profile_.disc.writeSpeeds ? *profile_.disc.writeSpeeds : profile_.drive.writeSpeeds;
}

std::vector<Fault> VirtualDrive::FireFaults(const std::string& key) {
  std::vector<Fault> hits;
  const auto it = profile_.faults.find(key);
  if (it == profile_.faults.end()) {
    return hits;
  }
  for (std::size_t i = 0; i < it->second.size(); ++i) {
    const Fault& fault = it->second[i];
    FaultCounter& counter = faultCounters_[{key, i}];
    ++counter.seen;
    const uint32_t first = std::max<uint32_t>(fault.failAfter, 1);
    if (counter.seen < first) {
      continue;
    }
    if (fault.times && counter.fired >= *fault.times) {
      continue;
    }
    ++counter.fired;
    hits.push_back(fault);
  }
  return hits;
}

VirtualDrive::Answer VirtualDrive::BuildAnswer(const Cdb& cdb, const uint8_t* dataOut,
                                               uint32_t dataOutLength) {
  const std::string key = CommandKey(cdb);
  const std::string opKey = OpcodeKey(cdb[0]);
  const auto& unsupported = profile_.drive.unsupported;
  if (std::find(unsupported.begin(), unsupported.end(), key) != unsupported.end() ||
      std::find(unsupported.begin(), unsupported.end(), opKey) != unsupported.end()) {
    return {kSenseInvalidOpcode, {}};
  }
  const CommandEntry* entry = FindCommand(cdb[0]);
  if (cdb[0] == kOpTestUnitReady) {
    if (unitAttentionLeft_ > 0) {
      --unitAttentionLeft_;
      return {kSenseMediumChanged, {}};
    }
    if (notReadyLeft_ > 0) {
      --notReadyLeft_;
      return {kSenseBecomingReady, {}};
    }
  } else if (entry && entry->needsMedium && notReadyLeft_ > 0) {
    return {kSenseBecomingReady, {}};
  }
  auto raw = profile_.raw.find(key);
  if (raw == profile_.raw.end()) {
    raw = profile_.raw.find(opKey);
  }
  if (raw != profile_.raw.end()) {
    return {kSenseGood, raw->second};
  }
  if (!entry) {
    return {kSenseInvalidOpcode, {}};
  }
  if (entry->needsMedium && !HasMedium()) {
    return {kSenseMediumNotPresent, {}};
  }
  return (this->*(entry->handler))(cdb, DataOut{dataOut, dataOutLength});
}

DriveResponse VirtualDrive::Execute(const ScsiRequest& request) {
  ++commandCount_;
  const std::string key = CommandKey(request.cdb);
  const std::string opKey = OpcodeKey(request.cdb[0]);
  std::vector<Fault> faults = FireFaults(key);
  if (opKey != key) {
    for (Fault& f : FireFaults(opKey)) {
      faults.push_back(f);
    }
  }
  for (Fault& f : FireFaults("*")) {
    faults.push_back(f);
  }

  DriveResponse response;
  bool transportFailure = false;
  std::optional<Sense> faultSense;
  std::optional<uint32_t> shortBytes;
  std::optional<uint32_t> misreport;
  for (const Fault& f : faults) {
    response.latencyMs += f.latencyMs;
    const bool hasEffect =
        f.sense || f.transportFailure || f.shortBytes || f.misreport || f.latencyMs > 0;
    transportFailure = transportFailure || f.transportFailure || !hasEffect;
    if (f.sense && !faultSense) {
      faultSense = f.sense;
    }
    if (f.shortBytes) {
      shortBytes = std::min(shortBytes.value_or(*f.shortBytes), *f.shortBytes);
    }
    if (f.misreport) {
      misreport = f.misreport;
    }
  }
  if (transportFailure) {
    response.outcome = DriveResponse::Outcome::TransportFailure;
    return response;
  }

  const bool dataOut = request.direction == kDirectionOut && request.buffer != nullptr;
  Answer answer = faultSense ? Answer{*faultSense, {}}
                             : BuildAnswer(request.cdb, dataOut ? request.buffer : nullptr,
                                           dataOut ? request.length : 0);
  if (!answer.sense.IsGood()) {
    response.outcome = DriveResponse::Outcome::CheckCondition;
    response.sense = answer.sense;
  } else if (request.direction == kDirectionIn && request.buffer != nullptr) {
    if (profile_.drive.padToAllocation && answer.bytes.size() < request.length) {
      answer.bytes.resize(request.length, 0);
    }
    uint32_t moved =
        static_cast<uint32_t>(std::min<std::size_t>(answer.bytes.size(), request.length));
    if (shortBytes) {
      moved = std::min(moved, *shortBytes);
    }
    std::memcpy(request.buffer, answer.bytes.data(), moved);
    response.moved = moved;
  } else if (dataOut) {
    response.moved = shortBytes ? std::min(request.length, *shortBytes) : request.length;
  }
  response.transferred = misreport ? *misreport : response.moved;
  return response;
}

}  // namespace kv::emu
