// The number and text handling of the report and the lookup, at their edges.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/core/manufacturer.h"
#include "app/core/report_format.h"

namespace kv {
namespace {

struct TimeCase {
  uint32_t time;
  int32_t minutes;
  int32_t seconds;
  int32_t frames;
  const char* text;
};

class CdTimeParsing : public ::testing::TestWithParam<TimeCase> {};

TEST_P(CdTimeParsing, PadsOnTheLeftAndCutsToSix) {
  const TimeCase& c = GetParam();
  report::CdTimeParts parts = report::ParseCdTime(c.time);
  EXPECT_EQ(parts.minutes, c.minutes);
  EXPECT_EQ(parts.seconds, c.seconds);
  EXPECT_EQ(parts.frames, c.frames);
  EXPECT_EQ(report::FormatCdTime(c.time), c.text);
}

INSTANTIATE_TEST_SUITE_P(Examples, CdTimeParsing,
                         ::testing::Values(TimeCase{972565, 97, 25, 65, "97:25:65"},
                                           TimeCase{5, 0, 0, 5, "00:00:05"},
                                           TimeCase{0, 0, 0, 0, "00:00:00"},
                                           TimeCase{1234567, 12, 34, 56, "12:34:56"},
                                           TimeCase{4294967295u, 42, 94, 96, "42:94:96"},
                                           TimeCase{12345, 1, 23, 45, "01:23:45"}));

TEST(ReportNumbers, CapacityAtTheEdges) {
  EXPECT_EQ(report::NominalSectors(report::CdTimeParts{79, 59, 74}), 359849);
  // Two-digit parts up to 99 never overflow; the largest block count still fits the line.
  EXPECT_EQ(report::NominalSectors(report::CdTimeParts{99, 99, 99}), 452874);
  EXPECT_EQ(report::Format(report::kDvdCapacityLine, report::BlocksToGigabytes(0xFFFFFFFFu)),
            "  Nominal Capacity = 8192.00GB");
}

TEST(ReportNumbers, FormatNeverOverflowsItsBuffer) {
  std::string longName(2000, 'x');
  std::string line = report::Format(report::kManufacturerLine, longName.c_str());
  EXPECT_EQ(line.rfind("Manufacturer Maybe = xxx", 0), 0u);
  EXPECT_LT(line.size(), 600u);
}

TEST(MakePrintable, ReplacesControlAndHighBytesInPlace) {
  char buffer[] = "\x01\x1F\x20~\x7F\x80\xC1\xFFZ";
  char* result = MakePrintable(buffer, 8);
  EXPECT_EQ(result, buffer);
  EXPECT_EQ(std::string(buffer), std::string(".. ~....Z"));
}

TEST(MakePrintable, ZeroBytesBecomeDotsAndCountBounds) {
  char buffer[6] = {'A', 0, 'B', 0, 0, 0};
  MakePrintable(buffer, 3);
  EXPECT_EQ(std::string(buffer, 6), std::string("A.B\0\0\0", 6));
  EXPECT_EQ(MakePrintable(nullptr, 4), nullptr);
}

struct NumberCase {
  const char* text;
  std::optional<int64_t> value;
};

class RecordNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(RecordNumber, StrictDecimal) {
  const NumberCase& c = GetParam();
  EXPECT_EQ(ParseRecordNumber(c.text, 64), c.value) << "'" << c.text << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RecordNumber,
    ::testing::Values(NumberCase{"972565", 972565}, NumberCase{"000123", 123}, NumberCase{"0", 0},
                      NumberCase{"+5", 5}, NumberCase{"-5", -5},
                      NumberCase{"9223372036854775807", INT64_MAX},
                      NumberCase{"-9223372036854775808", INT64_MIN},
                      NumberCase{"9223372036854775808", std::nullopt},
                      NumberCase{"-9223372036854775809", std::nullopt},
                      NumberCase{"", std::nullopt}, NumberCase{"-", std::nullopt},
                      NumberCase{"97A565", std::nullopt}, NumberCase{" 97256", std::nullopt},
                      NumberCase{"97256 ", std::nullopt}, NumberCase{"0x1F", std::nullopt},
                      NumberCase{"$1F", std::nullopt}, NumberCase{"12.5", std::nullopt}));

TEST(RecordNumberBound, StopsAtTheLengthWithoutATerminator) {
  const char unterminated[6] = {'9', '7', '2', '5', '6', '5'};
  EXPECT_EQ(ParseRecordNumber(unterminated, sizeof unterminated), 972565);
  EXPECT_EQ(ParseRecordNumber(unterminated, 2), 97);
  EXPECT_EQ(ParseRecordNumber(nullptr, 6), std::nullopt);
}

struct IdCase {
  const char* record;
  const char* disc;
  bool equal;
};

class DvdIdentifier : public ::testing::TestWithParam<IdCase> {};

TEST_P(DvdIdentifier, ElevenBytesLettersWithoutCase) {
  const IdCase& c = GetParam();
  uint8_t record[12] = {};
  uint8_t disc[12] = {};
  std::memcpy(record, c.record, std::strlen(c.record));
  std::memcpy(disc, c.disc, std::strlen(c.disc));
  EXPECT_EQ(IdentifierEquals(record, disc), c.equal) << c.record << " / " << c.disc;
}

INSTANTIATE_TEST_SUITE_P(Pairs, DvdIdentifier,
                         ::testing::Values(IdCase{"RICOHJPNR03", "RICOHJPNR03", true},
                                           IdCase{"ricohjpnr03", "RICOHJPNR03", true},
                                           IdCase{"RiCoHjPnR03", "rIcOhJpNr03", true},
                                           // The twelfth byte is not compared.
                                           IdCase{"RICOHJPNR03A", "RICOHJPNR03B", true},
                                           IdCase{"RICOHJPNR03", "RICOHJPNR04", false},
                                           // Only A to Z fold: '@' is not '`', '[' is not '{'.
                                           IdCase{"@[\\]^_RICOH", "`{|}~\x7FRICOH", false},
                                           // Zero bytes take part in the comparison.
                                           IdCase{"MCC", "MCC 01", false},
                                           // Bytes above 7Fh compare exactly.
                                           IdCase{"\xC1", "\xE1", false}));

TEST(DvdRecord, OnlyAllZeroRecordsCountAsEmpty) {
  DvdMediaRecord record{};
  EXPECT_TRUE(IsEmptyDvdRecord(record));
  record.Name[47] = 'x';
  EXPECT_FALSE(IsEmptyDvdRecord(record));
  record = DvdMediaRecord{};
  record.Identifier[11] = 1;
  EXPECT_FALSE(IsEmptyDvdRecord(record));
}

}  // namespace
}  // namespace kv
