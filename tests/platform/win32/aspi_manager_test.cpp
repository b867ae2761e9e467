// The ASPI manager's completion rules against scripted entry points: the event, the polling
// fallback, completion before the call returns, and a manager that refuses a request at once.
// A wrong rule here hangs (the real time-out is 30 hours), which the test's time limit catches.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "drive/platform/win32/win32_aspi_manager.h"

namespace kv::win32 {
namespace {

constexpr uint32_t kThirtyHours = 108000;

ScsiRequest Request(uint8_t direction, uint8_t* buffer, uint32_t length) {
  ScsiRequest request;
  request.cdb = {0x43, 0x02, 0x04, 0, 0, 0, 0, 0, 0x1C, 0, 0, 0};
  request.direction = direction;
  request.buffer = buffer;
  request.length = length;
  request.timeoutSeconds = kThirtyHours;
  return request;
}

// The block as the manager received it, and how it answers.
struct ScriptedManager {
  enum class Mode {
    CompleteLater,
    StraySignalThenCompleteLater,
    CompleteAtOnce,
    RefuseLeavingPending,
    RefuseWithStatus
  };
  Mode mode = Mode::CompleteLater;
  uint8_t finalStatus = kSsComp;
  uint8_t senseKey = 0;
  SrbExecScsiCmd seen{};
  std::thread worker;
  int sends = 0;

  ~ScriptedManager() {
    if (worker.joinable()) {
      worker.join();
    }
  }

  void Finish(SrbExecScsiCmd* srb) {
    srb->SenseArea[0] = 0x70;
    srb->SenseArea[2] = senseKey;
    srb->SenseArea[12] = 0x30;
    *static_cast<volatile uint8_t*>(&srb->header.SRB_Status) = finalStatus;
    if ((srb->header.SRB_Flags & kSrbEventNotify) != 0) {
      SetEvent(static_cast<HANDLE>(srb->SRB_PostProc));
    }
  }

