// The DiscType and DriveType codes as reports and --json print them, and the families that the
// report and the manufacturer lookup branch on, over every value a code byte can hold.
#include <gtest/gtest.h>

#include "drive/atapi_device.h"
#include "drive/disc_type.h"
#include "drive/drive_type.h"

namespace kv {
namespace {

// The numbers are part of the --json output; this is the one place they are written down.
TEST(TypedCodes, NumbersStayAsPrinted) {
  const std::pair<DiscType, int> discs[] = {
      {DiscType::kNoMedia, 0},
      {DiscType::kUnknown, 1},
      {DiscType::kCdRom, 2},
      {DiscType::kCdr, 3},
      {DiscType::kCdrSub1, 4},
      {DiscType::kCdrAMinus, 5},
      {DiscType::kCdrAPlus, 6},
      {DiscType::kCdrBMinus, 7},
      {DiscType::kCdrBPlus, 8},
      {DiscType::kCdrCMinus, 9},
      {DiscType::kCdrCPlus, 10},
      {DiscType::kCdRwNormal, 11},
      {DiscType::kCdRwHighSpeed, 12},
      {DiscType::kCdRwUltraSpeed24, 13},
      {DiscType::kCdRwUltraSpeed32, 14},
      {DiscType::kDvdRom, 15},
      {DiscType::kDvdRam, 16},
      {DiscType::kDvdMinusR, 17},
      {DiscType::kDvdMinusRw, 18},
      {DiscType::kDvdPlusRw, 19},
      {DiscType::kDvdPlusR, 20},
  };
  for (const auto& [disc, number] : discs) {
    EXPECT_EQ(Code(disc), number) << AtapiDevice::DiscTypeName(disc);
  }
  EXPECT_EQ(Code(kLastDiscType), 20);
  const std::pair<DriveType, int> drives[] = {
      {DriveType::kUnknown, 0},
      {DriveType::kCdRom, 1},
      {DriveType::kDvdRom, 2},
      {DriveType::kCdRw, 3},
      {DriveType::kCombo, 4},
      {DriveType::kDvdMinusR, 5},
      {DriveType::kDvdPlusR, 6},
      {DriveType::kDvdPlusRw, 7},
      {DriveType::kDvdMinusRw, 8},
      {DriveType::kDvdPlusRPlusRw, 9},
      {DriveType::kDvdMinusRMinusRw, 10},
      {DriveType::kDvdDual, 11},
  };
  for (const auto& [drive, number] : drives) {
    EXPECT_EQ(Code(drive), number) << AtapiDevice::DriveTypeName(drive);
  }
  EXPECT_EQ(Code(kLastDriveType), 11);
}

// Each named code is in the family its name says; no code is in two DVD families or both a CD
// and a DVD; codes past the table read as DVDs of no sub-family, as the range tests always did.
TEST(TypedCodes, DiscFamiliesOverEveryByte) {
  for (int value = 0; value <= 255; ++value) {
    const auto disc = static_cast<DiscType>(value);
    const bool cd = IsCdFamily(disc);
    EXPECT_FALSE(cd && IsDvdFamily(disc)) << value;
    EXPECT_FALSE(IsDvdMinusFamily(disc) && IsDvdPlusFamily(disc)) << value;
    EXPECT_EQ(cd, disc == DiscType::kCdRom || IsCdRecordable(disc) || IsCdRewritable(disc))
        << value;
    EXPECT_EQ(IsDvdMinusFamily(disc) || IsDvdPlusFamily(disc),
              IsDvdFamily(disc) && disc <= kLastDiscType)
        << value;
  }
  EXPECT_FALSE(IsCdFamily(DiscType::kNoMedia));
  EXPECT_FALSE(IsCdFamily(DiscType::kUnknown));
  EXPECT_FALSE(IsDvdFamily(DiscType::kUnknown));
  EXPECT_TRUE(IsCdRecordable(DiscType::kCdr));
  EXPECT_TRUE(IsCdRecordable(DiscType::kCdrCPlus));
  EXPECT_FALSE(IsCdRecordable(DiscType::kCdRwNormal));
  EXPECT_TRUE(IsCdRewritable(DiscType::kCdRwUltraSpeed32));
  EXPECT_FALSE(IsCdRewritable(DiscType::kDvdRom));
  EXPECT_TRUE(IsDvdMinusFamily(DiscType::kDvdRom));
  EXPECT_TRUE(IsDvdMinusFamily(DiscType::kDvdMinusRw));
  EXPECT_FALSE(IsDvdMinusFamily(DiscType::kDvdPlusRw));
  EXPECT_TRUE(IsDvdPlusFamily(DiscType::kDvdPlusR));
}

TEST(TypedCodes, DriveRangesAtTheirBounds) {
  EXPECT_FALSE(IsCdRwOrAbove(DriveType::kDvdRom));
  EXPECT_TRUE(IsCdRwOrAbove(DriveType::kCdRw));
  EXPECT_FALSE(IsDvdWriter(DriveType::kCombo));
  EXPECT_TRUE(IsDvdWriter(DriveType::kDvdMinusR));
  EXPECT_TRUE(IsDvdWriter(DriveType::kDvdDual));
  for (int value = 0; value <= 255; ++value) {
    const auto drive = static_cast<DriveType>(value);
    EXPECT_TRUE(!IsDvdWriter(drive) || IsCdRwOrAbove(drive)) << value;
  }
}

}  // namespace
}  // namespace kv
