// The report lines of one media check on emulated drives, line by line.
#include <gtest/gtest.h>

#include <stdexcept>

#include "app/core/media_check.h"
#include "media_check_fixture.h"

namespace kv::testing {
namespace {

using Lines = std::vector<std::string>;

constexpr const char* kDualDriveLine = "        Drive Type = DVD DUAL ";
constexpr const char* kComboDriveLine = "        Drive Type = COMBO    ";

TEST(MediaCheckReport, NoDiscShowsDriveAndPaddedNoMediaOnly) {
  EmulatedDevice drive(DvdWriter());
  MediaCheckFacts facts;
  Lines lines = drive.Check({}, {}, &facts);
  ASSERT_EQ(lines, (Lines{kDualDriveLine, "         Disc Type = NO MEDIA             "}));
  EXPECT_EQ(lines[1].size(), 21u + 21u);  // the value from column 22, 21 characters
  EXPECT_TRUE(facts.completed);
  EXPECT_EQ(facts.discType, DiscType::kNoMedia);
}

TEST(MediaCheckReport, BlankCdrInDvdWriter) {
  EmulatedDevice drive(WithDisc(DvdWriter(), BlankCdr()));
  MediaCheckFacts facts;
  Lines lines = drive.Check({}, {}, &facts);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], kDualDriveLine);
  EXPECT_EQ(lines[1], "         Disc Type = CDR");
  EXPECT_EQ(lines[2], "          Material = Phthalocyanine");
  EXPECT_EQ(lines[3], "           Lead In = 97:25:65");
  EXPECT_EQ(lines[4], "          Lead Out = 79:59:74");
  EXPECT_EQ(lines[5], "  Nominal Capacity = 702.83MB");
  EXPECT_EQ(lines[6].rfind("Manufacturer Maybe = ", 0), 0u);
  EXPECT_EQ(lines[7], "KRELL-VANE Speed Limit = 40X (Write)");
  EXPECT_EQ(facts.leadIn, 972565u);
  EXPECT_EQ(facts.leadOut, 795974u);
  EXPECT_EQ(facts.discType, DiscType::kCdrAPlus);
  EXPECT_EQ(facts.material, "Phthalocyanine");
  EXPECT_TRUE(facts.completed);
}

TEST(MediaCheckReport, EveryEqualsSignStandsInColumnTwenty) {
  EmulatedDevice drive(WithDisc(DvdWriter(), BlankCdr()));
  for (const std::string& line : drive.Check()) {
    if (line.rfind("KRELL-VANE", 0) == 0) {
      continue;
    }
    EXPECT_EQ(line.find('='), 19u) << line;
  }
}

struct MaterialCase {
  emu::MsfTime leadIn;
  uint8_t subType;
  emu::DiscKind kind;
  const char* material;
};

class MaterialByLeadIn : public ::testing::TestWithParam<MaterialCase> {};

TEST_P(MaterialByLeadIn, FramesDigitOrPhaseChange) {
  const MaterialCase& c = GetParam();
  emu::Disc disc = BlankCdr(c.leadIn, {79, 59, 74}, c.subType);
  disc.kind = c.kind;
  EmulatedDevice drive(WithDisc(DvdWriter(), disc));
  Lines lines = drive.Check();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[2], std::string("          Material = ") + c.material);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MaterialByLeadIn,
    ::testing::Values(MaterialCase{{97, 24, 0}, 3, emu::DiscKind::CdR, "Cyanine"},
                      MaterialCase{{97, 26, 64}, 3, emu::DiscKind::CdR, "Cyanine"},
                      MaterialCase{{97, 25, 65}, 3, emu::DiscKind::CdR, "Phthalocyanine"},
                      MaterialCase{{97, 26, 69}, 0, emu::DiscKind::CdR, "Phthalocyanine"},
                      // A CD-RW is phase change whatever its frames say.
                      MaterialCase{{97, 25, 65}, 0, emu::DiscKind::CdRw, "Phase Change"},
                      MaterialCase{{97, 24, 0}, 1, emu::DiscKind::CdRw, "Phase Change"}));

TEST(MediaCheckReport, CdrwShowsItsNameNotCdr) {
  emu::Disc disc = BlankCdr();
  disc.kind = emu::DiscKind::CdRw;
  disc.atipSubType = 0;
  EmulatedDevice drive(WithDisc(DvdWriter(), disc));
  Lines lines = drive.Check();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[1], "         Disc Type = NORMAL CD-RW         ");
}

