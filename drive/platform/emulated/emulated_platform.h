// The emulated platform: a machine with virtual drives, an emulated clock and a CDB log.
//
// Tests build any machine through the configuration API (drive roots, SCSI addresses, open
// failures, the ASPI-style manager and its outcomes); `krellvane --emulate` runs the program on
// the built-in sample drives. Nothing here touches the real system: time is virtual (CounterNow
// counts virtual microseconds, SleepMilliseconds and command latency advance it).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drive/platform.h"
#include "drive/platform/emulated/drive_profile.h"
#include "drive/platform/emulated/virtual_drive.h"

namespace kv::emu {

// How a drive is attached to the emulated machine.
struct Attachment {
  std::string root;          // empty: "srN" with N the drive's index
  bool listedAsRoot = true;  // appears in ListDriveRoots
  bool cdromRoot = true;     // IsCdromRoot answers true
  bool openFails = false;
  ScsiAddressResult address{ScsiAddressResult::Outcome::Found, 0, 0, 0, 0};
  bool addressDefaulted = true;  // target = drive index unless SetScsiAddress was called
  bool aspiVisible = true;
  uint8_t aspiHostAdapter = 0;
  uint8_t aspiTarget = 0;
  uint8_t aspiLun = 0;
  bool aspiDefaulted = true;  // target = drive index unless SetAspiAddress was called
};

enum class CommandPath : uint8_t { PassThrough, Aspi };

struct CdbLogEntry {
  Cdb cdb{};
  uint8_t direction = kDirectionNone;
  uint32_t length = 0;
  CommandPath path = CommandPath::PassThrough;
  int drive = -1;  // index of the drive that received it
  DriveResponse response;
};

struct DeviceEvent {
  enum class Kind : uint8_t { Open, OpenFailed, Close, CloseUnknown } kind = Kind::Open;
  std::string root;
  DeviceHandle handle = kInvalidHandle;
  int drive = -1;
};

struct AspiSettings {
  AspiLoadResult::Outcome loadOutcome = AspiLoadResult::Outcome::ModuleNotFound;
  uint8_t supportStatus = kSsComp;             // bits 15-8 of GetASPI32SupportInfo
  uint8_t hostAdapterCount = 1;                // bits 7-0
  std::map<uint8_t, uint8_t> haInquiryStatus;  // per adapter; absent: 01h below the count
  // Devices the manager reports that are no virtual drive (a disk at 0/0/0 is type 0).
  struct ExtraDevice {
    uint8_t hostAdapter = 0;
    uint8_t target = 0;
    uint8_t lun = 0;
    uint8_t deviceType = 0;
  };
  std::vector<ExtraDevice> extraDevices;
};

// ASPI statuses the emulated manager answers besides those in drive/platform.h.
inline constexpr uint8_t kSsErr = 0x04;
// How long the emulated machine waits for a drive that never answers, as the Linux platform does.
inline constexpr int64_t kEmulatedCommandBoundSeconds = 30;
inline constexpr uint8_t kSsInvalidHa = 0x81;
inline constexpr uint8_t kSsNoDevice = 0x82;

class EmulatedPlatform : public kv::Platform {
 public:
  EmulatedPlatform();
  ~EmulatedPlatform() override;

  // --- Machine configuration ---
  // Adds a drive and returns its index. Its root defaults to "srN", its SCSI address and ASPI
  // address to (0, 0, N, 0).
  int AddDrive(DriveProfile profile);
  VirtualDrive& Drive(int index);
  int DriveCount() const { return static_cast<int>(drives_.size()); }
  Attachment& AttachmentOf(int index);
  void SetRoot(int index, const std::string& root);
  void SetListedAsRoot(int index, bool listed);
  void SetCdromRoot(int index, bool cdrom);
  void SetOpenFails(int index, bool fails);
  void SetScsiAddress(int index, uint8_t port, uint8_t pathId, uint8_t target, uint8_t lun);
  void SetScsiAddressOutcome(int index, ScsiAddressResult::Outcome outcome);
  void SetAspiVisible(int index, bool visible);
  void SetAspiAddress(int index, uint8_t hostAdapter, uint8_t target, uint8_t lun);
  // A root with no drive behind it (a hard disk "C:\", or a CD-ROM root whose open fails).
  void AddExtraRoot(const std::string& root, bool cdrom = false);
  // Ok (the default) lists the roots; Empty and AllocationFailed list none.
  void SetRootListOutcome(DriveRootList::Outcome outcome);
  void SetNtFamily(bool nt) { ntFamily_ = nt; }
  AspiSettings& Aspi() { return aspi_; }
  void SetAspiLoadOutcome(AspiLoadResult::Outcome outcome) { aspi_.loadOutcome = outcome; }
  void SetAspiSupportInfo(uint8_t status, uint8_t hostAdapterCount);
  void SetHaInquiryStatus(uint8_t hostAdapter, uint8_t status);

