// The emulated machine: drive roots, device handles, pass-through and the virtual clock.
#include "drive/platform/emulated/emulated_platform.h"

#include <algorithm>
#include <cerrno>

namespace kv::emu {

namespace {

constexpr int64_t kMicrosecondsPerMillisecond = 1000;

void FillSense(const Sense& sense, SenseBytes& out, uint8_t& length) {
  out.fill(0);
  out[0] = kFixedSenseResponseCode;
  out[kFixedSenseKeyOffset] = sense.key;
  out[kFixedSenseAdditionalLengthOffset] = kFixedSenseLength - 8;
  out[kFixedSenseAscOffset] = sense.asc;
  out[kFixedSenseAscqOffset] = sense.ascq;
  length = kFixedSenseLength;
}

}  // namespace

EmulatedPlatform::EmulatedPlatform() = default;
EmulatedPlatform::~EmulatedPlatform() = default;

int EmulatedPlatform::AddDrive(DriveProfile profile) {
  const int index = DriveCount();
  DriveSlot slot;
  slot.drive = std::make_unique<VirtualDrive>(std::move(profile));
  slot.drive->SetPhase(phase_);
  slot.attachment.address.target = static_cast<uint8_t>(index);
  slot.attachment.aspiTarget = static_cast<uint8_t>(index);
  drives_.push_back(std::move(slot));
  roots_.push_back({index, "", true});
  return index;
}

VirtualDrive& EmulatedPlatform::Drive(int index) {
  return *drives_.at(index).drive;
}

Attachment& EmulatedPlatform::AttachmentOf(int index) {
  return drives_.at(index).attachment;
}

void EmulatedPlatform::SetRoot(int index, const std::string& root) {
  AttachmentOf(index).root = root;
}
void EmulatedPlatform::SetListedAsRoot(int index, bool listed) {
  AttachmentOf(index).listedAsRoot = listed;
}
void EmulatedPlatform::SetCdromRoot(int index, bool cdrom) {
  AttachmentOf(index).cdromRoot = cdrom;
}
void EmulatedPlatform::SetOpenFails(int index, bool fails) {
  AttachmentOf(index).openFails = fails;
}

void EmulatedPlatform::SetScsiAddress(int index, uint8_t port, uint8_t pathId, uint8_t target,
                                      uint8_t lun) {
  Attachment& a = AttachmentOf(index);
  a.address = {ScsiAddressResult::Outcome::Found, port, pathId, target, lun};
  a.addressDefaulted = false;
}

void EmulatedPlatform::SetScsiAddressOutcome(int index, ScsiAddressResult::Outcome outcome) {
  AttachmentOf(index).address.outcome = outcome;
}

void EmulatedPlatform::SetAspiVisible(int index, bool visible) {
  AttachmentOf(index).aspiVisible = visible;
}

void EmulatedPlatform::SetAspiAddress(int index, uint8_t hostAdapter, uint8_t target, uint8_t lun) {
  Attachment& a = AttachmentOf(index);
  a.aspiHostAdapter = hostAdapter;
  a.aspiTarget = target;
  a.aspiLun = lun;
  a.aspiDefaulted = false;
}

void EmulatedPlatform::AddExtraRoot(const std::string& root, bool cdrom) {
  roots_.push_back({-1, root, cdrom});
}

void EmulatedPlatform::SetRootListOutcome(DriveRootList::Outcome outcome) {
  rootListOutcome_ = outcome;
}

void EmulatedPlatform::SetAspiSupportInfo(uint8_t status, uint8_t hostAdapterCount) {
  aspi_.supportStatus = status;
  aspi_.hostAdapterCount = hostAdapterCount;
}

void EmulatedPlatform::SetHaInquiryStatus(uint8_t hostAdapter, uint8_t status) {
  aspi_.haInquiryStatus[hostAdapter] = status;
}

int64_t EmulatedPlatform::CounterNow() {
  if (frequency_ <= 0) {
    return 0;
  }
  // Virtual microseconds expressed in the configured counter frequency.
  return static_cast<int64_t>(static_cast<long double>(nowUs_) * frequency_ / 1'000'000);
}

void EmulatedPlatform::SleepMilliseconds(uint32_t ms) {
  nowUs_ += static_cast<int64_t>(ms) * kMicrosecondsPerMillisecond;
  totalSleepMs_ += ms;
  ++sleepCount_;
}

std::string EmulatedPlatform::RootOf(int index) const {
  const Attachment& a = drives_.at(index).attachment;
  return a.root.empty() ? "sr" + std::to_string(index) : a.root;
}

int EmulatedPlatform::FindDriveByRoot(const std::string& root) const {
  for (int i = 0; i < DriveCount(); ++i) {
    if (RootOf(i) == root) {
      return i;
    }
  }
  return -1;
}

DriveRootList EmulatedPlatform::ListDriveRoots() {
  DriveRootList list;
  list.outcome = rootListOutcome_;
  if (rootListOutcome_ != DriveRootList::Outcome::Ok) {
    return list;
  }
  for (const RootEntry& entry : roots_) {
    if (entry.drive < 0) {
      list.roots.push_back(entry.root);
    } else if (drives_[entry.drive].attachment.listedAsRoot) {
      list.roots.push_back(RootOf(entry.drive));
    }
  }
  if (list.roots.empty()) {
    list.outcome = DriveRootList::Outcome::Empty;
  }
  return list;
}

bool EmulatedPlatform::IsCdromRoot(const std::string& root) {
  const int drive = FindDriveByRoot(root);
  if (drive >= 0) {
    return drives_[drive].attachment.cdromRoot;
  }
  for (const RootEntry& entry : roots_) {
    if (entry.drive < 0 && entry.root == root) {
      return entry.cdrom;
    }
  }
  return false;
}

DeviceHandle EmulatedPlatform::OpenDevice(const std::string& root) {
  const int drive = FindDriveByRoot(root);
  if (drive < 0 || drives_[drive].attachment.openFails) {
    deviceEvents_.push_back({DeviceEvent::Kind::OpenFailed, root, kInvalidHandle, drive});
    return kInvalidHandle;
  }
  const DeviceHandle handle = nextHandle_++;
  openHandles_[handle] = drive;
  deviceEvents_.push_back({DeviceEvent::Kind::Open, root, handle, drive});
  return handle;
}

void EmulatedPlatform::CloseDevice(DeviceHandle handle) {
  const auto it = openHandles_.find(handle);
  if (it == openHandles_.end()) {
    deviceEvents_.push_back({DeviceEvent::Kind::CloseUnknown, "", handle, -1});
    return;
  }
  deviceEvents_.push_back({DeviceEvent::Kind::Close, RootOf(it->second), handle, it->second});
  openHandles_.erase(it);
}

ScsiAddressResult EmulatedPlatform::GetScsiAddress(DeviceHandle handle) {
  const auto it = openHandles_.find(handle);
  if (it == openHandles_.end()) {
    return {ScsiAddressResult::Outcome::CallFailed, 0, 0, 0, 0};
  }
  ScsiAddressResult result = drives_[it->second].attachment.address;
  if (result.outcome != ScsiAddressResult::Outcome::Found) {
    result.port = result.pathId = result.target = result.lun = 0;
  }
  return result;
}

ScsiAddressResult EmulatedPlatform::NodeAddress(const std::string& devicePath) {
  const std::string folder = "/dev/";
  if (devicePath.compare(0, folder.size(), folder) != 0) {
    return {};
  }
  for (int i = 0; i < DriveCount(); ++i) {
    if (folder + RootOf(i) == devicePath &&
        drives_[i].attachment.address.outcome == ScsiAddressResult::Outcome::Found) {
      return drives_[i].attachment.address;
    }
  }
  return {};
}

DriveResponse EmulatedPlatform::RunCommand(int drive, const ScsiRequest& request,
                                           CommandPath path) {
  DriveResponse response = drives_[drive].drive->Execute(request);
  nowUs_ += static_cast<int64_t>(response.latencyMs) * kMicrosecondsPerMillisecond;
  if (response.outcome == DriveResponse::Outcome::TimedOut) {
    // Like the Linux platform, the wait for a drive that never answers ends at the bound.
    nowUs_ += int64_t{kEmulatedCommandBoundSeconds} * kMicrosecondsPerMillisecond * 1000;
  }
  CdbLogEntry entry;
  entry.cdb = request.cdb;
  entry.direction = request.direction;
  entry.length = request.length;
  entry.path = path;
  entry.drive = drive;
  entry.response = response;
  // Dropping the older half at once keeps the cost per command constant.
  if (cdbLog_.size() >= 2 * kCdbLogKept) {
    cdbLog_.erase(cdbLog_.begin(), cdbLog_.end() - static_cast<std::ptrdiff_t>(kCdbLogKept));
  }
  cdbLog_.push_back(entry);
  return response;
}

PassThroughResult EmulatedPlatform::PassThrough(DeviceHandle handle, const ScsiRequest& request) {
  PassThroughResult result;
  const auto it = openHandles_.find(handle);
  if (it == openHandles_.end()) {
    result.osError = EBADF;
    return result;
  }
  const DriveResponse response = RunCommand(it->second, request, CommandPath::PassThrough);
  switch (response.outcome) {
    case DriveResponse::Outcome::TransportFailure:
      result.osError = EIO;
      return result;
    case DriveResponse::Outcome::TimedOut:
      result.osError = ETIMEDOUT;
      result.timedOut = true;
      return result;
    case DriveResponse::Outcome::Refused:
      result.osError = EPERM;
      result.refused = true;
      return result;
    case DriveResponse::Outcome::CheckCondition:
      FillSense(response.sense, result.sense, result.senseLength);
      break;
    case DriveResponse::Outcome::Good:
      break;
  }
  result.callSucceeded = true;
  result.transferred = response.transferred;
  return result;
}

int EmulatedPlatform::FindDriveByAspiAddress(uint8_t ha, uint8_t target, uint8_t lun) const {
  for (int i = 0; i < DriveCount(); ++i) {
    const Attachment& a = drives_[i].attachment;
    if (a.aspiVisible && a.aspiHostAdapter == ha && a.aspiTarget == target && a.aspiLun == lun) {
      return i;
    }
  }
  return -1;
}

// The ASPI-style manager of the emulated machine. It lives no longer than its platform.
class EmulatedAspiManager : public AspiManager {
 public:
  explicit EmulatedAspiManager(EmulatedPlatform& platform) : platform_(platform) {
    ++platform_.liveAspiManagers_;
  }
  ~EmulatedAspiManager() override { --platform_.liveAspiManagers_; }

