#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "media/builtin_cd_makers.h"
#include "media/builtin_dvd_makers.h"
#include "media/builtin_lookup.h"

namespace kv {
namespace {

constexpr uint32_t Msf(uint32_t m, uint32_t s, uint32_t f) {
  return m * 10000 + s * 100 + f;
}

TEST(BuiltinTablesTest, SizesAndStoredOrder) {
  ASSERT_EQ(std::size(BuiltinDvdMakers), 48u);
  ASSERT_EQ(std::size(BuiltinCdMakers), 129u);
  // Entries whose place decides a substring match, and spellings kept as they are.
  const struct {
    std::size_t index;
    const char* key;
    const char* name;
  } dvd[] = {
      {0, "AML", "AML Technology"},
      {5, "EDM", "E-Top Navigator Technology Inc."},
      {12, "LD", "Lead Data Inc."},
      {14, "LEAD", "Lead Data Inc."},
      {19, "MCI", "Nashua"},
      {20, "MCC", "Mitsubishi Chemical Corporation"},
      {35, "RICOH", "Ricoh Company Limited"},
      {45, "TY", "Taiyo Yuden Company Limited"},
      {47, "YUDEN", "Taiyo Yuden Company Limited"},
  };
  for (const auto& e : dvd) {
    EXPECT_STREQ(BuiltinDvdMakers[e.index].key, e.key) << e.index;
    EXPECT_STREQ(BuiltinDvdMakers[e.index].name, e.name) << e.index;
  }
  for (const BuiltinDvdMakerEntry& e : BuiltinDvdMakers) {
    EXPECT_STREQ(e.typeId, "") << e.key;
    for (const char* c = e.key; *c != '\0'; ++c) {
      EXPECT_FALSE(*c >= 'a' && *c <= 'z') << e.key;  // the substring pass relies on upper case
    }
  }
  const struct {
    std::size_t index;
    uint32_t key;
    const char* name;
  } cd[] = {
      {0, Msf(96, 43, 10), "CMC Magnetics Corporation"},
      {12, Msf(97, 16, 20), "SHENZHEN SG&SAST DIGITAL OPTICAL DISCS CO.,LTD."},
      {21, Msf(97, 21, 20), "E-Top Navigator Techonolgy Inc."},
      {71, Msf(97, 28, 20), "Multi Media Masters & Machinary SA"},
      {82, Msf(97, 30, 10), "CDA Datentrager Albrechts GmbH"},
      {127, Msf(97, 51, 50), "Hile Optical Disc Technology Corp."},
      {128, Msf(99, 59, 74), "Unknown Manufacturer"},
  };
  for (const auto& e : cd) {
    EXPECT_EQ(BuiltinCdMakers[e.index].key, e.key) << e.index;
    EXPECT_STREQ(BuiltinCdMakers[e.index].name, e.name) << e.index;
  }
  for (std::size_t i = 1; i < std::size(BuiltinCdMakers); ++i) {
    EXPECT_LT(BuiltinCdMakers[i - 1].key, BuiltinCdMakers[i].key) << i;
  }
}

struct CdLookupCase {
  uint32_t leadIn;
  const char* name;
};

class CdRangeTest : public ::testing::TestWithParam<CdLookupCase> {};

TEST_P(CdRangeTest, LeadInFallsInTheRightRange) {
  EXPECT_STREQ(MatchBuiltinCdMaker(GetParam().leadIn), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, CdRangeTest,
    ::testing::Values(CdLookupCase{Msf(97, 15, 0), "TDK Corporation"},
                      CdLookupCase{Msf(97, 15, 9), "TDK Corporation"},
                      CdLookupCase{Msf(97, 15, 10), "RiTEK Corporation"},
                      CdLookupCase{Msf(97, 25, 0), "TDK Corporation"},
                      CdLookupCase{Msf(97, 25, 1), "MPO"}, CdLookupCase{Msf(97, 25, 19), "MPO"},
                      CdLookupCase{Msf(96, 43, 10), "CMC Magnetics Corporation"},
                      CdLookupCase{Msf(96, 43, 9), "Unknown Manufacturer"},
                      CdLookupCase{Msf(97, 51, 50), "Hile Optical Disc Technology Corp."},
                      CdLookupCase{Msf(98, 0, 0), "Hile Optical Disc Technology Corp."},
                      CdLookupCase{Msf(99, 59, 73), "Hile Optical Disc Technology Corp."},
                      CdLookupCase{Msf(99, 59, 74), "Unknown Manufacturer"},
                      CdLookupCase{0xFFFFFFFFu, "Unknown Manufacturer"},
                      CdLookupCase{0, "Unknown Manufacturer"}));

struct DvdLookupCase {
  const char* label;
  std::string identifier;
  bool exactPass;
  const char* name;  // null: no entry matches
};

class DvdPassTest : public ::testing::TestWithParam<DvdLookupCase> {};

TEST_P(DvdPassTest, FirstMatchingEntryWins) {
  const char* got = MatchBuiltinDvdMaker(GetParam().identifier.c_str(), GetParam().exactPass);
  if (GetParam().name == nullptr) {
    EXPECT_EQ(got, nullptr) << got;
  } else {
    EXPECT_STREQ(got, GetParam().name);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Passes, DvdPassTest,
    ::testing::Values(
        DvdLookupCase{"PlusExact", "MCC", true, "Mitsubishi Chemical Corporation"},
        DvdLookupCase{"PlusSubstring", "RICOHJPN", true, "Ricoh Company Limited"},
        DvdLookupCase{"PlusLowerCase", "ricohjpn", true, "Ricoh Company Limited"},
        DvdLookupCase{"MinusPaddedMcc", "MCC 01RG20  ", false, "Mitsubishi Chemical Corporation"},
        DvdLookupCase{"MinusTyBeforeLaterKeys", "TYG01", false, "Taiyo Yuden Company Limited"},
        // Exact beats an earlier key that merely occurs inside: LEAD holds LD (entry 13).
        DvdLookupCase{"ExactBeatsEarlierSubstring", "LEAD", true, "Lead Data Inc."},
        DvdLookupCase{"ExactIsCaseSensitive", "mcc", true, "Mitsubishi Chemical Corporation"},
        DvdLookupCase{"SubstringAnywhere", "XXMEI-1", false, "Panasonic"},
        DvdLookupCase{"EarliestKeyWins", "SONYCMC", false, "CMC Magnetics Corporation"},
        DvdLookupCase{"NoKeyInside", "ZZZ999", true, nullptr},
        DvdLookupCase{"EmptyIdentifier", "", true, nullptr},
        DvdLookupCase{"UpperHalfBytesKept", "\xe9\xe9", false, nullptr}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(DvdIdentifierTest, EndsAtItsFirstZeroByte) {
  const char identifier[] = {'Z', 'Z', '\0', 'M', 'C', 'C', '\0'};
  EXPECT_EQ(MatchBuiltinDvdMaker(identifier, true), nullptr);
  EXPECT_EQ(MatchBuiltinDvdMaker(nullptr, true), nullptr);
}

}  // namespace
}  // namespace kv
