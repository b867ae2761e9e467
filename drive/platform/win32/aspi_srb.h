// The request blocks of the ASPI for Win32 manager (WNASPI32), declared here because the compilers'
// headers carry none. The manager reads them byte for byte, so they are packed and their sizes and
// offsets checked. ASPI is a 32-bit interface: the layouts below are a 32-bit build's. A 64-bit build
// (tests under 64-bit Wine, with a manager built from this same header) has wider pointers and so
// the later offsets of the command block move.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace kv::win32 {

// SRB_Cmd codes.
enum class SrbCommand : uint8_t { HaInquiry = 0x00, GetDeviceType = 0x01, ExecScsiCommand = 0x02 };

// SRB_Flags bits of SC_EXEC_SCSI_CMD.
enum SrbFlag : uint8_t {
  kSrbDirIn = 0x08,
  kSrbDirOut = 0x10,
  kSrbEventNotify = 0x40,
};

// Status codes (SRB_Status and the results of the two entry points) beyond those of platform.h.
inline constexpr uint8_t kSsAborted = 0x02;
inline constexpr uint8_t kSsError = 0x04;
inline constexpr uint8_t kSsInvalidSrb = 0xE0;
inline constexpr uint8_t kSsNoAdapters = 0xE8;
inline constexpr uint8_t kSsNoDevice = 0x82;

// The sense bytes the program asks for (SRB_SenseLen); the area holds two more.
inline constexpr std::size_t kSrbSenseLength = 14;

#pragma pack(push, 1)

struct SrbHeader {
  uint8_t SRB_Cmd;
  uint8_t SRB_Status;
  uint8_t SRB_HaId;
  uint8_t SRB_Flags;
  uint32_t SRB_Hdr_Rsvd;
};

struct SrbHaInquiry {
  SrbHeader header;
  uint8_t HA_Count;
  uint8_t HA_SCSI_ID;
  uint8_t HA_ManagerId[16];
  uint8_t HA_Identifier[16];
  uint8_t HA_Unique[16];
  uint16_t HA_Rsvd1;
};

struct SrbGetDeviceType {
  SrbHeader header;
  uint8_t SRB_Target;
  uint8_t SRB_Lun;
  uint8_t SRB_DeviceType;
  uint8_t SRB_Rsvd1;
};

struct SrbExecScsiCmd {
  SrbHeader header;
  uint8_t SRB_Target;
  uint8_t SRB_Lun;
  uint16_t SRB_Rsvd1;
  uint32_t SRB_BufLen;
  uint8_t* SRB_BufPointer;
  uint8_t SRB_SenseLen;
  uint8_t SRB_CDBLen;
  uint8_t SRB_HaStat;
  uint8_t SRB_TargStat;
  void* SRB_PostProc;  // the event handle with kSrbEventNotify
  uint8_t SRB_Rsvd2[20];
  uint8_t CDBByte[16];
  uint8_t SenseArea[kSrbSenseLength + 2];
};

#pragma pack(pop)

static_assert(sizeof(SrbHeader) == 8);
static_assert(sizeof(SrbHaInquiry) == 60);
static_assert(offsetof(SrbHaInquiry, HA_Count) == 8);
static_assert(sizeof(SrbGetDeviceType) == 12);
static_assert(offsetof(SrbGetDeviceType, SRB_DeviceType) == 10);
static_assert(offsetof(SrbExecScsiCmd, SRB_BufLen) == 12);
static_assert(offsetof(SrbExecScsiCmd, SRB_BufPointer) == 16);

// The command block's pointer-dependent places, for a 32-bit and a 64-bit build.
struct SrbExecLayout {
  std::size_t senseLen, postProc, cdb, senseArea, size;
};
inline constexpr SrbExecLayout kSrbExecLayout32{20, 24, 0x30, 64, 80};
inline constexpr SrbExecLayout kSrbExecLayout64{24, 28, 56, 72, 88};
inline constexpr SrbExecLayout kSrbExecLayout =
    sizeof(void*) == 4 ? kSrbExecLayout32 : kSrbExecLayout64;
static_assert(sizeof(SrbExecScsiCmd) == kSrbExecLayout.size);
static_assert(offsetof(SrbExecScsiCmd, SRB_SenseLen) == kSrbExecLayout.senseLen);
static_assert(offsetof(SrbExecScsiCmd, SRB_PostProc) == kSrbExecLayout.postProc);
static_assert(offsetof(SrbExecScsiCmd, CDBByte) == kSrbExecLayout.cdb);
static_assert(offsetof(SrbExecScsiCmd, SenseArea) == kSrbExecLayout.senseArea);

// The two entry points; both are __cdecl. SendASPI32Command takes any of the blocks above.
using GetAspi32SupportInfoFn = DWORD(__cdecl*)();
using SendAspi32CommandFn = DWORD(__cdecl*)(void* srb);

inline constexpr const char* kAspiModuleName = "WNASPI32";
inline constexpr const char* kSupportInfoEntryName = "GetASPI32SupportInfo";
inline constexpr const char* kSendCommandEntryName = "SendASPI32Command";

}  // namespace kv::win32
