// The virtual drive's answers, at the offsets the queries read, and the transport rule that only
// the answer's own bytes are moved.
#include <gtest/gtest.h>

#include "emu_test_util.h"

namespace kv::emu::test {
namespace {

VirtualDrive DriveFrom(const char* json) {
  DriveProfile p = ProfileFromJson(json);
  EXPECT_EQ(p.name.find("ERROR"), std::string::npos) << p.name;
  return VirtualDrive(p);
}

const Cdb kInquiry96 = MakeCdb({0x12, 0, 0, 0, 96});
const Cdb kModeSense42 = MakeCdb({0x5A, 0, 0x2A, 0, 0, 0, 0, 0, 42});
const Cdb kAtip24 = MakeCdb({0x43, 0, 4, 0, 0, 0, 0, 0, 24});
const Cdb kDvd00 = MakeCdb({0xAD, 0, 0, 0, 0, 0, 0, 0x00, 0, 36});
const Cdb kDvd0E = MakeCdb({0xAD, 0, 0, 0, 0, 0, 0, 0x0E, 0, 48});

TEST(VirtualDriveAnswers, InquiryCarriesThePaddedTexts) {
  VirtualDrive d = DriveFrom(R"({"drive": {"inquiry": {"vendor": "ORVELIX", "product": "KV-1",
      "revision": "1.0", "vendorSpecific": "X"}}})");
  const InResult r = RunIn(d, kInquiry96, 96);
  ASSERT_EQ(r.response.outcome, DriveResponse::Outcome::Good);
  EXPECT_EQ(r.response.transferred, 96u);
  EXPECT_EQ(r.buffer[0], 0x05);  // CD/DVD device
  EXPECT_EQ(r.buffer[1], 0x80);  // removable
  EXPECT_EQ(r.buffer[4], 91);    // additional length: 96 - 5
  EXPECT_EQ(Text(r.buffer, 8, 8), "ORVELIX ");
  EXPECT_EQ(Text(r.buffer, 16, 16), "KV-1            ");
  EXPECT_EQ(Text(r.buffer, 32, 4), "1.0 ");
  EXPECT_EQ(Text(r.buffer, 36, 20), "X                   ");
}

TEST(VirtualDriveAnswers, CapabilityBitsLandInBytes10And11) {
  struct Case {
    const char* caps;
    uint8_t byte10Bit3;  // DVD-ROM read
    uint8_t byte11Bits;  // CD-R, CD-RW write (bits 0-1)
  };
  const Case cases[] = {
      {R"({"dvdRomRead": false, "cdrWrite": false, "cdrwWrite": false})", 0, 0},
      {R"({"dvdRomRead": true, "cdrWrite": false, "cdrwWrite": false})", 1, 0},
      {R"({"dvdRomRead": false, "cdrWrite": true, "cdrwWrite": true})", 0, 3},
      {R"({"dvdRomRead": true, "cdrWrite": true, "cdrwWrite": false})", 1, 1},
  };
  for (const Case& c : cases) {
    VirtualDrive d =
        DriveFrom((std::string(R"({"drive": {"capabilities": )") + c.caps + "}}").c_str());
    const InResult r = RunIn(d, kModeSense42, 42);
    ASSERT_EQ(r.response.outcome, DriveResponse::Outcome::Good) << c.caps;
    EXPECT_EQ(r.buffer[8], 0x2A);
    EXPECT_EQ((r.buffer[10] >> 3) & 1, c.byte10Bit3) << c.caps;
    EXPECT_EQ(r.buffer[11] & 3, c.byte11Bits) << c.caps;
  }
}

