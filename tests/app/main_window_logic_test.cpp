// The main window's decisions without a display: the writer filter and its slot table, the
// title, the size rule and the information text.
#include <gtest/gtest.h>
#include "support/text_field.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/core/main_window_logic.h"

namespace kv {
namespace {

DriveRecord Drive(DriveType type, uint8_t cdWriter, const char* name = "ORVELIX KV-DW1648A      ",
                  const char* revision = "1.04") {
  DriveRecord record;
  record.DriveType = type;
  record.CdWriter = cdWriter;
  test::CopyField(record.DisplayName, name);
  test::CopyField(record.Revision, revision);
  record.Present = 1;
  return record;
}

std::vector<const DriveRecord*> Pointers(const std::vector<DriveRecord>& records) {
  std::vector<const DriveRecord*> out;
  for (const DriveRecord& record : records) {
    out.push_back(&record);
  }
  return out;
}

struct FilterCase {
  const char* name;
  std::vector<DriveRecord> drives;
  std::vector<int32_t> expectedSlots;  // the leading slots; every later one must be -1
};

class WriterFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(WriterFilterTest, ListsWritersWithoutGaps) {
  const FilterCase& c = GetParam();
  const std::vector<const DriveRecord*> records = Pointers(c.drives);
  const DriveListing listing = ListWriters(records.data(), static_cast<int>(records.size()));
  ASSERT_EQ(listing.lines.size(), c.expectedSlots.size());
  for (std::size_t k = 0; k < listing.DriveIndex.size(); ++k) {
    const int32_t expected = k < c.expectedSlots.size() ? c.expectedSlots[k] : kFreeDriveSlot;
    EXPECT_EQ(listing.DriveIndex[k], expected) << "slot " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriterFilterTest,
    ::testing::Values(FilterCase{"ReaderThenWriter",
                                 {Drive(DriveType::kCdRom, 0), Drive(DriveType::kDvdMinusR, 1)},
                                 {1}},
                      FilterCase{"OnlyReaders",
                                 {Drive(DriveType::kUnknown, 0), Drive(DriveType::kCdRom, 0),
                                  Drive(DriveType::kDvdRom, 0)},
                                 {}},
                      FilterCase{"DvdReaderThatWritesCdR", {Drive(DriveType::kDvdRom, 1)}, {0}},
                      FilterCase{"CdRwWithoutFlag", {Drive(DriveType::kCdRw, 0)}, {0}},
                      FilterCase{"HighestTypeCode", {Drive(DriveType::kDvdDual, 0)}, {0}},
                      FilterCase{"WritersAroundReaders",
                                 {Drive(DriveType::kCombo, 1), Drive(DriveType::kCdRom, 0),
                                  Drive(DriveType::kDvdPlusR, 1), Drive(DriveType::kUnknown, 0),
                                  Drive(DriveType::kCdRw, 1)},
                                 {0, 2, 4}},
                      FilterCase{"NoDrives", {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriterFilter, MoreRecordsThanSlotsStopAtSixteen) {
  const std::vector<DriveRecord> drives(20, Drive(DriveType::kDvdMinusR, 1));
  const std::vector<const DriveRecord*> records = Pointers(drives);
  const DriveListing listing = ListWriters(records.data(), 20);
  ASSERT_EQ(listing.lines.size(), 16u);
  EXPECT_EQ(listing.DriveIndex[15], 15);
}

TEST(WriterFilter, NegativeCountAndNullRecordsListNothing) {
  const DriveRecord writer = Drive(DriveType::kDvdMinusR, 1);
  const DriveRecord* records[] = {nullptr, &writer};
  EXPECT_TRUE(ListWriters(records, -1).lines.empty());
  const DriveListing listing = ListWriters(records, 2);
  ASSERT_EQ(listing.lines.size(), 1u);
  EXPECT_EQ(listing.DriveIndex[0], 1);
}

TEST(WriterFilter, DriveWithoutIdentificationShowsBlankColumns) {
  const DriveRecord drive = Drive(DriveType::kDvdMinusR, 1, "", "");
  const DriveRecord* records[] = {&drive};
  const DriveListing listing = ListWriters(records, 1);
  ASSERT_EQ(listing.lines.size(), 1u);
  const std::string& line = listing.lines[0];
  // Everything after the address and the (empty) root column: 24 blanks, one, then 4 more.
  ASSERT_GE(line.size(), 29u);
  EXPECT_EQ(line.substr(line.size() - 29), std::string(29, ' '));
}

struct LineCase {
  int line;
  int lineCount;
  std::optional<int16_t> expected;
};

TEST(DriveForLine, RejectsEveryLineWithoutADrive) {
  std::array<int32_t, kDriveSlots> slots;
  slots.fill(kFreeDriveSlot);
  slots[0] = 3;
  slots[1] = 7;
  const LineCase cases[] = {
      {0, 2, 3},
      {1, 2, 7},
      {-1, 2, std::nullopt},
      {2, 2, std::nullopt},
      {1, 1, std::nullopt},
      {0, 0, std::nullopt},
      {16, 17, std::nullopt},
  };
  for (const LineCase& c : cases) {
    EXPECT_EQ(DriveForLine(slots, c.lineCount, c.line), c.expected)
        << "line " << c.line << " of " << c.lineCount;
  }
  slots[2] = kFreeDriveSlot;
  EXPECT_EQ(DriveForLine(slots, 3, 2), std::nullopt);
}

std::unique_ptr<PropertyBlock> BlockCopy() {
  auto block = std::make_unique<PropertyBlock>(Block());
  return block;
}

void SetField(char* field, std::size_t size, const std::string& text) {
  std::memset(field, 0, size);
  std::memcpy(field, text.data(), std::min(text.size(), size));
}

TEST(Title, NameAndVersion) {
  auto block = BlockCopy();
  SetField(block->Name, sizeof(block->Name), "Krell-Vane Media Check");
  SetField(block->Major, sizeof(block->Major), "3");
  SetField(block->Minor, sizeof(block->Minor), "1");
  SetField(block->Rev, sizeof(block->Rev), "7");
  EXPECT_EQ(FormatTitle(*block), "Krell-Vane Media Check v3.1.7");
  SetField(block->Name, sizeof(block->Name), "");
  EXPECT_EQ(FormatTitle(*block), " v3.1.7");
}

TEST(Title, FieldsWithoutTerminatorStopAtTheirWidth) {
  auto block = BlockCopy();
  std::memset(block->Name, 'N', sizeof(block->Name));
  std::memset(block->Major, '9', sizeof(block->Major));
  SetField(block->Minor, sizeof(block->Minor), "0");
  SetField(block->Rev, sizeof(block->Rev), "0");
  EXPECT_EQ(FormatTitle(*block), std::string(64, 'N') + " v9999.0.0");
}

TEST(SizeRule, KeepsTheDesignSizeUnlessAPositiveValueWasRead) {
  struct Case {
    bool read;
    int32_t stored;
    int expected;
  };
  const Case cases[] = {{true, 800, 800}, {true, 1, 1},      {true, 0, 485},
                        {true, -5, 485},  {false, 800, 485}, {false, 0, 485}};
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseDimension(c.read, c.stored, 485), c.expected) << c.read << " " << c.stored;
  }
}

TEST(InformationText, DefaultBlockStartsWithDateAndVersion) {
  auto block = BlockCopy();
  SetField(block->Date, sizeof(block->Date), "2004/02/19");
  SetField(block->Major, sizeof(block->Major), "3");
  SetField(block->Minor, sizeof(block->Minor), "1");
  SetField(block->Rev, sizeof(block->Rev), "7");
  SetField(block->Model, sizeof(block->Model), "KV-DW1648A");
  SetField(block->Remark, sizeof(block->Remark), "line one\nline two");
  EXPECT_EQ(ComposeInformationText(*block),
            "Release Date : 2004/02/19\n"
            "     Version : 3.1.7\n"
            "Drive Models : KV-DW1648A\n"
            "\n"
            "                            Remarks : \n"
            "line one\nline two");
}

TEST(InformationText, EmptyFieldsLeaveTheirPlacesEmpty) {
  auto block = std::make_unique<PropertyBlock>();
  EXPECT_EQ(ComposeInformationText(*block),
            "Release Date : \n     Version : ..\nDrive Models : \n\n"
            "                            Remarks : \n");
}

TEST(InformationText, LongestRemarkIsKeptWhole) {
  auto block = BlockCopy();
  std::memset(block->Remark, 0, sizeof(block->Remark));
  std::memset(block->Remark, 'r', 1023);
  const std::string text = ComposeInformationText(*block);
  EXPECT_EQ(text.substr(text.size() - 1023), std::string(1023, 'r'));
  // A remark that fills all 1024 bytes without a terminator stops at the field's end.
  std::memset(block->Remark, 'x', sizeof(block->Remark));
  const std::string full = ComposeInformationText(*block);
  EXPECT_EQ(full.substr(full.size() - 1025), "\n" + std::string(1024, 'x'));
}

}  // namespace
}  // namespace kv
