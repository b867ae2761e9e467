// The --json object of real checks against the report lines of the same checks: every sample drive,
// each command of its check failing in each way a drive fails, and a report box that fails at each
// line. A field is null exactly when its line is missing, and what both show is the same text.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/core/report_format.h"
#include "app/core/report_json.h"
#include "app/media_check_fixture.h"
#include "drive/platform/emulated/profile_loader.h"
#include "drive/platform/emulated/virtual_drive.h"

namespace kv::testing {
namespace {

using Lines = std::vector<std::string>;

// Each report line and the field that carries its fact.
struct Mirror {
  const char* label;
  const char* pointer;
};

constexpr Mirror kMirrors[] = {
    {"        Drive Type = ", "/drive/driveType"},   {"         Disc Type = ", "/disc/type"},
    {"          Material = ", "/disc/material"},     {"           Lead In = ", "/disc/leadIn"},
    {"          Lead Out = ", "/disc/leadOut"},      {"  Nominal Capacity = ", "/disc/capacity"},
    {"          Disc MID = ", "/disc/mediaId"},      {"          Disc TID = ", "/disc/typeId"},
    {"Manufacturer Maybe = ", "/disc/manufacturer"}, {"KRELL-VANE Speed Limit = ", "/disc/speed"},
};

const std::string* LineWith(const Lines& lines, const std::string& label) {
  for (const std::string& line : lines) {
    if (line.rfind(label, 0) == 0) {
      return &line;
    }
  }
  return nullptr;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Every rule of the mirror for one check; the trace names the check in each failure.
void ExpectJsonMirrorsLines(const Lines& lines, const MediaCheckFacts& facts) {
  DriveRecord record;
  const nlohmann::json j = MediaCheckToJson(1, record, facts);
  SCOPED_TRACE(::testing::PrintToString(lines) + "\n" + DumpJson(j));
  for (const Mirror& m : kMirrors) {
    const std::string* line = LineWith(lines, m.label);
    const nlohmann::json& field = j.at(nlohmann::json::json_pointer(m.pointer));
    EXPECT_EQ(line == nullptr, field.is_null()) << m.pointer;
  }
  const std::string* disc = LineWith(lines, "         Disc Type = ");
  const bool layerShown = disc != nullptr && (EndsWith(*disc, report::kSingleLayer) ||
                                              EndsWith(*disc, report::kDualLayer));
  EXPECT_EQ(layerShown, !j["disc"]["layers"].is_null());
  if (layerShown) {
    EXPECT_EQ(EndsWith(*disc, report::kSingleLayer), j["disc"]["layers"] == 1);
  }
  if (const std::string* maker = LineWith(lines, report::kManufacturerLabel)) {
    const std::string printed = maker->substr(std::string(report::kManufacturerLabel).size());
    EXPECT_EQ(j["disc"]["manufacturer"]["printed"], printed);
    EXPECT_EQ(j["disc"]["manufacturer"]["name"].is_null(), printed == report::kUnknown);
  }
  if (const std::string* speed = LineWith(lines, report::kSpeedLabel)) {
    EXPECT_EQ(*speed, report::kSpeedLabel + j["disc"]["speed"]["printed"].get<std::string>() +
                          report::kSpeedSuffix);
  }
  if (const std::string* in = LineWith(lines, "           Lead In = ")) {
    EXPECT_EQ(in->substr(21), j["disc"]["leadIn"]["time"]);
  }
  if (const std::string* material = LineWith(lines, "          Material = ")) {
    EXPECT_EQ(material->substr(21), j["disc"]["material"]);
  }
}

std::vector<std::pair<std::string, emu::DriveProfile>> SampleProfiles() {
  std::vector<std::pair<std::string, emu::DriveProfile>> samples;
  for (const auto& entry : std::filesystem::directory_iterator(KV_PROFILE_DIR)) {
    if (entry.path().extension() != ".json") {
      continue;
    }
    std::string error;
    auto profiles = emu::LoadProfilesFile(entry.path().string(), error);
    EXPECT_TRUE(profiles.has_value()) << error;
    for (const emu::DriveProfile& profile : profiles.value_or(std::vector<emu::DriveProfile>{})) {
      samples.emplace_back(entry.path().filename().string(), profile);
    }
  }
  EXPECT_GE(samples.size(), 10u);
  return samples;
}

struct NamedFault {
  std::string name;
  emu::Fault fault;
};

std::vector<NamedFault> DriveFaults() {
  std::vector<NamedFault> faults;
  const auto add = [&](const std::string& name, auto&& set) {
    emu::Fault fault;
    set(fault);
    faults.push_back({name, fault});
  };
  add("no medium", [](emu::Fault& f) { f.sense = emu::kSenseMediumNotPresent; });
  add("invalid field", [](emu::Fault& f) { f.sense = emu::kSenseInvalidFieldInCdb; });
  add("transport failure", [](emu::Fault& f) { f.transportFailure = true; });
  add("refused", [](emu::Fault& f) { f.refused = true; });
  add("hang", [](emu::Fault& f) { f.hang = true; });
  for (uint32_t bytes : {0u, 1u, 3u, 7u, 12u}) {
    add("short " + std::to_string(bytes), [bytes](emu::Fault& f) { f.shortBytes = bytes; });
  }
  return faults;
}

TEST(CheckJsonLines, EverySampleUnderEveryCommandFault) {
  int checks = 0;
  for (const auto& [file, profile] : SampleProfiles()) {
    EmulatedDevice clean(profile);
    MediaCheckFacts facts;
    const Lines lines = clean.Check({}, {}, &facts);
    {
      SCOPED_TRACE(file);
      ExpectJsonMirrorsLines(lines, facts);
    }
    std::vector<std::string> keys;
    for (const auto& entry : clean.Platform().CdbLog()) {
      const std::string key = emu::CommandKey(entry.cdb);
      if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
        keys.push_back(key);
      }
    }
    for (const std::string& key : keys) {
      for (const NamedFault& fault : DriveFaults()) {
        emu::DriveProfile faulty = profile;
        faulty.faults[key].push_back(fault.fault);
        EmulatedDevice drive(faulty);
        MediaCheckFacts faultyFacts;
        const Lines faultyLines = drive.Check({}, {}, &faultyFacts);
        SCOPED_TRACE(file + " " + key + " " + fault.name);
        ExpectJsonMirrorsLines(faultyLines, faultyFacts);
        ++checks;
      }
    }
  }
  EXPECT_GT(checks, 100);
}

// A report box that fails at any line ends the check there: the JSON holds no fact past it.
class FailingSink : public RecordingSink {
 public:
  explicit FailingSink(std::size_t failAt) : failAt_(failAt) {}
  void AppendLine(const std::string& line) override {
    if (++appends_ == failAt_) {
      throw std::runtime_error("the box failed");
    }
    RecordingSink::AppendLine(line);
  }

