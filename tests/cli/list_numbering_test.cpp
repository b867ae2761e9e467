// --list numbers its lines the way --check counts them, shows each drive's node and kind beside
// the window's unchanged drive line, gives the same as JSON, and --check on a machine of readers
// only says so.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "app/core/cli.h"
#include "app/core/cli_check.h"
#include "tests/support/program_run.h"

namespace kv {
namespace {

using test::CommandRun;
using test::ShellQuote;

std::string Profile(const char* name) {
  return ShellQuote(std::string(KV_PROFILE_DIR "/") + name);
}

CommandRun Kv(const std::string& arguments) {
  return test::RunCommand("env -u KRELLVANE_EMULATE " + ShellQuote(KV_PROGRAM_PATH) + " " +
                          arguments);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

// A reader between two writers: the writers are 1 and 2, the reader has no --check number.
const std::string kMixed = "--emulate " + Profile("orvelix-dvdrw-blank-cdr.json") + " " +
                           Profile("orvelix-cdrom-reader.json") + " " +
                           Profile("orvelix-combo-cdrw.json");

TEST(ListNumbering, WritersNumberedAsCheckCountsReadersNot) {
  const CommandRun run = Kv("--list " + kMixed);
  ASSERT_EQ(run.exitCode, kExitOk) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(0, 4), " 1  ");
  EXPECT_EQ(lines[1].substr(0, 4), " -  ");
  EXPECT_EQ(lines[2].substr(0, 4), " 2  ");
  const char* kinds[] = {"  writer  /dev/sr0", "  reader  /dev/sr1", "  writer  /dev/sr2"};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_NE(lines[i].find(kinds[i]), std::string::npos) << lines[i];
    // The window's drive line follows the number column unchanged: " 0-0-N-0 N:VENDOR...".
    EXPECT_EQ(lines[i].substr(4, 11), " 0-0-" + std::to_string(i) + "-0 " + std::to_string(i) + ":")
        << lines[i];
  }
}

TEST(ListNumbering, CheckLineReachesTheDriveListedUnderThatNumber) {
  const nlohmann::json list = nlohmann::json::parse(Kv("--list --json " + kMixed).out);
  ASSERT_EQ(list["drives"].size(), 3u);
  for (const nlohmann::json& drive : list["drives"]) {
    const std::string address = drive["address"];
    if (!drive["line"].is_null()) {
      const CommandRun check =
          Kv("--check " + std::to_string(drive["line"].get<int>()) + " --json " + kMixed);
      EXPECT_EQ(nlohmann::json::parse(check.out)["drive"]["address"], address);
    }
    const CommandRun any = Kv("--check " + std::to_string(drive["anyDriveLine"].get<int>()) +
                              " --any-drive --json " + kMixed);
    EXPECT_EQ(nlohmann::json::parse(any.out)["drive"]["address"], address) << any.err;
  }
}

TEST(ListNumbering, JsonHoldsWhatTheTextShows) {
  const std::vector<std::string> text = Lines(Kv("--list --emulate").out);
  const nlohmann::json list = nlohmann::json::parse(Kv("--list --json --emulate").out);
  ASSERT_EQ(list["drives"].size(), text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const nlohmann::json& drive = list["drives"][i];
    EXPECT_NE(text[i].find(drive["driveLine"].get<std::string>()), std::string::npos);
    EXPECT_NE(text[i].find(drive["node"].get<std::string>()), std::string::npos);
    EXPECT_EQ(drive["anyDriveLine"], static_cast<int>(i) + 1);
    EXPECT_EQ(drive["writer"].get<bool>(), text[i].find("  writer  ") != std::string::npos);
  }
}

struct ReadersCase {
  uint32_t readers;
  const char* message;
};

TEST(ReadersOnly, MessageCountsTheReaders) {
  for (const ReadersCase& c :
       {ReadersCase{1, "no CD/DVD writer found; 1 reader: use --any-drive"},
        ReadersCase{3, "no CD/DVD writer found; 3 readers: use --any-drive"}}) {
    EXPECT_EQ(ReadersOnlyMessage(c.readers), c.message);
  }
}

TEST(ReadersOnly, CheckOnReadersSaysSoAndAnyDriveReachesThem) {
  const std::string readers = "--emulate " + Profile("orvelix-cdrom-reader.json") + " " +
                              Profile("qemu-scsi-dvd.json") + " " + Profile("qemu-ide-cd.json");
  const CommandRun check = Kv("--check " + readers);
  EXPECT_EQ(check.exitCode, kExitNoDrive);
  EXPECT_EQ(check.out, "");
  EXPECT_EQ(check.err, "krellvane: no CD/DVD writer found; 3 readers: use --any-drive\n");
  const CommandRun any = Kv("--check 3 --any-drive " + readers);
  EXPECT_NE(any.exitCode, kExitNoDrive) << any.err;
  EXPECT_NE(any.exitCode, kExitUsage) << any.err;
}

}  // namespace
}  // namespace kv