  uint32_t GetSupportInfo() override {
    const AspiSettings& s = platform_.aspi_;
    return (static_cast<uint32_t>(s.supportStatus) << 8) | s.hostAdapterCount;
  }

  AspiHaInquiry HaInquiry(uint8_t hostAdapter) override {
    const AspiSettings& s = platform_.aspi_;
    AspiHaInquiry result;
    const auto it = s.haInquiryStatus.find(hostAdapter);
    if (it != s.haInquiryStatus.end()) {
      result.srbStatus = it->second;
    } else {
      result.srbStatus = hostAdapter < s.hostAdapterCount ? kSsComp : kSsInvalidHa;
    }
    result.haCount = s.hostAdapterCount;
    return result;
  }

  AspiDeviceType GetDeviceType(uint8_t hostAdapter, uint8_t target, uint8_t lun) override {
    const AspiSettings& s = platform_.aspi_;
    if (hostAdapter >= s.hostAdapterCount) {
      return {kSsInvalidHa, 0};
    }
    const int drive = platform_.FindDriveByAspiAddress(hostAdapter, target, lun);
    if (drive >= 0) {
      return {kSsComp, platform_.Drive(drive).Profile().drive.inquiry.deviceType};
    }
    for (const auto& extra : s.extraDevices) {
      if (extra.hostAdapter == hostAdapter && extra.target == target && extra.lun == lun) {
        return {kSsComp, extra.deviceType};
      }
    }
    return {kSsNoDevice, 0};
  }

