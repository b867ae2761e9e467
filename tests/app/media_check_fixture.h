// An AtapiDevice on one emulated drive, the drive+disc profiles the report tests use, and a sink
// that records what the report did.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/core/media_check.h"
#include "drive/atapi_device.h"
#include "drive/notifier.h"
#include "drive/platform/emulated/emulated_platform.h"

namespace kv::testing {

class SilentNotifier : public Notifier {
 public:
  void ShowError(const std::string&, const std::string&) override {}
};

// Records the lines, and the clears and paints in the order they happened.
class RecordingSink : public ReportSink {
 public:
  void Clear() override {
    lines.clear();
    events.push_back("clear");
  }
  void AppendLine(const std::string& line) override {
    lines.push_back(line);
    events.push_back("line:" + line);
  }
  void ProcessPendingMessages() override { events.push_back("paint"); }

  std::vector<std::string> lines;
  std::vector<std::string> events;
};

// The DVD recording profiles of a DVD DUAL writer (DriveType 11).
inline std::vector<uint16_t> DualWriterProfiles() {
  return {0x0008, 0x0009, 0x000A, 0x0010, 0x0011, 0x0013, 0x0014, 0x001A, 0x001B};
}

inline emu::DriveProfile DvdWriter() {
  emu::DriveProfile p;
  p.name = "dvd writer";
  p.drive.profiles = DualWriterProfiles();
  p.drive.writeSpeeds = {{2295103, 11080, 11080}, {2295103, 8310, 5540}};
  return p;
}

// Reads DVD-ROM and writes CD-RW but records no DVD: DriveType 4.
inline emu::DriveProfile ComboDrive() {
  emu::DriveProfile p;
  p.name = "combo";
  p.drive.profiles = {0x0008, 0x0009, 0x000A, 0x0010};
  p.drive.capabilities.dvdRWrite = false;
  p.drive.writeSpeeds = {{359849, 7056, 7056}};
  return p;
}

inline emu::Disc BlankCdr(emu::MsfTime leadIn = {97, 25, 65}, emu::MsfTime leadOut = {79, 59, 74},
                          uint8_t subType = 3) {
  emu::Disc d;
  d.kind = emu::DiscKind::CdR;
  d.hasAtip = true;
  d.atipSubType = subType;
  d.atipLeadIn = leadIn;
  d.atipLeadOut = leadOut;
  d.maxWriteSpeed = 7056;
  return d;
}

inline emu::Disc Dvd(uint8_t bookType) {
  emu::Disc d;
  d.kind = emu::DiscKind::Dvd;
  d.bookType = bookType;
  d.layers = 1;
  d.capacityBlocks = 2295104;
  return d;
}

inline emu::Disc DvdPlusR() {
  emu::Disc d = Dvd(10);
  d.mediaId = "RICOHJPN";
  d.typeId = "R03";
  return d;
}

inline emu::Disc DvdMinusR() {
  emu::Disc d = Dvd(2);
  d.manufacturerId = "MCC 01RG20  ";
  return d;
}

inline emu::DriveProfile WithDisc(emu::DriveProfile drive, const emu::Disc& disc) {
  drive.disc = disc;
  return drive;
}

// A device whose current drive is the one emulated drive, opened directly.
class EmulatedDevice {
 public:
  explicit EmulatedDevice(emu::DriveProfile profile) {
    platform_.AddDrive(std::move(profile));
    device_ = std::make_unique<AtapiDevice>(platform_, notifier_);
    DeviceHandle handle = platform_.OpenDevice("sr0");
    device_->SetAddress(handle, 0, 0, 0, 0);
    record_.DriveTypeName = "listed";
    platform_.ClearCdbLog();
  }

  AtapiDevice& Device() { return *device_; }
  emu::EmulatedPlatform& Platform() { return platform_; }
  emu::VirtualDrive& Drive() { return platform_.Drive(0); }
  const DriveRecord* Selected() const { return &record_; }

  // Runs one check with the given user lists.
  std::vector<std::string> Check(const UserCdList& cd = {}, const UserDvdList& dvd = {},
                                 MediaCheckFacts* facts = nullptr) {
    RecordingSink sink;
    RunMediaCheck(*device_, &record_, cd, dvd, sink, facts);
    return sink.lines;
  }

  // Opcodes sent since the last clear of the log.
  std::vector<uint8_t> Opcodes() const {
    std::vector<uint8_t> ops;
    for (const auto& entry : platform_.CdbLog()) {
      ops.push_back(entry.cdb[0]);
    }
    return ops;
  }

 private:
  SilentNotifier notifier_;
  emu::EmulatedPlatform platform_;
  std::unique_ptr<AtapiDevice> device_;
  DriveRecord record_;
};

}  // namespace kv::testing
