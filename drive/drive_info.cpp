#include "drive/drive_info.h"

#include <cmath>

#include "drive/atapi_device.h"
#include "drive/capabilities_page.h"
#include "drive/disc_information_answer.h"
#include "drive/feature_answer.h"
#include "drive/mmc.h"
#include "drive/performance_answer.h"
#include "drive/read_capacity_answer.h"
#include "drive/track_information_answer.h"

namespace kv {

namespace {

constexpr uint32_t kMaxPerformanceDescriptors = 100;
constexpr uint32_t kPerformanceTransfer =
    performance::kHeaderSize + kMaxPerformanceDescriptors * performance::kDescriptorSize;
constexpr uint32_t kCapabilitiesTransfer = 1024;
constexpr uint32_t kConfigurationTransfer = 1024;
constexpr uint32_t kDiscInformationTransfer = 34;
constexpr uint32_t kTrackInformationTransfer = 48;
constexpr double kTenths = 10.0;

struct NamedProfile {
  uint16_t number;
  const char* name;
};

constexpr NamedProfile kProfileNames[] = {
    {0x0001, "Non-removable disk"},
    {0x0002, "Removable disk"},
    {0x0008, "CD-ROM"},
    {0x0009, "CD-R"},
    {0x000A, "CD-RW"},
    {0x0010, "DVD-ROM"},
    {0x0011, "DVD-R Sequential"},
    {0x0012, "DVD-RAM"},
    {0x0013, "DVD-RW Restricted Overwrite"},
    {0x0014, "DVD-RW Sequential"},
    {0x0015, "DVD-R DL Sequential"},
    {0x0016, "DVD-R DL Jump"},
    {0x0017, "DVD-RW DL"},
    {0x001A, "DVD+RW"},
    {0x001B, "DVD+R"},
    {0x002A, "DVD+RW DL"},
    {0x002B, "DVD+R DL"},
    {0x0040, "BD-ROM"},
    {0x0041, "BD-R SRM"},
    {0x0042, "BD-R RRM"},
    {0x0043, "BD-RE"},
    {0x0050, "HD DVD-ROM"},
    {0x0051, "HD DVD-R"},
    {0x0052, "HD DVD-RAM"},
};

constexpr uint16_t kFirstDvdProfile = 0x0010;
constexpr uint16_t kLastDvdProfile = 0x002B;

// Bytes the last command moved, never more than were asked for.
uint32_t Moved(const AtapiDevice& device) {
  return device.LastCommand().Transferred;
}

// The answer's own length (a 4-byte field counting the bytes after it), bounded by what moved.
uint32_t AnswerEnd(const AtapiDevice& device, uint32_t lengthField) {
  const uint64_t declared = uint64_t{device.ReadDataBE32(lengthField)} + 4;
  return static_cast<uint32_t>(std::min<uint64_t>(declared, Moved(device)));
}

std::optional<uint16_t> ProfileList(AtapiDevice& device, std::vector<uint16_t>& profiles) {
  if (device.GetConfiguration(mmc::kConfigOneFeature, feature::kProfileList, kConfigurationTransfer,
                              0) == 0 ||
      Moved(device) < feature::kHeaderSize) {
    return std::nullopt;
  }
  const uint32_t end = AnswerEnd(device, feature::kDataLength);
  const uint32_t at = feature::kHeaderSize;
  if (end >= at + feature::kDescriptorHeaderSize &&
      device.ReadDataBE16(at + feature::kCode) == feature::kProfileList) {
    const uint32_t listEnd =
        std::min<uint32_t>(end, at + feature::kDescriptorHeaderSize +
                                    device.ReadDataByte(at + feature::kAdditionalLength));
    for (uint32_t p = at + feature::kDescriptorHeaderSize;
         p + feature::kProfileDescriptorSize <= listEnd; p += feature::kProfileDescriptorSize) {
      profiles.push_back(device.ReadDataBE16(p + feature::kProfileNumber));
    }
  }
  return device.ReadDataBE16(feature::kCurrentProfile);
}

// The descriptor of one feature (RT 2): its offset in the buffer and its own length, or nullopt
// when the drive does not have it (a drive that ignores the starting feature answers another).
std::optional<std::pair<uint32_t, uint32_t>> OneFeature(AtapiDevice& device, uint16_t code) {
  if (device.GetConfiguration(mmc::kConfigOneFeature, code, kConfigurationTransfer, 0) == 0) {
    return std::nullopt;
  }
  const uint32_t end = AnswerEnd(device, feature::kDataLength);
  const uint32_t at = feature::kHeaderSize;
  if (end < at + feature::kDescriptorHeaderSize ||
      device.ReadDataBE16(at + feature::kCode) != code) {
    return std::nullopt;
  }
  const uint32_t length = std::min<uint32_t>(device.ReadDataByte(at + feature::kAdditionalLength),
                                             end - at - feature::kDescriptorHeaderSize);
  return std::make_pair(at, length);
}

std::string AsciiField(const AtapiDevice& device, uint32_t offset, uint32_t length) {
  std::string text;
  for (uint32_t i = 0; i < length; ++i) {
    const uint8_t c = device.ReadDataByte(offset + i);
    text += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : ' ';
  }
  const auto last = text.find_last_not_of(' ');
  return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

void ReadDiscStatus(AtapiDevice& device, DriveFeatures& info) {
  if (device.ReadDiscInformation(kDiscInformationTransfer, 0) == 0 ||
      Moved(device) < disc_information::kMinimumSize) {
    return;
  }
  const uint8_t status = device.ReadDataByte(disc_information::kStatus);
  info.discStatus = static_cast<DiscStatus>(status & disc_information::kDiscStatusMask);
  info.sessions = (uint32_t{device.ReadDataByte(disc_information::kSessionsHigh)} << 8) |
                  device.ReadDataByte(disc_information::kSessionsLow);
  const uint32_t lastTrack =
      (uint32_t{device.ReadDataByte(disc_information::kLastTrackInLastSessionHigh)} << 8) |
      device.ReadDataByte(disc_information::kLastTrackInLastSessionLow);

  uint8_t cdb[kCdbLength] = {track_information::kOpcode};
  cdb[track_information::kCdbAddressType] = track_information::kAddressTrackNumber;
  cdb[track_information::kCdbAddress + 2] = static_cast<uint8_t>(lastTrack >> 8);
  cdb[track_information::kCdbAddress + 3] = static_cast<uint8_t>(lastTrack);
  cdb[track_information::kCdbAllocationLength + 1] = kTrackInformationTransfer;
  if (device.ExecuteCommand(cdb, kDirectionIn, kTrackInformationTransfer) != 0 &&
      Moved(device) >= track_information::kMinimumSize) {
    info.freeBlocks = device.ReadDataBE32(track_information::kFreeBlocks);
  }

  uint8_t capacity[kCdbLength] = {read_capacity::kOpcode};
  if (*info.discStatus == DiscStatus::Blank) {
    info.recordedBlocks = 0;  // a blank disc's READ CAPACITY says nothing about it
  } else if (device.ExecuteCommand(capacity, kDirectionIn, read_capacity::kSize) != 0 &&
             Moved(device) >= read_capacity::kSize) {
    info.recordedBlocks = device.ReadDataBE32(read_capacity::kLastLba) + 1;
  }
}

}  // namespace

bool IsDvdProfile(uint16_t profile) {
  return profile >= kFirstDvdProfile && profile <= kLastDvdProfile;
}

const char* ProfileName(uint16_t profile) {
  for (const NamedProfile& named : kProfileNames) {
    if (named.number == profile) {
      return named.name;
    }
  }
  return nullptr;
}

double SpeedMultiple(uint32_t kBps, bool dvd) {
  if (!dvd) {
    // CD speeds are whole multiples of 176.4 kB/s; below single speed the fraction stays.
    const double byCd = kBps / static_cast<double>(kCdSingleSpeed);
    return byCd < 1.0 ? std::round(byCd * kTenths) / kTenths : std::round(byCd);
  }
  const double byDvd = kBps / static_cast<double>(kDvdSingleSpeed);
  if (kBps < kDvdSingleSpeedKib) {
    return std::round(byDvd * 100.0) / 100.0;  // a slow DVD speed keeps its fraction
  }
  // The unit whose 0.1x steps come nearest to the speed the drive gave.
  const double tenthsDvd = std::round(byDvd * kTenths) / kTenths;
  const double byKib = kBps / static_cast<double>(kDvdSingleSpeedKib);
  const double tenthsKib = std::round(byKib * kTenths) / kTenths;
  const double errorDvd = std::fabs(kBps - tenthsDvd * kDvdSingleSpeed);
  const double errorKib = std::fabs(kBps - tenthsKib * kDvdSingleSpeedKib);
  return errorKib < errorDvd ? tenthsKib : tenthsDvd;
}

WriteSpeedReport QueryWriteSpeeds(AtapiDevice& device) {
  WriteSpeedReport report;
  device.ClearUnitAttention();
  std::vector<uint16_t> profiles;
  report.currentProfile = ProfileList(device, profiles).value_or(0);
  report.dvdMedium = IsDvdProfile(report.currentProfile);

  if (device.GetPerformance(0, 0, kMaxPerformanceDescriptors, mmc::kPerformanceWriteSpeed, 0,
                            kPerformanceTransfer) != 0 &&
      Moved(device) >= performance::kHeaderSize) {
    const uint32_t end = AnswerEnd(device, performance::kDataLength);
    for (uint32_t at = performance::kHeaderSize; at + performance::kDescriptorSize <= end;
         at += performance::kDescriptorSize) {
      const uint32_t speed = device.ReadDataBE32(at + performance::kWriteSpeed);
      if (speed == 0) {
        continue;
      }
      report.speeds.push_back({SpeedSource::Performance, speed,
                               SpeedMultiple(speed, report.dvdMedium),
                               device.ReadDataBE32(at + performance::kEndLba)});
    }
  }

  if (device.ModeSense10(0, 0, mmc::kPageCapabilities, kCapabilitiesTransfer, 0) != 0 &&
      Moved(device) >= capabilities::kFirstWriteSpeedDescriptor) {
    const uint32_t pageEnd = std::min<uint32_t>(
        Moved(device), capabilities::kPage + 2 + device.ReadDataByte(capabilities::kPageLength));
    const uint32_t count = device.ReadDataBE16(capabilities::kWriteSpeedDescriptorCount);
    for (uint32_t i = 0; i < count; ++i) {
      const uint32_t at =
          capabilities::kFirstWriteSpeedDescriptor + i * capabilities::kWriteSpeedDescriptorSize;
      if (at + capabilities::kWriteSpeedDescriptorSize > pageEnd) {
        break;
      }
      const uint32_t speed = device.ReadDataBE16(at + capabilities::kDescriptorWriteSpeed);
      if (speed != 0) {
        report.speeds.push_back({SpeedSource::CapabilitiesPage, speed,
                                 SpeedMultiple(speed, report.dvdMedium), std::nullopt});
      }
    }
  }
  return report;
}

DriveFeatures QueryDriveFeatures(AtapiDevice& device) {
  DriveFeatures info;
  device.ClearUnitAttention();
  if (device.ModeSense10(0, 0, mmc::kPageCapabilities, kCapabilitiesTransfer, 0) != 0 &&
      Moved(device) >= capabilities::kBufferSizeKb + 2) {
    info.readBits = device.ReadDataByte(capabilities::kReadBits);
    info.writeBits = device.ReadDataByte(capabilities::kWriteBits);
    info.bufferSizeKb = device.ReadDataBE16(capabilities::kBufferSizeKb);
  }
  info.currentProfile = ProfileList(device, info.profiles);
  if (const auto serial = OneFeature(device, feature::kSerialNumber)) {
    info.serialNumber = AsciiField(device, serial->first + feature::kSerialText, serial->second);
  }
  if (const auto firmware = OneFeature(device, feature::kFirmwareInformation)) {
    if (firmware->second >= feature::kFirmwareDateLength) {
      const std::string d = AsciiField(device, firmware->first + feature::kFirmwareDate,
                                       feature::kFirmwareDateLength);
      if (d.size() == feature::kFirmwareDateLength) {
        info.firmwareDate = d.substr(0, 4) + "-" + d.substr(4, 2) + "-" + d.substr(6, 2) + " " +
                            d.substr(8, 2) + ":" + d.substr(10, 2) + ":" + d.substr(12, 2);
      }
    }
  }
  if (const auto streaming = OneFeature(device, feature::kRealTimeStreaming)) {
    info.streamingBits =
        streaming->second > 0 ? device.ReadDataByte(streaming->first + feature::kStreamingBits) : 0;
  }
  ReadDiscStatus(device, info);
  return info;
}

}  // namespace kv