struct SpeedCase {
  const char* name;
  emu::DriveProfile drive;
  const char* speedLine;
};

class SpeedLine : public ::testing::TestWithParam<SpeedCase> {};

TEST_P(SpeedLine, LastLine) {
  EmulatedDevice drive(GetParam().drive);
  Lines lines = drive.Check();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), GetParam().speedLine);
}

emu::DriveProfile CdrAt(uint16_t speed) {
  emu::Disc disc = BlankCdr();
  disc.maxWriteSpeed = speed;
  emu::DriveProfile p = WithDisc(DvdWriter(), disc);
  p.drive.capabilities.maxCdWriteSpeed = 8467;
  return p;
}

emu::DriveProfile DvdAt(uint32_t speed) {
  emu::DriveProfile p = WithDisc(DvdWriter(), DvdPlusR());
  p.drive.writeSpeeds = {{2295103, speed, speed}};
  return p;
}

emu::DriveProfile PressedCd() {
  emu::Disc disc;
  disc.kind = emu::DiscKind::CdRom;
  disc.blank = false;
  return WithDisc(DvdWriter(), disc);
}

emu::DriveProfile DvdRom() {
  emu::Disc disc = Dvd(0);
  disc.blank = false;
  return WithDisc(DvdWriter(), disc);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpeedLine,
    ::testing::Values(SpeedCase{"Cd7056", CdrAt(7056), "KRELL-VANE Speed Limit = 40X (Write)"},
                      SpeedCase{"Cd8467", CdrAt(8467), "KRELL-VANE Speed Limit = 48X (Write)"},
                      SpeedCase{"Dvd11080", DvdAt(11080), "KRELL-VANE Speed Limit = 8.0X (Write)"},
                      SpeedCase{"Dvd3324", DvdAt(3324), "KRELL-VANE Speed Limit = 2.4X (Write)"},
                      SpeedCase{"PressedCd", PressedCd(), "KRELL-VANE Speed Limit = 0X (Write)"},
                      SpeedCase{"DvdRom", DvdRom(), "KRELL-VANE Speed Limit = 0.0X (Write)"},
                      SpeedCase{"DvdMinusRInCombo", WithDisc(ComboDrive(), DvdMinusR()),
                                "KRELL-VANE Speed Limit = 0.0X (Write)"}),
    [](const ::testing::TestParamInfo<SpeedCase>& info) { return info.param.name; });

TEST(MediaCheckReport, DvdPlusRLines) {
  EmulatedDevice drive(WithDisc(DvdWriter(), DvdPlusR()));
  MediaCheckFacts facts;
  Lines lines = drive.Check({}, {}, &facts);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], kDualDriveLine);
  EXPECT_EQ(lines[1], "         Disc Type = DVD+R (Single Layer)");
  EXPECT_EQ(lines[2], "          Disc MID = 52 49 43 4F 48 4A 50 4E (RICOHJPN)");
  EXPECT_EQ(lines[3], "          Disc TID = 52 30 33 (R03)");
  EXPECT_EQ(lines[4], "  Nominal Capacity = 4.38GB");
  EXPECT_EQ(lines[5], "Manufacturer Maybe = Ricoh Company Limited");
  EXPECT_EQ(lines[6], "KRELL-VANE Speed Limit = 8.0X (Write)");
  EXPECT_EQ(facts.layers, 1u);
  EXPECT_EQ(facts.capacityBlocks, 2295104u);
  EXPECT_EQ(facts.mediaId, (std::vector<uint8_t>{'R', 'I', 'C', 'O', 'H', 'J', 'P', 'N'}));
}

TEST(MediaCheckReport, DvdPlusRInComboDriveHasItsLinesAndNoSpeed) {
  EmulatedDevice drive(WithDisc(ComboDrive(), DvdPlusR()));
  Lines lines = drive.Check();
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], kComboDriveLine);
  EXPECT_EQ(lines[2], "          Disc MID = 52 49 43 4F 48 4A 50 4E (RICOHJPN)");
  EXPECT_EQ(lines[6], "KRELL-VANE Speed Limit = 0.0X (Write)");
}

