// `krellvane --list`: the program on emulated drives and on this machine, the emulation
// environment variable, and the hints a person gets when no drive can be used.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/core/cli.h"
#include "app/core/cli_list.h"
#include "app/core/platform_factory.h"
#include "drive/platform/emulated/emulated_platform.h"
#include "drive/platform/emulated/sample_profiles.h"
#include "drive/platform/linux/linux_platform.h"
#include "tests/support/linux_fake_tree.h"

namespace kv {
namespace {

struct ProgramRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

// Runs the built program with the given arguments; env is prepended ("NAME=value ...").
ProgramRun RunProgram(const std::string& arguments, const std::string& env = "") {
  const auto dir = std::filesystem::temp_directory_path();
  const std::string tag = std::to_string(getpid());
  const auto out = dir / ("kv-list-out-" + tag);
  const auto err = dir / ("kv-list-err-" + tag);
  const std::string command = "env -u KRELLVANE_EMULATE " + env + " '" KV_PROGRAM_PATH "' " +
                              arguments + " >'" + out.string() + "' 2>'" + err.string() + "'";
  ProgramRun run;
  const int status = std::system(command.c_str());
  if (status != -1 && WIFEXITED(status)) {
    run.exitCode = WEXITSTATUS(status);
  }
  run.out = ReadFile(out);
  run.err = ReadFile(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return run;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(ListProgram, SampleDrivesOneLineEach) {
  const ProgramRun run = RunProgram("--list --emulate");

  ASSERT_EQ(run.exitCode, kExitOk) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), emu::SampleProfiles().size());
  int readers = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    // Every sample drive has a node name "srN", shown as "N:".
    EXPECT_NE(line.find(" " + std::to_string(i) + ":"), std::string::npos) << line;
    EXPECT_NE(line.find("ORVELIX"), std::string::npos) << line;
    const std::string node = "  /dev/sr" + std::to_string(i);
    EXPECT_TRUE(EndsWith(line, "  writer" + node) || EndsWith(line, "  reader" + node)) << line;
    readers += EndsWith(line, "  reader" + node) ? 1 : 0;
  }
  EXPECT_EQ(readers, 1) << "the sample machine has one plain reader";
  EXPECT_EQ(run.err, "");
}

TEST(ListProgram, EnvironmentChoosesTheSampleDrives) {
  const ProgramRun run = RunProgram("--list", "KRELLVANE_EMULATE=1");
  EXPECT_EQ(run.exitCode, kExitOk) << run.err;
  EXPECT_EQ(Lines(run.out).size(), emu::SampleProfiles().size());
}

TEST(ListProgram, BadProfileIsAClearErrorAndListsNothing) {
  const ProgramRun missing = RunProgram("--list --emulate /nonexistent/drive.json");
  EXPECT_EQ(missing.exitCode, kExitFailure);
  EXPECT_EQ(missing.out, "");
  EXPECT_NE(missing.err.find("/nonexistent/drive.json"), std::string::npos) << missing.err;

  const ProgramRun fromEnvironment =
      RunProgram("--list", "KRELLVANE_EMULATE=/nonexistent/drive.json");
  EXPECT_EQ(fromEnvironment.exitCode, kExitFailure);
  EXPECT_NE(fromEnvironment.err.find("/nonexistent/drive.json"), std::string::npos);
}

TEST(ListProgram, ThisMachineWithoutDrives) {
  if (!LinuxPlatform().ListDriveRoots().roots.empty()) {
    GTEST_SKIP() << "this machine has CD/DVD nodes";
  }
  const ProgramRun run = RunProgram("--list");

  EXPECT_EQ(run.exitCode, kExitNoDrive);
  EXPECT_EQ(run.out, "");
  const std::vector<std::string> lines = Lines(run.err);
  ASSERT_GE(lines.size(), 2u) << run.err;
  EXPECT_EQ(lines[lines.size() - 2], "No drive detected !");
  EXPECT_NE(lines.back().find("--emulate"), std::string::npos);
}

class ScopedEnvironment {
 public:
  explicit ScopedEnvironment(const char* value) {
    if (const char* old = std::getenv(kEmulateEnvironmentVariable)) {
      saved_ = old;
    }
    if (value != nullptr) {
      setenv(kEmulateEnvironmentVariable, value, 1);
    } else {
      unsetenv(kEmulateEnvironmentVariable);
    }
  }
  ~ScopedEnvironment() {
    if (saved_) {
      setenv(kEmulateEnvironmentVariable, saved_->c_str(), 1);
    } else {
      unsetenv(kEmulateEnvironmentVariable);
    }
  }

