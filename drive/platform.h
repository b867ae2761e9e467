// The platform seam of the drive layer.
//
// Everything the device object needs from the operating system goes through this one interface:
// the clock, the drive-node list, pass-through on an open node, and the ASPI-style manager that
// reaches drives by host adapter, target and lun. One implementation per platform lives under
// drive/platform/<name>/ (Linux, emulated; Win32 later); the logic in drive/ never asks which.
//
// The primitives are deliberately thin: they report what the platform call did, and AtapiDevice
// decides what that means (status codes, sense, bytes moved), so every platform is judged by the
// same rules.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kv {

// Direction codes as the command builders pass them.
enum : uint8_t { kDirectionOut = 0, kDirectionIn = 1, kDirectionNone = 2 };

// An opened drive node; kInvalidHandle when none is open.
using DeviceHandle = std::intptr_t;
inline constexpr DeviceHandle kInvalidHandle = -1;

inline constexpr std::size_t kCdbLength = 12;
inline constexpr std::size_t kSenseCapacity = 32;
using Cdb = std::array<uint8_t, kCdbLength>;
using SenseBytes = std::array<uint8_t, kSenseCapacity>;

// One command as the transport hands it to the platform.
struct ScsiRequest {
  Cdb cdb{};
  uint8_t direction = kDirectionNone;  // kDirectionOut / kDirectionIn / kDirectionNone
  uint8_t* buffer = nullptr;           // null for no data phase or length 0
  uint32_t length = 0;                 // bytes asked to move
  uint32_t timeoutSeconds = 0;
  // Address fields the Win32 pass-through request carries (PathId, TargetId): the low bytes of the
  // current host adapter and target. Linux ignores them; the open node is the address.
  uint8_t pathId = 0;
  uint8_t targetId = 0;
};

// What a pass-through call on an open node left behind.
struct PassThroughResult {
  bool callSucceeded = false;  // the platform call itself worked (DeviceIoControl TRUE, SG_IO ok)
  uint32_t transferred = 0;    // bytes the driver says it moved (length - residual)
  SenseBytes sense{};          // raw sense bytes as the drive returned them, zero when none
  uint8_t senseLength = 0;     // bytes of sense written
  int osError = 0;             // errno / GetLastError when the call failed (for diagnostics)
  bool timedOut = false;       // the platform gave up waiting for the drive (its own bound)
  bool refused = false;        // the system refused the command as not permitted; no drive saw it
  bool openReadOnly = false;   // the node carrying the command is open for reading only
};

// IOCTL_SCSI_GET_ADDRESS and its Linux equivalents.
struct ScsiAddressResult {
  enum class Outcome : uint8_t { Found, LengthZero, CallFailed } outcome = Outcome::CallFailed;
  uint8_t port = 0;
  uint8_t pathId = 0;
  uint8_t target = 0;
  uint8_t lun = 0;
};

// The drive-letter list (GetLogicalDriveStringsA). Empty: the list length was 0.
// AllocationFailed: the heap or the block could not be had.
struct DriveRootList {
  enum class Outcome : uint8_t { Ok, Empty, AllocationFailed } outcome = Outcome::Empty;
  std::vector<std::string> roots;  // in the system's order, without the terminating empty string
};

// ASPI status codes the logic tests.
inline constexpr uint8_t kSsPending = 0x00;
inline constexpr uint8_t kSsComp = 0x01;
inline constexpr uint8_t kSsOldManager = 0xE1;
inline constexpr uint8_t kSsIllegalMode = 0xE2;
inline constexpr uint8_t kSsNoAspi = 0xE3;
inline constexpr uint8_t kDeviceTypeCdrom = 5;

struct AspiHaInquiry {
  uint8_t srbStatus = kSsPending;
  uint8_t haCount = 0;
};

struct AspiDeviceType {
  uint8_t srbStatus = kSsPending;
  uint8_t deviceType = 0;
};