TEST(MediaCheckReport, DualLayerSuffix) {
  emu::Disc disc = DvdPlusR();
  disc.layers = 2;
  EmulatedDevice drive(WithDisc(DvdWriter(), disc));
  Lines lines = drive.Check();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[1], "         Disc Type = DVD+R (Dual Layer)");
}

TEST(MediaCheckReport, DvdMinusRLinesSplitTheTwelveBytes) {
  EmulatedDevice drive(WithDisc(DvdWriter(), DvdMinusR()));
  Lines lines = drive.Check();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[1], "         Disc Type = DVD-R (Single Layer)");
  EXPECT_EQ(lines[2], "          Disc MID = 4D 43 43 20 30 31 (MCC 01)");
  EXPECT_EQ(lines[3], "          Disc TID = 52 47 32 30 20 20 (RG20  )");
}

TEST(MediaCheckReport, UnprintableIdentifierBytesStayRawInTheColumns) {
  emu::Disc disc = DvdPlusR();
  disc.mediaId = std::string(
      "AB\x01\xC1\x7F"
      "CDE",
      8);
  disc.typeId = std::string(
      "\x1F"
      "x\xFF",
      3);
  EmulatedDevice drive(WithDisc(DvdWriter(), disc));
  Lines lines = drive.Check();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[2], "          Disc MID = 41 42 01 C1 7F 43 44 45 (AB...CDE)");
  EXPECT_EQ(lines[3], "          Disc TID = 1F 78 FF (.x.)");
}

TEST(MediaCheckReport, FailedLayerQueryKeepsThePaddedName) {
  emu::DriveProfile p = WithDisc(DvdWriter(), DvdPlusR());
  // The second physical-format read is the layer query (the first classifies the disc).
  emu::Fault fault;
  fault.sense = emu::kSenseInvalidFieldInCdb;
  fault.failAfter = 2;
  fault.times = 1;
  p.faults["AD/00"] = {fault};
  EmulatedDevice drive(p);
  MediaCheckFacts facts;
  Lines lines = drive.Check({}, {}, &facts);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[1], "         Disc Type = DVD+R                ");
  EXPECT_EQ(facts.layers, 0u);
}

TEST(MediaCheckReport, NoCapacityLineWithoutBlocks) {
  emu::DriveProfile p = WithDisc(DvdWriter(), DvdPlusR());
  emu::Fault fault;
  fault.sense = emu::kSenseInvalidOpcode;
  p.faults["23"] = {fault};
  EmulatedDevice drive(p);
  Lines lines = drive.Check();
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find("Nominal Capacity"), std::string::npos) << line;
  }
  EXPECT_EQ(lines.back(), "KRELL-VANE Speed Limit = 8.0X (Write)");
}

TEST(MediaCheckReport, EmptyDvdPlusRwIdentifierSkipsIdLinesButStillLooksUp) {
  emu::Disc disc = Dvd(9);
  disc.mediaId = "";
  disc.typeId = "";
  EmulatedDevice drive(WithDisc(DvdWriter(), disc));
  // A user record of eleven zero bytes with a name: only a lookup that ran can find it.
  UserDvdList dvd;
  dvd.push_back(std::make_unique<DvdMediaRecord>());
  std::snprintf(dvd.back()->Name, sizeof(dvd.back()->Name), "Zero Maker");
  Lines lines = drive.Check({}, dvd);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[1], "         Disc Type = DVD+RW (Single Layer)");
  EXPECT_EQ(lines[2], "  Nominal Capacity = 4.38GB");
  EXPECT_EQ(lines[3], "Manufacturer Maybe = Zero Maker");
}

TEST(MediaCheckReport, NoCdCapacityLineWhenNoTimeCouldBeRead) {
  emu::DriveProfile p = WithDisc(DvdWriter(), BlankCdr());
  emu::Fault fault;
  fault.sense = emu::kSenseInvalidFieldInCdb;
  p.faults["43/04"] = {fault};
  p.faults["51"] = {fault};
  EmulatedDevice drive(p);
  MediaCheckFacts facts;
  Lines lines = drive.Check({}, {}, &facts);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[3], "           Lead In = 00:00:00");
  EXPECT_EQ(lines[4], "          Lead Out = 00:00:00");
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find("Nominal Capacity"), std::string::npos) << line;
  }
  EXPECT_FALSE(facts.capacityMegabytes.has_value());
}

