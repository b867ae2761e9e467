// A stand-in ASPI for Win32 manager (WNASPI32.dll) for the tests: it answers from the emulated
// machine's drives, so that the program's ASPI path runs end to end under Wine, whose own manager
// refuses every request.
//
// Environment:
//   KV_STANDIN_PROFILES    profile files separated by ';' (default: the built-in sample drives)
//   KV_STANDIN_COMPLETION  read at every command: "thread" (default): SC_EXEC_SCSI_CMD returns
//   SS_PENDING and a worker
//                          thread completes the request and signals its event;
//                          "immediate": completed before the call returns;
//                          "reject": refused at once with SS_INVALID_SRB, SRB_Status left pending.
#include <windows.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "drive/platform.h"
#include "drive/platform/emulated/emulated_platform.h"
#include "drive/platform/win32/aspi_srb.h"

namespace {

using namespace kv;
using namespace kv::win32;

enum class Completion { Thread, Immediate, Reject };

// The process's environment as the system keeps it: this module's C runtime has a copy of its own
// that the program's changes do not reach.
std::string Environment(const char* name) {
  char value[1024] = {};
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length == 0 || length >= sizeof value ? std::string() : std::string(value, length);
}

Completion CompletionMode() {
  const std::string mode = Environment("KV_STANDIN_COMPLETION");
  if (mode == "immediate") {
    return Completion::Immediate;
  }
  if (mode == "reject") {
    return Completion::Reject;
  }
  return Completion::Thread;
}

std::vector<std::string> ProfilePaths() {
  std::vector<std::string> paths;
  const std::string list = Environment("KV_STANDIN_PROFILES");
  std::size_t begin = 0;
  while (begin < list.size()) {
    std::size_t end = list.find(';', begin);
    if (end == std::string::npos) {
      end = list.size();
    }
    if (end > begin) {
      paths.push_back(list.substr(begin, end - begin));
    }
    begin = end + 1;
  }
  return paths;
}

struct StandIn {
  std::unique_ptr<emu::EmulatedPlatform> machine;
  std::unique_ptr<AspiManager> manager;
  std::thread worker;
};

// Made at the first call, not in DllMain, and never unloaded: the module pins itself so that a
// worker thread may still be returning through its code when the program frees the library.
StandIn& Instance() {
  static StandIn* instance = [] {
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(&Instance), &self);
    auto* made = new StandIn;
    std::string error;
    made->machine = emu::CreateEmulatedMachine(ProfilePaths(), error);
    if (made->machine != nullptr) {
      made->machine->SetAspiLoadOutcome(AspiLoadResult::Outcome::Loaded);
      made->manager = std::move(made->machine->LoadAspi().manager);
    }
    return made;
  }();
  return *instance;
}

std::mutex& CommandLock() {
  static std::mutex lock;
  return lock;
}

uint8_t Direction(uint8_t flags) {
  if ((flags & kSrbDirIn) != 0) {
    return kDirectionIn;
  }
  if ((flags & kSrbDirOut) != 0) {
    return kDirectionOut;
  }
  return kDirectionNone;
}

void RunExec(StandIn& standIn, SrbExecScsiCmd* srb) {
  ScsiRequest request;
  std::memcpy(request.cdb.data(), srb->CDBByte, kCdbLength);
  request.direction = Direction(srb->header.SRB_Flags);
  request.buffer = srb->SRB_BufPointer;
  request.length = srb->SRB_BufLen;
  AspiExecResult result;
  {
    const std::lock_guard<std::mutex> hold(CommandLock());
    result = standIn.manager->Execute(srb->header.SRB_HaId, srb->SRB_Target, srb->SRB_Lun, request);
  }
  const std::size_t senseBytes = std::min<std::size_t>(srb->SRB_SenseLen, sizeof srb->SenseArea);
  std::memcpy(srb->SenseArea, result.senseArea.data(), senseBytes);
  // The status last, as a manager does: the program reads it from another thread.
  std::atomic_thread_fence(std::memory_order_release);
  *static_cast<volatile uint8_t*>(&srb->header.SRB_Status) = result.srbStatus;
  if ((srb->header.SRB_Flags & kSrbEventNotify) != 0 && srb->SRB_PostProc != nullptr) {
    SetEvent(static_cast<HANDLE>(srb->SRB_PostProc));
  }
}

DWORD ExecCommand(StandIn& standIn, SrbExecScsiCmd* srb) {
  switch (CompletionMode()) {
    case Completion::Reject:
      return kSsInvalidSrb;
    case Completion::Immediate:
      RunExec(standIn, srb);
      return srb->header.SRB_Status;
    case Completion::Thread:
      break;
  }
  if (standIn.worker.joinable()) {
    standIn.worker.join();
  }
  srb->header.SRB_Status = kSsPending;
  standIn.worker = std::thread([&standIn, srb] { RunExec(standIn, srb); });
  return kSsPending;
}

}  // namespace

extern "C" __declspec(dllexport) DWORD __cdecl GetASPI32SupportInfo() {
  StandIn& standIn = Instance();
  if (standIn.manager == nullptr) {
    return DWORD{kSsNoAspi} << 8;
  }
  const std::lock_guard<std::mutex> hold(CommandLock());
  return standIn.manager->GetSupportInfo();
}

extern "C" __declspec(dllexport) DWORD __cdecl SendASPI32Command(void* block) {
  StandIn& standIn = Instance();
  auto* header = static_cast<SrbHeader*>(block);
  if (header == nullptr || standIn.manager == nullptr) {
    return kSsInvalidSrb;
  }
  switch (static_cast<SrbCommand>(header->SRB_Cmd)) {
    case SrbCommand::HaInquiry: {
      auto* srb = static_cast<SrbHaInquiry*>(block);
      const std::lock_guard<std::mutex> hold(CommandLock());
      const AspiHaInquiry answer = standIn.manager->HaInquiry(header->SRB_HaId);
      srb->HA_Count = answer.haCount;
      srb->HA_SCSI_ID = 7;
      std::memcpy(srb->HA_ManagerId, "ASPI for WIN32  ", sizeof srb->HA_ManagerId);
      header->SRB_Status = answer.srbStatus;
      return answer.srbStatus;
    }
    case SrbCommand::GetDeviceType: {
      auto* srb = static_cast<SrbGetDeviceType*>(block);
      const std::lock_guard<std::mutex> hold(CommandLock());
      const AspiDeviceType answer =
          standIn.manager->GetDeviceType(header->SRB_HaId, srb->SRB_Target, srb->SRB_Lun);
      srb->SRB_DeviceType = answer.deviceType;
      header->SRB_Status = answer.srbStatus;
      return answer.srbStatus;
    }
    case SrbCommand::ExecScsiCommand:
      return ExecCommand(standIn, static_cast<SrbExecScsiCmd*>(block));
  }
  header->SRB_Status = kSsInvalidSrb;
  return kSsInvalidSrb;
}
