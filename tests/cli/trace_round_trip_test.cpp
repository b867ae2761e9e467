// --trace round trips: a drive captured while the program runs replays, from the written profile,
// to the same output, the same exit code and the same commands, on every sample and QEMU profile,
// through pass-through and through the ASPI-style manager.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "app/core/cli.h"
#include "app/core/cli_check.h"
#include "app/core/cli_list.h"
#include "app/core/cli_trace.h"
#include "drive/notifier.h"
#include "drive/platform/emulated/emulated_platform.h"
#include "drive/platform/emulated/trace_profile.h"
#include "drive/recording_platform.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

class SilentNotifier : public Notifier {
 public:
  void ShowError(const std::string&, const std::string&) override {}
};

struct CapturedRun {
  int exitCode = -1;
  std::string out;
  std::string err;
  std::vector<std::string> commands;  // "CDB dir length path" per command, in order
};

enum class Mode { List, Check, CheckAnyDrive, CheckJson };

int RunMode(Platform& platform, Mode mode, int line, std::ostream& out, std::ostream& err) {
  SilentNotifier notifier;
  if (mode == Mode::List) {
    return ListDrives(platform, notifier, out, err);
  }
  CliRequest request;
  request.mode = CliMode::Check;
  request.checkLine = line;
  request.anyDrive = mode == Mode::CheckAnyDrive;
  request.json = mode == Mode::CheckJson;
  return RunCheckOn(platform, notifier, request, out, err);
}

std::vector<std::string> CommandLog(const emu::EmulatedPlatform& machine) {
  std::vector<std::string> log;
  for (const emu::CdbLogEntry& entry : machine.CdbLog()) {
    std::string text;
    for (uint8_t b : entry.cdb) {
      text += std::to_string(b) + ' ';
    }
    text += std::to_string(entry.direction) + ' ' + std::to_string(entry.length) +
            (entry.path == emu::CommandPath::Aspi ? " aspi" : " pt");
    log.push_back(text);
  }
  return log;
}

CapturedRun Execute(emu::EmulatedPlatform& machine, Platform& platform, Mode mode, int line) {
  std::ostringstream out;
  std::ostringstream err;
  CapturedRun run;
  run.exitCode = RunMode(platform, mode, line, out, err);
  run.out = out.str();
  run.err = err.str();
  run.commands = CommandLog(machine);
  return run;
}

std::unique_ptr<emu::EmulatedPlatform> Machine(const std::vector<std::string>& paths) {
  std::string error;
  auto machine = emu::CreateEmulatedMachine(paths, error);
  EXPECT_TRUE(machine) << error;
  return machine;
}

// Test cases run as parallel processes: each writes under its own name.
std::string TempPath(const std::string& name) {
  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
  return (fs::path(testing::TempDir()) /
          (std::string(test->test_suite_name()) + "." + test->name() + "." + name))
      .string();
}

// Captures one run on the machine, replays the written profile, and compares both runs.
void ExpectRoundTrip(emu::EmulatedPlatform& original, Mode mode, int line,
                     const std::string& label) {
  RecordingPlatform recorder(original);
  const CapturedRun captured = Execute(original, recorder, mode, line);
  const std::string path = TempPath("trace.json");
  std::string error;
  ASSERT_TRUE(emu::WriteTraceFile(recorder.Recorded(), path, error)) << error;
  auto replay = Machine({path});
  ASSERT_TRUE(replay) << label;
  RecordingPlatform again(*replay);
  const CapturedRun replayed = Execute(*replay, again, mode, line);
  // Capturing the replay gives the same capture: every command, answer, count and time.
  EXPECT_EQ(emu::TraceToProfiles(again.Recorded()), emu::TraceToProfiles(recorder.Recorded()))
      << label;
  EXPECT_FALSE(captured.out.empty() && captured.err.empty()) << label;
  EXPECT_EQ(replayed.out, captured.out) << label;
  EXPECT_EQ(replayed.err, captured.err) << label;
  EXPECT_EQ(replayed.exitCode, captured.exitCode) << label;
  EXPECT_EQ(replayed.commands, captured.commands) << label;
}

