// The window lives in a module: where the program looks for it, what it says when the module
// is missing, stale or broken or when there is no display, and that the command-line modes load
// no window toolkit (read from the dynamic loader's own trace, dlopen included).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/core/cli.h"
#include "app/core/window_start.h"
#include "os/module_loader.h"
#include "tests/support/program_run.h"

namespace kv {
namespace {

namespace fs = std::filesystem;
using test::CommandRun;
using test::RunCommand;
using test::ShellQuote;

// The program with a clean environment: no display, no emulation, no trace unless asked.
std::string Program(const std::string& env, const std::string& program = KV_PROGRAM_PATH) {
  return "env -u KRELLVANE_EMULATE -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LD_DEBUG " +
         env + " " + ShellQuote(program);
}

bool LoadsQt(const std::string& loaderTrace) {
  return loaderTrace.find("file=libQt") != std::string::npos;
}

class ScratchFolder {
 public:
  ScratchFolder() {
    path_ = fs::temp_directory_path() /
            ("kv-window-module-" + std::to_string(getpid()) + "-" + std::to_string(next_++));
    fs::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  static inline int next_ = 0;
  fs::path path_;
};

// --- where the module is looked for ---

struct CandidateCase {
  const char* name;
  const char* program;
  const char* installed;
  std::vector<std::string> expected;
};

class WindowModuleCandidatesTest : public testing::TestWithParam<CandidateCase> {};

TEST_P(WindowModuleCandidatesTest, BesideTheProgramFirstThenInstalled) {
  const CandidateCase& c = GetParam();
  const std::vector<fs::path> expected(c.expected.begin(), c.expected.end());
  EXPECT_EQ(WindowModuleCandidates(c.program, c.installed), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowModuleCandidatesTest,
    testing::Values(
        CandidateCase{"RebrandedCopyElsewhere",
                      "/home/me/out/Krellvane.Exe",
                      "/usr/lib/krellvane",
                      {"/home/me/out/krellvane-gui.so", "/usr/lib/krellvane/krellvane-gui.so"}},
        CandidateCase{"InstalledFolderOnce",
                      "/usr/lib/krellvane/krellvane",
                      "/usr/lib/krellvane",
                      {"/usr/lib/krellvane/krellvane-gui.so"}},
        CandidateCase{"NoFolderInProgramPath",
                      "krellvane",
                      "/usr/lib/krellvane",
                      {"/usr/lib/krellvane/krellvane-gui.so"}},
        CandidateCase{"NoInstalledFolder", "/opt/kv/krellvane", "", {"/opt/kv/krellvane-gui.so"}}),
    [](const testing::TestParamInfo<CandidateCase>& info) { return info.param.name; });

// --- the command line loads no window toolkit ---

struct ModeCase {
  const char* name;
  const char* arguments;
  int exitCode;
};

class CommandLineLoadsNoQt : public testing::TestWithParam<ModeCase> {};

TEST_P(CommandLineLoadsNoQt, LoaderTraceNamesNoQtLibrary) {
  const ModeCase& c = GetParam();
  const CommandRun run = RunCommand(Program("LD_DEBUG=files") + " " + c.arguments);
  EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
  // The trace is there at all (so an empty one cannot pass) and names no Qt library.
  EXPECT_NE(run.err.find("file=libc.so"), std::string::npos) << run.err.substr(0, 400);
  EXPECT_FALSE(LoadsQt(run.err));
}

INSTANTIATE_TEST_SUITE_P(Modes, CommandLineLoadsNoQt,
                         testing::Values(ModeCase{"Version", "--version", kExitOk},
                                         ModeCase{"Help", "--help", kExitOk},
                                         ModeCase{"List", "--list --emulate", kExitOk},
                                         ModeCase{"Check", "--check --emulate", kExitOk},
                                         ModeCase{"CheckJson", "--check --json --emulate", kExitOk},
                                         ModeCase{"BadOption", "--no-such-option", kExitUsage},
                                         ModeCase{"NoDisplayWindow", "--emulate", kExitUsage}),
                         [](const testing::TestParamInfo<ModeCase>& info) {
                           return info.param.name;
                         });

TEST(CommandLineLoadsNoQtBuild, BuilderEditionBuildsWithoutQt) {
  ScratchFolder scratch;
  const fs::path builder = fs::path(KV_PROGRAM_PATH).parent_path() / "krellvane-builder";
  {
    std::ofstream parameters(scratch.path() / "edition.txt");
    parameters << "[PROPERTY]\nNAME=Scratch Edition\nMAJOR=2\n";
  }
  const CommandRun run =
      RunCommand("cd " + ShellQuote(scratch.path().string()) + " && " +
                 Program("LD_DEBUG=files", builder.string()) + " --build edition.txt");
  EXPECT_EQ(run.exitCode, kExitOk)
      << run.err.substr(run.err.size() > 600 ? run.err.size() - 600 : 0);
  EXPECT_TRUE(fs::exists(scratch.path() / "Krellvane.Exe"));
  EXPECT_FALSE(LoadsQt(run.err));
}

// --- starting the window without what it needs ---

TEST(WindowStart, NoDisplayOneLineExitTwo) {
  for (const char* arguments : {"", "--emulate"}) {
    const CommandRun run = RunCommand(Program("") + " " + arguments);
    EXPECT_EQ(run.exitCode, kExitUsage) << arguments;
    EXPECT_EQ(run.err, std::string("krellvane: ") + kNoDisplayMessage + "\n") << arguments;
    EXPECT_EQ(run.out, "") << arguments;
  }
}

// A copy of the program in a scratch folder, with or without a module beside it.
class CopiedProgram : public testing::Test {
 protected:
  fs::path Copy(const std::string& name, const char* moduleFrom = nullptr) {
    const fs::path copy = scratch_.path() / name;
    fs::copy_file(KV_PROGRAM_PATH, copy);
    if (moduleFrom != nullptr) {
      fs::copy_file(moduleFrom, scratch_.path() / kWindowModuleFile);
    }
    return copy;
  }
  ScratchFolder scratch_;
};

TEST_F(CopiedProgram, MissingModuleSaysSoInOneLine) {
  const fs::path installed = fs::path(InstalledModuleFolder()) / kWindowModuleFile;
  if (fs::exists(installed)) {
    GTEST_SKIP() << "a window module is installed at " << installed;
  }
  const fs::path copy = Copy("Krellvane.Exe");
  const CommandRun run = RunCommand(Program("QT_QPA_PLATFORM=offscreen", copy.string()));
  EXPECT_EQ(run.exitCode, kExitFailure);
  EXPECT_EQ(run.err, "krellvane: the window module is missing (no " +
                         (scratch_.path() / kWindowModuleFile).string() + " or " +
                         installed.string() + "); the command line works without it: see --help\n");
}

TEST_F(CopiedProgram, StaleModuleNamesBothVersions) {
  const fs::path copy = Copy("krellvane", KV_FAKE_MODULES_DIR "/stale/krellvane-gui.so");
  const CommandRun run = RunCommand(Program("QT_QPA_PLATFORM=offscreen", copy.string()));
  EXPECT_EQ(run.exitCode, kExitFailure);
  EXPECT_EQ(run.err, "krellvane: the window module " +
                         (scratch_.path() / kWindowModuleFile).string() +
                         " belongs to version 0.0.1, this program is " KV_VERSION "\n");
}

TEST_F(CopiedProgram, ModuleWithoutEntryIsReported) {
  const fs::path copy = Copy("krellvane", KV_FAKE_MODULES_DIR "/no-entry/krellvane-gui.so");
  const CommandRun run = RunCommand(Program("QT_QPA_PLATFORM=offscreen", copy.string()));
  EXPECT_EQ(run.exitCode, kExitFailure);
  EXPECT_NE(run.err.find("krellvane: cannot load the window module: "), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("no function krellvane_window_main"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
}

TEST_F(CopiedProgram, NotAModuleIsReportedWithTheLoadersReason) {
  const fs::path copy = Copy("krellvane");
  std::ofstream(scratch_.path() / kWindowModuleFile) << "not a shared object\n";
  const CommandRun run = RunCommand(Program("QT_QPA_PLATFORM=offscreen", copy.string()));
  EXPECT_EQ(run.exitCode, kExitFailure);
  EXPECT_EQ(run.err.rfind("krellvane: cannot load the window module: ", 0), 0u) << run.err;
  EXPECT_NE(run.err.find((scratch_.path() / kWindowModuleFile).string()), std::string::npos);
}

TEST_F(CopiedProgram, ModuleBesideTheProgramRunsWithTheArgumentsAndChoice) {
  const fs::path copy = Copy("Krellvane.Exe", KV_FAKE_MODULES_DIR "/working/krellvane-gui.so");
  const CommandRun run =
      RunCommand(Program("QT_QPA_PLATFORM=offscreen", copy.string()) + " --emulate");
  EXPECT_EQ(run.exitCode, 7) << run.err;
  EXPECT_EQ(run.out, "fake window: 2 arguments, last --emulate, emulate 1\n");
}

}  // namespace
}  // namespace kv
