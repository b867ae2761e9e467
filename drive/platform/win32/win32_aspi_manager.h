// The ASPI for Win32 manager loaded from WNASPI32: host-adapter inquiry, device types, and SCSI
// commands completed through an event (or, when no event can be made, by polling SRB_Status).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "drive/platform.h"
#include "drive/platform/win32/aspi_srb.h"

namespace kv::win32 {

struct AspiEntryPoints {
  std::function<DWORD()> getSupportInfo;
  std::function<DWORD(void*)> sendCommand;
};

// Makes the completion event (manual reset, not signalled); null when it cannot be had.
using CreateCompletionEvent = std::function<HANDLE()>;
HANDLE CreateSystemCompletionEvent();

class Win32AspiManager : public AspiManager {
 public:
  // module: freed with the manager (may be null when the entry points come from elsewhere).
  Win32AspiManager(HMODULE module, AspiEntryPoints entries,
                   CreateCompletionEvent createEvent = CreateSystemCompletionEvent);
  ~Win32AspiManager() override;
  Win32AspiManager(const Win32AspiManager&) = delete;
  Win32AspiManager& operator=(const Win32AspiManager&) = delete;

  uint32_t GetSupportInfo() override;
  AspiHaInquiry HaInquiry(uint8_t hostAdapter) override;
  AspiDeviceType GetDeviceType(uint8_t hostAdapter, uint8_t target, uint8_t lun) override;
  AspiExecResult Execute(uint8_t hostAdapter, uint8_t target, uint8_t lun,
                         const ScsiRequest& request) override;

  // The request block of the last command, as the manager left it.
  const SrbExecScsiCmd& LastRequest() const { return exec_; }

 private:
  // Fills exec_ for one command (everything but the completion fields).
  void FillRequest(uint8_t hostAdapter, uint8_t target, uint8_t lun, const ScsiRequest& request);
  // The status the command ended with, given what SendASPI32Command returned.
  uint8_t Complete(uint8_t sendResult, HANDLE event, uint32_t timeoutSeconds);
  uint8_t ReadStatus() const;

  HMODULE module_;
  AspiEntryPoints entries_;
  CreateCompletionEvent createEvent_;
  SrbExecScsiCmd exec_{};
};

// LoadLibraryA("WNASPI32") and both entry points; the outcome names the first step that failed.
AspiLoadResult LoadSystemAspi(CreateCompletionEvent createEvent = CreateSystemCompletionEvent);

}  // namespace kv::win32
