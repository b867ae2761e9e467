// Loading drive profiles: good files, and bad input that must be refused with an error naming
// the source and the field.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "emu_test_util.h"

namespace kv::emu::test {
namespace {

struct BadProfile {
  const char* label;
  const char* json;
  const char* expectedField;  // must appear in the error
  const char* expectedWhat;
};

constexpr BadProfile kBadProfiles[] = {
    {"not_json", "{\"disc\": ", "not valid JSON", ""},
    {"top_level_array", "[1, 2]", "profile", "expected an object"},
    {"unknown_top_field", R"({"dsic": {"kind": "CD-R"}})", "'dsic'", "unknown field"},
    {"unknown_disc_kind", R"({"disc": {"kind": "BD-R"}})", "'disc.kind'",
     "unknown disc kind \"BD-R\""},
    {"missing_disc_kind", R"({"disc": {"blank": true}})", "'disc.kind'", "missing"},
    {"dvd_without_book_type", R"({"disc": {"kind": "DVD"}})", "'disc.dvd.bookType'", "missing"},
    {"dvd_facts_on_cd", R"({"disc": {"kind": "CD-R", "dvd": {"layers": 1}}})", "'disc.dvd'",
     "only a DVD"},
    {"number_beyond_double", R"({"drive": {"capabilities": {"maxReadSpeed": 1e400}}})",
     "not valid JSON", "1e400"},
    {"negative_beyond_double", R"({"disc": {"kind": "CD-R", "capacityBlocks": -1e999}})",
     "not valid JSON", ""},
    {"bad_hex_digit", R"({"raw": {"43/04": "00 1G"}})", "'raw.43/04'", "hex bytes"},
    {"odd_hex_digits", R"({"raw": {"12": "00 1"}})", "'raw.12'", "hex bytes"},
    {"split_hex_byte", R"({"raw": {"12": "0 01"}})", "'raw.12'", "hex bytes"},
    {"bad_raw_key", R"({"raw": {"READTOC": "00"}})", "'raw.READTOC'", "command key"},
    {"raw_not_text", R"({"raw": {"12": 5}})", "'raw.12'", "expected a text"},
    {"bad_msf_text", R"({"disc": {"kind": "CD-R", "atip": {"leadIn": "97:25"}}})",
     "'disc.atip.leadIn'", "mm:ss:ff"},
    {"msf_frames_75", R"({"disc": {"kind": "CD-R", "atip": {"leadOut": "79:59:75"}}})",
     "'disc.atip.leadOut'", "frames below 75"},
    {"msf_number_seconds_60", R"({"disc": {"kind": "CD-R", "atip": {"leadIn": 976000}}})",
     "'disc.atip.leadIn'", "mm:ss:ff"},
    {"sub_type_8", R"({"disc": {"kind": "CD-R", "atip": {"subType": 8}}})", "'disc.atip.subType'",
     "0 to 7"},
    {"vendor_too_long", R"({"drive": {"inquiry": {"vendor": "ORVELIXXX"}}})",
     "'drive.inquiry.vendor'", "longer than 8"},
    {"bool_as_number", R"({"drive": {"capabilities": {"cdrWrite": 1}}})",
     "'drive.capabilities.cdrWrite'", "true or false"},
    {"negative_speed", R"({"drive": {"capabilities": {"currentWriteSpeed": -1}}})",
     "'drive.capabilities.currentWriteSpeed'", "0 or more"},
    {"speed_above_16_bits", R"({"drive": {"capabilities": {"maxCdWriteSpeed": 70000}}})",
     "'drive.capabilities.maxCdWriteSpeed'", "above 65535"},
    {"profile_not_number", R"({"drive": {"profiles": ["0x1B", "DVD+R"]}})", "'drive.profiles[1]'",
     "expected a number"},
    {"sense_two_values", R"({"faults": {"00": {"sense": [2, 58]}}})", "'faults.00.sense'",
     "[key, asc, ascq]"},
    {"sense_key_zero", R"({"faults": {"00": {"sense": [0, 0, 0]}}})", "'faults.00.sense[0]'",
     "1 to 15"},
    {"unknown_fault_field", R"({"faults": {"AD/00": {"shrot": 3}}})", "'faults.AD/00.shrot'",
     "unknown field"},
    {"layers_zero", R"({"disc": {"kind": "DVD-R", "dvd": {"layers": 0}}})", "'disc.dvd.layers'",
     "1 to 4"},
    {"media_id_too_long", R"({"disc": {"kind": "DVD+R", "dvd": {"mediaId": "RICOHJPNX"}}})",
     "'disc.dvd.mediaId'", "longer than 8"},
    {"format_type_in_first",
     R"({"disc": {"kind": "DVD+R", "formatCapacities": [{"formatType": 38}]}})",
     "'disc.formatCapacities[0].formatType'", "unknown field"},
    {"too_many_profiles",
     R"({"drive": {"profiles": [1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,
         1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1]}})",
     "'drive.profiles'", "at most 63"},
    {"unknown_ready_field", R"({"becomingReady": {"polls": 3}})", "'becomingReady.polls'",
     "unknown field"},
};

