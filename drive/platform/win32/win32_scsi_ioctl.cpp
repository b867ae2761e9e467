#include "drive/platform/win32/win32_scsi_ioctl.h"

#include <algorithm>
#include <cstring>

namespace kv::win32 {

namespace {
// Only the value TRUE counts: a driver returning another non-zero value has not succeeded.
constexpr BOOL kExactlyTrue = 1;
}  // namespace

DeviceIoControlCall SystemDeviceIoControl() {
  return [](HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
            LPDWORD returned, LPOVERLAPPED overlapped) {
    return ::DeviceIoControl(device, code, in, inSize, out, outSize, returned, overlapped);
  };
}

void FillPassThroughRequest(const ScsiRequest& request, PassThroughRequest& block) {
  std::memset(&block, 0, sizeof block);
  SCSI_PASS_THROUGH_DIRECT& sptd = block.sptd;
  sptd.Length = sizeof(SCSI_PASS_THROUGH_DIRECT);
  sptd.CdbLength = static_cast<UCHAR>(kCdbLength);
  sptd.SenseInfoLength = kSenseInfoLength;
  sptd.SenseInfoOffset = offsetof(PassThroughRequest, sense);
  // The direction codes are the driver's own: 0 out, 1 in, 2 unspecified.
  sptd.DataIn = request.direction;
  sptd.DataTransferLength = request.length;
  sptd.TimeOutValue = request.timeoutSeconds;
  sptd.DataBuffer = request.buffer;
  sptd.PathId = request.pathId;
  sptd.TargetId = request.targetId;
  sptd.Lun = 0;
  std::memcpy(sptd.Cdb, request.cdb.data(), kCdbLength);
}

PassThroughResult RunPassThrough(HANDLE handle, const ScsiRequest& request,
                                 PassThroughRequest& block, const DeviceIoControlCall& call) {
  FillPassThroughRequest(request, block);
  DWORD returned = 0;
  SetLastError(ERROR_SUCCESS);
  const BOOL rc = call(handle, kIoctlScsiPassThroughDirect, &block, sizeof block, &block,
                       sizeof block, &returned, nullptr);
  PassThroughResult result;
  result.callSucceeded = rc == kExactlyTrue;
  result.osError = result.callSucceeded ? 0 : static_cast<int>(GetLastError());
  result.transferred = block.sptd.DataTransferLength;
  std::memcpy(result.sense.data(), block.sense, std::min(sizeof block.sense, result.sense.size()));
  result.senseLength = kSenseInfoLength;
  return result;
}

ScsiAddressResult QueryScsiAddress(HANDLE handle, const DeviceIoControlCall& call) {
  SCSI_ADDRESS address{};
  static_assert(sizeof address == 8);
  DWORD returned = 0;
  ScsiAddressResult result;
  if (!call(handle, kIoctlScsiGetAddress, &address, sizeof address, &address, sizeof address,
            &returned, nullptr)) {
    result.outcome = ScsiAddressResult::Outcome::CallFailed;
    return result;
  }
  if (address.Length == 0) {
    result.outcome = ScsiAddressResult::Outcome::LengthZero;
    return result;
  }
  result.outcome = ScsiAddressResult::Outcome::Found;
  result.port = address.PortNumber;
  result.pathId = address.PathId;
  result.target = address.TargetId;
  result.lun = address.Lun;
  return result;
}

}  // namespace kv::win32
