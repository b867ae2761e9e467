// The real builder edition: krellvane-builder --build writes a Krellvane.Exe that starts as the
// media-check program with the parameter file's texts and tables.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "app/core/cli.h"
#include "builder/output_file.h"
#include "builder_test_support.h"

namespace kv {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;
using test::WriteText;

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  }
  return quoted + "'";
}

std::string Slurp(const fs::path& path) {
  const std::vector<uint8_t> bytes = test::ReadBytes(path);
  return {bytes.begin(), bytes.end()};
}

// Runs a command line in folder, capturing both streams.
RunResult RunIn(const fs::path& folder, const std::string& command) {
  const std::string line = "cd " + Quoted(folder.string()) + " && " + command + " >" +
                           Quoted((folder / ".out").string()) + " 2>" +
                           Quoted((folder / ".err").string()) + " </dev/null";
  const int raw = std::system(line.c_str());
  RunResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = Slurp(folder / ".out");
  result.err = Slurp(folder / ".err");
  return result;
}

std::string FirstLine(const std::string& text) {
  return text.substr(0, text.find('\n'));
}

const fs::path kProgram = KV_PROGRAM_PATH;
const fs::path kBuilderEdition = kProgram.parent_path() / "krellvane-builder";

constexpr const char* kParameters =
    "; an edition for the tests\n"
    "[PROPERTY]\n"
    "NAME=Test Edition\n"
    "MAJOR=9\n"
    "MINOR=8\n"
    "REV=7\n"
    "[CD]\n"
    "972565_795974=End To End Dye Works\n";

class EditionTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kBuilderEdition)) {
      GTEST_SKIP() << "no builder edition beside " << kProgram;
    }
    WriteText(folder_ / "params.txt", kParameters);
    WriteText(folder_ / "bad.txt", "[DVD]\nXY0000000000000000000000=Bad\n");
  }
  TempFolder folder_;
};

TEST_F(EditionTest, BuilderEditionAnnouncesItself) {
  const RunResult version = RunIn(folder_.path(), Quoted(kBuilderEdition.string()) + " --version");
  EXPECT_EQ(version.status, 0);
  EXPECT_NE(FirstLine(version.out).find(" (builder edition)"), std::string::npos) << version.out;
}

TEST_F(EditionTest, BuildWritesStartableProgramWithNewTitle) {
  const RunResult build =
      RunIn(folder_.path(), Quoted(kBuilderEdition.string()) + " --build params.txt");
  ASSERT_EQ(build.status, kExitOk) << build.err;
  EXPECT_EQ(build.out, "File created successfully !\n");
  const fs::path output = folder_ / kOutputFileName;
  ASSERT_TRUE(fs::is_regular_file(output));
  EXPECT_EQ(fs::file_size(output), fs::file_size(kBuilderEdition));

  const RunResult version = RunIn(folder_.path(), "./Krellvane.Exe --version");
  EXPECT_EQ(version.status, 0) << version.err;
  EXPECT_EQ(FirstLine(version.out), "Test Edition v9.8.7");

  // The written program is a normal edition: it no longer builds.
  const RunResult again = RunIn(folder_.path(), "./Krellvane.Exe --build params.txt");
  EXPECT_EQ(again.status, kExitUsage);
}

TEST_F(EditionTest, CdRecordNamesTheEmulatedBlankDisc) {
  ASSERT_EQ(RunIn(folder_.path(), Quoted(kBuilderEdition.string()) + " --build params.txt").status,
            kExitOk);
  const RunResult check = RunIn(folder_.path(), "./Krellvane.Exe --check --emulate");
  if (check.out.find("Manufacturer Maybe") == std::string::npos) {
    GTEST_SKIP() << "the emulated check does not report yet: " << check.err;
  }
  // The sample drives may hold other discs first; the blank CD-R's report names our record.
  bool named = check.out.find("Manufacturer Maybe = End To End Dye Works") != std::string::npos;
  for (int line = 0; line < 16 && !named; ++line) {
    const RunResult other =
        RunIn(folder_.path(), "./Krellvane.Exe --check " + std::to_string(line) + " --emulate");
    named = other.out.find("Manufacturer Maybe = End To End Dye Works") != std::string::npos;
    if (other.status == kExitNoDrive) {
      break;
    }
  }
  EXPECT_TRUE(named) << check.out;
}

// A builder edition named Krellvane.Exe, started in its own folder, would write its output over
// itself; it refuses and stays as it was.
TEST_F(EditionTest, BuilderNeverReplacesItsOwnFile) {
  const fs::path self = folder_ / kOutputFileName;
  fs::copy_file(kBuilderEdition, self);
  const std::vector<uint8_t> before = test::ReadBytes(self);
  const auto inode = [&] { return RunIn(folder_.path(), "stat -c %i Krellvane.Exe").out; };
  const std::string inodeBefore = inode();

  const RunResult build = RunIn(folder_.path(), "./Krellvane.Exe --build params.txt");
  EXPECT_EQ(build.status, kExitFailure);
  EXPECT_EQ(build.err, "Unable to write Krellvane.Exe !\nIt is the running program's own file\n");
  EXPECT_EQ(build.out, "");
  EXPECT_TRUE(test::ReadBytes(self) == before);
  EXPECT_EQ(inode(), inodeBefore);
}

struct CliCase {
  const char* name;
  bool builderEdition;
  std::string arguments;
  int status;
  const char* stderrHas;
};

class BuildCommandTest : public EditionTest, public testing::WithParamInterface<CliCase> {};

TEST_P(BuildCommandTest, RefusalsGoToStderrWithStatus) {
  const fs::path program = GetParam().builderEdition ? kBuilderEdition : kProgram;
  const RunResult run =
      RunIn(folder_.path(), Quoted(program.string()) + " --build " + GetParam().arguments);
  EXPECT_EQ(run.status, GetParam().status);
  EXPECT_NE(run.err.find(GetParam().stderrHas), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_FALSE(fs::exists(folder_ / kOutputFileName));
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, BuildCommandTest,
    testing::Values(CliCase{"NormalEdition", false, "params.txt", kExitUsage, "builder edition"},
                    CliCase{"MissingFile", true, "missing.txt", kExitFailure, "File not exists !"},
                    CliCase{"BlankPath", true, "'  '", kExitFailure, "No file selected !"},
                    CliCase{"BadDvdLine", true, "bad.txt", kExitFailure,
                            "'0xXY' is not a valid integer value"}),
    [](const testing::TestParamInfo<CliCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv
