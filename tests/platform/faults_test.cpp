// Injected faults, raw answer replay and the becoming-ready sequence of a virtual drive.
#include <gtest/gtest.h>

#include "emu_test_util.h"

namespace kv::emu::test {
namespace {

const Cdb kInquiry96 = MakeCdb({0x12, 0, 0, 0, 96});
const Cdb kTur = MakeCdb({0x00});

VirtualDrive DriveWithFaults(const std::string& faults) {
  DriveProfile p = ProfileFromJson(R"({"disc": {"kind": "DVD+R"}, "faults": )" + faults + "}");
  EXPECT_EQ(p.name.find("ERROR"), std::string::npos) << p.name;
  return VirtualDrive(p);
}

struct FaultKindCase {
  const char* label;
  const char* faults;
  DriveResponse::Outcome outcome;
  Sense sense;
  uint32_t moved;
  uint32_t transferred;
  uint32_t latencyMs;
};

class FaultKinds : public ::testing::TestWithParam<FaultKindCase> {};

TEST_P(FaultKinds, ShapeTheResponse) {
  const FaultKindCase& c = GetParam();
  VirtualDrive d = DriveWithFaults(c.faults);
  const InResult r = RunIn(d, kInquiry96, 96, 0xA5);
  EXPECT_EQ(r.response.outcome, c.outcome);
  EXPECT_EQ(r.response.sense, c.sense);
  EXPECT_EQ(r.response.moved, c.moved);
  EXPECT_EQ(r.response.transferred, c.transferred);
  EXPECT_EQ(r.response.latencyMs, c.latencyMs);
  for (uint32_t i = c.moved; i < 96; ++i) {
    ASSERT_EQ(r.buffer[i], 0xA5) << "byte " << i;
  }
}

using O = DriveResponse::Outcome;
INSTANTIATE_TEST_SUITE_P(
    Table, FaultKinds,
    ::testing::Values(
        FaultKindCase{"none", "{}", O::Good, kSenseGood, 96, 96, 0},
        FaultKindCase{
            "sense", R"({"12": {"sense": [4, 68, 0]}})", O::CheckCondition, {4, 0x44, 0}, 0, 0, 0},
        FaultKindCase{"transport", R"({"12": {"transportFailure": true}})", O::TransportFailure,
                      kSenseGood, 0, 0, 0},
        FaultKindCase{"short", R"({"12": {"short": 5}})", O::Good, kSenseGood, 5, 5, 0},
        FaultKindCase{"short_beyond_answer", R"({"12": {"short": 500}})", O::Good, kSenseGood, 96,
                      96, 0},
        FaultKindCase{"misreport_more", R"({"12": {"misreport": 200}})", O::Good, kSenseGood, 96,
                      200, 0},
        FaultKindCase{"misreport_fewer", R"({"12": {"misreport": 3}})", O::Good, kSenseGood, 96, 3,
                      0},
        FaultKindCase{"short_and_misreport", R"({"12": {"short": 4, "misreport": 96}})", O::Good,
                      kSenseGood, 4, 96, 0},
        FaultKindCase{"latency_only", R"({"12": {"latencyMs": 250}})", O::Good, kSenseGood, 96, 96,
                      250},
        FaultKindCase{"no_effect_is_transport", R"({"12": {"times": 1}})", O::TransportFailure,
                      kSenseGood, 0, 0, 0},
        FaultKindCase{"every_command", R"({"*": {"sense": [2, 4, 1]}})", O::CheckCondition,
                      kSenseBecomingReady, 0, 0, 0},
        FaultKindCase{"other_command_untouched", R"({"5A/2A": {"sense": [5, 36, 0]}})", O::Good,
                      kSenseGood, 96, 96, 0},
        FaultKindCase{"list_of_faults", R"({"12": [{"latencyMs": 10}, {"short": 8}]})", O::Good,
                      kSenseGood, 8, 8, 10}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(FaultCounting, FailAfterAndTimes) {
  struct Case {
    const char* fault;
    const char* pattern;  // per command: G good, F faulted
  };
  const Case cases[] = {
      {R"({"failAfter": 3, "sense": [3, 17, 0]})", "GGFFFF"},
      {R"({"failAfter": 1, "sense": [3, 17, 0]})", "FFFFFF"},
      {R"({"times": 2, "sense": [3, 17, 0]})", "FFGGGG"},
      {R"({"failAfter": 2, "times": 2, "sense": [3, 17, 0]})", "GFFGGG"},
      {R"({"times": 0, "sense": [3, 17, 0]})", "GGGGGG"},
  };
  for (const Case& c : cases) {
    VirtualDrive d = DriveWithFaults(std::string(R"({"12": )") + c.fault + "}");
    std::string seen;
    for (int i = 0; i < 6; ++i) {
      // Commands of other keys do not count towards the fault.
      RunNone(d, kTur);
      seen += RunIn(d, kInquiry96, 96).response.outcome == O::Good ? 'G' : 'F';
    }
    EXPECT_EQ(seen, c.pattern) << c.fault;
  }
}

TEST(FaultKeys, SubFieldAndOpcodeKeysBothMatch) {
  VirtualDrive d = DriveWithFaults(R"({"AD": {"latencyMs": 1}, "AD/0E": {"sense": [5, 48, 2]}})");
  const InResult physical = RunIn(d, MakeCdb({0xAD, 0, 0, 0, 0, 0, 0, 0x00, 0, 16}), 16);
  EXPECT_EQ(physical.response.outcome, O::Good);
  EXPECT_EQ(physical.response.latencyMs, 1u);
  const InResult leadIn = RunIn(d, MakeCdb({0xAD, 0, 0, 0, 0, 0, 0, 0x0E, 0, 48}), 48);
  EXPECT_EQ(leadIn.response.sense, (Sense{5, 0x30, 2}));
  EXPECT_EQ(leadIn.response.latencyMs, 1u);
}

TEST(RawAnswers, ReplayUnchangedAndWinOverBuiltAnswers) {
  DriveProfile p = ProfileFromJson(R"({"disc": {"kind": "none"}, "raw": {
      "43/04": "00 1A 00 00 80 00 98 00 61 19 41 00 4F 3B 4A",
      "AD": "00 06 00 00 A1 0F",
      "12": "05 80"}})");
  VirtualDrive d(p);
  // Replayed even on a drive without a disc.
  const InResult atip = RunIn(d, MakeCdb({0x43, 0, 4, 0, 0, 0, 0, 0, 24}), 24, 0xA5);
  ASSERT_EQ(atip.response.outcome, O::Good);
  EXPECT_EQ(atip.response.transferred, 15u);
  EXPECT_EQ(std::vector<uint8_t>(atip.buffer.begin(), atip.buffer.begin() + 15),
            (std::vector<uint8_t>{0x00, 0x1A, 0x00, 0x00, 0x80, 0x00, 0x98, 0x00, 0x61, 0x19, 0x41,
                                  0x00, 0x4F, 0x3B, 0x4A}));
  EXPECT_EQ(atip.buffer[15], 0xA5);
  // The opcode key answers every format that has no key of its own.
  EXPECT_EQ(RunIn(d, MakeCdb({0xAD, 0, 0, 0, 0, 0, 0, 0x0E, 0, 48}), 48).response.transferred, 6u);
  // Raw answers are cut to the allocation length like any answer.
  EXPECT_EQ(RunIn(d, MakeCdb({0x12, 0, 0, 0, 1}), 1).response.transferred, 1u);
  // Without a raw answer of its own, a medium command still finds no disc.
  EXPECT_EQ(RunIn(d, MakeCdb({0x51, 0, 0, 0, 0, 0, 0, 1, 0}), 256).response.sense,
            kSenseMediumNotPresent);
}

TEST(RawAnswers, FaultsStillApplyToReplayedAnswers) {
  DriveProfile p =
      ProfileFromJson(R"({"raw": {"12": "05 80 00 32 1F"}, "faults": {"12": {"short": 2}}})");
  VirtualDrive d(p);
  EXPECT_EQ(RunIn(d, kInquiry96, 96).response.transferred, 2u);
}

TEST(Unsupported, CommandsAnswerInvalidOpcodeWithOrWithoutDisc) {
  for (const char* disc : {"none", "CD-ROM"}) {
    DriveProfile p = ProfileFromJson(std::string(R"({"drive": {"unsupported": ["46", "ad/00"]},
        "disc": {"kind": ")") + disc +
                                     R"("}})");
    VirtualDrive d(p);
    EXPECT_EQ(RunIn(d, MakeCdb({0x46, 2, 0, 0, 0, 0, 0, 0, 248}), 248).response.sense,
              kSenseInvalidOpcode)
        << disc;
    EXPECT_EQ(RunIn(d, MakeCdb({0xAD, 0, 0, 0, 0, 0, 0, 0, 0, 16}), 16).response.sense,
              kSenseInvalidOpcode)
        << disc;
  }
}

TEST(BecomingReady, PollsAnswerUnitAttentionThenNotReadyThenGood) {
  struct Case {
    uint32_t unitAttention;
    uint32_t notReady;
    const char* disc;
    const char* pattern;  // per TEST UNIT READY: U unit attention, N not ready, M no medium, G good
  };
  const Case cases[] = {
      {0, 0, "DVD+R", "GGG"},  {2, 0, "DVD+R", "UUGG"}, {0, 3, "DVD+R", "NNNGG"},
      {1, 2, "DVD+R", "UNNG"}, {1, 1, "none", "UNMM"},
  };
  for (const Case& c : cases) {
    DriveProfile p = ProfileFromJson(std::string(R"({"disc": {"kind": ")") + c.disc + "\"}}");
    p.readiness.unitAttentionPolls = c.unitAttention;
    p.readiness.notReadyPolls = c.notReady;
    VirtualDrive d(p);
    std::string seen;
    for (std::size_t i = 0; i < std::string(c.pattern).size(); ++i) {
      const Sense s = RunNone(d, kTur).sense;
      seen += s == kSenseMediumChanged      ? 'U'
              : s == kSenseBecomingReady    ? 'N'
              : s == kSenseMediumNotPresent ? 'M'
              : s.IsGood()                  ? 'G'
                                            : '?';
    }
    EXPECT_EQ(seen, c.pattern) << c.unitAttention << "/" << c.notReady << " " << c.disc;
  }
}

TEST(BecomingReady, MediumCommandsWaitForTheDriveButInquiryDoesNot) {
  DriveProfile p = ProfileFromJson(R"({"disc": {"kind": "DVD+R"}, "becomingReady":
      {"notReadyPolls": 1}})");
  VirtualDrive d(p);
  EXPECT_EQ(RunIn(d, MakeCdb({0xAD, 0, 0, 0, 0, 0, 0, 0, 0, 16}), 16).response.sense,
            kSenseBecomingReady);
  EXPECT_EQ(RunIn(d, kInquiry96, 96).response.outcome, O::Good);
  EXPECT_EQ(RunNone(d, kTur).sense, kSenseBecomingReady);
  EXPECT_EQ(RunIn(d, MakeCdb({0xAD, 0, 0, 0, 0, 0, 0, 0, 0, 16}), 16).response.outcome, O::Good);
}

TEST(BecomingReady, ChangingTheDiscRaisesAUnitAttention) {
  VirtualDrive d(ProfileFromJson(R"({"disc": {"kind": "none"}})"));
  EXPECT_EQ(RunNone(d, kTur).sense, kSenseMediumNotPresent);
  Disc disc;
  disc.kind = DiscKind::CdR;
  disc.hasAtip = true;
  d.InsertDisc(disc);
  EXPECT_EQ(RunNone(d, kTur).sense, kSenseMediumChanged);
  EXPECT_TRUE(RunNone(d, kTur).sense.IsGood());
  d.EjectDisc();
  EXPECT_EQ(RunNone(d, kTur).sense, kSenseMediumChanged);
  EXPECT_EQ(RunNone(d, kTur).sense, kSenseMediumNotPresent);
}

}  // namespace
}  // namespace kv::emu::test
