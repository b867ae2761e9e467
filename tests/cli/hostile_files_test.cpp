// The program given files that are not what they should be: it ends with its message and exit
// code, never with an abort, and never waits on a FIFO.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/core/cli.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

// A hang becomes the exit code of timeout(1) instead of a stuck test.
constexpr int kTimedOut = 124;

struct ProgramRun {
  int exitCode = -1;  // -1: ended by a signal (an abort)
  std::string out;
};

ProgramRun RunProgram(const std::string& arguments, const std::string& environment = "") {
  const std::string command =
      environment + " timeout 60 \"" + KV_PROGRAM_PATH + "\" " + arguments + " 2>&1";
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
  const int status = ::pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class HostileFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kv-hostile-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string File(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
    return (dir_ / name).string();
  }

  fs::path dir_;
};

TEST_F(HostileFilesTest, BadProfilesEndTheCheckWithAMessage) {
  const struct {
    const char* label;
    std::string profile;
    const char* message;
  } cases[] = {
      {"number beyond a double",
       File("big.json", R"({"drive": {"capabilities": {"maxReadSpeed": 1e400}}, )"
                        R"("disc": {"kind": "CD-R"}})"),
       "not valid JSON"},
      {"fifo", (dir_ / "fifo.json").string(), "cannot open the profile file"},
      {"device", "/dev/zero", "cannot open the profile file"},
  };
  ASSERT_EQ(::mkfifo((dir_ / "fifo.json").c_str(), 0600), 0);
  for (const auto& c : cases) {
    const ProgramRun run = RunProgram("--check --emulate " + c.profile);
    EXPECT_NE(run.exitCode, kExitOk) << c.label;
    EXPECT_NE(run.exitCode, -1) << c.label;
    EXPECT_NE(run.exitCode, kTimedOut) << c.label;
    EXPECT_NE(run.out.find(c.message), std::string::npos) << c.label << ": " << run.out;
  }
}

TEST_F(HostileFilesTest, EmptyRawAnswersStillGiveAReport) {
  const std::string profile = File(
      "empty.json", R"({"disc": {"kind": "CD-R"}, "raw": {"43/04": "", "46/00": "", "23": ""}})");
  const ProgramRun run = RunProgram("--check --emulate " + profile);
  EXPECT_EQ(run.exitCode, kExitOk) << run.out;
}

TEST_F(HostileFilesTest, UserDatabaseAndSettingsThatAreNotFilesAreSkipped) {
  ASSERT_EQ(::mkfifo((dir_ / "db.txt").c_str(), 0600), 0);
  File("settings.ini", "[Krellvane]\nUserDefinedFule=" + (dir_ / "db.txt").string() + "\n");
  const ProgramRun withFifo =
      RunProgram("--check --emulate", "KRELLVANE_SETTINGS=" + (dir_ / "settings.ini").string());
  EXPECT_EQ(withFifo.exitCode, kExitOk) << withFifo.out;

  ASSERT_EQ(::mkfifo((dir_ / "fifo.ini").c_str(), 0600), 0);
  const ProgramRun fifoSettings =
      RunProgram("--check --emulate", "KRELLVANE_SETTINGS=" + (dir_ / "fifo.ini").string());
  EXPECT_EQ(fifoSettings.exitCode, kExitOk) << fifoSettings.out;
}

}  // namespace
}  // namespace kv