TEST(VirtualDriveAnswers, SetCdSpeedSelectsTheHighestSpeedTheDiscAllows) {
  struct Case {
    const char* disc;
    uint16_t asked;
    uint16_t expected;
  };
  // Drive limit 8467, start at 1764.
  const Case cases[] = {
      {R"({"kind": "CD-R", "maxWriteSpeed": 7056})", 0xFFFF, 7056},
      {R"({"kind": "CD-R", "maxWriteSpeed": 7056})", 2822, 2822},
      {R"({"kind": "CD-R", "maxWriteSpeed": 7056})", 9000, 7056},
      {R"({"kind": "CD-R", "maxWriteSpeed": 10000})", 0xFFFF, 8467},
      {R"({"kind": "CD-R"})", 0xFFFF, 8467},
      {R"({"kind": "none", "maxWriteSpeed": 1000})", 0xFFFF, 8467},
  };
  for (const Case& c : cases) {
    VirtualDrive d = DriveFrom((std::string(R"({"drive": {"capabilities": {"maxCdWriteSpeed":
        8467, "currentWriteSpeed": 1764}}, "disc": )") +
                                c.disc + "}")
                                   .c_str());
    EXPECT_EQ(BE16(RunIn(d, kModeSense42, 40).buffer, 36), 1764) << c.disc;
    const DriveResponse s =
        RunNone(d, MakeCdb({0xBB, 0, 0xFF, 0xFF, static_cast<uint8_t>(c.asked >> 8),
                            static_cast<uint8_t>(c.asked)}));
    EXPECT_EQ(s.outcome, DriveResponse::Outcome::Good);
    EXPECT_EQ(BE16(RunIn(d, kModeSense42, 40).buffer, 36), c.expected) << c.disc;
  }
}

TEST(VirtualDriveAnswers, ProfileListAndCurrentProfile) {
  VirtualDrive d = DriveFrom(R"({"drive": {"profiles": ["0x1B", "0x11", 8]},
                                 "disc": {"kind": "DVD-R"}})");
  // RT 2, feature 0: the profile list alone.
  const InResult one = RunIn(d, MakeCdb({0x46, 2, 0, 0, 0, 0, 0, 0, 248}), 248);
  ASSERT_EQ(one.response.outcome, DriveResponse::Outcome::Good);
  EXPECT_EQ(one.response.transferred, 8u + 4 + 12);
  EXPECT_EQ(BE16(one.buffer, 6), 0x0011);  // current profile
  EXPECT_EQ(BE16(one.buffer, 8), 0x0000);  // feature code
  EXPECT_EQ(one.buffer[11], 12);           // additional length: three descriptors
  EXPECT_EQ(one.buffer[13], 0x1B);
  EXPECT_EQ(one.buffer[17], 0x11);
  EXPECT_EQ(one.buffer[18], 1);  // CurrentP of DVD-R
  EXPECT_EQ(one.buffer[21], 0x08);
  EXPECT_EQ(BE32(one.buffer, 0), one.response.transferred - 4);
  // RT 0: all features; the header still names the current profile.
  const InResult all = RunIn(d, MakeCdb({0x46, 0, 0, 0, 0, 0, 0, 0, 204}), 204);
  EXPECT_EQ(BE16(all.buffer, 6), 0x0011);
  EXPECT_GT(all.response.transferred, one.response.transferred);
  // RT 2 for a feature the drive lacks: the header alone.
  const InResult none = RunIn(d, MakeCdb({0x46, 2, 0x01, 0x23, 0, 0, 0, 0, 248}), 248);
  EXPECT_EQ(none.response.transferred, 8u);
  // RT 3 is reserved.
  EXPECT_EQ(RunIn(d, MakeCdb({0x46, 3, 0, 0, 0, 0, 0, 0, 248}), 248).response.sense,
            kSenseInvalidFieldInCdb);
}

