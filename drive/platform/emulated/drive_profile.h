// What a virtual drive is made of: the drive, the disc in it, raw answers and faults.
//
// Profiles are read from JSON (profile_loader.h; the format is described in profiles/README.md).
// Everything has a realistic default, so tests set only the fields they care about.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "drive/platform/emulated/sense.h"

namespace kv::emu {

// A CD time as minutes, seconds and frames (75 frames a second).
struct MsfTime {
  uint8_t minutes = 0;
  uint8_t seconds = 0;
  uint8_t frames = 0;
  friend bool operator==(const MsfTime&, const MsfTime&) = default;
};

struct InquiryIdentity {
  std::string vendor = "ORVELIX";      // 8 bytes, blank padded
  std::string product = "KV-DW1648A";  // 16 bytes, blank padded
  std::string revision = "1.04";       // 4 bytes, blank padded
  std::string vendorSpecific;          // 20 bytes, blank padded
  uint8_t deviceType = 5;              // peripheral device type: 5 = CD/DVD
};

// The read and write bits and speeds of the capabilities page (MODE SENSE page 2Ah).
struct Capabilities {
  bool cdrRead = true;
  bool cdrwRead = true;
  bool dvdRomRead = true;
  bool dvdRRead = true;
  bool dvdRamRead = false;
  bool cdrWrite = true;
  bool cdrwWrite = true;
  bool testWrite = true;
  bool dvdRWrite = true;
  bool dvdRamWrite = false;
  uint16_t maxReadSpeed = 8467;     // kB/s
  uint16_t maxCdWriteSpeed = 8467;  // kB/s, the drive's own limit
  uint16_t currentWriteSpeed = 1764;
  uint16_t bufferSizeKb = 2048;
};

struct WriteSpeedDescriptor {
  uint32_t endLba = 0;
  uint32_t readSpeed = 0;   // kB/s
  uint32_t writeSpeed = 0;  // kB/s
};

struct Drive {
  InquiryIdentity inquiry;
  Capabilities capabilities;
  std::vector<uint16_t> profiles;          // feature 0000h, in the order reported
  std::optional<uint16_t> currentProfile;  // unset: follows the disc
  std::vector<WriteSpeedDescriptor> writeSpeeds;
  bool vendorMediaId = false;            // answers the DFh media identifier command
  bool padToAllocation = false;          // zero-fills every answer up to the allocation length
  std::vector<std::string> unsupported;  // command keys answered with 5/20/00
};

enum class DiscKind : uint8_t { None, CdRom, CdR, CdRw, Dvd };

struct FormatCapacity {
  uint32_t blocks = 0;
  uint8_t type = 0;  // descriptor type (first entry) or format type (the others)
  uint32_t parameter = 2048;
};

struct Disc {
  DiscKind kind = DiscKind::None;
  bool blank = true;
  // CD: ATIP.
  bool hasAtip = false;
  bool atipHeaderOnly = false;  // without an ATIP: answer the 4-byte header instead of 5/24/00
  MsfTime atipLeadIn{97, 25, 65};
  MsfTime atipLeadOut{79, 59, 74};
  uint8_t atipSubType = 0;
  uint8_t atipReferenceSpeed = 1;
  uint8_t atipWritingPower = 5;
  // READ DISC INFORMATION; unset = the ATIP times for a blank CD, FFh bytes otherwise.
  std::optional<MsfTime> discInfoLeadIn;
  std::optional<MsfTime> discInfoLeadOut;
  // DVD physical format and lead-in information.
  uint8_t bookType = 0;
  uint8_t partVersion = 1;
  uint8_t layers = 1;
  uint8_t layerType = 1;  // 1 embossed, 2 recordable, 4 rewritable
  uint8_t startSectorTopByte = 0x03;
  uint32_t endSector = 0x26053F;
  std::string mediaId;          // DVD+ manufacturer id, 8 bytes (format 00h bytes 23-30)
  std::string typeId;           // DVD+ media type id, 3 bytes (bytes 31-33)
  uint8_t productRevision = 0;  // byte 34
  std::string manufacturerId;   // DVD-R/-RW id, 12 bytes (format 0Eh bytes 21-26, 29-34)
  // Capacity.
  uint32_t capacityBlocks = 0;
  std::vector<FormatCapacity> formatCapacities;  // empty: one descriptor from capacityBlocks
  // Speeds: the highest write speed SET CD SPEED selects (0: the drive's own limit), and the
  // disc's write-speed descriptors (unset: the drive's).
  uint16_t maxWriteSpeed = 0;
  std::optional<std::vector<WriteSpeedDescriptor>> writeSpeeds;
};

// One injected fault, keyed like raw answers ("43/04", "00", "*" for every command).
struct Fault {
  std::optional<Sense> sense;
  bool transportFailure = false;
  std::optional<uint32_t> shortBytes;  // move at most this many bytes
  std::optional<uint32_t> misreport;   // report this many bytes moved
  uint32_t latencyMs = 0;
  bool hang = false;       // the drive never answers: the platform gives up at its command bound
  bool refused = false;    // the system refuses the command as not permitted (no drive sees it)
  uint32_t failAfter = 0;  // first matching command (1-based) that is hit; 0 = first
  std::optional<uint32_t> times;  // how many hits at most
};

struct Readiness {
  uint32_t notReadyPolls = 0;       // TEST UNIT READYs answered 2/04/01
  uint32_t unitAttentionPolls = 0;  // TEST UNIT READYs answered 6/28/00 (before the not-ready ones)
};

// Where the profile puts its drive on the emulated machine; unset parts keep the defaults ("srN",
// address and ASPI address (0, 0, N, 0)).
struct ProfileAttachment {
  std::optional<std::string> root;
  std::optional<bool> listedAsRoot;
  std::optional<bool> cdromRoot;
  std::optional<bool> openFails;
  enum class AddressOutcome : uint8_t { Found, LengthZero, CallFailed };
  std::optional<AddressOutcome> addressOutcome;
  std::optional<std::vector<uint8_t>> address;  // port, path id, target, lun
  std::optional<bool> aspiVisible;
  std::optional<std::vector<uint8_t>> aspiAddress;  // host adapter, target, lun
};

struct DriveProfile {
  std::string name;
  ProfileAttachment attachment;
  Drive drive;
  Disc disc;
  std::map<std::string, std::vector<uint8_t>> raw;  // command key -> answer bytes
  std::map<std::string, std::vector<Fault>> faults;
  Readiness readiness;
};

// The current profile a disc reports when the profile names none.
uint16_t DefaultCurrentProfile(const Disc& disc);

// A disc's ATIP or block count as MMC counts it: LBA = (M*60 + S)*75 + F - 150.
uint32_t MsfToLba(const MsfTime& time);

}  // namespace kv::emu
