// One enumerated drive, as the device object keeps it in its table of 16 slots.
#pragma once

#include <cstdint>

#include "drive/drive_type.h"

namespace kv {

inline constexpr int kMaxDrives = 16;

struct DriveRecord {
  ::kv::DriveType DriveType = ::kv::DriveType::kUnknown;  // until classified
  const char* DriveTypeName = nullptr;                    // points into the drive type name table
  char DisplayName[32] = {};     // vendor (8) immediately followed by product (16)
  char Vendor[9] = {};           // INQUIRY bytes 8-15
  char Product[17] = {};         // INQUIRY bytes 16-31
  char Revision[5] = {};         // INQUIRY bytes 32-35
  char VendorSpecific[17] = {};  // INQUIRY bytes 36-51
  char RootPath[8] = {};         // drive node's short name; empty for an ASPI drive
  int16_t HostAdapter = 0;
  int16_t Target = 0;
  int16_t Lun = 0;
  int16_t PathId = 0;
  uint8_t Present = 0;
  uint8_t ViaAspi = 0;
  uint8_t CdWriter = 0;
};

}  // namespace kv
