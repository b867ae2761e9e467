// Manufacturer identification over the user lists, a test-only property block and the built-in
// tables, on emulated drives.
#include <gtest/gtest.h>
#include "support/text_field.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "app/core/builtin_manufacturer.h"
#include "app/core/manufacturer.h"
#include "drive/mmc.h"
#include "media_check_fixture.h"

namespace kv::testing {
namespace {

using mmc::kOpReadDvdStructure;
using mmc::kOpVendorMediaId;

void FillCd(CdMediaRecord& record, const char* leadIn, const char* leadOut, const char* name) {
  record = CdMediaRecord{};
  kv::test::CopyField(record.LeadIn, leadIn, sizeof record.LeadIn);
  kv::test::CopyField(record.LeadOut, leadOut, sizeof record.LeadOut);
  std::snprintf(record.Name, sizeof record.Name, "%s", name);
}

std::unique_ptr<CdMediaRecord> UserCd(const char* leadIn, const char* leadOut, const char* name) {
  auto record = std::make_unique<CdMediaRecord>();
  FillCd(*record, leadIn, leadOut, name);
  return record;
}

void FillDvd(DvdMediaRecord& record, const std::string& id, const char* name) {
  record = DvdMediaRecord{};
  std::memcpy(record.Identifier, id.data(), std::min(id.size(), sizeof record.Identifier));
  std::snprintf(record.Name, sizeof record.Name, "%s", name);
}

std::unique_ptr<DvdMediaRecord> UserDvd(const std::string& id, const char* name) {
  auto record = std::make_unique<DvdMediaRecord>();
  FillDvd(*record, id, name);
  return record;
}

// The block as it ships: every table record zero.
std::unique_ptr<PropertyBlock> EmptyBlock() {
  return std::make_unique<PropertyBlock>();
}

std::string NameOr(const char* name, const char* none = "(null)") {
  return name != nullptr ? std::string(name) : std::string(none);
}

class ManufacturerCd : public ::testing::Test {
 protected:
  ManufacturerCd() : drive_(WithDisc(DvdWriter(), BlankCdr())), block_(EmptyBlock()) {}

  std::string Find(int32_t leadIn, int32_t leadOut) {
    return NameOr(FindManufacturer(drive_.Device(), userCd_, userDvd_, DiscType::kCdrAPlus, leadIn,
                                   leadOut, *block_));
  }

