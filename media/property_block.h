// The property block: the fixed-layout record carried byte for byte in the executable's
// initialised data. Editions of the program differ only in these bytes; the builder rewrites them
// in a copy of the executable file.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kv {

#pragma pack(push, 1)

struct CdMediaRecord {
  char LeadIn[6];  // decimal text, value minutes * 10000 + seconds * 100 + frames
  char LeadInZero;
  char LeadOut[6];
  char LeadOutZero;
  char Name[48];  // manufacturer, at most 47 characters
};

struct DvdMediaRecord {
  uint8_t Identifier[12];  // raw bytes; the lookup compares the first 11
  char Name[48];
};

inline constexpr int kMediaTableRecords = 500;

struct PropertyBlock {
  char Marker[12];
  char BuildMode[12];  // "BUILDMODE=" then the flag digit (offset 22) and a zero
  char Name[64];
  char Date[16];
  char Major[4];
  char Minor[4];
  char Rev[4];
  char Model[128];
  char Remark[1024];
  char Step1[64];
  char Step2[256];
  char Step3[64];
  char Copyright[64];
  CdMediaRecord CdTable[kMediaTableRecords];
  DvdMediaRecord DvdTable[kMediaTableRecords];
};

#pragma pack(pop)

static_assert(sizeof(CdMediaRecord) == 62);
static_assert(offsetof(CdMediaRecord, LeadOut) == 7);
static_assert(offsetof(CdMediaRecord, Name) == 14);
static_assert(sizeof(DvdMediaRecord) == 60);
static_assert(offsetof(DvdMediaRecord, Name) == 12);

// Field offsets within the block; the builder writes through these into a file image.
namespace block_offset {
inline constexpr std::size_t kMarker = 0;
inline constexpr std::size_t kBuildMode = 12;
inline constexpr std::size_t kBuildFlag = 22;
inline constexpr std::size_t kName = 24;
inline constexpr std::size_t kDate = 88;
inline constexpr std::size_t kMajor = 104;
inline constexpr std::size_t kMinor = 108;
inline constexpr std::size_t kRev = 112;
inline constexpr std::size_t kModel = 116;
inline constexpr std::size_t kRemark = 244;
inline constexpr std::size_t kStep1 = 1268;
inline constexpr std::size_t kStep2 = 1332;
inline constexpr std::size_t kStep3 = 1588;
inline constexpr std::size_t kCopyright = 1652;
inline constexpr std::size_t kCdTable = 1716;
inline constexpr std::size_t kDvdTable = 32716;
inline constexpr std::size_t kEnd = 62716;
}  // namespace block_offset

static_assert(offsetof(PropertyBlock, Marker) == block_offset::kMarker);
static_assert(offsetof(PropertyBlock, BuildMode) == block_offset::kBuildMode);
static_assert(offsetof(PropertyBlock, BuildMode) + 10 == block_offset::kBuildFlag);
static_assert(offsetof(PropertyBlock, Name) == block_offset::kName);
static_assert(offsetof(PropertyBlock, Date) == block_offset::kDate);
static_assert(offsetof(PropertyBlock, Major) == block_offset::kMajor);
static_assert(offsetof(PropertyBlock, Minor) == block_offset::kMinor);
static_assert(offsetof(PropertyBlock, Rev) == block_offset::kRev);
static_assert(offsetof(PropertyBlock, Model) == block_offset::kModel);
static_assert(offsetof(PropertyBlock, Remark) == block_offset::kRemark);
static_assert(offsetof(PropertyBlock, Step1) == block_offset::kStep1);
static_assert(offsetof(PropertyBlock, Step2) == block_offset::kStep2);
static_assert(offsetof(PropertyBlock, Step3) == block_offset::kStep3);
static_assert(offsetof(PropertyBlock, Copyright) == block_offset::kCopyright);
static_assert(offsetof(PropertyBlock, CdTable) == block_offset::kCdTable);
static_assert(offsetof(PropertyBlock, DvdTable) == block_offset::kDvdTable);
static_assert(sizeof(PropertyBlock) == block_offset::kEnd);

// The running program's block, read from memory at run time (never constant-folded), so that
// patching the bytes in the executable file changes what the program shows.
const PropertyBlock& Block();

// The flag digit at offset 22 is '1'.
bool IsBuildMode();

}  // namespace kv
