// AtapiDevice: the program's one object for the optical drives.
//
// It finds and identifies the drives, carries every command to the selected drive, builds the MMC
// commands and turns their answers into drive and disc facts. The implementation is split by
// concern:
//   device_lifecycle.cpp  construction, destruction
//   enumeration.cpp       RefreshDrives, the ASPI and drive-node scans, SortDrives, INQUIRY texts
//   selection.cpp         SelectDrive, CloseDrive, SetAddress, the drive table accessors
//   aspi_loading.cpp      LoadAspi, ProbeAspi, UnloadAspi and their messages
//   transport.cpp         ExecuteCommand over pass-through or the ASPI manager
//   buffers.cpp           DataBuffer/ParameterBuffer accessors
//   commands.cpp          the twelve command builders, LastSenseIs/LastSenseKeyIs
//   readiness.cpp         WaitUntilReady, ClearUnitAttention
//   drive_type.cpp        QueryDriveType, IsCdWriter, the name tables
//   disc_type.cpp         QueryDiscType
//   disc_facts.cpp        layers, ATIP times, DVD identifiers, capacity
//   speeds.cpp            write speeds and streaming
// The built-in manufacturer lookup reads through these queries from above the device
// (app/core/builtin_manufacturer.cpp); drive/ includes nothing of the layers over it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "drive/command_record.h"
#include "drive/disc_type.h"
#include "drive/drive_record.h"
#include "drive/drive_type.h"
#include "drive/hi_timer.h"
#include "drive/os_info.h"
#include "drive/platform.h"

namespace kv {

class Notifier;

inline constexpr std::size_t kBufferSize = 65536;
inline constexpr uint32_t kCommandTimeoutSeconds = 108000;
inline constexpr int32_t kApplicationTagPreferAspi = 32767;

// A command the system refused to carry to the drive as not permitted.
struct RefusedCommand {
  uint8_t opcode = 0;
  bool openReadOnly = false;  // the node carrying it was open for reading only
};

// Whether the selected drive still answers to the identification its drive record names.
enum class IdentityCheck : uint8_t { Same, Different, Unknown };

// Which of the two ATIP times QueryAtipTime gives.
enum class AtipTime : uint8_t {
  kLeadOut = 0,  // last possible start time of lead-out
  kLeadIn = 1,   // start time of lead-in
};

struct DriveAddress {
  int16_t HostAdapter = -1;
  int16_t Target = -1;
  int16_t Lun = -1;
  int16_t PathId = -1;
};

class AtapiDevice {
 public:
  // Builds the device on the given platform: chooses the transport, loads the ASPI manager when
  // chosen and runs RefreshDrives. Load failures are reported through the notifier, which must
  // outlive the device. Reads the application tag (application_tag.h) while it is built.
  AtapiDevice(Platform& platform, Notifier& notifier);
  ~AtapiDevice();
  AtapiDevice(const AtapiDevice&) = delete;
  AtapiDevice& operator=(const AtapiDevice&) = delete;

  // --- Device object and drive enumeration ---
  void RefreshDrives();
  uint16_t GetDriveCount() const { return DriveCount; }
  const DriveRecord* GetDriveRecord(uint32_t index) const;
  bool IsDrivePresent(int16_t index) const;
  bool SelectDrive(int16_t index);
  void CloseDrive();
  void SetAddress(DeviceHandle handle, int16_t hostAdapter, int16_t pathId, int16_t target,
                  int16_t lun);
  bool LoadAspi();
  bool ProbeAspi();
  void UnloadAspi();
  void EnumerateAspiDrives();
  void EnumerateLetterDrives();
  int16_t CountCdromLetters();
  bool GetScsiAddress(const char* root, int16_t& port, int16_t& pathId, int16_t& target,
                      int16_t& lun);
  void SortDrives();
  bool ReadInquiryStrings();

  // --- Command transport ---
  uint8_t ExecuteCommand(const uint8_t* cdb, uint8_t direction, uint32_t length);
  const CommandRecord& LastCommand() const { return LastCommand_; }
  // The commands refused as not permitted since the device was built, each opcode once.
  const std::vector<RefusedCommand>& RefusedCommands() const { return refused_; }
  // True once a command to the selected drive has timed out: the drive is hung, and every later
  // command to it fails at once (recorded as timed out) instead of waiting out the bound again.
  bool SelectedDriveHung() const;
  uint8_t* GetDataBuffer() { return DataBuffer.get(); }
  const uint8_t* GetDataBuffer() const { return DataBuffer.get(); }
  uint8_t* GetParameterBuffer() { return ParameterBuffer.get(); }
  // Reads past the end of the buffer give 0 for the missing bytes.
  uint32_t ReadDataBE32(uint32_t offset) const;
  uint16_t ReadDataBE16(uint32_t offset) const;
  uint8_t ReadDataByte(uint32_t offset) const;
  void WriteParamBE32(uint32_t offset, uint32_t value);
  // Whether the last command's answer holds the width bytes at offset. A field the drive did not
  // send is absent: the buffer there still holds older bytes. (Through the ASPI-style manager the
  // moved count is the requested length, so every requested field counts as sent.)
  bool AnswerHolds(uint32_t offset, uint32_t width) const;