  EmulatedDevice drive_;
  std::unique_ptr<PropertyBlock> block_;
  UserCdList userCd_;
  UserDvdList userDvd_;
};

TEST_F(ManufacturerCd, UserRecordNamesOnlyTheDiscWithBothTimes) {
  userCd_.push_back(UserCd("972565", "795974", "User Maker"));
  EXPECT_EQ(Find(972565, 795974), "User Maker");
  EXPECT_NE(Find(972565, 795900), "User Maker");
  EXPECT_NE(Find(972566, 795974), "User Maker");
}

TEST_F(ManufacturerCd, UserRecordTimesCompareAsNumbers) {
  userCd_.push_back(UserCd("000123", "000045", "Leading Zeros"));
  EXPECT_EQ(Find(123, 45), "Leading Zeros");
}

TEST_F(ManufacturerCd, UserRecordsThatDoNotConvertAreSkipped) {
  userCd_.push_back(UserCd("97A565", "795974", "Letters In Lead-In"));
  userCd_.push_back(UserCd("972565", "79597x", "Letter In Lead-Out"));
  userCd_.push_back(UserCd("", "795974", "Empty Lead-In"));
  userCd_.push_back(UserCd("972565", "795974", "Good Record"));
  EXPECT_EQ(Find(972565, 795974), "Good Record");
}

TEST_F(ManufacturerCd, UserListComesBeforeTheBlock) {
  FillCd(block_->CdTable[0], "972565", "795974", "Block Maker");
  userCd_.push_back(UserCd("972565", "795974", "User Maker"));
  EXPECT_EQ(Find(972565, 795974), "User Maker");
}

TEST_F(ManufacturerCd, BlockBothTimesPassRunsOverTheWholeTableFirst) {
  FillCd(block_->CdTable[0], "972565", "000000", "Lead-In Only");
  FillCd(block_->CdTable[1], "972565", "795974", "Both Times");
  EXPECT_EQ(Find(972565, 795974), "Both Times");
  // Another lead-out: the lead-in-only pass names it by the first record.
  EXPECT_EQ(Find(972565, 111111), "Lead-In Only");
}

TEST_F(ManufacturerCd, TheSameBlockRecordNamesBothDiscs) {
  FillCd(block_->CdTable[0], "972565", "795974", "Block Maker");
  EXPECT_EQ(Find(972565, 795974), "Block Maker");
  EXPECT_EQ(Find(972565, 795900), "Block Maker");
}

TEST_F(ManufacturerCd, UserListIsNotSearchedByLeadInAlone) {
  userCd_.push_back(UserCd("972565", "795974", "User Maker"));
  FillCd(block_->CdTable[0], "972565", "000001", "Block Lead-In");
  EXPECT_EQ(Find(972565, 795900), "Block Lead-In");
}

TEST_F(ManufacturerCd, AnEmptyRecordEndsBothPasses) {
  FillCd(block_->CdTable[0], "111111", "222222", "Zero");
  FillCd(block_->CdTable[1], "111112", "222222", "One");
  FillCd(block_->CdTable[2], "111113", "222222", "Two");
  // Record 3 stays empty; record 4 would match with both times and by lead-in.
  FillCd(block_->CdTable[4], "972565", "795974", "Behind The End");
  std::string name = Find(972565, 795974);
  EXPECT_NE(name, "Behind The End");
  EXPECT_EQ(name, NameOr(LookupBuiltinManufacturer(drive_.Device(), DiscType::kCdrAPlus)));
}

TEST_F(ManufacturerCd, BlockRecordsThatDoNotConvertAreSkippedInBothPasses) {
  FillCd(block_->CdTable[0], "97256x", "795974", "Bad Lead-In");
  FillCd(block_->CdTable[1], "972565", "+-", "Bad Lead-Out");
  FillCd(block_->CdTable[2], "972565", "795974", "Good");
  EXPECT_EQ(Find(972565, 795974), "Good");
  // The lead-in-only pass converts the lead-in alone: a bad lead-out no longer matters there.
  EXPECT_EQ(Find(972565, 111111), "Bad Lead-Out");
}

TEST_F(ManufacturerCd, UnterminatedLeadInTextRunsOnAndDoesNotMatch) {
  // A patched block whose lead-in zero byte is missing: the text runs into the lead-out.
  FillCd(block_->CdTable[0], "972565", "795974", "Unterminated");
  block_->CdTable[0].LeadInZero = '1';
  FillCd(block_->CdTable[1], "972565", "795974", "Terminated");
  EXPECT_EQ(Find(972565, 795974), "Terminated");
}

TEST_F(ManufacturerCd, FullTableWithoutEndMarkIsSearchedToTheLastRecord) {
  for (int i = 0; i < kMediaTableRecords; ++i) {
    FillCd(block_->CdTable[i], "100000", "200000", "Filler");
  }
  FillCd(block_->CdTable[kMediaTableRecords - 1], "972565", "795974", "Last");
  EXPECT_EQ(Find(972565, 795974), "Last");
}

TEST_F(ManufacturerCd, NothingFoundEndsInTheBuiltInTables) {
  drive_.Platform().ClearCdbLog();
  std::string name = Find(972565, 795974);
  EXPECT_EQ(name, NameOr(LookupBuiltinManufacturer(drive_.Device(), DiscType::kCdrAPlus)));
}

TEST(ManufacturerDiscTypeZero, ReturnsNullWithoutAnyCommand) {
  EmulatedDevice drive(WithDisc(DvdWriter(), BlankCdr()));
  UserCdList cd;
  cd.push_back(UserCd("000000", "000000", "Would Match Zero Times"));
  auto block = EmptyBlock();
  drive.Platform().ClearCdbLog();
  EXPECT_EQ(FindManufacturer(drive.Device(), cd, {}, DiscType::kNoMedia, 0, 0, *block), nullptr);
  EXPECT_TRUE(drive.Platform().CdbLog().empty());
}

class ManufacturerDvd : public ::testing::Test {
 protected:
  std::string Find(EmulatedDevice& drive, DiscType discType) {
    drive.Platform().ClearCdbLog();
    return NameOr(FindManufacturer(drive.Device(), {}, userDvd_, discType, 0, 0, *block_));
  }