TEST(VirtualDriveAnswers, AtipDescriptorBytes) {
  struct Case {
    const char* disc;
    uint8_t byte6;
  };
  const Case cases[] = {
      {R"({"kind": "CD-R", "atip": {"subType": 0}})", 0x80},
      {R"({"kind": "CD-R", "atip": {"subType": 3}})", 0x98},
      {R"({"kind": "CD-R", "atip": {"subType": 7}})", 0xB8},
      {R"({"kind": "CD-RW", "atip": {"subType": 1}})", 0xC8},
  };
  for (const Case& c : cases) {
    VirtualDrive d = DriveFrom((std::string(R"({"disc": )") + c.disc + "}").c_str());
    const InResult r = RunIn(d, MakeCdb({0x43, 2, 4, 0, 0, 0, 0, 1, 0}), 256);
    ASSERT_EQ(r.response.outcome, DriveResponse::Outcome::Good) << c.disc;
    EXPECT_EQ(r.response.transferred, 28u);
    EXPECT_EQ(BE16(r.buffer, 0), 26);           // ATIP data length
    EXPECT_EQ(r.buffer[4] & 0x80, 0x80);        // always-one bit of ATIP byte 0
    EXPECT_EQ(r.buffer[6], c.byte6) << c.disc;  // disc type, sub-type
    EXPECT_EQ(r.buffer[8], 97);                 // lead-in 97:25:65
    EXPECT_EQ(r.buffer[9], 25);
    EXPECT_EQ(r.buffer[10], 65);
    EXPECT_EQ(r.buffer[12], 79);  // lead-out 79:59:74
    EXPECT_EQ(r.buffer[13], 59);
    EXPECT_EQ(r.buffer[14], 74);
  }
  // Pressed CD: no ATIP, or only its header when the profile says so.
  VirtualDrive pressed = DriveFrom(R"({"disc": {"kind": "CD-ROM"}})");
  EXPECT_EQ(RunIn(pressed, kAtip24, 24).response.sense, kSenseInvalidFieldInCdb);
  VirtualDrive header = DriveFrom(R"({"disc": {"kind": "CD-ROM", "atip": {"headerOnly": true}}})");
  const InResult h = RunIn(header, kAtip24, 24);
  EXPECT_EQ(h.response.transferred, 4u);
  EXPECT_EQ(h.buffer[1], 2);
  EXPECT_EQ(h.buffer[4], 0xEE);  // untouched
}

TEST(VirtualDriveAnswers, DiscInformationTimes) {
  VirtualDrive blank = DriveFrom(R"({"disc": {"kind": "CD-R", "atip": {"leadIn": "97:26:60"}}})");
  const InResult b = RunIn(blank, MakeCdb({0x51, 0, 0, 0, 0, 0, 0, 1, 0}), 256);
  ASSERT_EQ(b.response.transferred, 34u);
  EXPECT_EQ(b.buffer[2] & 3, 0);  // blank
  EXPECT_EQ(b.buffer[17], 97);
  EXPECT_EQ(b.buffer[18], 26);
  EXPECT_EQ(b.buffer[19], 60);
  EXPECT_EQ(b.buffer[21], 79);
  EXPECT_EQ(b.buffer[34], 0xEE);
  VirtualDrive pressed = DriveFrom(R"({"disc": {"kind": "CD-ROM"}})");
  const InResult p = RunIn(pressed, MakeCdb({0x51, 0, 0, 0, 0, 0, 0, 1, 0}), 256);
  EXPECT_EQ(p.buffer[2] & 3, 2);  // complete
  EXPECT_EQ(BE32(p.buffer, 16), 0xFFFFFFFFu);
  EXPECT_EQ(BE32(p.buffer, 20), 0xFFFFFFFFu);
}

