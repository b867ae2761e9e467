// What --check and --list say on standard error and in --json about drives that could not be
// fully used: refused commands, hung and never-ready drives, nodes named by path, access hints.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "app/core/cli.h"
#include "app/core/cli_check.h"
#include "app/core/cli_drive_notes.h"
#include "drive/mmc.h"
#include "drive/notifier.h"
#include "drive/platform/emulated/emulated_platform.h"

namespace kv {
namespace {

class QuietNotifier : public Notifier {
 public:
  void ShowError(const std::string&, const std::string&) override {}
};

struct CheckRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

CheckRun Check(Platform& platform, CliRequest request) {
  request.mode = CliMode::Check;
  std::ostringstream out;
  std::ostringstream err;
  QuietNotifier notifier;
  CheckRun run;
  run.exitCode = RunCheckOn(platform, notifier, request, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

CliRequest AnyDrive(int line, bool json = false) {
  CliRequest request;
  request.checkLine = line;
  request.anyDrive = true;
  request.json = json;
  return request;
}

// A CD-R writer (DriveType from the default profile) with a disc, and an optional fault on every
// command or on one opcode.
emu::DriveProfile Writer(const char* product) {
  emu::DriveProfile profile;
  profile.drive.inquiry.product = product;
  profile.disc.kind = emu::DiscKind::CdR;
  return profile;
}

emu::Fault HangFault() {
  emu::Fault f;
  f.hang = true;
  return f;
}

emu::Fault RefusedFault() {
  emu::Fault f;
  f.refused = true;
  return f;
}

TEST(RefusedCommandsLine, NamesEachCommandWithItsReason) {
  EXPECT_EQ(RefusedCommandsLine({}), "");
  const std::string line = RefusedCommandsLine(
      {{mmc::kOpSetCdSpeed, true}, {mmc::kOpVendorMediaId, true}, {mmc::kOpSetStreaming, true}});
  EXPECT_EQ(line.find('\n'), std::string::npos) << "one line";
  EXPECT_NE(line.find("SET CD SPEED (BBh), SET STREAMING (B6h): the drive node is open read-only"),
            std::string::npos)
      << line;
  EXPECT_NE(line.find("vendor media identifier (DFh): needs CAP_SYS_RAWIO"), std::string::npos)
      << line;
  // On a node open for writing the speed commands are refused only for want of the privilege.
  const std::string writable = RefusedCommandsLine({{mmc::kOpSetCdSpeed, false}});
  EXPECT_NE(writable.find("SET CD SPEED (BBh): needs CAP_SYS_RAWIO"), std::string::npos)
      << writable;
  const nlohmann::json list = RefusedCommandsJson({{mmc::kOpSetCdSpeed, true}, {0xEE, false}});
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]["opcode"], "BBh");
  EXPECT_EQ(list[0]["name"], "SET CD SPEED");
  EXPECT_EQ(list[1]["opcode"], "EEh");
}

TEST(CheckNotes, RefusedCommandsOnStderrAndInJsonTheReportUnchanged) {
  emu::EmulatedPlatform clean;
  clean.AddDrive(Writer("WRITER"));
  const CheckRun plain = Check(clean, AnyDrive(1));

  emu::EmulatedPlatform machine;
  const int drive = machine.AddDrive(Writer("WRITER"));
  machine.Drive(drive).MutableProfile().faults["DF"] = {RefusedFault()};
  const CheckRun text = Check(machine, AnyDrive(1));
  EXPECT_EQ(text.exitCode, plain.exitCode);
  EXPECT_EQ(text.out, plain.out) << "the report lines stay as they are";
  EXPECT_EQ(text.err.find("refused"), std::string::npos)
      << "a CD-R check sends no vendor command: " << text.err;

  machine.Drive(drive).MutableProfile().faults["BB"] = {RefusedFault()};
  const CheckRun refused = Check(machine, AnyDrive(1, true));
  const nlohmann::json j = nlohmann::json::parse(refused.out, nullptr, false);
  ASSERT_FALSE(j.is_discarded()) << refused.out;
  ASSERT_EQ(j["refusedCommands"].size(), 1u) << refused.out;
  EXPECT_EQ(j["refusedCommands"][0]["opcode"], "BBh");
  EXPECT_EQ(j["ready"], true);
  EXPECT_NE(refused.err.find("the system refused SET CD SPEED (BBh)"), std::string::npos)
      << refused.err;
}

TEST(CheckNotes, NeverReadyAndHungDrivesEndWithTheirOwnExitCode) {
  emu::EmulatedPlatform slow;
  const int s = slow.AddDrive(Writer("SLOW"));
  slow.Drive(s).SetBecomingReady(1u << 30, 0);
  const CheckRun notReady = Check(slow, AnyDrive(1));
  EXPECT_EQ(notReady.exitCode, kExitNotReady);
  EXPECT_NE(notReady.err.find("did not become ready"), std::string::npos) << notReady.err;
  EXPECT_NE(notReady.out.find("Disc Type"), std::string::npos) << "the report is still printed";
  slow.Drive(s).SetBecomingReady(1u << 30, 0);
  const CheckRun notReadyJson = Check(slow, AnyDrive(1, true));
  const nlohmann::json j = nlohmann::json::parse(notReadyJson.out, nullptr, false);
  ASSERT_FALSE(j.is_discarded()) << notReadyJson.out;
  EXPECT_EQ(j["ready"], false);
  EXPECT_EQ(notReadyJson.exitCode, kExitNotReady);

  emu::EmulatedPlatform hung;
  hung.AddDrive(Writer("FINE"));
  const int h = hung.AddDrive(Writer("HUNG"));
  hung.Drive(h).MutableProfile().faults["*"] = {HangFault()};
  const CheckRun stuck = Check(hung, AnyDrive(2, true));
  EXPECT_EQ(stuck.exitCode, kExitNotReady);
  EXPECT_NE(stuck.err.find("did not answer"), std::string::npos) << stuck.err;
  const nlohmann::json k = nlohmann::json::parse(stuck.out, nullptr, false);
  ASSERT_FALSE(k.is_discarded()) << stuck.out;
  EXPECT_EQ(k["ready"], false);
  std::size_t reached = 0;
  for (const auto& entry : hung.CdbLog()) {
    reached += entry.drive == h ? 1 : 0;
  }
  EXPECT_EQ(reached, 1u) << "one command waited out the bound; none after it";
  const CheckRun fine = Check(hung, AnyDrive(1));
  EXPECT_NE(fine.exitCode, kExitNotReady) << "the other drive is checked as usual: " << fine.err;
}

// On the emulated clock: a drive that stops answering at any command of the listing or the check
// costs the whole run one command bound, not one per command or the ready wait on top.
TEST(CheckNotes, ADriveThatStopsAnsweringCostsOneCommandBound) {
  std::size_t commands = 0;
  {
    emu::EmulatedPlatform clean;
    clean.AddDrive(Writer("HUNG"));
    ASSERT_EQ(Check(clean, AnyDrive(1)).exitCode, kExitOk);
    commands = clean.CdbLog().size();
  }
  ASSERT_GT(commands, 5u);
  for (uint32_t from = 1; from <= commands; ++from) {
    emu::EmulatedPlatform machine;
    const int drive = machine.AddDrive(Writer("HUNG"));
    emu::Fault hang = HangFault();
    hang.failAfter = from;
    machine.Drive(drive).MutableProfile().faults["*"] = {hang};
    const int64_t start = machine.CounterNow();
    const CheckRun run = Check(machine, AnyDrive(1));
    const int64_t waited = (machine.CounterNow() - start) / machine.CounterFrequency();
    SCOPED_TRACE("hung from command " + std::to_string(from) + "\n" + run.err);
    EXPECT_GE(waited, emu::kEmulatedCommandBoundSeconds);
    EXPECT_LT(waited, 2 * emu::kEmulatedCommandBoundSeconds);
    EXPECT_NE(run.exitCode, kExitOk);
  }
}

TEST(CheckNotes, ADriveNamedByItsNode) {
  emu::EmulatedPlatform machine;
  machine.AddDrive(Writer("FIRST"));
  machine.AddDrive(Writer("SECOND"));
  CliRequest byNode;
  byNode.checkNode = "/dev/sr1";
  byNode.json = true;
  const CheckRun node = Check(machine, byNode);
  const CheckRun line = Check(machine, AnyDrive(2, true));
  EXPECT_EQ(node.exitCode, line.exitCode);
  EXPECT_EQ(node.out, line.out) << "the same drive, reported under its --list line";

  const struct {
    const char* node;
    const char* says;
  } bad[] = {{"/dev/sr7", "is no CD/DVD drive node"},
             {"/dev/null", "is no CD/DVD drive node"},
             {"/dev/", "is no CD/DVD drive node"}};
  for (const auto& b : bad) {
    CliRequest request;
    request.checkNode = b.node;
    const CheckRun run = Check(machine, request);
    EXPECT_EQ(run.exitCode, kExitNoDrive) << b.node;
    EXPECT_NE(run.err.find(b.says), std::string::npos) << b.node << ": " << run.err;
    EXPECT_EQ(run.out, "") << b.node;
  }
}

TEST(CheckNotes, ParsingTellsNodesFromLines) {
  const struct {
    std::vector<const char*> args;
    bool usage;
    std::optional<int> line;
    std::optional<std::string> node;
  } cases[] = {
      {{"krellvane", "--check", "2"}, false, 2, std::nullopt},
      {{"krellvane", "--check", "/dev/sr1"}, false, std::nullopt, "/dev/sr1"},
      {{"krellvane", "--check", "sr1"}, true, std::nullopt, std::nullopt},
      {{"krellvane", "--check", "2x"}, true, std::nullopt, std::nullopt},
      {{"krellvane", "--check", "99999999999"}, true, std::nullopt, std::nullopt},
      {{"krellvane", "--check"}, false, std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    const CliRequest request = ParseCommandLine(static_cast<int>(c.args.size()), c.args.data());
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    const std::string what = c.args.size() > 2 ? c.args[2] : "(none)";
    EXPECT_EQ(request.exitNow && request.exitCode == kExitUsage, c.usage) << what;
    if (!c.usage) {
      EXPECT_EQ(request.checkLine, c.line) << what;
      EXPECT_EQ(request.checkNode, c.node) << what;
    }
  }
}

}  // namespace
}  // namespace kv