class BadProfiles : public ::testing::TestWithParam<BadProfile> {};

TEST_P(BadProfiles, AreRefusedNamingSourceAndField) {
  const BadProfile& bad = GetParam();
  std::string error;
  const auto profile = ParseProfileText(bad.json, "broken.json", error);
  EXPECT_FALSE(profile.has_value());
  EXPECT_EQ(error.rfind("broken.json: ", 0), 0u) << error;
  EXPECT_NE(error.find(bad.expectedField), std::string::npos) << error;
  EXPECT_NE(error.find(bad.expectedWhat), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Table, BadProfiles, ::testing::ValuesIn(kBadProfiles),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(ProfileFiles, MissingFileNamesThePath) {
  std::string error;
  EXPECT_FALSE(LoadProfileFile("/nonexistent/drive.json", error).has_value());
  EXPECT_EQ(error, "/nonexistent/drive.json: cannot open the profile file");
}

// Only a regular file is a profile: a FIFO with no writer must not block, a device must not be
// read without end; both get the message of a file that cannot be opened.
TEST(ProfileFiles, FifoAndDeviceAreRefusedLikeAMissingFile) {
  const auto dir = std::filesystem::temp_directory_path() / "kv_emu_profiles_fifo";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string fifo = (dir / "drive.json").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo, std::string("/dev/zero"), dir.string()}) {
    std::string error;
    EXPECT_FALSE(LoadProfileFile(path, error).has_value()) << path;
    EXPECT_EQ(error, path + ": cannot open the profile file");
  }
  std::filesystem::remove_all(dir);
}

// An empty raw answer moves nothing: the drive must not copy from an empty answer's storage.
TEST(ProfileValues, EmptyRawAnswerMovesNoBytes) {
  VirtualDrive drive(ProfileFromJson(R"({"disc": {"kind": "CD-R"}, "raw": {"43/04": ""}})"));
  RunNone(drive, MakeCdb({0x00}));
  const InResult r = RunIn(drive, MakeCdb({0x43, 0x02, 0x04, 0, 0, 0, 0, 0x00, 0x20}), 32);
  EXPECT_EQ(r.response.outcome, DriveResponse::Outcome::Good);
  EXPECT_EQ(r.response.moved, 0u);
  EXPECT_EQ(r.buffer, std::vector<uint8_t>(32, 0xEE));
}

TEST(ProfileFiles, PlatformRefusesTheWholeListWhenOneFileIsBad) {
  const auto dir = std::filesystem::temp_directory_path() / "kv_emu_profiles";
  std::filesystem::create_directories(dir);
  const std::string good = (dir / "good.json").string();
  const std::string bad = (dir / "bad.json").string();
  std::ofstream(good) << R"({"disc": {"kind": "CD-R"}})";
  std::ofstream(bad) << R"({"disc": {"kind": "HD-DVD"}})";
  std::string error;
  EXPECT_NE(CreateEmulatedPlatform({good}, error), nullptr) << error;
  EXPECT_EQ(CreateEmulatedPlatform({good, bad}, error), nullptr);
  EXPECT_NE(error.find(bad), std::string::npos) << error;
  EXPECT_NE(error.find("disc.kind"), std::string::npos) << error;
  std::filesystem::remove_all(dir);
}

TEST(ProfileFiles, EverySampleFileLoads) {
  for (const auto& entry : std::filesystem::directory_iterator(KV_PROFILE_DIR)) {
    if (entry.path().extension() != ".json") {
      continue;
    }
    std::string error;
    EXPECT_TRUE(LoadProfileFile(entry.path().string(), error).has_value()) << error;
  }
}