// What SRB_ExecSCSICmd left: the status and the sense area.
struct AspiExecResult {
  uint8_t srbStatus = kSsPending;
  SenseBytes senseArea{};
  bool timedOut = false;      // the manager gave up waiting for the drive
  bool refused = false;       // the system refused the command as not permitted
  bool openReadOnly = false;  // the node carrying the command is open for reading only
};

// A loaded ASPI-style manager. Destroying it frees the module.
class AspiManager {
 public:
  virtual ~AspiManager() = default;
  // GetASPI32SupportInfo: bits 15-8 status, bits 7-0 host adapter count.
  virtual uint32_t GetSupportInfo() = 0;
  virtual AspiHaInquiry HaInquiry(uint8_t hostAdapter) = 0;
  virtual AspiDeviceType GetDeviceType(uint8_t hostAdapter, uint8_t target, uint8_t lun) = 0;
  // Runs the command to completion (the platform waits for the manager's completion itself).
  virtual AspiExecResult Execute(uint8_t hostAdapter, uint8_t target, uint8_t lun,
                                 const ScsiRequest& request) = 0;
  // The device node behind an address, for people to read ("/dev/sg3"); empty when the manager
  // has no such name.
  virtual std::string NodeName(uint8_t /*hostAdapter*/, uint8_t /*target*/, uint8_t /*lun*/) const {
    return {};
  }
};

struct AspiLoadResult {
  enum class Outcome : uint8_t { Loaded, ModuleNotFound, NoSupportInfoEntry, NoSendCommandEntry };
  Outcome outcome = Outcome::ModuleNotFound;
  std::unique_ptr<AspiManager> manager;  // set only when Loaded
};

// The part of a run the commands belong to: building the device and listing the drives, or the
// check (and the queries) of the one drive selected afterwards.
enum class CommandPhase : uint8_t { StartUp, Check };

// A drive node that exists but could not be opened for lack of permission.
struct DeniedNode {
  std::string path;  // the device path as opened ("/dev/sr0")
  int osError = 0;   // errno / GetLastError of the refused open
  std::string hint;  // what would let this user open it, when the platform can tell
};

class Platform {
 public:
  virtual ~Platform() = default;

  // OSInfo: whether pass-through on the drives' own device nodes is available (NT family).
  virtual bool IsNtFamily() = 0;

  // High-resolution counter; frequency 0 means there is none.
  virtual int64_t CounterFrequency() = 0;
  virtual int64_t CounterNow() = 0;
  virtual void SleepMilliseconds(uint32_t ms) = 0;

  // Drive nodes ("drive letters").
  virtual DriveRootList ListDriveRoots() = 0;
  virtual bool IsCdromRoot(const std::string& root) = 0;
  virtual DeviceHandle OpenDevice(const std::string& root) = 0;
  virtual void CloseDevice(DeviceHandle handle) = 0;
  virtual ScsiAddressResult GetScsiAddress(DeviceHandle handle) = 0;
  virtual PassThroughResult PassThrough(DeviceHandle handle, const ScsiRequest& request) = 0;

  // The ASPI-style manager.
  virtual AspiLoadResult LoadAspi() = 0;

  // The nodes whose open was refused for lack of permission so far (for a hint to the user).
  virtual std::vector<DeniedNode> DeniedNodes() const { return {}; }
  // Notes on the pass-through paths themselves (a driver that is not loaded), for the same hint.
  virtual std::vector<std::string> PassThroughNotes() const { return {}; }

  // The address under which a drive found through the given device path ("/dev/sr1") is listed,
  // as GetScsiAddress would give it; CallFailed when the path names no drive node.
  virtual ScsiAddressResult NodeAddress(const std::string& devicePath) {
    (void)devicePath;
    return {};
  }

  // Which part of the run the next commands belong to. Recording and replaying platforms keep the
  // parts apart; the others ignore it.
  virtual void SetCommandPhase(CommandPhase phase) { (void)phase; }

  // A short description for diagnostics ("linux", "emulated").
  virtual std::string Name() const = 0;
};

}  // namespace kv