 private:
  std::optional<std::string> saved_;
};

TEST(EmulateEnvironment, AppliesOnlyWhenTheCommandLineChoseNothing) {
  using Profiles = std::vector<std::string>;
  const struct {
    const char* value;
    bool commandLineEmulates;
    bool emulate;
    Profiles profiles;
  } cases[] = {
      {nullptr, false, false, {}},
      {"", false, false, {}},
      {"1", false, true, {}},
      {"a.json", false, true, {"a.json"}},
      {"a.json:b.json", false, true, {"a.json", "b.json"}},
      {"a.json::b.json:", false, true, {"a.json", "b.json"}},
      {"1:2", false, true, {"1", "2"}},
      {"a.json", true, true, {"mine.json"}},
      {"1", true, true, {"mine.json"}},
  };
  for (const auto& c : cases) {
    ScopedEnvironment env(c.value);
    PlatformChoice choice;
    if (c.commandLineEmulates) {
      choice.emulate = true;
      choice.profiles = {"mine.json"};
    }
    ApplyEmulateEnvironment(choice);
    const std::string label = c.value != nullptr ? c.value : "(unset)";
    EXPECT_EQ(choice.emulate, c.emulate) << label;
    EXPECT_EQ(choice.profiles, c.profiles) << label;
  }
}

TEST(EmulateEnvironment, CreatePlatformFollowsTheChoice) {
  std::string error = "stale";
  PlatformChoice real;
  auto onLinux = CreatePlatform(real, error);
  ASSERT_NE(onLinux, nullptr);
  EXPECT_EQ(onLinux->Name(), "linux");
  EXPECT_EQ(error, "");

  PlatformChoice samples;
  samples.emulate = true;
  auto emulated = CreatePlatform(samples, error);
  ASSERT_NE(emulated, nullptr) << error;
  EXPECT_EQ(emulated->Name(), "emulated");

  PlatformChoice bareOption;  // what a bare --emulate gives
  bareOption.emulate = true;
  bareOption.profiles = {""};
  EXPECT_NE(CreatePlatform(bareOption, error), nullptr) << error;

  PlatformChoice missing;
  missing.emulate = true;
  missing.profiles = {"", "/nonexistent/x.json"};
  EXPECT_EQ(CreatePlatform(missing, error), nullptr);
  EXPECT_NE(error.find("/nonexistent/x.json"), std::string::npos) << error;
}

class RecordingNotifier : public Notifier {
 public:
  void ShowError(const std::string& text, const std::string& caption) override {
    messages.push_back(caption + "|" + text);
  }
  std::vector<std::string> messages;
};

TEST(ListDrives, RefusedNodesGetOnePermissionHintEach) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "root opens any node";
  }
  linuxtest::FakeTree tree;
  ASSERT_TRUE(tree.Ok());
  for (const char* name : {"sr0", "sr1"}) {
    tree.AddSysfsNode("block", name, "0:0:0:0");
    tree.AddDevNode(name);
    std::filesystem::permissions(tree.DevPath(name), std::filesystem::perms::none);
  }
  LinuxPlatform platform(tree.paths);
  RecordingNotifier notifier;
  std::ostringstream out;
  std::ostringstream err;

  EXPECT_EQ(ListDrives(platform, notifier, out, err), kExitNoDrive);

  EXPECT_EQ(out.str(), "");
  const std::vector<std::string> lines = Lines(err.str());
  ASSERT_EQ(lines.size(), 4u) << err.str();
  EXPECT_EQ(lines[0], "krellvane: cannot open " + tree.DevPath("sr0") +
                          ": Permission denied (add your user to the 'cdrom' group)");
  EXPECT_EQ(lines[1], "krellvane: cannot open " + tree.DevPath("sr1") +
                          ": Permission denied (add your user to the 'cdrom' group)");
  EXPECT_EQ(lines[2], "No drive detected !");
  EXPECT_TRUE(notifier.messages.empty()) << "a missing sg driver is no message";
}

TEST(ListDrives, ManagerLoadFailureGoesToTheNotifierAndNoDriveIsListed) {
  emu::EmulatedPlatform platform;
  platform.AddDrive(emu::DriveProfile{});
  platform.SetNtFamily(false);
  platform.SetAspiLoadOutcome(AspiLoadResult::Outcome::ModuleNotFound);
  RecordingNotifier notifier;
  std::ostringstream out;
  std::ostringstream err;

  EXPECT_EQ(ListDrives(platform, notifier, out, err), kExitNoDrive);

  EXPECT_EQ(notifier.messages,
            std::vector<std::string>{"Error FS 002|LoadLibrary:\nWNASPI32.DLL not found."});
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(Lines(err.str()).front(), "No drive detected !");
}

TEST(ListDrives, LinesFollowTheDriveTable) {
  emu::EmulatedPlatform platform;
  emu::DriveProfile reader;
  reader.drive.inquiry.product = "KV-CD52";
  reader.drive.capabilities.cdrWrite = false;
  reader.drive.capabilities.cdrwWrite = false;
  reader.drive.capabilities.dvdRWrite = false;
  reader.drive.capabilities.dvdRomRead = false;
  reader.drive.profiles = {0x0008};
  platform.SetScsiAddress(platform.AddDrive(reader), 1, 0, 0, 0);
  emu::DriveProfile writer;
  writer.drive.inquiry.product = "KV-DW1648A";
  platform.SetScsiAddress(platform.AddDrive(writer), 0, 0, 3, 0);
  RecordingNotifier notifier;
  std::ostringstream out;
  std::ostringstream err;

  ASSERT_EQ(ListDrives(platform, notifier, out, err), kExitOk) << err.str();

  const std::vector<std::string> lines = Lines(out.str());
  ASSERT_EQ(lines.size(), 2u);
  // The --check number (readers have none), then the window's drive line unchanged.
  EXPECT_EQ(lines[0].substr(0, 46), " 1   0-0-3-0 1:ORVELIX KV-DW1648A       1.04  ");
  EXPECT_TRUE(EndsWith(lines[0], "  writer  /dev/sr1")) << lines[0];
  EXPECT_EQ(lines[1].substr(0, 46), " -   1-0-0-0 0:ORVELIX KV-CD52          1.04  ");
  EXPECT_TRUE(EndsWith(lines[1], "  reader  /dev/sr0")) << lines[1];
  EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace kv