 private:
  std::size_t failAt_;
  std::size_t appends_ = 0;
};

TEST(CheckJsonLines, ABoxFailingAtEachLine) {
  for (const auto& [file, profile] : SampleProfiles()) {
    for (std::size_t failAt = 1; failAt <= 10; ++failAt) {
      EmulatedDevice drive(profile);
      FailingSink sink(failAt);
      MediaCheckFacts facts;
      RunMediaCheck(drive.Device(), drive.Selected(), {}, {}, sink, &facts);
      SCOPED_TRACE(file + " failing at append " + std::to_string(failAt));
      ExpectJsonMirrorsLines(sink.lines, facts);
    }
  }
}

// The speed as the line shows it and as the exact quotient, for CD and DVD speeds whose quotient
// falls on a rounding edge of the line's format.
struct SpeedCase {
  const char* name;
  bool dvd;
  uint16_t kBps;
  const char* printed;
};

class CheckJsonSpeed : public ::testing::TestWithParam<SpeedCase> {};

TEST_P(CheckJsonSpeed, PrintedAsTheLineAndTheExactQuotient) {
  const SpeedCase& c = GetParam();
  emu::DriveProfile profile = DvdWriter();
  if (c.dvd) {
    profile.drive.writeSpeeds = {{2295103, c.kBps, c.kBps}};
    profile = WithDisc(profile, DvdPlusR());
  } else {
    emu::Disc disc = BlankCdr();
    disc.maxWriteSpeed = c.kBps;
    profile.drive.capabilities.maxCdWriteSpeed = 0xFFFF;
    profile = WithDisc(profile, disc);
  }
  EmulatedDevice drive(profile);
  MediaCheckFacts facts;
  const Lines lines = drive.Check({}, {}, &facts);
  ASSERT_FALSE(lines.empty());
  const nlohmann::json speed = MediaCheckToJson(1, DriveRecord{}, facts)["disc"]["speed"];
  ASSERT_FALSE(speed.is_null());
  EXPECT_EQ(lines.back(), std::string(report::kSpeedLabel) + c.printed + report::kSpeedSuffix);
  EXPECT_EQ(speed["printed"], c.printed);
  EXPECT_EQ(speed["kBps"].get<double>(), c.kBps);
  const double single = c.dvd ? report::kDvdSingleSpeed : report::kCdSingleSpeed;
  EXPECT_EQ(speed["multiple"].get<double>(), c.kBps / single);
}

INSTANTIATE_TEST_SUITE_P(Speeds, CheckJsonSpeed,
                         ::testing::Values(SpeedCase{"Cd48X", false, 8448, "48X"},
                                           SpeedCase{"CdNotAWholeMultiple", false, 7056, "40X"},
                                           SpeedCase{"CdHalfRoundsToEven", false, 88, "0X"},
                                           SpeedCase{"CdOneAndAHalf", false, 264, "2X"},
                                           SpeedCase{"CdJustBelowAHalf", false, 263, "1X"},
                                           SpeedCase{"CdOneKBps", false, 1, "0X"},
                                           SpeedCase{"CdLargest", false, 0xFFFF, "372X"},
                                           SpeedCase{"Dvd16X", true, 22160, "16.0X"},
                                           SpeedCase{"DvdOddDivisor", true, 3324, "2.4X"},
                                           SpeedCase{"DvdJustBelowAHalfTenth", true, 692, "0.5X"},
                                           SpeedCase{"DvdNearOneAndAHalf", true, 2077, "1.5X"},
                                           SpeedCase{"DvdOneKBps", true, 1, "0.0X"},
                                           SpeedCase{"DvdLargest", true, 0xFFFF, "47.3X"}),
                         [](const ::testing::TestParamInfo<SpeedCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace kv::testing
