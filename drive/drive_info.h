// Queries beyond the media check: every write speed the drive offers for the inserted disc, and
// the drive's own features (capabilities page, profile list, named features) with the disc's
// status and size. They send their own commands; the media check's commands are not touched.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kv {

class AtapiDevice;

// One kilobyte per second is 1000 bytes: single speed is 176 kB/s on CD and 1385 kB/s on DVD;
// some drives count DVD speeds in units of 1352 kB/s (1024-byte kilobytes).
inline constexpr uint32_t kCdSingleSpeed = 176;
inline constexpr uint32_t kDvdSingleSpeed = 1385;
inline constexpr uint32_t kDvdSingleSpeedKib = 1352;

enum class SpeedSource : uint8_t { Performance, CapabilitiesPage };

struct WriteSpeed {
  SpeedSource source = SpeedSource::Performance;
  uint32_t kBps = 0;
  double multiple = 0.0;
  std::optional<uint32_t> endLba;  // GET PERFORMANCE only
};

struct WriteSpeedReport {
  uint16_t currentProfile = 0;
  bool dvdMedium = false;
  std::vector<WriteSpeed> speeds;  // GET PERFORMANCE descriptors first, then the page's
};

// The multiple of single speed, at 0.1x: on DVD the unit (1385 or 1352 kB/s) that explains the
// speed best; speeds below one DVD speed keep their fraction.
double SpeedMultiple(uint32_t kBps, bool dvd);
bool IsDvdProfile(uint16_t profile);
// The MMC profile name ("DVD+R"), or null for a number MMC does not name.
const char* ProfileName(uint16_t profile);

WriteSpeedReport QueryWriteSpeeds(AtapiDevice& device);

enum class DiscStatus : uint8_t { Blank = 0, Appendable = 1, Complete = 2, Other = 3 };

struct DriveFeatures {
  // Capabilities page; unset when the drive did not answer it.
  std::optional<uint8_t> readBits;
  std::optional<uint8_t> writeBits;
  std::optional<uint16_t> bufferSizeKb;
  std::vector<uint16_t> profiles;
  std::optional<uint16_t> currentProfile;
  // Features; unset: absent.
  std::optional<std::string> serialNumber;
  std::optional<std::string> firmwareDate;  // "YYYY-MM-DD HH:MM:SS"
  std::optional<uint8_t> streamingBits;
  // The disc.
  std::optional<DiscStatus> discStatus;
  std::optional<uint32_t> sessions;
  std::optional<uint32_t> freeBlocks;
  std::optional<uint32_t> recordedBlocks;
};

DriveFeatures QueryDriveFeatures(AtapiDevice& device);

}  // namespace kv