TEST(VirtualDriveAnswers, DvdPhysicalFormatAndLeadInIdentifiers) {
  VirtualDrive plus = DriveFrom(R"({"disc": {"kind": "DVD+R", "dvd": {"layers": 2,
      "mediaId": "MKM", "typeId": "003", "productRevision": 2}}})");
  const InResult r = RunIn(plus, kDvd00, 36);
  ASSERT_EQ(r.response.transferred, 36u);
  EXPECT_EQ(BE16(r.buffer, 0), 2050);
  EXPECT_EQ(r.buffer[4] >> 4, 10);                                    // book type DVD+R
  EXPECT_EQ((r.buffer[6] >> 5) & 3, 1);                               // two layers
  EXPECT_EQ(r.buffer[9], 0x03);                                       // start sector 030000h
  EXPECT_EQ(Text(r.buffer, 23, 8), std::string("MKM\0\0\0\0\0", 8));  // zero padded
  EXPECT_EQ(Text(r.buffer, 31, 3), "003");
  EXPECT_EQ(r.buffer[34], 2);
  EXPECT_EQ(RunIn(plus, kDvd0E, 48).response.sense, kSenseInvalidFieldInCdb);
  EXPECT_EQ(RunIn(plus, MakeCdb({0xAD, 0, 0, 0, 0, 0, 2, 0, 0, 36}), 36).response.sense,
            kSenseInvalidFieldInCdb);  // layer 2 of two

  VirtualDrive minus = DriveFrom(R"({"disc": {"kind": "DVD-R", "dvd": {
      "manufacturerId": "MCC 01RG20  "}}})");
  const InResult m = RunIn(minus, kDvd0E, 48);
  ASSERT_EQ(m.response.outcome, DriveResponse::Outcome::Good);
  EXPECT_EQ(m.response.transferred, 44u);
  EXPECT_EQ(m.buffer[20], 3);  // field id 3
  EXPECT_EQ(Text(m.buffer, 21, 6), "MCC 01");
  EXPECT_EQ(m.buffer[28], 4);  // field id 4
  EXPECT_EQ(Text(m.buffer, 29, 6), "RG20  ");
  EXPECT_EQ(m.buffer[44], 0xEE);

  VirtualDrive cd = DriveFrom(R"({"disc": {"kind": "CD-R"}})");
  EXPECT_EQ(RunIn(cd, kDvd00, 16).response.sense, kSenseIncompatibleMedium);
}

TEST(VirtualDriveAnswers, FormatCapacitiesList) {
  VirtualDrive d = DriveFrom(R"({"disc": {"kind": "DVD+RW", "formatCapacities": [
      {"blocks": 2295104, "descriptorType": 2},
      {"blocks": 100, "formatType": "0x26", "parameter": 0},
      {"blocks": 200, "formatType": "0x10", "parameter": 2048}]}})");
  const InResult r = RunIn(d, MakeCdb({0x23, 0, 0, 0, 0, 0, 0, 0, 96}), 96);
  ASSERT_EQ(r.response.transferred, 28u);
  EXPECT_EQ(r.buffer[3], 24);  // capacity list length
  EXPECT_EQ(BE32(r.buffer, 4), 2295104u);
  EXPECT_EQ(r.buffer[8] & 3, 2);
  EXPECT_EQ(BE32(r.buffer, 12), 100u);
  EXPECT_EQ(r.buffer[16] >> 2, 0x26);
  EXPECT_EQ(BE32(r.buffer, 20), 200u);
  EXPECT_EQ(r.buffer[24] >> 2, 0x10);
  EXPECT_EQ(r.buffer[27], 0x00);  // block length 2048 = 00 08 00
  EXPECT_EQ(r.buffer[26], 0x08);
}

TEST(VirtualDriveAnswers, WriteSpeedDescriptorsAndTheirLimit) {
  VirtualDrive d = DriveFrom(R"({"drive": {"writeSpeeds": [
      {"endLba": 2295103, "readSpeed": 11080, "writeSpeed": 11080},
      {"endLba": 2295103, "readSpeed": 11080, "writeSpeed": 5540}]},
      "disc": {"kind": "DVD+R"}})");
  const InResult r = RunIn(d, MakeCdb({0xAC, 0, 0, 0, 0, 0, 0, 0, 0, 50, 3}), 1024);
  ASSERT_EQ(r.response.transferred, 8u + 32);
  EXPECT_EQ(BE32(r.buffer, 0), 36u);
  EXPECT_EQ(BE32(r.buffer, 12), 2295103u);
  EXPECT_EQ(BE32(r.buffer, 16), 11080u);
  EXPECT_EQ(BE32(r.buffer, 20), 11080u);
  EXPECT_EQ(BE32(r.buffer, 36), 5540u);
  // The descriptor count in the CDB bounds the answer.
  EXPECT_EQ(RunIn(d, MakeCdb({0xAC, 0, 0, 0, 0, 0, 0, 0, 0, 1, 3}), 1024).response.transferred,
            24u);
  EXPECT_EQ(RunIn(d, MakeCdb({0xAC, 0, 0, 0, 0, 0, 0, 0, 0, 50, 7}), 1024).response.sense,
            kSenseInvalidFieldInCdb);
}