TEST(ProfileDefaults, FollowTheDiscKind) {
  struct Case {
    const char* json;
    DiscKind kind;
    uint8_t bookType;
    bool blank;
    bool hasAtip;
    uint16_t currentProfile;
  };
  const Case cases[] = {
      {R"({"disc": {"kind": "none"}})", DiscKind::None, 0, false, false, 0x00},
      {R"({"disc": {"kind": "CD-ROM"}})", DiscKind::CdRom, 0, false, false, 0x08},
      {R"({"disc": {"kind": "CD-R"}})", DiscKind::CdR, 0, true, true, 0x09},
      {R"({"disc": {"kind": "CD-RW"}})", DiscKind::CdRw, 0, true, true, 0x0A},
      {R"({"disc": {"kind": "DVD-ROM"}})", DiscKind::Dvd, 0, false, false, 0x10},
      {R"({"disc": {"kind": "DVD-RAM"}})", DiscKind::Dvd, 1, true, false, 0x12},
      {R"({"disc": {"kind": "DVD-R"}})", DiscKind::Dvd, 2, true, false, 0x11},
      {R"({"disc": {"kind": "DVD-RW"}})", DiscKind::Dvd, 3, true, false, 0x13},
      {R"({"disc": {"kind": "DVD+RW"}})", DiscKind::Dvd, 9, true, false, 0x1A},
      {R"({"disc": {"kind": "DVD+R"}})", DiscKind::Dvd, 10, true, false, 0x1B},
      {R"({"disc": {"kind": "DVD", "dvd": {"bookType": 10}}})", DiscKind::Dvd, 10, true, false,
       0x1B},
      {R"({"disc": {"kind": "CD-R", "blank": false, "atip": {"present": false}}})", DiscKind::CdR,
       0, false, false, 0x09},
  };
  for (const Case& c : cases) {
    std::string error;
    const auto p = ParseProfileText(c.json, "t", error);
    ASSERT_TRUE(p) << c.json << ": " << error;
    EXPECT_EQ(p->disc.kind, c.kind) << c.json;
    EXPECT_EQ(p->disc.bookType, c.bookType) << c.json;
    EXPECT_EQ(p->disc.blank, c.blank) << c.json;
    EXPECT_EQ(p->disc.hasAtip, c.hasAtip) << c.json;
    EXPECT_EQ(DefaultCurrentProfile(p->disc), c.currentProfile) << c.json;
  }
}

TEST(ProfileValues, TimesAndHexParseAtTheirBounds) {
  struct MsfCase {
    nlohmann::json value;
    bool ok;
    MsfTime time;
  };
  const MsfCase msf[] = {
      {"97:25:65", true, {97, 25, 65}},
      {972565, true, {97, 25, 65}},
      {"00:00:00", true, {0, 0, 0}},
      {0, true, {0, 0, 0}},
      {"99:59:74", true, {99, 59, 74}},
      {995974, true, {99, 59, 74}},
      {"99:60:00", false, {}},
      {1000000, false, {}},
      {"9:25:65", false, {}},
      {"97-25-65", false, {}},
      {-972565, false, {}},
      {97.5, false, {}},
      {"ab:cd:ef", false, {}},
  };
  for (const MsfCase& c : msf) {
    const auto t = ParseMsf(c.value);
    EXPECT_EQ(t.has_value(), c.ok) << c.value.dump();
    if (t && c.ok) {
      EXPECT_EQ(*t, c.time) << c.value.dump();
    }
  }
  EXPECT_EQ(ParseHexBytes(""), std::vector<uint8_t>{});
  EXPECT_EQ(ParseHexBytes("00 1a\tFF\n0b"), (std::vector<uint8_t>{0x00, 0x1A, 0xFF, 0x0B}));
  EXPECT_EQ(ParseHexBytes("001aff"), (std::vector<uint8_t>{0x00, 0x1A, 0xFF}));
  EXPECT_FALSE(ParseHexBytes("0x1A"));
  EXPECT_FALSE(ParseHexBytes("1"));
  EXPECT_EQ(MsfToLba({79, 59, 74}), 359849u);
  EXPECT_EQ(MsfToLba({0, 2, 0}), 0u);
  EXPECT_EQ(MsfToLba({0, 0, 0}), 0u);  // inside the lead-in: clamped, never wraps
}

TEST(ProfileValues, RawKeysAreNormalisedToUpperCase) {
  std::string error;
  const auto p = ParseProfileText(
      R"({"raw": {"ad/0e": "01 02"}, "faults": {"5a/2a": {"short": 2}}})", "t", error);
  ASSERT_TRUE(p) << error;
  EXPECT_EQ(p->raw.count("AD/0E"), 1u);
  EXPECT_EQ(p->faults.count("5A/2A"), 1u);
}

}  // namespace
}  // namespace kv::emu::test