  AspiEntryPoints Entries() {
    return {[] { return DWORD{0x0101}; },
            [this](void* block) -> DWORD {
              ++sends;
              auto* srb = static_cast<SrbExecScsiCmd*>(block);
              seen = *srb;
              switch (mode) {
                case Mode::CompleteAtOnce:
                  Finish(srb);
                  return finalStatus;
                case Mode::RefuseLeavingPending:
                  return kSsInvalidSrb;
                case Mode::RefuseWithStatus:
                  srb->header.SRB_Status = kSsNoDevice;
                  return kSsNoDevice;
                case Mode::StraySignalThenCompleteLater:
                  // What a late signal for an earlier command's reused event handle looks like.
                  SetEvent(static_cast<HANDLE>(srb->SRB_PostProc));
                  break;
                case Mode::CompleteLater:
                  break;
              }
              worker = std::thread([this, srb] {
                Sleep(20);
                Finish(srb);
              });
              return kSsPending;
            }};
  }
};

HANDLE NoEvent() {
  return nullptr;
}

TEST(Win32AspiExecute, FillsTheRequestBlock) {
  struct Case {
    uint8_t direction;
    uint8_t flags;
  };
  for (const Case& c :
       {Case{kDirectionIn, kSrbDirIn}, Case{kDirectionOut, kSrbDirOut}, Case{kDirectionNone, 0}}) {
    ScriptedManager script;
    script.mode = ScriptedManager::Mode::CompleteAtOnce;
    Win32AspiManager manager(nullptr, script.Entries());
    uint8_t buffer[28] = {};
    const bool data = c.direction != kDirectionNone;
    manager.Execute(1, 2, 3, Request(c.direction, data ? buffer : nullptr, 28));
    const SrbExecScsiCmd& srb = script.seen;
    EXPECT_EQ(srb.header.SRB_Cmd, 0x02);
    EXPECT_EQ(srb.header.SRB_HaId, 1);
    EXPECT_EQ(srb.SRB_Target, 2);
    EXPECT_EQ(srb.SRB_Lun, 3);
    EXPECT_EQ(srb.header.SRB_Flags, c.flags | kSrbEventNotify);
    EXPECT_NE(srb.SRB_PostProc, nullptr);
    EXPECT_EQ(srb.SRB_BufLen, 28u) << "the length is carried even without a data phase";
    EXPECT_EQ(srb.SRB_BufPointer, data ? buffer : nullptr);
    EXPECT_EQ(srb.SRB_SenseLen, 14);
    EXPECT_EQ(srb.SRB_CDBLen, 12);
    EXPECT_EQ(srb.CDBByte[0], 0x43);
    EXPECT_EQ(srb.CDBByte[8], 0x1C);
  }
}

// A stray wake (the signal meant for an earlier command's event, whose handle this one reuses)
// must not be taken for the completion.
TEST(Win32AspiExecute, EventCompletion) {
  for (const auto mode : {ScriptedManager::Mode::CompleteLater,
                          ScriptedManager::Mode::StraySignalThenCompleteLater}) {
    ScriptedManager script;
    script.mode = mode;
    script.senseKey = 0x05;
    script.finalStatus = kSsError;
    Win32AspiManager manager(nullptr, script.Entries());
    const AspiExecResult result = manager.Execute(0, 1, 0, Request(kDirectionIn, nullptr, 0));
    EXPECT_EQ(result.srbStatus, kSsError);
    EXPECT_EQ(result.senseArea[2], 0x05);
    EXPECT_EQ(result.senseArea[12], 0x30);
  }
}

TEST(Win32AspiExecute, PollingWhenNoEventCanBeMade) {
  ScriptedManager script;
  Win32AspiManager manager(nullptr, script.Entries(), NoEvent);
  const AspiExecResult result = manager.Execute(0, 1, 0, Request(kDirectionNone, nullptr, 0));
  EXPECT_EQ(result.srbStatus, kSsComp);
  EXPECT_EQ(script.seen.header.SRB_Flags & kSrbEventNotify, 0);
  EXPECT_EQ(script.seen.SRB_PostProc, nullptr);
}

TEST(Win32AspiExecute, CompletedBeforeTheCallReturnsNeedsNoWait) {
  for (const auto& makeEvent :
       {CreateCompletionEvent(CreateSystemCompletionEvent), CreateCompletionEvent(NoEvent)}) {
    ScriptedManager script;
    script.mode = ScriptedManager::Mode::CompleteAtOnce;
    Win32AspiManager manager(nullptr, script.Entries(), makeEvent);
    EXPECT_EQ(manager.Execute(0, 1, 0, Request(kDirectionNone, nullptr, 0)).srbStatus, kSsComp);
  }
}

// Wine's manager returns SS_INVALID_SRB and never writes SRB_Status nor signals the event.
TEST(Win32AspiExecute, RefusedAtOnceEndsWithTheReturnedStatus) {
  for (const auto& makeEvent :
       {CreateCompletionEvent(CreateSystemCompletionEvent), CreateCompletionEvent(NoEvent)}) {
    ScriptedManager script;
    script.mode = ScriptedManager::Mode::RefuseLeavingPending;
    Win32AspiManager manager(nullptr, script.Entries(), makeEvent);
    const AspiExecResult result = manager.Execute(0, 1, 0, Request(kDirectionIn, nullptr, 0));
    EXPECT_EQ(result.srbStatus, kSsInvalidSrb);
    EXPECT_EQ(result.senseArea[2], 0);
  }
  ScriptedManager script;
  script.mode = ScriptedManager::Mode::RefuseWithStatus;
  Win32AspiManager manager(nullptr, script.Entries());
  EXPECT_EQ(manager.Execute(0, 9, 0, Request(kDirectionIn, nullptr, 0)).srbStatus, kSsNoDevice);
}

TEST(Win32AspiInquiries, StatusLeftPendingTakesTheReturnedReason) {
  int sends = 0;
  Win32AspiManager manager(nullptr, AspiEntryPoints{[] { return DWORD{0xE800}; },
                                                    [&sends](void*) -> DWORD {
                                                      ++sends;
                                                      return kSsInvalidSrb;
                                                    }});
  EXPECT_EQ(manager.HaInquiry(0).srbStatus, kSsInvalidSrb);
  EXPECT_EQ(manager.GetDeviceType(0, 1, 0).srbStatus, kSsInvalidSrb);
  EXPECT_EQ(sends, 2);
}

TEST(Win32AspiInquiries, BlocksCarryTheAddress) {
  SrbGetDeviceType seen{};
  Win32AspiManager manager(nullptr, AspiEntryPoints{[] { return DWORD{0x0101}; },
                                                    [&seen](void* block) -> DWORD {
                                                      auto* srb =
                                                          static_cast<SrbGetDeviceType*>(block);
                                                      seen = *srb;
                                                      srb->header.SRB_Status = kSsComp;
                                                      srb->SRB_DeviceType = 5;
                                                      return kSsComp;
                                                    }});
  const AspiDeviceType type = manager.GetDeviceType(2, 15, 7);
  EXPECT_EQ(type.srbStatus, kSsComp);
  EXPECT_EQ(type.deviceType, 5);
  EXPECT_EQ(seen.header.SRB_Cmd, 0x01);
  EXPECT_EQ(seen.header.SRB_HaId, 2);
  EXPECT_EQ(seen.SRB_Target, 15);
  EXPECT_EQ(seen.SRB_Lun, 7);
}

}  // namespace
}  // namespace kv::win32
