#include <algorithm>
#include <cstring>
#include <string>

#include "drive/atapi_device.h"

namespace kv {

namespace {

constexpr int kInquiryBudget = 10;  // attempts per refresh, shared by all drives
constexpr uint32_t kInquiryAllocationLength = 96;

// Identification fields of the standard INQUIRY answer.
constexpr uint32_t kInquiryVendorOffset = 8;
constexpr uint32_t kInquiryVendorLength = 8;
constexpr uint32_t kInquiryProductOffset = 16;
constexpr uint32_t kInquiryProductLength = 16;
constexpr uint32_t kInquiryRevisionOffset = 32;
constexpr uint32_t kInquiryRevisionLength = 4;
constexpr uint32_t kInquiryVendorSpecificOffset = 36;
constexpr uint32_t kInquiryVendorSpecificLength = 16;

// ASPI scan bounds.
constexpr int kAspiTargets = 16;
constexpr int kAspiLuns = 8;

// Drives that answer no SCSI address get host adapters from here on.
constexpr int16_t kFirstMadeUpHostAdapter = 2;

// Sort key: host adapter x 4096 + path id x 256 + target x 16 + lun; keys from 65535 up are
// dropped.
constexpr int32_t kKeyHostAdapterWeight = 4096;
constexpr int32_t kKeyPathIdWeight = 256;
constexpr int32_t kKeyTargetWeight = 16;
constexpr int32_t kKeyLimit = 0xFFFF;

int32_t SortKey(const DriveRecord& drive) {
  return int32_t{drive.HostAdapter} * kKeyHostAdapterWeight +
         int32_t{drive.PathId} * kKeyPathIdWeight + int32_t{drive.Target} * kKeyTargetWeight +
         int32_t{drive.Lun};
}

// Copies a fixed-width text and zero-terminates it; the destination holds width + 1 bytes.
template <std::size_t N>
void CopyText(char (&out)[N], const char* text, std::size_t width) {
  static_assert(N > 0);
  const std::size_t n = std::min(width, N - 1);
  std::memcpy(out, text, n);
  std::fill(out + n, out + N, '\0');
}

void ClearTexts(DriveRecord& drive) {
  std::fill(std::begin(drive.DisplayName), std::end(drive.DisplayName), '\0');
  std::fill(std::begin(drive.Vendor), std::end(drive.Vendor), '\0');
  std::fill(std::begin(drive.Product), std::end(drive.Product), '\0');
  std::fill(std::begin(drive.Revision), std::end(drive.Revision), '\0');
  std::fill(std::begin(drive.VendorSpecific), std::end(drive.VendorSpecific), '\0');
}

}  // namespace

void AtapiDevice::RefreshDrives() {
  std::fill(std::begin(hung_), std::end(hung_), false);
  bool switchedToPassThrough = false;
  for (;;) {
    std::fill(std::begin(Drives), std::end(Drives), DriveRecord{});
    DriveCount = 0;
    if (UseAspi) {
      EnumerateAspiDrives();
    } else {
      EnumerateLetterDrives();
    }
    for (DriveRecord& drive : Drives) {
      if (drive.Present) {
        drive.ViaAspi = UseAspi ? 1 : 0;
        ++DriveCount;
      }
    }
    // The manager may see fewer drives than there are CD-ROM nodes; then the nodes win, once.
    if (!switchedToPassThrough && UseAspi && osInfo_->IsNT() &&
        CountCdromLetters() > int32_t{DriveCount}) {
      UseAspi = false;
      UnloadAspi();
      switchedToPassThrough = true;
      continue;
    }
    break;
  }

  SortDrives();

  int inquiryAttempts = 0;
  for (int16_t slot = 0; slot < kMaxDrives && Drives[slot].Present; ++slot) {
    SelectDrive(slot);
    ClearUnitAttention();
    bool identified = false;
    // A hung drive fails every attempt at once; spending the shared budget on it would leave
    // the drives after it without texts.
    while (!identified && inquiryAttempts < kInquiryBudget && !SelectedDriveHung()) {
      ++inquiryAttempts;
      identified = ReadInquiryStrings();
    }
    DriveRecord& drive = Drives[slot];
    if (identified) {
      ClearTexts(drive);
      CopyText(drive.Revision, Revision, kInquiryRevisionLength);
      CopyText(drive.Vendor, Vendor, kInquiryVendorLength);
      CopyText(drive.Product, Product, kInquiryProductLength);
      CopyText(drive.VendorSpecific, VendorSpecific, kInquiryVendorSpecificLength);
      std::memcpy(drive.DisplayName, Vendor, kInquiryVendorLength);
      std::memcpy(drive.DisplayName + kInquiryVendorLength, Product, kInquiryProductLength);
    }
    drive.CdWriter = IsCdWriter() ? 1 : 0;
    drive.DriveType = QueryDriveType();
    drive.DriveTypeName = DriveTypeName(drive.DriveType);
    CloseDrive();
  }
}

void AtapiDevice::EnumerateAspiDrives() {
  if (aspi_ == nullptr) {
    return;
  }
  const AspiHaInquiry first = aspi_->HaInquiry(0);
  if (first.srbStatus != kSsComp) {
    return;
  }
  int used = 0;
  for (int adapter = 0; adapter < first.haCount; ++adapter) {
    const auto ha = static_cast<uint8_t>(adapter);
    if (aspi_->HaInquiry(ha).srbStatus != kSsComp) {
      return;
    }
    for (int target = 0; target < kAspiTargets; ++target) {
      for (int lun = 0; lun < kAspiLuns; ++lun) {
        const AspiDeviceType device =
            aspi_->GetDeviceType(ha, static_cast<uint8_t>(target), static_cast<uint8_t>(lun));
        if (device.srbStatus != kSsComp || device.deviceType != kDeviceTypeCdrom ||
            used >= kMaxDrives) {
          continue;
        }
        DriveRecord& drive = Drives[used++];
        drive.Present = 1;
        drive.HostAdapter = static_cast<int16_t>(adapter);
        drive.Target = static_cast<int16_t>(target);
        drive.Lun = static_cast<int16_t>(lun);
        drive.PathId = 0;
      }
    }
  }
}

void AtapiDevice::EnumerateLetterDrives() {
  const DriveRootList list = platform_.ListDriveRoots();
  if (list.outcome != DriveRootList::Outcome::Ok) {
    return;
  }
  int used = 0;
  int16_t madeUp = 0;
  for (const std::string& root : list.roots) {
    if (used >= kMaxDrives) {
      break;
    }
    if (!platform_.IsCdromRoot(root)) {
      continue;
    }
    DriveRecord& drive = Drives[used++];
    CopyText(drive.RootPath, root.c_str(), root.size());
    drive.ViaAspi = 0;
    int16_t port = -1;
    int16_t pathId = -1;
    int16_t target = -1;
    int16_t lun = -1;
    if (!GetScsiAddress(root.c_str(), port, pathId, target, lun)) {
      continue;
    }
    drive.Present = 1;
    if (port == -1 && target == -1) {
      drive.HostAdapter = static_cast<int16_t>(kFirstMadeUpHostAdapter + madeUp++);
      drive.Target = 0;
      drive.Lun = 0;
      drive.PathId = 0;
    } else {
      drive.HostAdapter = port;
      drive.Target = target;
      drive.Lun = lun;
      drive.PathId = pathId;
    }
  }
}

int16_t AtapiDevice::CountCdromLetters() {
  const DriveRootList list = platform_.ListDriveRoots();
  if (list.outcome == DriveRootList::Outcome::AllocationFailed) {
    return -1;
  }
  if (list.outcome != DriveRootList::Outcome::Ok) {
    return 0;
  }
  int16_t count = 0;
  for (const std::string& root : list.roots) {
    if (platform_.IsCdromRoot(root) && count < INT16_MAX) {
      ++count;
    }
  }
  return count;
}

bool AtapiDevice::GetScsiAddress(const char* root, int16_t& port, int16_t& pathId, int16_t& target,
                                 int16_t& lun) {
  if (root == nullptr) {
    return false;
  }
  const DeviceHandle handle = platform_.OpenDevice(root);
  if (handle == kInvalidHandle) {
    return false;
  }
  const ScsiAddressResult address = platform_.GetScsiAddress(handle);
  platform_.CloseDevice(handle);
  switch (address.outcome) {
    case ScsiAddressResult::Outcome::Found:
      port = address.port;
      pathId = address.pathId;
      target = address.target;
      lun = address.lun;
      return true;
    case ScsiAddressResult::Outcome::LengthZero:
      return false;
    case ScsiAddressResult::Outcome::CallFailed:
      break;
  }
  port = -1;
  pathId = -1;
  target = -1;
  lun = -1;
  return true;
}

void AtapiDevice::SortDrives() {
  DriveRecord ordered[kMaxDrives];
  bool taken[kMaxDrives] = {};
  int count = 0;
  for (int round = 0; round < kMaxDrives; ++round) {
    int best = -1;
    int32_t bestKey = 0;
    for (int slot = 0; slot < kMaxDrives; ++slot) {
      if (!Drives[slot].Present || taken[slot]) {
        continue;
      }
      const int32_t key = SortKey(Drives[slot]);
      // Strictly smaller: the lowest slot wins among equal keys, which keeps the sort stable.
      if (key < kKeyLimit && (best < 0 || key < bestKey)) {
        best = slot;
        bestKey = key;
      }
    }
    if (best < 0) {
      break;
    }
    ordered[count++] = Drives[best];
    taken[best] = true;
  }
  std::fill(std::begin(Drives), std::end(Drives), DriveRecord{});
  std::copy(ordered, ordered + count, Drives);
  DriveCount = static_cast<uint16_t>(count);
}

bool AtapiDevice::ReadInquiryStrings() {
  std::fill(std::begin(Vendor), std::end(Vendor), '\0');
  std::fill(std::begin(Product), std::end(Product), '\0');
  std::fill(std::begin(Revision), std::end(Revision), '\0');
  std::fill(std::begin(VendorSpecific), std::end(VendorSpecific), '\0');
  if (Inquiry(0, 0, 0, kInquiryAllocationLength, 0) == 0) {
    return false;
  }
  // Bytes the drive did not send are stale (the buffer is never cleared), possibly another
  // drive's answer: read them as zero.
  const uint32_t moved = LastCommand_.Transferred;
  const auto answerByte = [&](uint32_t offset) -> char {
    return offset < moved ? static_cast<char>(ReadDataByte(offset)) : '\0';
  };
  const auto copyField = [&](char* out, uint32_t offset, uint32_t length) {
    for (uint32_t i = 0; i < length; ++i) {
      out[i] = answerByte(offset + i);
    }
  };
  copyField(Vendor, kInquiryVendorOffset, kInquiryVendorLength);
  copyField(Product, kInquiryProductOffset, kInquiryProductLength);
  copyField(Revision, kInquiryRevisionOffset, kInquiryRevisionLength);
  copyField(VendorSpecific, kInquiryVendorSpecificOffset, kInquiryVendorSpecificLength);
  for (uint32_t offset = kInquiryVendorOffset;
       offset < kInquiryProductOffset + kInquiryProductLength; ++offset) {
    if (answerByte(offset) != '\0') {
      return true;
    }
  }
  return false;
}

}  // namespace kv
