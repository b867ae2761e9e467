// ExecuteCommand over the two transports: pass-through on the open drive node, or the ASPI-style
// manager addressed by host adapter, target and lun. Both are judged by the same rules here.
#include <algorithm>
#include <cstring>

#include "drive/atapi_device.h"
#include "drive/sense.h"

namespace kv {

namespace {

// The ASPI request asks the manager for 14 sense bytes (SRB_SenseLen).
constexpr std::size_t kAspiSenseLength = 14;

}  // namespace

bool AtapiDevice::SelectedDriveHung() const {
  return CurrentDrive >= 0 && CurrentDrive < kMaxDrives && hung_[CurrentDrive];
}

uint8_t AtapiDevice::ExecuteCommand(const uint8_t* cdb, uint8_t direction, uint32_t length) {
  const bool passThrough = osInfo_->IsNT() && !UseAspi;
  lastReachedTransport_ = false;
  if (cdb == nullptr) {
    return 0;
  }
  if (passThrough) {
    if (DeviceHandle_ == kInvalidHandle) {
      return 0;
    }
  } else if (CurrentAddress.HostAdapter == -1 || CurrentAddress.Target == -1 || !aspi_) {
    return 0;
  }

  ScsiRequest request;
  std::memcpy(request.cdb.data(), cdb, kCdbLength);
  request.direction = direction;
  request.length = length;
  request.timeoutSeconds = CommandTimeout;
  request.pathId = static_cast<uint8_t>(CurrentAddress.HostAdapter & 0xFF);
  request.targetId = static_cast<uint8_t>(CurrentAddress.Target & 0xFF);
  if (length != 0 && direction != kDirectionNone) {
    request.buffer = direction == kDirectionOut ? ParameterBuffer.get() : DataBuffer.get();
    if (request.buffer == nullptr) {
      return 0;
    }
    // The platform is never asked to move more than the buffer holds; a 16-bit allocation field
    // cannot ask the drive for more than that anyway.
    request.length = std::min<uint32_t>(length, kBufferSize);
  }

  CommandRecord record;
  record.CdbBytes = request.cdb;
  if (SelectedDriveHung()) {
    // A drive that let a command run out its bound is not asked again: each further command
    // would hold the process for the whole bound once more.
    record.Status = kStatusFailed;
    record.TimedOut = 1;
    LastCommand_ = record;
    return 0;
  }
  bool callSucceeded = false;
  bool platformTimedOut = false;
  bool refused = false;
  bool openReadOnly = false;
  uint32_t transferred = 0;
  SenseFields sense;

  CommandTimer->Start(true);
  if (passThrough) {
    const PassThroughResult result = platform_.PassThrough(DeviceHandle_, request);
    CommandTimer->Stop();
    callSucceeded = result.callSucceeded;
    platformTimedOut = result.timedOut;
    refused = result.refused;
    openReadOnly = result.openReadOnly;
    // The platform's count is not trusted beyond what was asked for.
    transferred = std::min(result.transferred, request.length);
    sense = DecodeSense(result.sense, result.senseLength);
  } else {
    const AspiExecResult result =
        aspi_->Execute(static_cast<uint8_t>(CurrentAddress.HostAdapter & 0xFF),
                       static_cast<uint8_t>(CurrentAddress.Target & 0xFF),
                       static_cast<uint8_t>(CurrentAddress.Lun & 0xFF), request);
    CommandTimer->Stop();
    callSucceeded = result.srbStatus == kSsComp;
    platformTimedOut = result.timedOut;
    refused = result.refused;
    openReadOnly = result.openReadOnly;
    // The manager does not say how much moved; the requested length stands for it.
    transferred = request.length;
    sense = DecodeSense(result.senseArea, kAspiSenseLength);
  }

  record.Elapsed = CommandTimer->TotalSeconds();
  // The platform may bound a command more tightly than CommandTimeout (a hung drive must not hold
  // the process for hours); giving up there is the same timed-out failure.
  record.TimedOut =
      (platformTimedOut || record.Elapsed > static_cast<double>(CommandTimeout)) ? 1 : 0;
  record.SenseKey = sense.key;
  record.Asc = sense.asc;
  record.Ascq = sense.ascq;

  const bool good = callSucceeded && sense.key == 0 && record.TimedOut == 0;
  if (good) {
    record.Status = kStatusGood;
    record.Transferred = transferred;
  } else {
    record.Transferred = 0;
    // Pass-through judges by the platform call, ASPI by the sense key.
    const bool failed = passThrough ? !callSucceeded : sense.key == 0;
    record.Status = (failed || record.TimedOut != 0) ? kStatusFailed : kStatusCheckCondition;
  }
  if (record.TimedOut != 0 && CurrentDrive >= 0 && CurrentDrive < kMaxDrives) {
    hung_[CurrentDrive] = true;
  }
  if (refused) {
    NoteRefused(RefusedCommand{request.cdb[0], openReadOnly});
  }
  LastCommand_ = record;
  lastReachedTransport_ = true;
  return good ? 1 : 0;
}

void AtapiDevice::NoteRefused(const RefusedCommand& command) {
  for (const RefusedCommand& known : refused_) {
    if (known.opcode == command.opcode) {
      return;
    }
  }
  refused_.push_back(command);
}

}  // namespace kv
