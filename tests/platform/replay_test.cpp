// Replayed answers: sequences per command, selection by any CDB byte, the phase, the default
// answer for commands nothing names, the ASPI-style transport as an attachment, and bad replay
// sections refused with the field named.
#include <gtest/gtest.h>

#include "emu_test_util.h"

namespace kv::emu::test {
namespace {

TEST(Replay, SequencesRepeatTheirLastReplyAndMixDataWithFaults) {
  VirtualDrive drive(ProfileFromJson(R"({"replay": {"commands": [
      {"cdb": "00", "replies": [{"sense": [2, 4, 1]}, {"sense": [6, 40, 0]}, {}]},
      {"cdb": "12", "replies": [{"transportFailure": true}, {"data": "05 80 00 32"}]}]}})"));
  const Cdb tur = MakeCdb({0x00});
  EXPECT_EQ(RunNone(drive, tur).sense, (Sense{2, 4, 1}));
  EXPECT_EQ(RunNone(drive, tur).sense, (Sense{6, 0x28, 0}));
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(RunNone(drive, tur).outcome, DriveResponse::Outcome::Good) << i;
  }
  const Cdb inquiry = MakeCdb({0x12, 0, 0, 0, 96});
  EXPECT_EQ(RunIn(drive, inquiry, 96).response.outcome, DriveResponse::Outcome::TransportFailure);
  const InResult second = RunIn(drive, inquiry, 96);
  EXPECT_EQ(second.response.transferred, 4u);
  EXPECT_EQ(second.buffer[3], 0x32);
  EXPECT_EQ(second.buffer[4], 0xEE) << "bytes past the reply stay untouched";
  // An allocation length below the reply moves only what was asked for.
  EXPECT_EQ(RunIn(drive, inquiry, 2).response.moved, 2u);
}

TEST(Replay, AnyCdbByteSelectsTheAnswer) {
  // The MSF bit of READ TOC and an allocation length pick different answers; ".." matches any.
  VirtualDrive drive(ProfileFromJson(R"({"disc": {"kind": "CD-R"}, "replay": {"commands": [
      {"cdb": "43 02 04 .. .. .. .. 00 18", "replies": [{"data": "00 16 00 00 01"}]},
      {"cdb": "43 00 04", "replies": [{"sense": [5, 36, 0]}]},
      {"cdb": "46 .. 00 1F", "replies": [{"data": "00 00 00 10"}]}]}})"));
  EXPECT_EQ(RunIn(drive, MakeCdb({0x43, 0x02, 0x04, 0, 0, 0, 0, 0, 0x18}), 24).response.moved, 5u);
  EXPECT_EQ(RunIn(drive, MakeCdb({0x43, 0x00, 0x04, 0, 0, 0, 0, 0, 0x18}), 24).response.sense,
            (Sense{5, 0x24, 0}));
  // Another allocation length with MSF set matches neither entry: the built ATIP answers.
  const InResult built = RunIn(drive, MakeCdb({0x43, 0x02, 0x04, 0, 0, 0, 0, 1, 0}), 256);
  EXPECT_EQ(built.response.outcome, DriveResponse::Outcome::Good);
  EXPECT_GT(built.response.moved, 5u);
  EXPECT_EQ(RunIn(drive, MakeCdb({0x46, 0x02, 0x00, 0x1F}), 8).response.moved, 4u);
  EXPECT_GT(RunIn(drive, MakeCdb({0x46, 0x02, 0x00, 0x00, 0, 0, 0, 0, 8}), 8).response.moved, 0u);
}

TEST(Replay, PhaseKeepsStartUpAndCheckAnswersApart) {
  VirtualDrive drive(ProfileFromJson(R"({"replay": {"commands": [
      {"cdb": "00", "phase": "startUp", "replies": [{"sense": [2, 58, 0]}]},
      {"cdb": "00", "phase": "check", "replies": [{}]}]}})"));
  const Cdb tur = MakeCdb({0x00});
  EXPECT_EQ(RunNone(drive, tur).sense, (Sense{2, 0x3A, 0}));
  drive.SetPhase(CommandPhase::Check);
  EXPECT_EQ(RunNone(drive, tur).outcome, DriveResponse::Outcome::Good);
  drive.SetPhase(CommandPhase::StartUp);
  EXPECT_EQ(RunNone(drive, tur).sense, (Sense{2, 0x3A, 0}));
}

TEST(Replay, PlatformPassesItsPhaseToEveryDrive) {
  EmulatedPlatform machine;
  machine.SetCommandPhase(CommandPhase::Check);
  const int index = machine.AddDrive(ProfileFromJson(
      R"({"replay": {"commands": [{"cdb": "00", "phase": "check", "replies": [{"ms": 40}]}],
          "default": {"sense": [5, 32, 0]}}})"));
  const DriveResponse r = RunNone(machine.Drive(index), MakeCdb({0x00}));
  EXPECT_EQ(r.outcome, DriveResponse::Outcome::Good);
  EXPECT_EQ(r.latencyMs, 40u);
}

TEST(Replay, DefaultAnswersWhatNothingElseNames) {
  // QEMU's empty SCSI drive: NOT READY for whatever it does not name.
  VirtualDrive drive(ProfileFromJson(R"({"disc": {"kind": "CD-ROM"},
      "raw": {"12": "05 80 00 32"},
      "replay": {"default": {"sense": [2, 58, 0]}}})"));
  EXPECT_EQ(RunNone(drive, MakeCdb({0x00})).sense, (Sense{2, 0x3A, 0}))
      << "the built answer of a named opcode gives way to the default";
  EXPECT_EQ(RunIn(drive, MakeCdb({0xDF, 0, 3, 1}), 12).response.sense, (Sense{2, 0x3A, 0}));
  EXPECT_EQ(RunIn(drive, MakeCdb({0x12, 0, 0, 0, 96}), 96).response.moved, 4u)
      << "a raw answer is named";
  // Without a default the built answers stand.
  VirtualDrive built(ProfileFromJson(R"({"disc": {"kind": "CD-ROM"}})"));
  EXPECT_EQ(RunNone(built, MakeCdb({0x00})).outcome, DriveResponse::Outcome::Good);
  EXPECT_EQ(RunNone(built, MakeCdb({0xE7})).sense, (Sense{5, 0x20, 0}));
}

TEST(Replay, RawAnswerSequences) {
  VirtualDrive drive(ProfileFromJson(R"({"raw": {"12": ["01", "02 02"]}})"));
  const Cdb inquiry = MakeCdb({0x12, 0, 0, 0, 96});
  EXPECT_EQ(RunIn(drive, inquiry, 96).response.moved, 1u);
  EXPECT_EQ(RunIn(drive, inquiry, 96).response.moved, 2u);
  EXPECT_EQ(RunIn(drive, inquiry, 96).response.moved, 2u);
}

TEST(Replay, FaultsStillHitReplayedCommands) {
  VirtualDrive drive(ProfileFromJson(R"({"faults": {"12": [{"short": 2, "times": 1}]},
      "replay": {"commands": [{"cdb": "12", "replies": [{"data": "05 80 00 32", "transferred": 96}]}]}})"));
  const Cdb inquiry = MakeCdb({0x12, 0, 0, 0, 96});
  EXPECT_EQ(RunIn(drive, inquiry, 96).response.moved, 2u);
  const InResult whole = RunIn(drive, inquiry, 96);
  EXPECT_EQ(whole.response.moved, 4u);
  EXPECT_EQ(whole.response.transferred, 96u) << "the recorded count is what the transport said";
}