  AspiExecResult Execute(uint8_t hostAdapter, uint8_t target, uint8_t lun,
                         const ScsiRequest& request) override {
    AspiExecResult result;
    if (hostAdapter >= platform_.aspi_.hostAdapterCount) {
      result.srbStatus = kSsInvalidHa;
      return result;
    }
    const int drive = platform_.FindDriveByAspiAddress(hostAdapter, target, lun);
    if (drive < 0) {
      result.srbStatus = kSsNoDevice;
      return result;
    }
    const DriveResponse response = platform_.RunCommand(drive, request, CommandPath::Aspi);
    switch (response.outcome) {
      case DriveResponse::Outcome::Good:
        result.srbStatus = kSsComp;
        break;
      case DriveResponse::Outcome::CheckCondition: {
        uint8_t length = 0;
        FillSense(response.sense, result.senseArea, length);
        result.srbStatus = kSsErr;
        break;
      }
      case DriveResponse::Outcome::TransportFailure:
        result.srbStatus = kSsErr;
        break;
      case DriveResponse::Outcome::TimedOut:
        result.srbStatus = kSsErr;
        result.timedOut = true;
        break;
      case DriveResponse::Outcome::Refused:
        result.srbStatus = kSsErr;
        result.refused = true;
        break;
    }
    return result;
  }

 private:
  EmulatedPlatform& platform_;
};

void EmulatedPlatform::SetCommandPhase(CommandPhase phase) {
  phase_ = phase;
  for (DriveSlot& slot : drives_) {
    slot.drive->SetPhase(phase);
  }
}

AspiLoadResult EmulatedPlatform::LoadAspi() {
  ++aspiLoads_;
  AspiLoadResult result;
  result.outcome = aspi_.loadOutcome;
  if (result.outcome == AspiLoadResult::Outcome::Loaded) {
    result.manager = std::make_unique<EmulatedAspiManager>(*this);
  }
  return result;
}

}  // namespace kv::emu
