#include "media/record_lines.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kv {
namespace {

std::string Field(const char* field, std::size_t width) {
  return std::string(field, strnlen(field, width));
}

bool AllZero(const void* p, std::size_t n) {
  const auto* b = static_cast<const unsigned char*>(p);
  for (std::size_t i = 0; i < n; ++i) {
    if (b[i] != 0) {
      return false;
    }
  }
  return true;
}

struct CdCase {
  const char* label;
  std::string line;
  bool accepted;
  const char* leadIn;
  const char* leadOut;
  std::string name;
};

class CdRecordLineTest : public ::testing::TestWithParam<CdCase> {};

TEST_P(CdRecordLineTest, FollowsAcceptanceRules) {
  const CdCase& c = GetParam();
  CdMediaRecord r;
  std::memset(&r, 0x55, sizeof r);
  ASSERT_EQ(ParseCdRecordLine(c.line, r), c.accepted);
  if (!c.accepted) {
    EXPECT_TRUE(AllZero(&r, sizeof r));
    return;
  }
  EXPECT_EQ(Field(r.LeadIn, 6), c.leadIn);
  EXPECT_EQ(r.LeadInZero, 0);
  EXPECT_EQ(Field(r.LeadOut, 6), c.leadOut);
  EXPECT_EQ(r.LeadOutZero, 0);
  EXPECT_EQ(Field(r.Name, 48), c.name);
  EXPECT_EQ(r.Name[47], 0);
}

const std::string k80Name = std::string(66, 'N');

INSTANTIATE_TEST_SUITE_P(
    Lines, CdRecordLineTest,
    ::testing::Values(
        CdCase{"Typical", "971510_795959=RiTEK Corporation", true, "971510", "795959",
               "RiTEK Corporation"},
        CdCase{"FifteenCharsOneCharName", "971510_795959=X", true, "971510", "795959", "X"},
        CdCase{"FourteenCharsSkipped", "971510_795959=", false, "", "", ""},
        CdCase{"UnderscoreWithoutEquals", "971510_795959xName", true, "971510", "795959", "Name"},
        CdCase{"EqualsWithoutUnderscore", "971510-795959=Name", true, "971510", "795959", "Name"},
        CdCase{"NeitherSeparator", "971510-795959-Name", false, "", "", ""},
        CdCase{"EarlierEqualsHidesPosition14", "97=510-795959=Name", false, "", "", ""},
        CdCase{"EarlierUnderscoreHidesPosition7", "9_1510_795959xName", false, "", "", ""},
        CdCase{"EarlierUnderscoreButEqualsAt14", "9_1510_795959=Name", true, "9_1510", "795959",
               "Name"},
        CdCase{"TimesNotCheckedHere", "abcdef_ghijkl=Name", true, "abcdef", "ghijkl", "Name"},
        CdCase{"EightyCharsKeeps47", "971510_795959=" + k80Name, true, "971510", "795959",
               std::string(47, 'N')},
        CdCase{"SixtyOneCharsKeeps47", "971510_795959=" + std::string(47, 'M'), true, "971510",
               "795959", std::string(47, 'M')},
        CdCase{"EmptyLine", "", false, "", "", ""}),
    [](const auto& info) { return std::string(info.param.label); });

struct DvdCase {
  const char* label;
  std::string line;
  DvdLineResult result;
  std::vector<uint8_t> id;
  std::string name;
  std::string error;
};

class DvdRecordLineTest : public ::testing::TestWithParam<DvdCase> {};

TEST_P(DvdRecordLineTest, FollowsAcceptanceRules) {
  const DvdCase& c = GetParam();
  DvdMediaRecord r;
  std::memset(&r, 0x55, sizeof r);
  std::string error;
  ASSERT_EQ(ParseDvdRecordLine(c.line, r, error), c.result);
  EXPECT_EQ(error, c.error);
  if (c.result != DvdLineResult::Record) {
    EXPECT_TRUE(AllZero(&r, sizeof r));
    return;
  }
  EXPECT_EQ(std::vector<uint8_t>(r.Identifier, r.Identifier + 12), c.id);
  EXPECT_EQ(Field(r.Name, 48), c.name);
  EXPECT_EQ(r.Name[47], 0);
}

const std::vector<uint8_t> kMcc = {0x4D, 0x43, 0x43, 0x20, 0x30, 0x33,
                                   0x52, 0x47, 0x32, 0x30, 0x00, 0xFF};

INSTANTIATE_TEST_SUITE_P(
    Lines, DvdRecordLineTest,
    ::testing::Values(
        DvdCase{"Typical", "4D43432030335247323000FF=Mitsubishi", DvdLineResult::Record, kMcc,
                "Mitsubishi", ""},
        DvdCase{"LowerCaseHex", "4d43432030335247323000ff=Mitsubishi", DvdLineResult::Record, kMcc,
                "Mitsubishi", ""},
        DvdCase{"TwentySixChars", "4D43432030335247323000FF=X", DvdLineResult::Record, kMcc, "X",
                ""},
        DvdCase{"TwentyFiveCharsSkipped",
                "4D43432030335247323000FF=",
                DvdLineResult::NotARecord,
                {},
                "",
                ""},
        DvdCase{"EqualsAt24Skipped",
                "4D4343203033524732300=F=Name",
                DvdLineResult::NotARecord,
                {},
                "",
                ""},
        DvdCase{"EqualsAt26Skipped",
                "4D4343203033524732300000F=Name",
                DvdLineResult::NotARecord,
                {},
                "",
                ""},
        DvdCase{"EightyCharsKeeps47", "4D43432030335247323000FF=" + std::string(55, 'N'),
                DvdLineResult::Record, kMcc, std::string(47, 'N'), ""},
        DvdCase{"BadPairNamed",
                "4D43432030335247G2300000=Name",
                DvdLineResult::ConversionError,
                {},
                "",
                "'0xG2' is not a valid integer value"},
        DvdCase{"BlankInPair",
                "4D 3432030335247323000FF=Name",
                DvdLineResult::ConversionError,
                {},
                "",
                "'0x 3' is not a valid integer value"},
        DvdCase{"SignInPair",
                "-14343203033524732300000=Name",
                DvdLineResult::ConversionError,
                {},
                "",
                "'0x-1' is not a valid integer value"},
        DvdCase{"BadPairNotLookedAtWhenNotARecord", "ZZ=", DvdLineResult::NotARecord, {}, "", ""}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace kv