  std::unique_ptr<PropertyBlock> block_ = EmptyBlock();
  UserDvdList userDvd_;
};

TEST_F(ManufacturerDvd, UserRecordMatchesWithoutLetterCase) {
  EmulatedDevice drive(WithDisc(DvdWriter(), DvdPlusR()));
  userDvd_.push_back(UserDvd("ricohjpnr03\x01", "User Ricoh"));
  EXPECT_EQ(Find(drive, DiscType::kDvdPlusR), "User Ricoh");
}

TEST_F(ManufacturerDvd, TwelfthByteIsNotCompared) {
  EmulatedDevice drive(WithDisc(DvdWriter(), DvdPlusR()));
  FillDvd(block_->DvdTable[7], "RICOHJPNR03Z", "Block Ricoh");
  EXPECT_EQ(Find(drive, DiscType::kDvdPlusR), "Block Ricoh");
}

TEST_F(ManufacturerDvd, EveryBlockRecordIsComparedPastEmptyOnes) {
  EmulatedDevice drive(WithDisc(DvdWriter(), DvdPlusR()));
  FillDvd(block_->DvdTable[kMediaTableRecords - 1], "RICOHJPNR03", "Last Record");
  EXPECT_EQ(Find(drive, DiscType::kDvdPlusR), "Last Record");
}

TEST_F(ManufacturerDvd, DvdWriterAsksTheVendorCommand) {
  emu::DriveProfile p = WithDisc(DvdWriter(), DvdPlusR());
  p.drive.vendorMediaId = true;
  EmulatedDevice drive(p);
  FillDvd(block_->DvdTable[0], "RICOHJPNR03", "Block Ricoh");
  EXPECT_EQ(Find(drive, DiscType::kDvdPlusR), "Block Ricoh");
  std::vector<uint8_t> ops = drive.Opcodes();
  EXPECT_NE(std::find(ops.begin(), ops.end(), kOpVendorMediaId), ops.end());
}

TEST_F(ManufacturerDvd, ComboDriveUsesThePhysicalFormatAlone) {
  emu::DriveProfile p = WithDisc(ComboDrive(), DvdPlusR());
  p.drive.vendorMediaId = true;
  EmulatedDevice drive(p);
  FillDvd(block_->DvdTable[0], "RICOHJPNR03", "Block Ricoh");
  EXPECT_EQ(Find(drive, DiscType::kDvdPlusR), "Block Ricoh");
  bool physicalFormat = false;
  for (const auto& entry : drive.Platform().CdbLog()) {
    EXPECT_NE(entry.cdb[0], kOpVendorMediaId);
    if (entry.cdb[0] == kOpReadDvdStructure && entry.cdb[7] == 0x00 && entry.cdb[9] == 36) {
      physicalFormat = true;
    }
  }
  EXPECT_TRUE(physicalFormat);
}

TEST_F(ManufacturerDvd, FailedVendorCommandFallsBackToThePhysicalFormat) {
  emu::DriveProfile p = WithDisc(DvdWriter(), DvdPlusR());
  p.drive.vendorMediaId = true;
  emu::Fault fault;
  fault.sense = emu::kSenseInvalidFieldInCdb;
  p.faults["DF"] = {fault};
  EmulatedDevice drive(p);
  FillDvd(block_->DvdTable[0], "RICOHJPNR03", "Block Ricoh");
  EXPECT_EQ(Find(drive, DiscType::kDvdPlusR), "Block Ricoh");
}

TEST_F(ManufacturerDvd, DvdMinusRJoinsThePrerecordedHalves) {
  EmulatedDevice drive(WithDisc(DvdWriter(), DvdMinusR()));
  userDvd_.push_back(UserDvd("mcc 01rg20 ?", "User MCC"));
  EXPECT_EQ(Find(drive, DiscType::kDvdMinusR), "User MCC");
  // The joined identifier sits at the start of the data buffer.
  EXPECT_EQ(std::memcmp(drive.Device().GetDataBuffer(), "MCC 01RG20  ", 12), 0);
  bool prerecorded = false;
  for (const auto& entry : drive.Platform().CdbLog()) {
    if (entry.cdb[0] == kOpReadDvdStructure && entry.cdb[7] == 0x0E && entry.cdb[9] == 50) {
      prerecorded = true;
    }
  }
  EXPECT_TRUE(prerecorded);
}

TEST_F(ManufacturerDvd, FailedIdentifierReadSkipsListsAndBlock) {
  emu::DriveProfile p = WithDisc(DvdWriter(), DvdMinusR());
  emu::Fault fault;
  fault.sense = emu::kSenseInvalidFieldInCdb;
  p.faults["AD/0E"] = {fault};
  EmulatedDevice drive(p);
  // A record of zero bytes with a name would match a stale zero identifier.
  userDvd_.push_back(UserDvd(std::string(12, '\0'), "Stale Match"));
  EXPECT_NE(Find(drive, DiscType::kDvdMinusR), "Stale Match");
}

TEST_F(ManufacturerDvd, NeverFilledBlockRecordsNameNoDisc) {
  emu::Disc disc = Dvd(9);  // DVD+RW with an empty identifier: eleven zero bytes
  EmulatedDevice drive(WithDisc(DvdWriter(), disc));
  const char* name = FindManufacturer(drive.Device(), {}, {}, DiscType::kDvdPlusRw, 0, 0, *block_);
  EXPECT_TRUE(name == nullptr || name[0] != '\0') << "an empty record's empty name";
  // A zero identifier with a name is a real record and still matches.
  FillDvd(block_->DvdTable[3], std::string(12, '\0'), "Named Zero");
  EXPECT_EQ(Find(drive, DiscType::kDvdPlusRw), "Named Zero");
}

TEST_F(ManufacturerDvd, UnknownIdentifierEndsInTheBuiltInLookup) {
  EmulatedDevice drive(WithDisc(DvdWriter(), DvdPlusR()));
  EXPECT_EQ(Find(drive, DiscType::kDvdPlusR), "Ricoh Company Limited");
}

TEST(ManufacturerBlockOverload, UsesTheProgramsBlock) {
  EmulatedDevice drive(WithDisc(DvdWriter(), BlankCdr()));
  UserCdList cd;
  cd.push_back(UserCd("972565", "795974", "User Maker"));
  EXPECT_EQ(NameOr(FindManufacturer(drive.Device(), cd, {}, DiscType::kCdrAPlus, 972565, 795974)),
            "User Maker");
}

}  // namespace
}  // namespace kv::testing