TEST(MediaCheckReport, NoSelectedLineLeavesTheBoxEmpty) {
  EmulatedDevice drive(WithDisc(DvdWriter(), BlankCdr()));
  RecordingSink sink;
  MediaCheckFacts facts;
  RunMediaCheck(drive.Device(), nullptr, {}, {}, sink, &facts);
  EXPECT_TRUE(sink.lines.empty());
  // The interim line was shown and painted before the box was cleared again.
  ASSERT_GE(sink.events.size(), 4u);
  EXPECT_EQ(sink.events[0], "clear");
  EXPECT_EQ(sink.events[1], "line:Please wait ...");
  EXPECT_EQ(sink.events[2], "paint");
  EXPECT_EQ(sink.events.back(), "clear");
  EXPECT_FALSE(facts.completed);
}

TEST(MediaCheckReport, RecordWithoutDriveTypeNameGetsNoDriveLine) {
  EmulatedDevice drive(DvdWriter());
  DriveRecord bare;
  RecordingSink sink;
  RunMediaCheck(drive.Device(), &bare, {}, {}, sink);
  EXPECT_EQ(sink.lines, (Lines{"         Disc Type = NO MEDIA             "}));
}

// A sink whose nth append fails, as a window could while the check runs.
class FailingSink : public RecordingSink {
 public:
  explicit FailingSink(std::size_t failAt) : failAt_(failAt) {}
  void AppendLine(const std::string& line) override {
    if (++appends_ == failAt_) {
      throw std::runtime_error("sink failed");
    }
    RecordingSink::AppendLine(line);
  }

 private:
  std::size_t failAt_;
  std::size_t appends_ = 0;
};

TEST(MediaCheckReport, AnExceptionEndsTheCheckQuietlyKeepingTheLines) {
  // Append 1 is the interim line; 2 to 9 are the eight report lines of a blank CD-R.
  for (std::size_t failAt = 1; failAt <= 9; ++failAt) {
    EmulatedDevice drive(WithDisc(DvdWriter(), BlankCdr()));
    FailingSink sink(failAt);
    MediaCheckFacts facts;
    EXPECT_NO_THROW(RunMediaCheck(drive.Device(), drive.Selected(), {}, {}, sink, &facts));
    std::size_t kept = failAt < 2 ? 0 : failAt - 2;
    EXPECT_EQ(sink.lines.size(), kept) << "failing at append " << failAt;
    EXPECT_FALSE(facts.completed);
  }
}

TEST(MediaCheckReport, TransportFailuresGiveNeutralValuesNotErrors) {
  emu::DriveProfile p = WithDisc(DvdWriter(), BlankCdr());
  emu::Fault fault;
  fault.transportFailure = true;
  p.faults["*"] = {fault};
  EmulatedDevice drive(p);
  MediaCheckFacts facts;
  Lines lines = drive.Check({}, {}, &facts);
  // Nothing answers: the drive and disc are unknown and the check goes the CD road with zeros.
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "        Drive Type = UNKNOWN  ");
  EXPECT_TRUE(facts.completed);
}

TEST(MediaCheckReport, SpeedCommandsAskForTheMaximum) {
  EmulatedDevice drive(WithDisc(DvdWriter(), DvdPlusR()));
  drive.Check();
  bool streaming = false;
  bool cdSpeed = false;
  for (const auto& entry : drive.Platform().CdbLog()) {
    if (entry.cdb[0] == 0xB6) {
      streaming = true;
    }
    if (entry.cdb[0] == 0xBB) {
      cdSpeed = true;
      EXPECT_EQ(entry.cdb[2], 0xFF);
      EXPECT_EQ(entry.cdb[3], 0xFF);
      EXPECT_EQ(entry.cdb[4], 0xFF);
      EXPECT_EQ(entry.cdb[5], 0xFF);
    }
  }
  EXPECT_TRUE(streaming);
  EXPECT_TRUE(cdSpeed);
  ASSERT_FALSE(drive.Drive().StreamingRequests().empty());
  EXPECT_EQ(drive.Drive().StreamingRequests().front().writeSizeKb, 11080u);
}

}  // namespace
}  // namespace kv::testing
