#include "drive/platform/emulated/drive_profile.h"

namespace kv::emu {

namespace {
// MMC profile numbers.
constexpr uint16_t kProfileNone = 0x0000;
constexpr uint16_t kProfileCdRom = 0x0008;
constexpr uint16_t kProfileCdR = 0x0009;
constexpr uint16_t kProfileCdRw = 0x000A;
constexpr uint16_t kProfileDvdRom = 0x0010;
constexpr uint16_t kProfileDvdRSequential = 0x0011;
constexpr uint16_t kProfileDvdRam = 0x0012;
constexpr uint16_t kProfileDvdRwRestricted = 0x0013;
constexpr uint16_t kProfileDvdPlusRw = 0x001A;
constexpr uint16_t kProfileDvdPlusR = 0x001B;

constexpr uint32_t kFramesPerSecond = 75;
constexpr uint32_t kSecondsPerMinute = 60;
constexpr uint32_t kLeadInFrames = 150;  // LBA 0 is at 00:02:00
}  // namespace

uint16_t DefaultCurrentProfile(const Disc& disc) {
  switch (disc.kind) {
    case DiscKind::None:
      return kProfileNone;
    case DiscKind::CdRom:
      return kProfileCdRom;
    case DiscKind::CdR:
      return kProfileCdR;
    case DiscKind::CdRw:
      return kProfileCdRw;
    case DiscKind::Dvd:
      break;
  }
  switch (disc.bookType) {
    case 1:
      return kProfileDvdRam;
    case 2:
      return kProfileDvdRSequential;
    case 3:
      return kProfileDvdRwRestricted;
    case 9:
      return kProfileDvdPlusRw;
    case 10:
      return kProfileDvdPlusR;
    default:
      return kProfileDvdRom;
  }
}

uint32_t MsfToLba(const MsfTime& time) {
  const uint32_t frames =
      (time.minutes * kSecondsPerMinute + time.seconds) * kFramesPerSecond + time.frames;
  return frames > kLeadInFrames ? frames - kLeadInFrames : 0;
}

}  // namespace kv::emu
