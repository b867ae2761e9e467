#include "app/core/media_check.h"

#include <array>
#include <cstring>
#include <string>

#include "app/core/manufacturer.h"
#include "app/core/report_format.h"
#include "drive/atapi_device.h"
#include "drive/drive_record.h"

namespace kv {

namespace {

using report::Format;

constexpr int32_t kReadyWaitSeconds = 60;
constexpr uint32_t kMaximumSpeed = 0xFFFF;
constexpr std::size_t kIdentifierArea = 16;
constexpr std::size_t kDvdPlusMidBytes = 8;
constexpr std::size_t kDvdPlusTidBytes = 3;
constexpr std::size_t kDvdMinusHalfBytes = 6;
constexpr uint32_t kSingleLayer = 1;
// Names come from 48-byte record fields or tables of the same width.
constexpr std::size_t kNameField = 48;

using IdentifierArea = std::array<char, kIdentifierArea>;

const char* OrEmpty(const char* text) {
  return text != nullptr ? text : "";
}

unsigned Byte(const IdentifierArea& area, std::size_t i) {
  return static_cast<uint8_t>(area[i]);
}

std::vector<uint8_t> RawBytes(const IdentifierArea& area, std::size_t from, std::size_t count) {
  std::vector<uint8_t> bytes;
  for (std::size_t i = from; i < from + count; ++i) {
    bytes.push_back(static_cast<uint8_t>(area[i]));
  }
  return bytes;
}

// One check in progress: the device, the sink and the facts gathered so far.
class MediaCheck {
 public:
  MediaCheck(AtapiDevice& device, const UserCdList& userCd, const UserDvdList& userDvd,
             ReportSink& sink, MediaCheckFacts& facts)
      : device_(device), userCd_(userCd), userDvd_(userDvd), sink_(sink), facts_(facts) {}

  void Run(const DriveRecord* selected) {
    sink_.Clear();
    sink_.AppendLine(report::kPleaseWait);
    sink_.ProcessPendingMessages();
    device_.WaitUntilReady(kReadyWaitSeconds);
    sink_.Clear();
    if (selected == nullptr) {
      return;
    }
    if (selected->DriveTypeName != nullptr) {
      const char* name = OrEmpty(device_.CurrentDriveTypeName());
      facts_.driveTypeName = name;
      sink_.AppendLine(Format(report::kDriveLine, name));
    }
    DriveType driveType = device_.QueryDriveType();
    facts_.driveType = driveType;
    DiscType discType = device_.QueryDiscType();
    facts_.discType = discType;
    facts_.discTypeName = OrEmpty(AtapiDevice::DiscTypeName(discType));
    AppendDiscLine(discType);
    if (discType == DiscType::kNoMedia) {
      facts_.completed = true;
      return;
    }
    // An unrecognised disc goes the CD way, as every code below the DVDs does.
    if (IsDvdFamily(discType)) {
      RunDvdPart(driveType, discType);
    } else {
      RunCdPart(discType);
    }
    facts_.completed = true;
  }

 private:
  void AppendDiscLine(DiscType discType) {
    std::string text = IsCdRecordable(discType)
                           ? std::string(report::kDiscLineCdr)
                           : Format(report::kDiscLine, facts_.discTypeName.c_str());
    if (IsDvdFamily(discType)) {
      uint32_t layers = device_.QueryLayerCount();
      facts_.layers = layers;
      // A failed layer query leaves the padded name as it is.
      if (layers == kSingleLayer) {
        text = report::TrimRight(text) + report::kSingleLayer;
      } else if (layers > 0) {
        text = report::TrimRight(text) + report::kDualLayer;
      }
    }
    sink_.AppendLine(text);
  }

  void RunCdPart(DiscType discType) {
    uint32_t leadIn = device_.QueryAtipTime(AtipTime::kLeadIn);
    uint32_t leadOut = device_.QueryAtipTime(AtipTime::kLeadOut);
    facts_.leadIn = leadIn;
    facts_.leadOut = leadOut;
    report::CdTimeParts in = report::ParseCdTime(leadIn);
    if (IsCdRewritable(discType)) {
      facts_.material = report::kPhaseChange;
      sink_.AppendLine(report::kMaterialPhaseChange);
    } else if (in.frames % 10 < 5) {
      facts_.material = report::kCyanine;
      sink_.AppendLine(report::kMaterialCyanine);
    } else {
      facts_.material = report::kPhthalocyanine;
      sink_.AppendLine(report::kMaterialPhthalocyanine);
    }
    sink_.AppendLine(Format(report::kLeadInLine, in.minutes, in.seconds, in.frames));
    report::CdTimeParts out = report::ParseCdTime(leadOut);
    sink_.AppendLine(Format(report::kLeadOutLine, out.minutes, out.seconds, out.frames));
    // Without a lead-out time the formula would give a negative capacity: no line then.
    if (leadOut != 0) {
      double megabytes = report::SectorsToMegabytes(report::NominalSectors(out));
      facts_.capacityMegabytes = megabytes;
      sink_.AppendLine(Format(report::kCdCapacityLine, megabytes));
    }
    AppendManufacturer(FindManufacturer(device_, userCd_, userDvd_, discType,
                                        static_cast<int32_t>(leadIn),
                                        static_cast<int32_t>(leadOut)));
    device_.SetCdSpeed(0, kMaximumSpeed, kMaximumSpeed, 0);
    double speed = device_.QueryCurrentWriteSpeed();
    if (discType == DiscType::kCdRom) {
      speed = 0;
    }
    AppendSpeed(report::kCdSpeedLine, speed, report::kCdSingleSpeed);
  }

