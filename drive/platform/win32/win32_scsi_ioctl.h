// SCSI pass-through and the SCSI address on an open drive-letter device ("\\.\E:"), each one
// DeviceIoControl call. The call is a parameter so that tests can stand in for the driver, whose
// success path Wine does not offer without a real drive.
#pragma once

#include <windows.h>
// windows.h first: the driver headers build on its types.
#include <ntddscsi.h>

#include <cstddef>
#include <cstdint>
#include <functional>

#include "drive/platform.h"

namespace kv::win32 {

inline constexpr DWORD kIoctlScsiPassThroughDirect = 0x4D014;
inline constexpr DWORD kIoctlScsiGetAddress = 0x41018;
static_assert(kIoctlScsiPassThroughDirect == IOCTL_SCSI_PASS_THROUGH_DIRECT);
static_assert(kIoctlScsiGetAddress == IOCTL_SCSI_GET_ADDRESS);

// The sense bytes the driver is asked for (SenseInfoLength); the buffer holds 32.
inline constexpr uint8_t kSenseInfoLength = 24;

// The pass-through request: the driver finds the sense buffer through SenseInfoOffset.
struct PassThroughRequest {
  SCSI_PASS_THROUGH_DIRECT sptd;
  ULONG filler;
  UCHAR sense[32];
};
// The layout drivers expect: 80 bytes with the sense at 48 in a 32-bit build, the program's own;
// a 64-bit build (used for tests under 64-bit Wine) has the structure's natural 64-bit layout.
struct PassThroughLayout {
  std::size_t structureSize, dataBuffer, senseInfoOffset, cdb, sense, requestSize;
};
inline constexpr PassThroughLayout kPassThroughLayout32{44, 20, 24, 28, 48, 80};
inline constexpr PassThroughLayout kPassThroughLayout64{56, 24, 32, 36, 60, 96};
inline constexpr PassThroughLayout kPassThroughLayout =
    sizeof(void*) == 4 ? kPassThroughLayout32 : kPassThroughLayout64;
static_assert(sizeof(SCSI_PASS_THROUGH_DIRECT) == kPassThroughLayout.structureSize);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, DataBuffer) == kPassThroughLayout.dataBuffer);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, SenseInfoOffset) ==
              kPassThroughLayout.senseInfoOffset);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, Cdb) == kPassThroughLayout.cdb);
static_assert(offsetof(PassThroughRequest, sense) == kPassThroughLayout.sense);
static_assert(sizeof(PassThroughRequest) == kPassThroughLayout.requestSize);

using DeviceIoControlCall =
    std::function<BOOL(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED)>;

// The system's own DeviceIoControl.
DeviceIoControlCall SystemDeviceIoControl();

// Clears and fills `block` from the request.
void FillPassThroughRequest(const ScsiRequest& request, PassThroughRequest& block);

// One IOCTL_SCSI_PASS_THROUGH_DIRECT with `block` (filled from request) as input and output. The
// call counts as succeeded only when it returned exactly TRUE; the bytes moved are what the driver
// left in DataTransferLength.
PassThroughResult RunPassThrough(HANDLE handle, const ScsiRequest& request,
                                 PassThroughRequest& block, const DeviceIoControlCall& call);

// IOCTL_SCSI_GET_ADDRESS: Found when the call succeeded with a Length other than 0.
ScsiAddressResult QueryScsiAddress(HANDLE handle, const DeviceIoControlCall& call);

}  // namespace kv::win32