  // --- The clock ---
  void SetCounterFrequency(int64_t frequency) { frequency_ = frequency; }
  void AdvanceMicroseconds(int64_t us) { nowUs_ += us; }
  int64_t NowMicroseconds() const { return nowUs_; }
  uint64_t TotalSleepMilliseconds() const { return totalSleepMs_; }
  uint32_t SleepCount() const { return sleepCount_; }

  // --- What happened ---
  // The most recent commands, oldest first: at least the last kCdbLogKept and never more than
  // twice that, so a long run does not grow the log without end.
  static constexpr std::size_t kCdbLogKept = 4096;
  const std::vector<CdbLogEntry>& CdbLog() const { return cdbLog_; }
  void ClearCdbLog() { cdbLog_.clear(); }
  const std::vector<DeviceEvent>& DeviceEvents() const { return deviceEvents_; }
  void ClearDeviceEvents() { deviceEvents_.clear(); }
  int OpenHandleCount() const { return static_cast<int>(openHandles_.size()); }
  uint32_t AspiLoadCount() const { return aspiLoads_; }
  int LiveAspiManagers() const { return liveAspiManagers_; }

  // --- kv::Platform ---
  bool IsNtFamily() override { return ntFamily_; }
  int64_t CounterFrequency() override { return frequency_; }
  int64_t CounterNow() override;
  void SleepMilliseconds(uint32_t ms) override;
  DriveRootList ListDriveRoots() override;
  bool IsCdromRoot(const std::string& root) override;
  DeviceHandle OpenDevice(const std::string& root) override;
  void CloseDevice(DeviceHandle handle) override;
  ScsiAddressResult GetScsiAddress(DeviceHandle handle) override;
  // "/dev/<root>" names the drive whose root that is.
  ScsiAddressResult NodeAddress(const std::string& devicePath) override;
  PassThroughResult PassThrough(DeviceHandle handle, const ScsiRequest& request) override;
  AspiLoadResult LoadAspi() override;
  void SetCommandPhase(CommandPhase phase) override;
  CommandPhase Phase() const { return phase_; }
  std::string Name() const override { return "emulated"; }

 private:
  friend class EmulatedAspiManager;

  struct RootEntry {
    int drive = -1;  // -1: an extra root
    std::string root;
    bool cdrom = false;
  };
  struct DriveSlot {
    std::unique_ptr<VirtualDrive> drive;
    Attachment attachment;
  };

  std::string RootOf(int index) const;
  int FindDriveByRoot(const std::string& root) const;
  int FindDriveByAspiAddress(uint8_t ha, uint8_t target, uint8_t lun) const;
  DriveResponse RunCommand(int drive, const ScsiRequest& request, CommandPath path);

  std::vector<DriveSlot> drives_;
  std::vector<RootEntry> roots_;
  DriveRootList::Outcome rootListOutcome_ = DriveRootList::Outcome::Ok;
  bool ntFamily_ = true;
  AspiSettings aspi_;
  int64_t frequency_ = 1'000'000;
  int64_t nowUs_ = 1'000'000;  // a counter that is not 0 at the start (0 means "not running")
  uint64_t totalSleepMs_ = 0;
  uint32_t sleepCount_ = 0;
  std::map<DeviceHandle, int> openHandles_;
  DeviceHandle nextHandle_ = 100;
  std::vector<CdbLogEntry> cdbLog_;
  std::vector<DeviceEvent> deviceEvents_;
  uint32_t aspiLoads_ = 0;
  CommandPhase phase_ = CommandPhase::StartUp;
  int liveAspiManagers_ = 0;
};

// Puts a drive where its profile's attachment section says (AddDrive does not look at it).
void ApplyAttachment(EmulatedPlatform& machine, int index, const ProfileAttachment& attachment);

// Builds the emulated machine from profile files; with none, from the built-in sample drives (in
// their fixed order). Null and a message naming the file and the field when a profile is bad.
std::unique_ptr<kv::Platform> CreateEmulatedPlatform(const std::vector<std::string>& profilePaths,
                                                     std::string& error);
// The same, typed, for tests that want to configure the machine further.
std::unique_ptr<EmulatedPlatform> CreateEmulatedMachine(
    const std::vector<std::string>& profilePaths, std::string& error);

}  // namespace kv::emu