  void RunDvdPart(DriveType driveType, DiscType discType) {
    IdentifierArea idArea{};
    IdentifierArea typeArea{};
    if (IsDvdPlusFamily(discType)) {
      device_.ReadDvdPlusMediaId(idArea.data());
      device_.ReadDvdPlusTypeId(typeArea.data());
      if (idArea[0] != 0) {
        IdentifierArea work = idArea;
        MakePrintable(work.data(), kDvdPlusMidBytes);
        facts_.mediaId = RawBytes(idArea, 0, kDvdPlusMidBytes);
        sink_.AppendLine(report::FormatIdentifier(report::kDvdPlusMidLine, Byte(idArea, 0),
                                                  Byte(idArea, 1), Byte(idArea, 2), Byte(idArea, 3),
                                                  Byte(idArea, 4), Byte(idArea, 5), Byte(idArea, 6),
                                                  Byte(idArea, 7), work.data()));
        work = typeArea;
        MakePrintable(work.data(), kDvdPlusTidBytes);
        facts_.typeId = RawBytes(typeArea, 0, kDvdPlusTidBytes);
        sink_.AppendLine(report::FormatIdentifier(report::kDvdPlusTidLine, Byte(typeArea, 0),
                                                  Byte(typeArea, 1), Byte(typeArea, 2),
                                                  work.data()));
      }
    } else {
      device_.ReadDvdMinusMediaId(idArea.data());
      if (idArea[0] != 0) {
        IdentifierArea work = idArea;
        MakePrintable(work.data(), kDvdMinusHalfBytes);
        facts_.mediaId = RawBytes(idArea, 0, kDvdMinusHalfBytes);
        sink_.AppendLine(report::FormatIdentifier(report::kDvdMinusMidLine, Byte(idArea, 0),
                                                  Byte(idArea, 1), Byte(idArea, 2), Byte(idArea, 3),
                                                  Byte(idArea, 4), Byte(idArea, 5), work.data()));
        char* second = work.data() + kDvdMinusHalfBytes;
        MakePrintable(second, kDvdMinusHalfBytes);
        facts_.typeId = RawBytes(idArea, kDvdMinusHalfBytes, kDvdMinusHalfBytes);
        sink_.AppendLine(report::FormatIdentifier(report::kDvdMinusTidLine, Byte(idArea, 6),
                                                  Byte(idArea, 7), Byte(idArea, 8), Byte(idArea, 9),
                                                  Byte(idArea, 10), Byte(idArea, 11), second));
      }
    }
    uint32_t blocks = device_.QueryCapacityBlocks();
    facts_.capacityBlocks = blocks;
    if (blocks != 0) {
      double gigabytes = report::BlocksToGigabytes(blocks);
      facts_.capacityGigabytes = gigabytes;
      sink_.AppendLine(Format(report::kDvdCapacityLine, gigabytes));
    }
    AppendManufacturer(FindManufacturer(device_, userCd_, userDvd_, discType, 0, 0));
    device_.SetMaximumStreaming();
    device_.SetCdSpeed(0, kMaximumSpeed, kMaximumSpeed, 0);
    double speed = IsDvdWriter(driveType) ? device_.QueryMaxWriteSpeed() : 0.0;
    if (discType == DiscType::kDvdRom) {
      speed = 0;
    }
    AppendSpeed(report::kDvdSpeedLine, speed, report::kDvdSingleSpeed);
  }

  void AppendManufacturer(const char* name) {
    if (name == nullptr) {
      facts_.manufacturer.reset();
      sink_.AppendLine(report::kManufacturerUnknown);
      return;
    }
    std::string bounded(name, strnlen(name, kNameField));
    facts_.manufacturer = bounded;
    sink_.AppendLine(Format(report::kManufacturerLine, bounded.c_str()));
  }

  void AppendSpeed(const char* format, double speed, double singleSpeed) {
    double multiple = speed / singleSpeed;
    facts_.speedKBps = speed;
    facts_.speedMultiple = multiple;
    sink_.AppendLine(Format(format, multiple));
  }

  AtapiDevice& device_;
  const UserCdList& userCd_;
  const UserDvdList& userDvd_;
  ReportSink& sink_;
  MediaCheckFacts& facts_;
};

}  // namespace

void RunMediaCheck(AtapiDevice& device, const DriveRecord* selected, const UserCdList& userCd,
                   const UserDvdList& userDvd, ReportSink& sink, MediaCheckFacts* facts) {
  MediaCheckFacts local;
  MediaCheckFacts& target = facts != nullptr ? *facts : local;
  target = MediaCheckFacts{};
  try {
    MediaCheck(device, userCd, userDvd, sink, target).Run(selected);
  } catch (...) {
    // The check ends quietly; the lines appended so far stay.
  }
}

}  // namespace kv