std::vector<std::string> ProfileFiles(const std::string& folder = KV_PROFILE_DIR) {
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == ".json") {
      files.push_back(entry.path().string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(TraceRoundTrip, EveryProfileAloneReplaysItsCheckAndListing) {
  const auto files = ProfileFiles();
  ASSERT_GE(files.size(), 10u);
  for (const std::string& file : files) {
    for (Mode mode : {Mode::List, Mode::CheckAnyDrive, Mode::CheckJson}) {
      auto machine = Machine({file});
      ASSERT_TRUE(machine);
      ExpectRoundTrip(*machine, mode, 1, file + " mode " + std::to_string(static_cast<int>(mode)));
    }
  }
}

// The guests' captures of QEMU's and tgt's drives: captured again here, each of their drives
// replays the same listing and check.
TEST(TraceRoundTrip, GuestCapturesReplayEveryDrive) {
  const auto files = ProfileFiles(std::string(KV_PROFILE_DIR) + "/captures");
  ASSERT_GE(files.size(), 5u);
  for (const std::string& file : files) {
    auto probe = Machine({file});
    ASSERT_TRUE(probe) << file;
    ASSERT_GE(probe->DriveCount(), 3) << file;
    auto listing = Machine({file});
    ExpectRoundTrip(*listing, Mode::List, 1, file + " list");
    for (int line = 1; line <= probe->DriveCount(); ++line) {
      auto machine = Machine({file});
      ExpectRoundTrip(*machine, Mode::CheckAnyDrive, line, file + " line " + std::to_string(line));
    }
  }
}

TEST(TraceRoundTrip, SampleMachineReplaysEveryLine) {
  auto probe = Machine({});
  ASSERT_TRUE(probe);
  const int drives = probe->DriveCount();
  for (int line = 1; line <= drives; ++line) {
    auto machine = Machine({});
    ExpectRoundTrip(*machine, Mode::CheckAnyDrive, line, "any-drive line " + std::to_string(line));
  }
  auto machine = Machine({});
  ExpectRoundTrip(*machine, Mode::Check, 2, "writer line 2");
}

TEST(TraceRoundTrip, AspiStyleManagerIsReplayedAsTheDrivesTransport) {
  auto machine = Machine({});
  machine->SetAspiLoadOutcome(AspiLoadResult::Outcome::Loaded);
  ExpectRoundTrip(*machine, Mode::Check, 1, "aspi check");
  ASSERT_FALSE(machine->CdbLog().empty());
  EXPECT_EQ(machine->CdbLog().front().path, emu::CommandPath::Aspi);

  auto listing = Machine({});
  listing->SetAspiLoadOutcome(AspiLoadResult::Outcome::Loaded);
  ExpectRoundTrip(*listing, Mode::List, 1, "aspi list");
}

TEST(TraceRoundTrip, FaultsAndChangingAnswersAreCapturedAsSequences) {
  // A drive that needs polls, drops one INQUIRY and answers one capacity read short.
  const std::string path = TempPath("faulty.json");
  std::ofstream(path) << R"({"disc": {"kind": "DVD+R", "capacityBlocks": 2295104},
    "drive": {"profiles": ["0x1B"]},
    "becomingReady": {"notReadyPolls": 2, "unitAttentionPolls": 1},
    "faults": {"12": {"transportFailure": true, "times": 1}, "23": {"short": 6, "times": 1}}})";
  for (Mode mode : {Mode::List, Mode::Check}) {
    auto machine = Machine({path});
    ASSERT_TRUE(machine);
    ExpectRoundTrip(*machine, mode, 1, "faulty drive");
  }
}

TEST(TraceRoundTrip, NodesThatFailToOpenOrAnswerNoAddressAreKept) {
  const std::string path = TempPath("attached.json");
  std::ofstream(path) << R"([{"disc": {"kind": "CD-R"}, "attachment": {"address": "callFailed"}},
    {"disc": {"kind": "none"}, "attachment": {"openFails": true}},
    {"disc": {"kind": "CD-ROM"}, "attachment": {"root": "sr7", "address": [1, 0, 3, 0]}}])";
  auto machine = Machine({path});
  ASSERT_TRUE(machine);
  ASSERT_EQ(machine->DriveCount(), 3);
  ExpectRoundTrip(*machine, Mode::List, 1, "attachments");
}

TEST(TraceRoundTrip, TraceWriterNamesEveryCommandAndADefault) {
  auto machine = Machine({std::string(KV_PROFILE_DIR) + "/orvelix-dvdrw-dvdplusr.json"});
  RecordingPlatform recorder(*machine);
  std::ostringstream out;
  std::ostringstream err;
  RunMode(recorder, Mode::Check, 1, out, err);
  const nlohmann::json profile = emu::TraceToProfiles(recorder.Recorded());
  ASSERT_TRUE(profile.is_object());
  EXPECT_EQ(profile["replay"]["default"]["sense"], nlohmann::json::array({5, 0x20, 0}));
  std::size_t replies = 0;
  bool sawCheckPhase = false;
  for (const auto& command : profile["replay"]["commands"]) {
    replies += command["replies"].size();
    sawCheckPhase = sawCheckPhase || command["phase"] == "check";
  }
  EXPECT_EQ(replies, machine->CdbLog().size());
  EXPECT_TRUE(sawCheckPhase);
  EXPECT_EQ(profile["name"], "Captured: ORVELIX KV-DW1648A      1.04");
}

TEST(TraceRoundTrip, UnwritableTraceFailsTheRun) {
  auto machine = Machine({});
  std::ostringstream err;
  const int code = RunTraced(*machine, TempPath("no-such-dir/trace.json"), err,
                             [](Platform&) { return kExitOk; });
  EXPECT_EQ(code, kExitFailure);
  EXPECT_NE(err.str().find("cannot create the trace file"), std::string::npos) << err.str();
}

}  // namespace
}  // namespace kv
