// krellvane --check on the emulated sample drives: the printed lines equal the window's report,
// --json agrees with the text, and the exit codes.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "app/core/cli.h"
#include "app/core/cli_check.h"
#include "app/core/main_window_logic.h"
#include "app/core/media_check.h"
#include "drive/application_tag.h"
#include "drive/atapi_device.h"
#include "drive/notifier.h"
#include "drive/platform/emulated/emulated_platform.h"

namespace kv {
namespace {

using Lines = std::vector<std::string>;

class SilentNotifier : public Notifier {
 public:
  void ShowError(const std::string&, const std::string&) override {}
};

class CollectingSink : public ReportSink {
 public:
  void Clear() override { lines.clear(); }
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  Lines lines;
};

Lines SplitLines(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    lines.push_back(line);
  }
  return lines;
}

std::unique_ptr<emu::EmulatedPlatform> SampleMachine() {
  std::string error;
  auto machine = emu::CreateEmulatedMachine({}, error);
  EXPECT_TRUE(machine) << error;
  return machine;
}

struct CheckRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

CheckRun RunCheckCommand(Platform& platform, std::optional<int> line, bool json = false,
                         bool anyDrive = false) {
  CliRequest request;
  request.mode = CliMode::Check;
  request.checkLine = line;
  request.json = json;
  request.anyDrive = anyDrive;
  std::ostringstream out;
  std::ostringstream err;
  CheckRun run;
  StderrNotifier notifier;
  run.exitCode = RunCheckOn(platform, notifier, request, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

// The lines the window shows for its list line (0-based) on a fresh sample machine.
Lines WindowReport(int windowLine) {
  auto machine = SampleMachine();
  SetApplicationTag(kApplicationTagPreferAspi);
  SilentNotifier notifier;
  AtapiDevice device(*machine, notifier);
  DriveListing listing = ListWriters(device);
  std::optional<int16_t> drive = DriveForLine(listing, windowLine);
  EXPECT_TRUE(drive.has_value());
  if (!drive || !device.SelectDrive(*drive)) {
    return {};
  }
  CollectingSink sink;
  RunMediaCheck(device, device.GetDriveRecord(static_cast<uint32_t>(*drive)), {}, {}, sink);
  return sink.lines;
}

int SampleWriterCount() {
  auto machine = SampleMachine();
  SilentNotifier notifier;
  AtapiDevice device(*machine, notifier);
  return static_cast<int>(ListWriters(device).lines.size());
}

TEST(CheckCommand, SampleMachineHasSeveralWriters) {
  EXPECT_GE(SampleWriterCount(), 5);
}

TEST(CheckCommand, EveryLinePrintsExactlyTheWindowsReport) {
  int count = SampleWriterCount();
  for (int line = 1; line <= count; ++line) {
    auto machine = SampleMachine();
    CheckRun run = RunCheckCommand(*machine, line);
    Lines expected = WindowReport(line - 1);
    EXPECT_EQ(SplitLines(run.out), expected) << "line " << line;
    EXPECT_FALSE(expected.empty());
    bool noMedia = expected.size() == 2 && expected[1].find("NO MEDIA") != std::string::npos;
    EXPECT_EQ(run.exitCode, noMedia ? kExitNoMedia : kExitOk) << "line " << line;
  }
}

TEST(CheckCommand, DefaultsToTheFirstLine) {
  auto first = SampleMachine();
  auto defaulted = SampleMachine();
  EXPECT_EQ(RunCheckCommand(*defaulted, std::nullopt).out, RunCheckCommand(*first, 1).out);
}

TEST(CheckCommand, NoSuchLine) {
  int count = SampleWriterCount();
  for (int line : {0, -1, count + 1, 99, INT32_MIN, INT32_MAX}) {
    auto machine = SampleMachine();
    CheckRun run = RunCheckCommand(*machine, line);
    EXPECT_EQ(run.exitCode, kExitNoDrive) << line;
    EXPECT_TRUE(run.out.empty()) << line;
    EXPECT_NE(run.err.find("no drive line"), std::string::npos) << run.err;
  }
}

TEST(CheckCommand, MachineWithoutWriters) {
  emu::EmulatedPlatform empty;
  CheckRun run = RunCheckCommand(empty, std::nullopt);
  EXPECT_EQ(run.exitCode, kExitNoDrive);
  EXPECT_NE(run.err.find("No drive detected !"), std::string::npos);

  // A CD-ROM reader alone is not listed.
  emu::EmulatedPlatform readerOnly;
  emu::DriveProfile reader;
  reader.drive.capabilities.cdrWrite = false;
  reader.drive.capabilities.cdrwWrite = false;
  reader.drive.capabilities.dvdRomRead = false;
  reader.drive.capabilities.dvdRWrite = false;
  readerOnly.AddDrive(reader);
  run = RunCheckCommand(readerOnly, 1);
  EXPECT_EQ(run.exitCode, kExitNoDrive);
  EXPECT_TRUE(run.out.empty());
}

// The report of device drive k on a fresh sample machine, as the window would show it were the
// drive listed.
Lines DeviceDriveReport(int16_t drive) {
  auto machine = SampleMachine();
  SetApplicationTag(kApplicationTagPreferAspi);
  SilentNotifier notifier;
  AtapiDevice device(*machine, notifier);
  if (!device.SelectDrive(drive)) {
    return {};
  }
  CollectingSink sink;
  RunMediaCheck(device, device.GetDriveRecord(static_cast<uint32_t>(drive)), {}, {}, sink);
  return sink.lines;
}

TEST(CheckAnyDrive, LinesFollowTheDeviceOrderFromOneReadersIncluded) {
  auto probe = SampleMachine();
  SilentNotifier notifier;
  int count = AtapiDevice(*probe, notifier).GetDriveCount();
  ASSERT_GT(count, SampleWriterCount()) << "the sample machine has a reader";
  for (int line = 1; line <= count; ++line) {
    auto machine = SampleMachine();
    CheckRun run = RunCheckCommand(*machine, line, false, true);
    EXPECT_EQ(SplitLines(run.out), DeviceDriveReport(static_cast<int16_t>(line - 1))) << line;
    EXPECT_NE(run.exitCode, kExitNoDrive) << line;
  }
  auto defaulted = SampleMachine();
  EXPECT_EQ(SplitLines(RunCheckCommand(*defaulted, std::nullopt, false, true).out),
            DeviceDriveReport(0));
  for (int line : {0, -1, count + 1, INT32_MIN, INT32_MAX}) {
    auto machine = SampleMachine();
    CheckRun run = RunCheckCommand(*machine, line, false, true);
    EXPECT_EQ(run.exitCode, kExitNoDrive) << line;
    EXPECT_TRUE(run.out.empty());
  }
  emu::EmulatedPlatform empty;
  EXPECT_EQ(RunCheckCommand(empty, std::nullopt, false, true).exitCode, kExitNoDrive);
}

const std::string* FindLine(const Lines& lines, const std::string& label) {
  for (const std::string& line : lines) {
    if (line.rfind(label, 0) == 0) {
      return &line;
    }
  }
  return nullptr;
}

TEST(CheckCommand, JsonAgreesWithTheText) {
  int count = SampleWriterCount();
  for (int line = 1; line <= count; ++line) {
    auto textMachine = SampleMachine();
    auto jsonMachine = SampleMachine();
    CheckRun text = RunCheckCommand(*textMachine, line);
    CheckRun json = RunCheckCommand(*jsonMachine, line, true);
    EXPECT_EQ(json.exitCode, text.exitCode);
    nlohmann::json j = nlohmann::json::parse(json.out, nullptr, false);
    ASSERT_FALSE(j.is_discarded()) << json.out;
    Lines lines = SplitLines(text.out);
    SCOPED_TRACE("line " + std::to_string(line) + "\n" + text.out + json.out);

    EXPECT_EQ(j["drive"]["line"], line);
    EXPECT_EQ(lines.at(0),
              "        Drive Type = " + j["drive"]["driveType"]["name"].get<std::string>() +
                  std::string(9 - j["drive"]["driveType"]["name"].get<std::string>().size(), ' '));
    std::string discName = j["disc"]["type"]["name"];
    EXPECT_NE(lines.at(1).find(discName.substr(0, 3)), std::string::npos);
    EXPECT_TRUE(j["completed"].get<bool>());

    const std::string* leadIn = FindLine(lines, "           Lead In = ");
    if (leadIn != nullptr) {
      EXPECT_EQ(leadIn->substr(21), j["disc"]["leadIn"]["time"]);
      EXPECT_EQ(FindLine(lines, "          Lead Out = ")->substr(21), j["disc"]["leadOut"]["time"]);
      EXPECT_EQ(FindLine(lines, "          Material = ")->substr(21), j["disc"]["material"]);
    } else {
      EXPECT_TRUE(j["disc"]["leadIn"].is_null());
    }
    const std::string* mid = FindLine(lines, "          Disc MID = ");
    if (mid != nullptr) {
      std::string hex = j["disc"]["mediaId"]["hex"];
      std::string printable = j["disc"]["mediaId"]["text"];
      EXPECT_EQ(*mid, "          Disc MID = " + hex + " (" + printable + ")");
    } else {
      EXPECT_TRUE(j["disc"]["mediaId"].is_null());
    }
    const std::string* maker = FindLine(lines, "Manufacturer Maybe = ");
    if (maker != nullptr) {
      EXPECT_EQ(maker->substr(21), j["disc"]["manufacturer"]["printed"]);
      const nlohmann::json& name = j["disc"]["manufacturer"]["name"];
      EXPECT_EQ(name.is_null(), maker->substr(21) == "Unknown");
    } else {
      EXPECT_TRUE(j["disc"]["manufacturer"].is_null());
    }
    const std::string* speed = FindLine(lines, "KRELL-VANE Speed Limit = ");
    if (speed != nullptr) {
      double multiple = j["disc"]["speed"]["multiple"];
      char buffer[64];
      bool dvd = j["disc"]["type"]["code"].get<int>() >= 15;
      std::snprintf(buffer, sizeof buffer, dvd ? "%.1f" : "%.0f", multiple);
      EXPECT_EQ(*speed, "KRELL-VANE Speed Limit = " + std::string(buffer) + "X (Write)");
      EXPECT_EQ(*speed, "KRELL-VANE Speed Limit = " +
                            j["disc"]["speed"]["printed"].get<std::string>() + " (Write)");
    } else {
      EXPECT_TRUE(j["disc"]["speed"].is_null());
    }
  }
}

// The user database named in the settings file, for the length of one test.
class UserDatabaseSetting {
 public:
  explicit UserDatabaseSetting(const std::string& content) {
    dir_ = std::filesystem::temp_directory_path() /
           ("kv-check-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    std::ofstream(dir_ / "media.txt") << content;
    std::ofstream(dir_ / "settings.ini")
        << "[Krellvane]\nUserDefinedFule=" << (dir_ / "media.txt").string() << "\n";
    const char* old = std::getenv("KRELLVANE_SETTINGS");
    if (old != nullptr) {
      previous_ = old;
    }
    ::setenv("KRELLVANE_SETTINGS", (dir_ / "settings.ini").c_str(), 1);
  }
  ~UserDatabaseSetting() {
    if (previous_) {
      ::setenv("KRELLVANE_SETTINGS", previous_->c_str(), 1);
    } else {
      ::unsetenv("KRELLVANE_SETTINGS");
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

 private:
  std::filesystem::path dir_;
  std::optional<std::string> previous_;
};

TEST(CheckCommand, UserDatabaseNamesTheDisc) {
  auto probe = SampleMachine();
  CheckRun plain = RunCheckCommand(*probe, 1, true);
  nlohmann::json j = nlohmann::json::parse(plain.out);
  ASSERT_FALSE(j["disc"]["leadIn"].is_null()) << "line 1 is expected to hold a CD";
  std::string leadIn = std::to_string(j["disc"]["leadIn"]["value"].get<uint32_t>());
  std::string leadOut = std::to_string(j["disc"]["leadOut"]["value"].get<uint32_t>());
  leadIn.insert(0, 6 - leadIn.size(), '0');
  leadOut.insert(0, 6 - leadOut.size(), '0');
  UserDatabaseSetting setting("[CD]\n" + leadIn + "_" + leadOut + "=My Own Maker\n");
  auto machine = SampleMachine();
  CheckRun run = RunCheckCommand(*machine, 1);
  EXPECT_EQ(run.exitCode, kExitOk);
  EXPECT_NE(run.out.find("Manufacturer Maybe = My Own Maker\n"), std::string::npos) << run.out;
}

TEST(CheckCommand, UserDatabaseErrorIsShownAndTheCheckGoesOn) {
  UserDatabaseSetting setting("[DVD]\n52494Z4F484A504E52303300=Broken\n");
  auto machine = SampleMachine();
  CheckRun run = RunCheckCommand(*machine, 1);
  EXPECT_EQ(run.exitCode, kExitOk);
  EXPECT_NE(run.err.find("is not a valid integer value"), std::string::npos) << run.err;
  EXPECT_NE(run.out.find("KRELL-VANE Speed Limit = "), std::string::npos) << run.out;
}

struct ProgramRun {
  int exitCode = -1;
  std::string out;
};

ProgramRun RunProgram(const std::string& arguments) {
  std::string command = std::string("\"") + KV_PROGRAM_PATH + "\" " + arguments + " 2>/dev/null";
  ProgramRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) {
    return run;
  }
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
    run.out.append(buffer, n);
  }
  int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(CheckProgram, EmulatedCheckPrintsTheFirstWritersReport) {
  ProgramRun run = RunProgram("--check --emulate");
  EXPECT_EQ(run.exitCode, kExitOk);
  EXPECT_EQ(SplitLines(run.out), WindowReport(0));
}

TEST(CheckProgram, ExitCodes) {
  int count = SampleWriterCount();
  EXPECT_EQ(RunProgram("--check 99 --emulate").exitCode, kExitNoDrive);
  EXPECT_EQ(RunProgram("--check 0 --emulate").exitCode, kExitNoDrive);
  EXPECT_EQ(RunProgram("--check x --emulate").exitCode, kExitUsage);
  bool sawNoMedia = false;
  for (int line = 1; line <= count; ++line) {
    ProgramRun run = RunProgram("--check " + std::to_string(line) + " --emulate --json");
    nlohmann::json j = nlohmann::json::parse(run.out, nullptr, false);
    ASSERT_FALSE(j.is_discarded()) << run.out;
    int disc = j["disc"]["type"]["code"];
    EXPECT_EQ(run.exitCode, disc == 0 ? kExitNoMedia : kExitOk) << line;
    sawNoMedia = sawNoMedia || disc == 0;
  }
  EXPECT_TRUE(sawNoMedia) << "the sample machine has an empty writer";
}

}  // namespace
}  // namespace kv