TEST(VirtualDriveAnswers, SetStreamingKeepsTheDescriptorAndChecksItsLength) {
  VirtualDrive d = DriveFrom(R"({"disc": {"kind": "DVD+R"}})");
  std::vector<uint8_t> p(28, 0);
  p[11] = 0x10;  // end LBA 16
  p[14] = 0x2B;  // read size 0x2B48 = 11080
  p[15] = 0x48;
  p[18] = 0x03;  // read time 1000
  p[19] = 0xE8;
  EXPECT_EQ(RunOut(d, MakeCdb({0xB6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 28}), p).outcome,
            DriveResponse::Outcome::Good);
  ASSERT_EQ(d.StreamingRequests().size(), 1u);
  EXPECT_EQ(d.StreamingRequests()[0].endLba, 16u);
  EXPECT_EQ(d.StreamingRequests()[0].readSizeKb, 11080u);
  EXPECT_EQ(d.StreamingRequests()[0].readTimeMs, 1000u);
  // A parameter list shorter than one descriptor is refused and records nothing.
  EXPECT_EQ(
      RunOut(d, MakeCdb({0xB6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 20}), std::vector<uint8_t>(20, 0)).sense,
      kSenseParameterListLength);
  EXPECT_EQ(d.StreamingRequests().size(), 1u);
}

TEST(VirtualDriveAnswers, VendorMediaIdentifier) {
  struct Case {
    const char* json;
    Sense sense;
  };
  const Case cases[] = {
      {R"({"drive": {"vendorMediaId": true}, "disc": {"kind": "DVD+R", "dvd": {"mediaId":
          "RICOHJPN", "typeId": "R03", "productRevision": 3}}})",
       kSenseGood},
      {R"({"drive": {"vendorMediaId": false}, "disc": {"kind": "DVD+R"}})", kSenseInvalidOpcode},
      {R"({"drive": {"vendorMediaId": true}, "disc": {"kind": "DVD-R"}})", kSenseInvalidFieldInCdb},
      {R"({"drive": {"vendorMediaId": true}, "disc": {"kind": "none"}})", kSenseMediumNotPresent},
  };
  for (const Case& c : cases) {
    VirtualDrive d = DriveFrom(c.json);
    const InResult r = RunIn(d, MakeCdb({0xDF, 0, 3, 1}), 12);
    EXPECT_EQ(r.response.sense, c.sense) << c.json;
    if (c.sense.IsGood()) {
      EXPECT_EQ(r.response.transferred, 12u);
      EXPECT_EQ(Text(r.buffer, 0, 8), "RICOHJPN");
      EXPECT_EQ(Text(r.buffer, 8, 3), "R03");
      EXPECT_EQ(r.buffer[11], 3);
    }
  }
  // A different sub-command of the vendor opcode is not the media identifier.
  VirtualDrive d = DriveFrom(cases[0].json);
  EXPECT_EQ(RunIn(d, MakeCdb({0xDF, 0, 3, 2}), 12).response.sense, kSenseInvalidFieldInCdb);
}

// With no disc, every medium command is NOT READY / MEDIUM NOT PRESENT; the rest still answer.
struct EmptyDriveCase {
  const char* label;
  Cdb cdb;
  uint32_t length;
  bool needsMedium;
};

class EmptyDrive : public ::testing::TestWithParam<EmptyDriveCase> {};

