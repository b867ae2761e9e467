// The answers of the virtual drive, one handler per MMC command. Offsets are those of MMC,
// counted from the first byte of the answer, header included.
#include <algorithm>

#include "drive/physical_format_answer.h"
#include "drive/platform/emulated/answer_bytes.h"
#include "drive/platform/emulated/virtual_drive.h"
#include "drive/prerecorded_answer.h"
#include "drive/vendor_media_id_answer.h"

namespace kv::emu {

namespace {

constexpr uint8_t kBlank = ' ';

// INQUIRY (12h).
constexpr std::size_t kInquiryCmdDtEvpdByte = 1;
constexpr uint8_t kInquiryCmdDtEvpdMask = 0x03;
constexpr std::size_t kInquiryAnswerSize = 96;
constexpr uint8_t kInquiryRemovable = 0x80;
constexpr uint8_t kInquiryVersion = 0x00;         // ATAPI drives claim no SCSI version
constexpr uint8_t kInquiryResponseFormat = 0x32;  // ATAPI version 3, response data format 2
constexpr std::size_t kInquiryVendorOffset = 8;
constexpr std::size_t kInquiryVendorWidth = 8;
constexpr std::size_t kInquiryProductOffset = 16;
constexpr std::size_t kInquiryProductWidth = 16;
constexpr std::size_t kInquiryRevisionOffset = 32;
constexpr std::size_t kInquiryRevisionWidth = 4;
constexpr std::size_t kInquiryVendorSpecificOffset = 36;
constexpr std::size_t kInquiryVendorSpecificWidth = 20;

// MODE SENSE (10) (5Ah), page 2Ah.
constexpr std::size_t kModePageControlByte = 2;
constexpr uint8_t kModePageCodeMask = 0x3F;
constexpr uint8_t kModePageControlShift = 6;
constexpr uint8_t kPageControlSaved = 3;  // saving is not supported
constexpr uint8_t kCapabilitiesPage = 0x2A;
constexpr uint8_t kAllPages = 0x3F;
constexpr std::size_t kModeHeaderSize = 8;
constexpr std::size_t kCapabilitiesFixedSize = 32;  // page bytes 0-31
constexpr std::size_t kCapabilitiesDescriptorSize = 4;
constexpr std::size_t kCapabilitiesMaxDescriptors = (255 + 2 - kCapabilitiesFixedSize) / 4;
constexpr uint8_t kMediumTypeDoor = 0x70;  // door closed, no disc detail

// GET CONFIGURATION (46h).
constexpr std::size_t kConfigRtByte = 1;
constexpr uint8_t kConfigRtMask = 0x03;
constexpr std::size_t kConfigStartByte = 2;
constexpr uint8_t kRtAll = 0;
constexpr uint8_t kRtCurrent = 1;
constexpr uint8_t kRtOne = 2;
constexpr std::size_t kFeatureHeaderSize = 8;
constexpr uint16_t kFeatureProfileList = 0x0000;
constexpr uint16_t kFeatureCore = 0x0001;
constexpr uint16_t kFeatureRemovableMedium = 0x0003;
constexpr uint16_t kFeatureCdRead = 0x001E;
constexpr uint16_t kFeatureDvdRead = 0x001F;
constexpr uint8_t kFeaturePersistentCurrent = 0x03;
constexpr uint8_t kFeatureVersion1 = 0x04;
constexpr uint32_t kInterfaceAtapi = 2;
constexpr uint8_t kTrayEjectLock = 0x29;  // tray loading, eject, lock

// GET PERFORMANCE (ACh).
constexpr std::size_t kPerfDataTypeByte = 1;
constexpr uint8_t kPerfDataTypeMask = 0x1F;
constexpr std::size_t kPerfMaxDescriptorsByte = 8;
constexpr std::size_t kPerfTypeByte = 10;
constexpr uint8_t kPerfTypePerformance = 0x00;
constexpr uint8_t kPerfTypeWriteSpeed = 0x03;
constexpr std::size_t kPerfHeaderSize = 8;
constexpr std::size_t kPerfDescriptorSize = 16;

// READ DISC INFORMATION (51h).
constexpr std::size_t kDiscInfoSize = 34;
constexpr uint8_t kDiscStatusBlank = 0x00;
constexpr uint8_t kDiscStatusComplete = 0x02;
constexpr uint8_t kLastSessionEmpty = 0x00;
constexpr uint8_t kLastSessionComplete = 0x03;
constexpr uint8_t kDiscErasable = 0x10;
constexpr uint8_t kUnrestrictedUse = 0x20;
constexpr uint8_t kNotApplicable = 0xFF;

// READ DVD STRUCTURE (ADh).
constexpr std::size_t kDvdLayerByte = 6;
constexpr std::size_t kDvdFormatByte = 7;
constexpr uint8_t kDvdFormatPhysical = 0x00;
constexpr uint8_t kDvdFormatPreRecorded = 0x0E;
constexpr std::size_t kPhysicalSize = 4 + 2048;
constexpr std::size_t kPreRecordedSize =
    prerecorded::kHeaderSize + prerecorded::kFieldCount * prerecorded::kFieldSize;
constexpr std::size_t kManufacturerIdHalf = prerecorded::kMinusIdHalfLength;
constexpr uint8_t kMaxRateNotSpecified = 0x0F;
constexpr uint8_t kDensity = 0x10;  // 0.267 um/bit, 0.74 um track pitch

// READ FORMAT CAPACITIES (23h).
constexpr std::size_t kCapacityHeaderSize = 4;
constexpr std::size_t kCapacityDescriptorSize = 8;
constexpr uint8_t kDescriptorUnformatted = 0x01;
constexpr uint8_t kDescriptorFormatted = 0x02;
constexpr uint8_t kFormatTypeShift = 2;

// READ TOC/PMA/ATIP (43h), format 4.
constexpr std::size_t kTocFormatByte = 2;
constexpr uint8_t kTocFormatMask = 0x0F;
constexpr uint8_t kTocFormatAtip = 0x04;
constexpr std::size_t kAtipAnswerSize = 4 + 24;
constexpr std::size_t kAtipHeaderSize = 4;
constexpr uint8_t kAtipAlwaysOne = 0x80;  // bit 7 of ATIP bytes 0 and 2
constexpr uint8_t kAtipDiscTypeRw = 0x40;
constexpr uint8_t kAtipSubTypeShift = 3;
constexpr uint8_t kAtipSubTypeMask = 0x07;
constexpr uint8_t kAtipPowerShift = 4;

// SET CD SPEED (BBh).
constexpr std::size_t kSpeedReadByte = 2;
constexpr std::size_t kSpeedWriteByte = 4;
constexpr uint16_t kSpeedMaximum = 0xFFFF;

// SET STREAMING (B6h).
constexpr std::size_t kStreamingTypeByte = 8;
constexpr std::size_t kStreamingLengthByte = 9;
constexpr std::size_t kStreamingDescriptorSize = 28;

// Vendor media identifier (DFh 00 03 01).
constexpr std::size_t kVendorSubByte1 = 2;
constexpr std::size_t kVendorSubByte2 = 3;
constexpr uint8_t kVendorSub1 = 0x03;
constexpr uint8_t kVendorSub2 = 0x01;

void PutMsf(AnswerBytes& a, std::size_t offset, const MsfTime& t) {
  a.Put8(offset, t.minutes);
  a.Put8(offset + 1, t.seconds);
  a.Put8(offset + 2, t.frames);
}

bool IsDvdPlus(const Disc& disc) {
  return disc.kind == DiscKind::Dvd && (disc.bookType == 9 || disc.bookType == 10);
}

bool IsDvdMinus(const Disc& disc) {
  return disc.kind == DiscKind::Dvd && (disc.bookType == 2 || disc.bookType == 3);
}

}  // namespace

VirtualDrive::Answer VirtualDrive::cmd_test_unit_ready(const Cdb&, const DataOut&) {
  return {kSenseGood, {}};
}

VirtualDrive::Answer VirtualDrive::cmd_inquiry(const Cdb& cdb, const DataOut&) {
  // Only standard inquiry data: no vital product data pages, no command support data.
  if (cdb[kInquiryCmdDtEvpdByte] & kInquiryCmdDtEvpdMask) {
    return {kSenseInvalidFieldInCdb, {}};
  }
  const InquiryIdentity& id = profile_.drive.inquiry;
  AnswerBytes a(kInquiryAnswerSize);
  a.Put8(0, id.deviceType);           // peripheral qualifier 0, device type
  a.Put8(1, kInquiryRemovable);       // RMB
  a.Put8(2, kInquiryVersion);         // version
  a.Put8(3, kInquiryResponseFormat);  // ATAPI version, response data format
  a.Put8(4, kInquiryAnswerSize - 5);  // additional length
  a.PutText(kInquiryVendorOffset, kInquiryVendorWidth, id.vendor, kBlank);
  a.PutText(kInquiryProductOffset, kInquiryProductWidth, id.product, kBlank);
  a.PutText(kInquiryRevisionOffset, kInquiryRevisionWidth, id.revision, kBlank);
  a.PutText(kInquiryVendorSpecificOffset, kInquiryVendorSpecificWidth, id.vendorSpecific, kBlank);
  return {kSenseGood, a.Take()};
}

VirtualDrive::Answer VirtualDrive::cmd_mode_sense_10(const Cdb& cdb, const DataOut&) {
  const uint8_t page = cdb[kModePageControlByte] & kModePageCodeMask;
  const uint8_t pageControl = cdb[kModePageControlByte] >> kModePageControlShift;
  if ((page != kCapabilitiesPage && page != kAllPages) || pageControl == kPageControlSaved) {
    return {kSenseInvalidFieldInCdb, {}};
  }
  const Capabilities& c = profile_.drive.capabilities;
  const auto& speeds = WriteSpeeds();
  // The page length is one byte: at most 56 write speed descriptors fit.
  const std::size_t descriptors = std::min(speeds.size(), kCapabilitiesMaxDescriptors);
  const std::size_t pageSize = kCapabilitiesFixedSize + kCapabilitiesDescriptorSize * descriptors;
  const std::size_t total = kModeHeaderSize + pageSize;
  AnswerBytes a(total);
  // Mode parameter header (10).
  a.PutBE16(0, static_cast<uint32_t>(total - 2));  // mode data length
  a.Put8(2, kMediumTypeDoor);                      // medium type
  a.PutBE16(6, 0);                                 // block descriptor length
  // Capabilities and mechanical status page, page byte n at answer byte 8 + n.
  const std::size_t p = kModeHeaderSize;
  a.Put8(p + 0, kCapabilitiesPage);                   // page code, PS 0
  a.Put8(p + 1, static_cast<uint8_t>(pageSize - 2));  // page length
  a.Put8(p + 2, static_cast<uint8_t>((c.cdrRead ? 0x01 : 0) | (c.cdrwRead ? 0x02 : 0) | 0x04 |
                                     (c.dvdRomRead ? 0x08 : 0) | (c.dvdRRead ? 0x10 : 0) |
                                     (c.dvdRamRead ? 0x20 : 0)));  // read capabilities
  a.Put8(p + 3, static_cast<uint8_t>((c.cdrWrite ? 0x01 : 0) | (c.cdrwWrite ? 0x02 : 0) |
                                     (c.testWrite ? 0x04 : 0) | (c.dvdRWrite ? 0x10 : 0) |
                                     (c.dvdRamWrite ? 0x20 : 0)));  // write capabilities
  a.Put8(p + 4, 0x71);               // BUF, multi-session, mode 2 form 2/1, audio play
  a.Put8(p + 5, 0x73);               // read bar code, UPC, ISRC, C2 pointers, CD-DA accurate, CD-DA
  a.Put8(p + 6, 0x29);               // tray loading mechanism, eject, lock
  a.Put8(p + 7, 0x03);               // separate volume, separate channel mute
  a.PutBE16(p + 8, c.maxReadSpeed);  // maximum read speed (obsolete)
  a.PutBE16(p + 10, 0x0100);         // number of volume levels
  a.PutBE16(p + 12, c.bufferSizeKb);                      // buffer size, kB
  a.PutBE16(p + 14, c.maxReadSpeed);                      // current read speed (obsolete)
  a.Put8(p + 17, 0x10);                                   // length 32 bits per sample
  a.PutBE16(p + 18, c.maxCdWriteSpeed);                   // maximum write speed (obsolete)
  a.PutBE16(p + 20, currentWriteSpeed_);                  // current write speed (obsolete)
  a.Put8(p + 27, 0x00);                                   // rotation control selected: CLV
  a.PutBE16(p + 28, currentWriteSpeed_);                  // current write speed selected
  a.PutBE16(p + 30, static_cast<uint32_t>(descriptors));  // write speed descriptor count
  for (std::size_t i = 0; i < descriptors; ++i) {
    const std::size_t d = p + kCapabilitiesFixedSize + i * kCapabilitiesDescriptorSize;
    a.Put8(d + 1, 0x00);                                                 // rotation control: CLV
    a.PutBE16(d + 2, std::min<uint32_t>(speeds[i].writeSpeed, 0xFFFF));  // write speed
  }
  return {kSenseGood, a.Take()};
}

VirtualDrive::Answer VirtualDrive::cmd_get_configuration(const Cdb& cdb, const DataOut&) {
  const uint8_t rt = cdb[kConfigRtByte] & kConfigRtMask;
  if (rt != kRtAll && rt != kRtCurrent && rt != kRtOne) {
    return {kSenseInvalidFieldInCdb, {}};
  }
  const uint16_t start = ByteView(cdb).BE16(kConfigStartByte);
  const uint16_t current = CurrentProfileNumber();
  const Capabilities& caps = profile_.drive.capabilities;

  struct Feature {
    uint16_t code;
    bool current;
    std::vector<uint8_t> body;  // the bytes after the 4-byte feature header
  };
  std::vector<Feature> features;
  {
    AnswerBytes body(0);
    for (std::size_t i = 0; i < profile_.drive.profiles.size(); ++i) {
      const uint16_t number = profile_.drive.profiles[i];
      body.PutBE16(i * 4, number);                                      // profile number
      body.Put8(i * 4 + 2, number == current && current != 0 ? 1 : 0);  // CurrentP
      body.Put8(i * 4 + 3, 0);
    }
    features.push_back({kFeatureProfileList, true, body.Take()});
  }
  {
    AnswerBytes body(8);
    body.PutBE32(0, kInterfaceAtapi);  // physical interface standard
    features.push_back({kFeatureCore, true, body.Take()});
  }
  {
    AnswerBytes body(4);
    body.Put8(0, kTrayEjectLock);  // loading mechanism, eject, lock
    features.push_back({kFeatureRemovableMedium, true, body.Take()});
  }
  const bool cd = profile_.disc.kind == DiscKind::CdRom || profile_.disc.kind == DiscKind::CdR ||
                  profile_.disc.kind == DiscKind::CdRw;
  features.push_back({kFeatureCdRead, cd, std::vector<uint8_t>(4, 0)});
  if (caps.dvdRomRead) {
    features.push_back({kFeatureDvdRead, IsDvd(), std::vector<uint8_t>(4, 0)});
  }

  AnswerBytes a(kFeatureHeaderSize);
  a.PutBE16(6, current);  // current profile
  std::size_t at = kFeatureHeaderSize;
  for (const Feature& f : features) {
    const bool wanted =
        rt == kRtOne ? f.code == start : f.code >= start && (rt == kRtAll || f.current);
    if (!wanted) {
      continue;
    }
    const uint8_t version = f.code == kFeatureCore ? static_cast<uint8_t>(kFeatureVersion1 * 2) : 0;
    a.PutBE16(at, f.code);  // feature code
    a.Put8(at + 2, static_cast<uint8_t>(version | (f.current ? kFeaturePersistentCurrent
                                                             : 0x02)));  // version, flags
    a.Put8(at + 3, static_cast<uint8_t>(f.body.size()));                 // additional length
    for (std::size_t i = 0; i < f.body.size(); ++i) {
      a.Put8(at + 4 + i, f.body[i]);
    }
    at += 4 + f.body.size();
  }
  a.PutBE32(0, static_cast<uint32_t>(a.Size() - 4));  // data length
  return {kSenseGood, a.Take()};
}

VirtualDrive::Answer VirtualDrive::cmd_get_performance(const Cdb& cdb, const DataOut&) {
  const ByteView c(cdb);
  const uint8_t type = c.U8(kPerfTypeByte);
  const uint16_t maxDescriptors = c.BE16(kPerfMaxDescriptorsByte);
  if (type == kPerfTypeWriteSpeed) {
    const auto& speeds = WriteSpeeds();
    const std::size_t n = std::min<std::size_t>(speeds.size(), maxDescriptors);
    AnswerBytes a(kPerfHeaderSize + n * kPerfDescriptorSize);
    a.PutBE32(0, static_cast<uint32_t>(a.Size() - 4));  // performance data length
    a.Put8(4, 0x00);                                    // Write 0, Except 0
    for (std::size_t i = 0; i < n; ++i) {
      const std::size_t d = kPerfHeaderSize + i * kPerfDescriptorSize;
      a.Put8(d, 0x00);                          // WRC CLV, RDD, Exact, MRW
      a.PutBE32(d + 4, speeds[i].endLba);       // end LBA
      a.PutBE32(d + 8, speeds[i].readSpeed);    // read speed, kB/s
      a.PutBE32(d + 12, speeds[i].writeSpeed);  // write speed, kB/s
    }
    return {kSenseGood, a.Take()};
  }
  if (type == kPerfTypePerformance && (c.U8(kPerfDataTypeByte) & kPerfDataTypeMask) == 0) {
    // Nominal read performance over the whole disc.
    const uint32_t speed = profile_.drive.capabilities.maxReadSpeed;
    const uint32_t end = profile_.disc.capacityBlocks > 0 ? profile_.disc.capacityBlocks - 1 : 0;
    const std::size_t n = maxDescriptors > 0 ? 1 : 0;
    AnswerBytes a(kPerfHeaderSize + n * kPerfDescriptorSize);
    a.PutBE32(0, static_cast<uint32_t>(a.Size() - 4));
    if (n) {
      a.PutBE32(kPerfHeaderSize + 0, 0);       // start LBA
      a.PutBE32(kPerfHeaderSize + 4, speed);   // start performance
      a.PutBE32(kPerfHeaderSize + 8, end);     // end LBA
      a.PutBE32(kPerfHeaderSize + 12, speed);  // end performance
    }
    return {kSenseGood, a.Take()};
  }
  return {kSenseInvalidFieldInCdb, {}};
}

VirtualDrive::Answer VirtualDrive::cmd_read_disc_information(const Cdb&, const DataOut&) {
  const Disc& d = profile_.disc;
  const bool cd = !IsDvd();
  const bool blank = d.blank && d.kind != DiscKind::CdRom;
  AnswerBytes a(kDiscInfoSize);
  a.PutBE16(0, kDiscInfoSize - 2);  // disc information length
  a.Put8(2, static_cast<uint8_t>(
                (d.kind == DiscKind::CdRw || (IsDvd() && d.layerType == 4) ? kDiscErasable : 0) |
                (blank ? (kLastSessionEmpty << 2) | kDiscStatusBlank
                       : (kLastSessionComplete << 2) | kDiscStatusComplete)));
  a.Put8(3, 1);                 // first track on disc
  a.Put8(4, 1);                 // number of sessions (LSB)
  a.Put8(5, 1);                 // first track in last session (LSB)
  a.Put8(6, 1);                 // last track in last session (LSB)
  a.Put8(7, kUnrestrictedUse);  // DID_V 0, DBC_V 0, URU 1
  a.Put8(8, 0x00);              // disc type: CD-DA or CD-ROM
  const bool hasTimes = cd && blank;
  const MsfTime leadIn = d.discInfoLeadIn.value_or(d.atipLeadIn);
  const MsfTime leadOut = d.discInfoLeadOut.value_or(d.atipLeadOut);
  if (d.discInfoLeadIn || hasTimes) {
    a.Put8(16, 0);
    PutMsf(a, 17, leadIn);  // last session lead-in start address, M S F
  } else {
    a.PutBE32(16, 0xFFFFFFFF);
  }
  if (d.discInfoLeadOut || hasTimes) {
    a.Put8(20, 0);
    PutMsf(a, 21, leadOut);  // last possible lead-out start address, M S F
  } else {
    a.PutBE32(20, 0xFFFFFFFF);
  }
  a.Put8(32, 0);  // disc application code
  a.Put8(33, 0);  // number of OPC tables
  (void)kNotApplicable;
  return {kSenseGood, a.Take()};
}

VirtualDrive::Answer VirtualDrive::cmd_read_dvd_structure(const Cdb& cdb, const DataOut&) {
  const Disc& d = profile_.disc;
  if (!IsDvd()) {
    return {kSenseIncompatibleMedium, {}};
  }
  const uint8_t format = cdb[kDvdFormatByte];
  if (cdb[kDvdLayerByte] >= d.layers) {
    return {kSenseInvalidFieldInCdb, {}};
  }
  if (format == kDvdFormatPhysical) {
    AnswerBytes a(kPhysicalSize);
    a.PutBE16(0, kPhysicalSize - 2);  // data length
    // Physical format information, byte n at answer byte 4 + n.
    using namespace physical_format;
    a.Put8(kBookTypeByte, static_cast<uint8_t>((d.bookType << kBookTypeShift) |
                                               (d.partVersion & 0x0F)));  // book, part
    a.Put8(5, kMaxRateNotSpecified);  // disc size 120 mm, maximum rate
    a.Put8(kLayersByte, static_cast<uint8_t>((((d.layers - 1) & kLayersMask) << kLayersShift) |
                                             (d.layerType & 0x0F)));  // layers, path, layer type
    a.Put8(7, kDensity);                                              // linear, track density
    a.Put8(8, 0x00);
    a.Put8(kFirstSectorTopByte, d.startSectorTopByte);  // starting physical sector of the data area
    a.PutBE16(10, 0x0000);
    a.PutBE32(12, d.endSector);  // end physical sector of the data area
    a.PutBE32(16, 0x00000000);   // end sector in layer 0
    a.Put8(20, 0x00);            // BCA flag
    if (!d.mediaId.empty() || !d.typeId.empty()) {
      a.PutText(kPlusMediaIdOffset, kPlusMediaIdLength, d.mediaId, 0);  // manufacturer id
      a.PutText(kPlusTypeIdOffset, kPlusTypeIdLength, d.typeId, 0);     // media type id
      a.Put8(kPlusRevisionOffset, d.productRevision);                   // product revision
    }
    return {kSenseGood, a.Take()};
  }
  if (format == kDvdFormatPreRecorded) {
    if (!IsDvdMinus(d) && d.manufacturerId.empty()) {
      return {kSenseInvalidFieldInCdb, {}};
    }
    AnswerBytes a(kPreRecordedSize);
    a.PutBE16(0, kPreRecordedSize - 2);  // data length
    for (uint8_t field = 1; field <= 5; ++field) {
      a.Put8(prerecorded::FieldOffset(field), field);  // field id
    }
    const std::string& id = d.manufacturerId;
    const std::string first = id.substr(0, std::min(id.size(), kManufacturerIdHalf));
    const std::string second =
        id.size() > kManufacturerIdHalf ? id.substr(kManufacturerIdHalf) : std::string();
    a.PutText(prerecorded::kMinusIdFirstOffset, kManufacturerIdHalf, first, 0);    // field 3
    a.PutText(prerecorded::kMinusIdSecondOffset, kManufacturerIdHalf, second, 0);  // field 4
    return {kSenseGood, a.Take()};
  }
  return {kSenseInvalidFieldInCdb, {}};
}

VirtualDrive::Answer VirtualDrive::cmd_read_format_capacities(const Cdb&, const DataOut&) {
  const Disc& d = profile_.disc;
  std::vector<FormatCapacity> list = d.formatCapacities;
  if (list.empty()) {
    list.push_back(
        {d.capacityBlocks, d.blank ? kDescriptorUnformatted : kDescriptorFormatted, 2048});
  }
  AnswerBytes a(kCapacityHeaderSize + list.size() * kCapacityDescriptorSize);
  a.Put8(3, static_cast<uint8_t>(list.size() * kCapacityDescriptorSize));  // capacity list length
  for (std::size_t k = 0; k < list.size(); ++k) {
    const std::size_t at = kCapacityHeaderSize + k * kCapacityDescriptorSize;
    a.PutBE32(at, list[k].blocks);  // number of blocks
    // Descriptor 0: descriptor type in bits 1-0; the others: format type in bits 7-2.
    a.Put8(at + 4, static_cast<uint8_t>(k == 0 ? (list[k].type & 0x03)
                                               : (list[k].type << kFormatTypeShift)));
    a.PutBE24(at + 5, list[k].parameter);  // block length / type dependent parameter
  }
  return {kSenseGood, a.Take()};
}

VirtualDrive::Answer VirtualDrive::cmd_read_toc_pma_atip(const Cdb& cdb, const DataOut&) {
  const Disc& d = profile_.disc;
  if ((cdb[kTocFormatByte] & kTocFormatMask) != kTocFormatAtip) {
    return {kSenseInvalidFieldInCdb, {}};
  }
  // ATIP times are MSF whatever the MSF bit says.
  if (!d.hasAtip) {
    if (d.atipHeaderOnly) {
      AnswerBytes a(kAtipHeaderSize);
      a.PutBE16(0, 2);  // ATIP data length: the header alone
      return {kSenseGood, a.Take()};
    }
    return {kSenseInvalidFieldInCdb, {}};
  }
  AnswerBytes a(kAtipAnswerSize);
  a.PutBE16(0, kAtipAnswerSize - 2);  // ATIP data length
  // ATIP descriptor, byte n at answer byte 4 + n.
  a.Put8(4, static_cast<uint8_t>(kAtipAlwaysOne | ((d.atipWritingPower & 0x07) << kAtipPowerShift) |
                                 (d.atipReferenceSpeed & 0x07)));  // power, reference speed
  a.Put8(5, 0x00);                                                 // URU 0
  a.Put8(6, static_cast<uint8_t>(kAtipAlwaysOne | (d.kind == DiscKind::CdRw ? kAtipDiscTypeRw : 0) |
                                 ((d.atipSubType & kAtipSubTypeMask) << kAtipSubTypeShift)));
  PutMsf(a, 8, d.atipLeadIn);    // start time of lead-in
  PutMsf(a, 12, d.atipLeadOut);  // last possible start time of lead-out
  return {kSenseGood, a.Take()};
}

VirtualDrive::Answer VirtualDrive::cmd_set_cd_speed(const Cdb& cdb, const DataOut&) {
  const ByteView c(cdb);
  (void)c.BE16(kSpeedReadByte);
  const uint16_t asked = c.BE16(kSpeedWriteByte);
  uint16_t limit = profile_.drive.capabilities.maxCdWriteSpeed;
  if (HasMedium() && profile_.disc.maxWriteSpeed > 0) {
    limit = std::min(limit, profile_.disc.maxWriteSpeed);
  }
  currentWriteSpeed_ = asked == kSpeedMaximum ? limit : std::min(asked, limit);
  return {kSenseGood, {}};
}

VirtualDrive::Answer VirtualDrive::cmd_set_streaming(const Cdb& cdb, const DataOut& out) {
  const ByteView c(cdb);
  if (c.U8(kStreamingTypeByte) != 0) {
    return {kSenseInvalidFieldInCdb, {}};
  }
  const uint16_t length = c.BE16(kStreamingLengthByte);
  if (length < kStreamingDescriptorSize || out.length < kStreamingDescriptorSize) {
    return {kSenseParameterListLength, {}};
  }
  const ByteView p(out.data, out.length);
  StreamingRequest s;
  s.startLba = p.BE32(4);
  s.endLba = p.BE32(8);
  s.readSizeKb = p.BE32(12);
  s.readTimeMs = p.BE32(16);
  s.writeSizeKb = p.BE32(20);
  s.writeTimeMs = p.BE32(24);
  streaming_.push_back(s);
  return {kSenseGood, {}};
}

VirtualDrive::Answer VirtualDrive::cmd_vendor_media_id(const Cdb& cdb, const DataOut&) {
  if (!profile_.drive.vendorMediaId) {
    return {kSenseInvalidOpcode, {}};
  }
  if (cdb[kVendorSubByte1] != kVendorSub1 || cdb[kVendorSubByte2] != kVendorSub2 ||
      !IsDvdPlus(profile_.disc)) {
    return {kSenseInvalidFieldInCdb, {}};
  }
  const Disc& d = profile_.disc;
  using namespace vendor_media_id;
  AnswerBytes a(kAnswerSize);
  a.PutText(kMediaIdOffset, kMediaIdLength, d.mediaId, 0);  // disc manufacturer id
  a.PutText(kTypeIdOffset, kTypeIdLength, d.typeId, 0);     // media type id
  a.Put8(kRevisionOffset, d.productRevision);               // product revision
  return {kSenseGood, a.Take()};
}

}  // namespace kv::emu