  // --- MMC command set: each returns ExecuteCommand's result ---
  uint8_t TestUnitReady();
  uint8_t Inquiry(uint8_t cmdDt, uint8_t evpd, uint8_t pageCode, uint32_t allocationLength,
                  uint8_t control);
  uint8_t ModeSense10(uint8_t dbd, uint8_t pageControl, uint8_t pageCode, uint32_t allocationLength,
                      uint8_t control);
  uint8_t GetConfiguration(uint8_t requestType, uint32_t startingFeature, uint32_t allocationLength,
                           uint8_t control);
  uint8_t GetPerformance(uint8_t dataType, uint32_t startingLba, uint32_t maxDescriptors,
                         uint8_t type, uint8_t control, uint32_t transferLength);
  uint8_t ReadDiscInformation(uint32_t allocationLength, uint8_t control);
  uint8_t ReadDvdStructure(uint32_t address, uint8_t layer, uint8_t format,
                           uint32_t allocationLength, uint8_t agid, uint8_t control);
  uint8_t ReadFormatCapacities(uint32_t allocationLength, uint8_t control);
  uint8_t ReadTocPmaAtip(uint8_t msf, uint8_t format, uint8_t trackNumber,
                         uint32_t allocationLength, uint8_t control);
  uint8_t SetCdSpeed(uint8_t rotationControl, uint32_t readSpeed, uint32_t writeSpeed,
                     uint8_t control);
  uint8_t SetStreaming(uint32_t parameterLength, uint8_t control);
  uint8_t ReadVendorMediaId();
  bool LastSenseIs(uint8_t senseKey, uint8_t asc) const;
  bool LastSenseKeyIs(uint8_t senseKey) const;

  // --- Drive and media classification queries ---
  bool WaitUntilReady(int32_t limitSeconds);
  // True when a bounded WaitUntilReady gave up since the drive was selected.
  bool WaitGaveUp() const { return waitGaveUp_; }
  // Sends INQUIRY to the selected drive and compares its identification with the drive record's
  // (vendor, product, revision): a replugged drive node may now be another drive. Unknown when the
  // record has no texts or the drive gave no identification.
  IdentityCheck CheckSelectedIdentity();
  // Called before each pause between readiness polls, so that a window can repaint while a drive
  // becomes ready. It must not use the device. Empty (the default): nothing is called.
  void SetWaitHook(std::function<void()> hook) { waitHook_ = std::move(hook); }
  void ClearUnitAttention();
  DriveType QueryDriveType();
  DiscType QueryDiscType();
  const char* CurrentDriveTypeName();
  // Codes past the tables read as UNKNOWN.
  static const char* DriveTypeName(DriveType code);
  static const char* DiscTypeName(DiscType code);
  bool IsCdWriter();
  uint32_t QueryLayerCount();
  uint32_t QueryAtipTime(AtipTime which);
  char* ReadDvdPlusMediaId(char* out);
  char* ReadDvdPlusTypeId(char* out);
  char* ReadDvdMinusMediaId(char* out);
  uint32_t QueryCapacityBlocks();
  double QueryMaxWriteSpeed();
  bool SetMaximumStreaming();
  uint32_t QueryCurrentWriteSpeed();

  // --- State, read by the windows, the command line and the tests ---
  Platform& GetPlatform() { return platform_; }
  bool UsesAspi() const { return UseAspi; }
  bool IsAspiAvailable() const { return AspiAvailable; }
  bool IsAspiLoaded() const { return aspi_ != nullptr; }
  // The loaded ASPI-style manager; null when none is loaded.
  const AspiManager* GetAspi() const { return aspi_.get(); }
  int16_t GetCurrentDrive() const { return CurrentDrive; }
  const DriveAddress& GetCurrentAddress() const { return CurrentAddress; }
  DeviceHandle GetDeviceHandle() const { return DeviceHandle_; }
  DriveType GetCurrentDriveType() const { return CurrentDriveType; }
  const char* GetVendor() const { return Vendor; }
  const char* GetProduct() const { return Product; }
  const char* GetRevision() const { return Revision; }
  const char* GetVendorSpecific() const { return VendorSpecific; }
  const OSInfo& GetOSInfo() const { return *osInfo_; }

 private:
  void ClearIdentification();
  void NoteRefused(const RefusedCommand& command);
  bool PerformanceAnswerHasDescriptor() const;
  char* ReadDvdPlusId(char* out, uint32_t vendorOffset, uint32_t structureOffset, uint32_t length);
  // True when the latest ExecuteCommand reached a transport (and so rewrote LastCommand_).
  bool LastCommandReachedTransport() const { return lastReachedTransport_; }

  Platform& platform_;
  Notifier& notifier_;
  std::function<void()> waitHook_;

  // Timers and OS information, built first (in this order) and destroyed last.
  std::unique_ptr<HiTimer> WaitTimer;
  std::unique_ptr<HiTimer> CommandTimer;
  std::unique_ptr<OSInfo> osInfo_;

  // Transport choice and the ASPI manager.
  bool UseAspi = false;
  bool AspiAvailable = false;
  std::unique_ptr<AspiManager> aspi_;

  // Drive table.
  DriveRecord Drives[kMaxDrives];
  uint16_t DriveCount = 0;
  int16_t CurrentDrive = -1;
  DriveAddress CurrentAddress;
  DeviceHandle DeviceHandle_ = kInvalidHandle;
  DriveType CurrentDriveType = DriveType::kUnknown;
  char Vendor[9] = {};
  char Product[17] = {};
  char Revision[5] = {};
  char VendorSpecific[17] = {};

  // Transport state.
  uint32_t CommandTimeout = kCommandTimeoutSeconds;
  CommandRecord LastCommand_;
  bool lastReachedTransport_ = false;
  std::vector<RefusedCommand> refused_;
  bool hung_[kMaxDrives] = {};  // by slot: a command to the drive timed out
  bool waitGaveUp_ = false;
  std::unique_ptr<uint8_t[]> DataBuffer;
  std::unique_ptr<uint8_t[]> ParameterBuffer;
};

}  // namespace kv