TEST_P(EmptyDrive, AnswersLikeARealEmptyDrive) {
  const EmptyDriveCase& c = GetParam();
  VirtualDrive d = DriveFrom(R"({"drive": {"vendorMediaId": true}, "disc": {"kind": "none"}})");
  const InResult r = RunIn(d, c.cdb, c.length);
  if (c.needsMedium) {
    EXPECT_EQ(r.response.outcome, DriveResponse::Outcome::CheckCondition);
    EXPECT_EQ(r.response.sense, kSenseMediumNotPresent);
    EXPECT_EQ(r.response.transferred, 0u);
    for (uint8_t b : r.buffer) {
      ASSERT_EQ(b, 0xEE);
    }
  } else {
    EXPECT_EQ(r.response.outcome, DriveResponse::Outcome::Good);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, EmptyDrive,
    ::testing::Values(
        EmptyDriveCase{"TestUnitReady", MakeCdb({0x00}), 0, true},
        EmptyDriveCase{"Inquiry", kInquiry96, 96, false},
        EmptyDriveCase{"ModeSense", kModeSense42, 42, false},
        EmptyDriveCase{"GetConfiguration", MakeCdb({0x46, 0, 0, 0, 0, 0, 0, 0, 204}), 204, false},
        EmptyDriveCase{"SetCdSpeed", MakeCdb({0xBB, 0, 0xFF, 0xFF, 0xFF, 0xFF}), 0, false},
        EmptyDriveCase{"Atip", kAtip24, 24, true},
        EmptyDriveCase{"DiscInformation", MakeCdb({0x51, 0, 0, 0, 0, 0, 0, 1, 0}), 256, true},
        EmptyDriveCase{"DvdStructure", kDvd00, 36, true},
        EmptyDriveCase{"FormatCapacities", MakeCdb({0x23, 0, 0, 0, 0, 0, 0, 0, 96}), 96, true},
        EmptyDriveCase{"GetPerformance", MakeCdb({0xAC, 0, 0, 0, 0, 0, 0, 0, 0, 50, 3}), 1024,
                       true},
        EmptyDriveCase{"VendorMediaId", MakeCdb({0xDF, 0, 3, 1}), 12, true}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(VirtualDriveTransport, MovesOnlyTheAnswerAndAtMostTheAllocation) {
  VirtualDrive d = DriveFrom(R"({"disc": {"kind": "DVD+R"}})");
  struct Case {
    Cdb cdb;
    uint32_t length;
    uint32_t moved;
  };
  const Case cases[] = {
      {kInquiry96, 255, 96},     // answer shorter than the buffer
      {kInquiry96, 36, 36},      // allocation shorter than the answer
      {kInquiry96, 0, 0},        // no buffer at all
      {kDvd00, 16, 16},          // 2052-byte answer cut to 16
      {MakeCdb({0x42}), 64, 0},  // unknown opcode: nothing
  };
  for (const Case& c : cases) {
    const InResult r = RunIn(d, c.cdb, c.length, 0xA5);
    EXPECT_EQ(r.response.moved, c.moved);
    EXPECT_EQ(r.response.transferred, c.moved);
    for (uint32_t i = c.moved; i < c.length; ++i) {
      ASSERT_EQ(r.buffer[i], 0xA5) << "byte " << i << " of opcode " << int(c.cdb[0]);
    }
  }
  EXPECT_EQ(RunIn(d, MakeCdb({0x42}), 64).response.sense, kSenseInvalidOpcode);
}

TEST(VirtualDriveTransport, PaddingToTheAllocationLengthWhenAsked) {
  VirtualDrive d = DriveFrom(R"({"drive": {"padToAllocation": true}})");
  const InResult r = RunIn(d, kInquiry96, 255, 0xA5);
  EXPECT_EQ(r.response.transferred, 255u);
  EXPECT_EQ(r.buffer[254], 0x00);
}

}  // namespace
}  // namespace kv::emu::test
