#include "drive/platform/win32/win32_aspi_manager.h"

#include <cstring>

namespace kv::win32 {

namespace {

constexpr DWORD kMillisecondsPerSecond = 1000;
constexpr DWORD kStatusMask = 0xFF;

uint8_t StatusByte(DWORD value) {
  return static_cast<uint8_t>(value & kStatusMask);
}

uint8_t DirectionFlags(uint8_t direction) {
  switch (direction) {
    case kDirectionIn:
      return kSrbDirIn;
    case kDirectionOut:
      return kSrbDirOut;
    default:
      return 0;
  }
}

// Milliseconds of the wait for a completion; a time-out too long for a DWORD waits as long as one
// can short of INFINITE.
DWORD WaitMilliseconds(uint32_t timeoutSeconds) {
  const uint64_t ms = uint64_t{timeoutSeconds} * kMillisecondsPerSecond;
  return ms >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(ms);
}

// The inquiries complete before SendASPI32Command returns; a block whose status the manager left at
// pending was refused, for the reason the call returned.
uint8_t FinalStatus(uint8_t srbStatus, uint8_t sendResult) {
  return srbStatus == kSsPending ? sendResult : srbStatus;
}

}  // namespace

HANDLE CreateSystemCompletionEvent() {
  return CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

Win32AspiManager::Win32AspiManager(HMODULE module, AspiEntryPoints entries,
                                   CreateCompletionEvent createEvent)
    : module_(module), entries_(std::move(entries)), createEvent_(std::move(createEvent)) {}

Win32AspiManager::~Win32AspiManager() {
  if (module_ != nullptr) {
    FreeLibrary(module_);
  }
}

uint32_t Win32AspiManager::GetSupportInfo() {
  return entries_.getSupportInfo();
}

AspiHaInquiry Win32AspiManager::HaInquiry(uint8_t hostAdapter) {
  SrbHaInquiry srb{};
  srb.header.SRB_Cmd = static_cast<uint8_t>(SrbCommand::HaInquiry);
  srb.header.SRB_HaId = hostAdapter;
  const uint8_t sendResult = StatusByte(entries_.sendCommand(&srb));
  return AspiHaInquiry{FinalStatus(srb.header.SRB_Status, sendResult), srb.HA_Count};
}

AspiDeviceType Win32AspiManager::GetDeviceType(uint8_t hostAdapter, uint8_t target, uint8_t lun) {
  SrbGetDeviceType srb{};
  srb.header.SRB_Cmd = static_cast<uint8_t>(SrbCommand::GetDeviceType);
  srb.header.SRB_HaId = hostAdapter;
  srb.SRB_Target = target;
  srb.SRB_Lun = lun;
  const uint8_t sendResult = StatusByte(entries_.sendCommand(&srb));
  return AspiDeviceType{FinalStatus(srb.header.SRB_Status, sendResult), srb.SRB_DeviceType};
}

void Win32AspiManager::FillRequest(uint8_t hostAdapter, uint8_t target, uint8_t lun,
                                   const ScsiRequest& request) {
  std::memset(&exec_, 0, sizeof exec_);
  exec_.header.SRB_Cmd = static_cast<uint8_t>(SrbCommand::ExecScsiCommand);
  exec_.header.SRB_HaId = hostAdapter;
  exec_.header.SRB_Flags = DirectionFlags(request.direction);
  exec_.SRB_Target = target;
  exec_.SRB_Lun = lun;
  exec_.SRB_BufLen = request.length;
  exec_.SRB_BufPointer = request.buffer;
  exec_.SRB_SenseLen = kSrbSenseLength;
  exec_.SRB_CDBLen = static_cast<uint8_t>(kCdbLength);
  std::memcpy(exec_.CDBByte, request.cdb.data(), kCdbLength);
}

// The manager writes SRB_Status from its own thread while this one waits or polls.
uint8_t Win32AspiManager::ReadStatus() const {
  return *static_cast<const volatile uint8_t*>(&exec_.header.SRB_Status);
}

uint8_t Win32AspiManager::Complete(uint8_t sendResult, HANDLE event, uint32_t timeoutSeconds) {
  // Only a request the manager accepted (SS_PENDING returned) completes later. One it refused at
  // once may keep SRB_Status at pending (Wine's manager does): nothing will ever complete it, so
  // neither wait nor poll, and take the returned reason as its status.
  if (sendResult != kSsPending) {
    return FinalStatus(ReadStatus(), sendResult);
  }
  const DWORD started = GetTickCount();
  const DWORD limit = WaitMilliseconds(timeoutSeconds);
  if (event != nullptr) {
    // The manager writes the status before it signals, so an earlier command may have been seen
    // complete and its event closed before the signal came; the handle is then reused for this
    // command's event, which wakes with the status still pending. Such a stray wake is cleared and
    // the wait goes on for what is left of the time-out.
    while (ReadStatus() == kSsPending) {
      const DWORD elapsed = GetTickCount() - started;
      if (elapsed >= limit || WaitForSingleObject(event, limit - elapsed) != WAIT_OBJECT_0) {
        break;
      }
      if (ReadStatus() == kSsPending) {
        ResetEvent(event);
      }
    }
    return ReadStatus();
  }
  // No event: read the status until the manager changes it, bounded by the command's time-out.
  uint8_t status = ReadStatus();
  while (status == kSsPending && GetTickCount() - started <= limit) {
    status = ReadStatus();
  }
  return status;
}

AspiExecResult Win32AspiManager::Execute(uint8_t hostAdapter, uint8_t target, uint8_t lun,
                                         const ScsiRequest& request) {
  FillRequest(hostAdapter, target, lun, request);
  const HANDLE event = createEvent_();
  if (event != nullptr) {
    exec_.header.SRB_Flags |= kSrbEventNotify;
    exec_.SRB_PostProc = event;
  }
  const uint8_t sendResult = StatusByte(entries_.sendCommand(&exec_));
  AspiExecResult result;
  result.srbStatus = Complete(sendResult, event, request.timeoutSeconds);
  if (event != nullptr) {
    CloseHandle(event);
  }
  std::memcpy(result.senseArea.data(), exec_.SenseArea, sizeof exec_.SenseArea);
  return result;
}

AspiLoadResult LoadSystemAspi(CreateCompletionEvent createEvent) {
  AspiLoadResult result;
  const HMODULE module = LoadLibraryA(kAspiModuleName);
  if (module == nullptr) {
    result.outcome = AspiLoadResult::Outcome::ModuleNotFound;
    return result;
  }
  // GetProcAddress returns a generic function pointer; the entry points' real types are known.
  const auto supportInfo = reinterpret_cast<GetAspi32SupportInfoFn>(
      reinterpret_cast<void*>(GetProcAddress(module, kSupportInfoEntryName)));
  if (supportInfo == nullptr) {
    FreeLibrary(module);
    result.outcome = AspiLoadResult::Outcome::NoSupportInfoEntry;
    return result;
  }
  const auto sendCommand = reinterpret_cast<SendAspi32CommandFn>(
      reinterpret_cast<void*>(GetProcAddress(module, kSendCommandEntryName)));
  if (sendCommand == nullptr) {
    FreeLibrary(module);
    result.outcome = AspiLoadResult::Outcome::NoSendCommandEntry;
    return result;
  }
  result.outcome = AspiLoadResult::Outcome::Loaded;
  result.manager = std::make_unique<Win32AspiManager>(
      module,
      AspiEntryPoints{[supportInfo] { return supportInfo(); },
                      [sendCommand](void* srb) { return sendCommand(srb); }},
      std::move(createEvent));
  return result;
}

}  // namespace kv::win32
