#include "drive/platform/win32/win32_platform.h"

#include "drive/platform/win32/win32_aspi_manager.h"
#include "drive/platform/win32/win32_drive_letters.h"

namespace kv::win32 {

namespace {

static_assert(sizeof(HANDLE) <= sizeof(DeviceHandle));

HANDLE ToHandle(DeviceHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

DeviceHandle FromHandle(HANDLE handle) {
  return reinterpret_cast<DeviceHandle>(handle);
}

}  // namespace

bool QueryNtFamily() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  static_assert(sizeof info == 148);
  // Deprecated in newer SDKs in favour of the version helpers, which the older systems lack.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const BOOL ok = GetVersionExA(&info);
#pragma GCC diagnostic pop
  return ok != FALSE && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

Win32Platform::Win32Platform(DeviceIoControlCall ioControl)
    : nt_(QueryNtFamily()), ioControl_(std::move(ioControl)) {}

Win32Platform::~Win32Platform() {
  for (const DeviceHandle handle : open_) {
    CloseHandle(ToHandle(handle));
  }
}

int64_t Win32Platform::CounterFrequency() {
  LARGE_INTEGER frequency{};
  return QueryPerformanceFrequency(&frequency) ? frequency.QuadPart : 0;
}

int64_t Win32Platform::CounterNow() {
  LARGE_INTEGER now{};
  return QueryPerformanceCounter(&now) ? now.QuadPart : 0;
}

void Win32Platform::SleepMilliseconds(uint32_t ms) {
  Sleep(ms);
}

DriveRootList Win32Platform::ListDriveRoots() {
  return ListLogicalDriveRoots();
}

bool Win32Platform::IsCdromRoot(const std::string& root) {
  return GetDriveTypeA(root.c_str()) == DRIVE_CDROM;
}

DeviceHandle Win32Platform::OpenDevice(const std::string& root) {
  const HANDLE device = OpenRootDevice(root);
  if (device == INVALID_HANDLE_VALUE || device == nullptr) {
    return kInvalidHandle;
  }
  open_.insert(FromHandle(device));
  return FromHandle(device);
}

void Win32Platform::CloseDevice(DeviceHandle handle) {
  if (open_.erase(handle) != 0) {
    CloseHandle(ToHandle(handle));
  }
}

ScsiAddressResult Win32Platform::GetScsiAddress(DeviceHandle handle) {
  if (open_.count(handle) == 0) {
    return ScsiAddressResult{};
  }
  return QueryScsiAddress(ToHandle(handle), ioControl_);
}

PassThroughResult Win32Platform::PassThrough(DeviceHandle handle, const ScsiRequest& request) {
  if (open_.count(handle) == 0) {
    PassThroughResult refused;
    refused.osError = ERROR_INVALID_HANDLE;
    return refused;
  }
  return RunPassThrough(ToHandle(handle), request, request_, ioControl_);
}

AspiLoadResult Win32Platform::LoadAspi() {
  return LoadSystemAspi();
}

std::unique_ptr<Platform> CreateWin32Platform() {
  return std::make_unique<Win32Platform>();
}

}  // namespace kv::win32