TEST(Replay, AspiTransportLoadsTheManagerAndReachesTheDrive) {
  const std::string path = testing::TempDir() + "/replay_test.aspi-drive.json";
  FILE* f = std::fopen(path.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fputs(
      R"({"attachment": {"aspi": [2, 1, 0], "transport": "aspi"}, "disc": {"kind": "none"}})", f);
  std::fclose(f);
  std::string error;
  auto machine = CreateEmulatedMachine({path}, error);
  ASSERT_TRUE(machine) << error;
  AspiLoadResult load = machine->LoadAspi();
  ASSERT_EQ(load.outcome, AspiLoadResult::Outcome::Loaded);
  EXPECT_EQ(load.manager->GetSupportInfo() & 0xFF, 3u) << "host adapters 0 to 2";
  EXPECT_EQ(load.manager->GetDeviceType(2, 1, 0).deviceType, kDeviceTypeCdrom);
}

struct BadReplay {
  const char* label;
  const char* json;
  const char* field;
  const char* what;
};

constexpr BadReplay kBadReplays[] = {
    {"unknown_field", R"({"replay": {"comands": []}})", "'replay.comands'", "unknown field"},
    {"cdb_missing", R"({"replay": {"commands": [{"replies": [{}]}]}})", "'replay.commands[0].cdb'",
     "missing"},
    {"cdb_wildcard_opcode", R"({"replay": {"commands": [{"cdb": ".. 00", "replies": [{}]}]}})",
     "'replay.commands[0].cdb'", "opcode"},
    {"cdb_too_long",
     R"({"replay": {"commands": [{"cdb": "00 00 00 00 00 00 00 00 00 00 00 00 00", "replies": [{}]}]}})",
     "'replay.commands[0].cdb'", "at most 12"},
    {"cdb_bad_byte", R"({"replay": {"commands": [{"cdb": "43 0x02", "replies": [{}]}]}})",
     "'replay.commands[0].cdb'", "\"0x02\""},
    {"no_replies", R"({"replay": {"commands": [{"cdb": "00", "replies": []}]}})",
     "'replay.commands[0].replies'", "at least one"},
    {"bad_phase", R"({"replay": {"commands": [{"cdb": "00", "phase": "boot", "replies": [{}]}]}})",
     "'replay.commands[0].phase'", "startUp"},
    {"data_with_sense",
     R"({"replay": {"commands": [{"cdb": "12", "replies": [{"data": "00", "sense": [5, 32, 0]}]}]}})",
     "'replay.commands[0].replies[0].data'", "moves no data"},
    {"bad_default_sense", R"({"replay": {"default": {"sense": [0, 0, 0]}}})",
     "'replay.default.sense[0]'", "1 to 15"},
    {"empty_raw_sequence", R"({"raw": {"12": []}})", "'raw.12'", "at least one"},
    {"bad_transport", R"({"attachment": {"transport": "usb"}})", "'attachment.transport'",
     "\"aspi\""},
    {"aspi_transport_hidden", R"({"attachment": {"aspi": false, "transport": "aspi"}})",
     "'attachment.transport'", "hidden"},
};

class BadReplays : public ::testing::TestWithParam<BadReplay> {};

TEST_P(BadReplays, AreRefusedNamingTheField) {
  const BadReplay& bad = GetParam();
  std::string error;
  EXPECT_FALSE(ParseProfileText(bad.json, "trace.json", error).has_value());
  EXPECT_NE(error.find(bad.field), std::string::npos) << error;
  EXPECT_NE(error.find(bad.what), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Table, BadReplays, ::testing::ValuesIn(kBadReplays),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(ReplayFiles, AListOfProfilesIsOneMachine) {
  std::string error;
  auto two = ParseProfilesText(R"([{"name": "a"}, {"name": "b"}])", "m.json", error);
  ASSERT_TRUE(two) << error;
  EXPECT_EQ(two->size(), 2u);
  EXPECT_FALSE(ParseProfilesText("[]", "m.json", error));
  EXPECT_NE(error.find("no profile"), std::string::npos);
  EXPECT_FALSE(ParseProfilesText(R"([{"name": "a"}, {"nmae": "b"}])", "m.json", error));
  EXPECT_NE(error.find("m.json[1]: field 'nmae'"), std::string::npos) << error;
}

}  // namespace
}  // namespace kv::emu::test
