#include "app/core/media_check.h"

#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

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
      // The name of the drive's current type, kept with its code for --json.
      const DriveType shown = device_.QueryDriveType();
      const char* name = OrEmpty(AtapiDevice::DriveTypeName(shown));
      sink_.AppendLine(Format(report::kDriveLine, name));
      facts_.driveType = shown;
      facts_.driveTypeName = name;
    }
    DriveType driveType = device_.QueryDriveType();
    DiscType discType = device_.QueryDiscType();
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
    const std::string name = OrEmpty(AtapiDevice::DiscTypeName(discType));
    std::string text = IsCdRecordable(discType) ? std::string(report::kDiscLineCdr)
                                                : Format(report::kDiscLine, name.c_str());
    std::optional<uint32_t> layers;
    if (IsDvdFamily(discType)) {
      layers = device_.QueryLayerCount();
      // A failed layer query leaves the padded name as it is.
      if (*layers == kSingleLayer) {
        text = report::TrimRight(text) + report::kSingleLayer;
      } else if (*layers > 0) {
        text = report::TrimRight(text) + report::kDualLayer;
      }
    }
    sink_.AppendLine(text);
    facts_.discType = discType;
    facts_.discTypeName = name;
    facts_.layers = layers;
  }

  void RunCdPart(DiscType discType) {
    uint32_t leadIn = device_.QueryAtipTime(AtipTime::kLeadIn);
    uint32_t leadOut = device_.QueryAtipTime(AtipTime::kLeadOut);
    report::CdTimeParts in = report::ParseCdTime(leadIn);
    if (IsCdRewritable(discType)) {
      sink_.AppendLine(report::kMaterialPhaseChange);
      facts_.material = report::kPhaseChange;
    } else if (in.frames % 10 < 5) {
      sink_.AppendLine(report::kMaterialCyanine);
      facts_.material = report::kCyanine;
    } else {
      sink_.AppendLine(report::kMaterialPhthalocyanine);
      facts_.material = report::kPhthalocyanine;
    }
    sink_.AppendLine(Format(report::kLeadInLine, in.minutes, in.seconds, in.frames));
    facts_.leadIn = leadIn;
    report::CdTimeParts out = report::ParseCdTime(leadOut);
    sink_.AppendLine(Format(report::kLeadOutLine, out.minutes, out.seconds, out.frames));
    facts_.leadOut = leadOut;
    // Without a lead-out time the formula would give a negative capacity: no line then.
    if (leadOut != 0) {
      double megabytes = report::SectorsToMegabytes(report::NominalSectors(out));
      sink_.AppendLine(Format(report::kCdCapacityLine, megabytes));
      facts_.capacityMegabytes = megabytes;
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
        sink_.AppendLine(report::FormatIdentifier(report::kDvdPlusMidLine, Byte(idArea, 0),
                                                  Byte(idArea, 1), Byte(idArea, 2), Byte(idArea, 3),
                                                  Byte(idArea, 4), Byte(idArea, 5), Byte(idArea, 6),
                                                  Byte(idArea, 7), work.data()));
        facts_.mediaId = RawBytes(idArea, 0, kDvdPlusMidBytes);
        work = typeArea;
        MakePrintable(work.data(), kDvdPlusTidBytes);
        sink_.AppendLine(report::FormatIdentifier(report::kDvdPlusTidLine, Byte(typeArea, 0),
                                                  Byte(typeArea, 1), Byte(typeArea, 2),
                                                  work.data()));
        facts_.typeId = RawBytes(typeArea, 0, kDvdPlusTidBytes);
      }
    } else {
      device_.ReadDvdMinusMediaId(idArea.data());
      if (idArea[0] != 0) {
        IdentifierArea work = idArea;
        MakePrintable(work.data(), kDvdMinusHalfBytes);
        sink_.AppendLine(report::FormatIdentifier(report::kDvdMinusMidLine, Byte(idArea, 0),
                                                  Byte(idArea, 1), Byte(idArea, 2), Byte(idArea, 3),
                                                  Byte(idArea, 4), Byte(idArea, 5), work.data()));
        facts_.mediaId = RawBytes(idArea, 0, kDvdMinusHalfBytes);
        char* second = work.data() + kDvdMinusHalfBytes;
        MakePrintable(second, kDvdMinusHalfBytes);
        sink_.AppendLine(report::FormatIdentifier(report::kDvdMinusTidLine, Byte(idArea, 6),
                                                  Byte(idArea, 7), Byte(idArea, 8), Byte(idArea, 9),
                                                  Byte(idArea, 10), Byte(idArea, 11), second));
        facts_.typeId = RawBytes(idArea, kDvdMinusHalfBytes, kDvdMinusHalfBytes);
      }
    }
    uint32_t blocks = device_.QueryCapacityBlocks();
    if (blocks != 0) {
      double gigabytes = report::BlocksToGigabytes(blocks);
      sink_.AppendLine(Format(report::kDvdCapacityLine, gigabytes));
      facts_.capacityBlocks = blocks;
      facts_.capacityGigabytes = gigabytes;
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
      sink_.AppendLine(report::kManufacturerUnknown);
      facts_.manufacturer = report::kUnknown;
      facts_.manufacturerFound = false;
      return;
    }
    std::string bounded(name, strnlen(name, kNameField));
    sink_.AppendLine(Format(report::kManufacturerLine, bounded.c_str()));
    facts_.manufacturer = bounded;
    facts_.manufacturerFound = true;
  }

  void AppendSpeed(const char* format, double speed, double singleSpeed) {
    const double multiple = speed / singleSpeed;
    report::SpeedText text = report::FormatSpeedLine(format, multiple);
    sink_.AppendLine(text.line);
    facts_.speedKBps = speed;
    facts_.speedMultiple = multiple;
    facts_.speedPrinted = std::move(text.multiple);
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
