// The command line's conventions: --help per edition, -h and -V, and every error on standard
// error as "PROGRAM: text" with a pointer to --help, never with the JSON library's internals.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/core/cli.h"
#include "app/core/cli_help.h"
#include "tests/support/program_run.h"

namespace kv {
namespace {

namespace fs = std::filesystem;
using test::CommandRun;
using test::RunCommand;
using test::ShellQuote;

const std::string kBuilderPath =
    (fs::path(KV_PROGRAM_PATH).parent_path() / "krellvane-builder").string();

CommandRun RunKv(const std::string& arguments, const std::string& program = KV_PROGRAM_PATH,
                 const std::string& env = "") {
  return RunCommand("env -u KRELLVANE_EMULATE -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                    env + " " + ShellQuote(program) + " " + arguments);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

TEST(Help, NormalEditionOffersNoBuild) {
  const std::string help = HelpText(false);
  EXPECT_EQ(help.rfind("Usage: krellvane [OPTION]...\n", 0), 0u);
  EXPECT_EQ(help.find("--build"), std::string::npos);
  EXPECT_EQ(help.find("krellvane-builder"), std::string::npos);
  for (const char* option : {"--list", "--check [LINE|NODE]", "--any-drive", "--json",
                             "--emulate [PROFILE...]", "-h, --help", "-V, --version"}) {
    EXPECT_NE(help.find(std::string("  ") + option + " "), std::string::npos) << option;
  }
}

TEST(Help, BuilderEditionNamesItsProgramAndBuild) {
  const std::string help = HelpText(true);
  EXPECT_EQ(help.rfind("Usage: krellvane-builder [OPTION]...\n", 0), 0u);
  EXPECT_NE(help.find("  --build PARAMFILE "), std::string::npos);
  EXPECT_NE(help.find("the build failed"), std::string::npos);
}

TEST(Help, FitsEightyColumnsAndListsEveryExitStatus) {
  for (const bool builder : {false, true}) {
    const std::string help = HelpText(builder);
    for (const std::string& line : Lines(help)) {
      EXPECT_LE(line.size(), 79u) << line;
      EXPECT_TRUE(line.empty() || line.back() != ' ') << "'" << line << "'";
    }
    for (const int status : {kExitOk, kExitFailure, kExitUsage, kExitNoDrive, kExitNoMedia}) {
      EXPECT_NE(help.find("\n  " + std::to_string(status) + "  "), std::string::npos) << status;
    }
  }
}

struct EarlyCase {
  const char* name;
  const char* arguments;
  bool builder;
  const char* startsWith;
};

class EarlyExitTest : public testing::TestWithParam<EarlyCase> {};

// --help and --version win over whatever else is on the line and write only to standard output.
TEST_P(EarlyExitTest, PrintsToStandardOutputAndSucceeds) {
  const EarlyCase& c = GetParam();
  const CommandRun run = RunKv(c.arguments, c.builder ? kBuilderPath : KV_PROGRAM_PATH);
  EXPECT_EQ(run.exitCode, kExitOk);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out.rfind(c.startsWith, 0), 0u) << run.out;
  EXPECT_EQ(run.out.back(), '\n');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EarlyExitTest,
    testing::Values(EarlyCase{"LongHelp", "--help", false, "Usage: krellvane [OPTION]..."},
                    EarlyCase{"ShortHelp", "-h", false, "Usage: krellvane [OPTION]..."},
                    EarlyCase{"HelpBeatsBadOption", "--bogus --help", false, "Usage: krellvane"},
                    EarlyCase{"HelpBeatsBadCombination", "--list --check 2 -h", false, "Usage:"},
                    EarlyCase{"BuilderHelp", "--help", true, "Usage: krellvane-builder [OPTION]"},
                    EarlyCase{"LongVersion", "--version", false, "Krell-Vane"},
                    EarlyCase{"ShortVersion", "-V", false, "Krell-Vane"},
                    EarlyCase{"BuilderVersion", "-V", true, "Krell-Vane"}),
    [](const testing::TestParamInfo<EarlyCase>& info) { return info.param.name; });

TEST(Version, ShortAndLongAreTheSame) {
  EXPECT_EQ(RunKv("-V").out, RunKv("--version").out);
  EXPECT_NE(RunKv("-V", kBuilderPath).out.find("(builder edition)"), std::string::npos);
}

struct ErrorCase {
  const char* name;
  const char* arguments;
  const char* message;  // the first line after "krellvane: "
};

class UsageErrorTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(UsageErrorTest, OneNamedLineAndAPointerToHelp) {
  const ErrorCase& c = GetParam();
  const CommandRun run = RunKv(c.arguments);
  EXPECT_EQ(run.exitCode, kExitUsage);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, std::string("krellvane: ") + c.message +
                         "\nTry 'krellvane --help' for more information.\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UsageErrorTest,
    testing::Values(
        ErrorCase{"UnknownOption", "--bogus", "The following argument was not expected: --bogus"},
        ErrorCase{"LineNotANumber", "--check x", "--check: 'x' is neither a line number nor a device node such as /dev/sr0"},
        ErrorCase{"JsonAlone", "--json", "--json works with --list, --check, --speeds or --drive-info"},
        ErrorCase{"AnyDriveWithoutCheck", "--any-drive --list", "--any-drive requires --check"},
        ErrorCase{"ListAndCheck", "--list --check", "--list excludes --check"}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return info.param.name; });

struct ProfileCase {
  const char* name;
  const char* text;
  const char* expected;  // part of the one error line
};

class BadProfileTest : public testing::TestWithParam<ProfileCase> {};

// A profile the program cannot use: one line naming the file and the fault, no library internals,
// for the command line and before any window.
TEST_P(BadProfileTest, NamedWithoutLibraryInternals) {
  const ProfileCase& c = GetParam();
  const fs::path file =
      fs::temp_directory_path() / ("kv-bad-profile-" + std::to_string(getpid()) + ".json");
  std::ofstream(file) << c.text;
  for (const char* mode : {"--list", "--check", ""}) {
    const CommandRun run = RunKv(std::string(mode) + " --emulate " + ShellQuote(file.string()),
                                 KV_PROGRAM_PATH, "QT_QPA_PLATFORM=offscreen");
    EXPECT_EQ(run.exitCode, kExitFailure) << mode;
    EXPECT_EQ(run.err.rfind("krellvane: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(file.string() + ": "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(c.expected), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("json.exception"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
  }
  fs::remove(file);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadProfileTest,
    testing::Values(ProfileCase{"NotJson", "{bad", "not valid JSON at line 1, column 2"},
                    ProfileCase{"Truncated", "{\"drive\": ", "not valid JSON at line 1"},
                    ProfileCase{"WrongShape", "{\"drive\": 5}", "field 'drive'"}),
    [](const testing::TestParamInfo<ProfileCase>& info) { return info.param.name; });

}  // namespace
}  // namespace kv
