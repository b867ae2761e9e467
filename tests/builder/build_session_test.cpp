// One build from path to written file, with bad paths, bad prototypes and failing writes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "builder/build_session.h"
#include "builder/output_file.h"
#include "builder_test_support.h"

namespace kv {
namespace {

namespace fs = std::filesystem;
using test::BlockAt;
using test::FieldText;
using test::ReadBytes;
using test::TempFolder;
using test::WriteText;

constexpr std::size_t kBlockOffset = 4097;
constexpr fs::perms kPrototypeMode =
    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_exec;

class BuildSessionTest : public testing::Test {
 protected:
  void SetUp() override {
    prototype_ = test::PrototypeImage(kBlockOffset);
    WritePrototype(prototype_);
    fs::create_directory(output_);
  }

  void WritePrototype(const std::vector<uint8_t>& bytes) {
    WriteText(prototypePath_, std::string(bytes.begin(), bytes.end()));
    fs::permissions(prototypePath_, kPrototypeMode);
  }

  fs::path Params(const std::string& text, const std::string& name = "params.txt") {
    WriteText(folder_ / name, text);
    return folder_ / name;
  }

  BuildOutcome Build(const std::string& pathText) {
    BuildSession session(BuildOptions{prototypePath_.string(), test::kTestMarker, output_});
    return session.Run(pathText);
  }

  fs::path Output() const { return output_ / kOutputFileName; }

  // Files in the output folder other than the output itself (a stray temporary file).
  std::vector<std::string> Strays() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(output_)) {
      if (entry.path().filename() != kOutputFileName) {
        names.push_back(entry.path().filename().string());
      }
    }
    return names;
  }

  TempFolder folder_;
  fs::path prototypePath_ = folder_ / "prototype";
  fs::path output_ = folder_ / "out";
  std::vector<uint8_t> prototype_;
};

// A FIFO or a device is no parameter file: the build neither waits for a writer nor reads without
// end, says the file does not exist and writes nothing.
TEST_F(BuildSessionTest, FifoAndDeviceAreNotParameterFiles) {
  ASSERT_EQ(::mkfifo((folder_ / "fifo").c_str(), 0600), 0);
  for (const std::string& path : {(folder_ / "fifo").string(), std::string("/dev/zero")}) {
    const BuildOutcome outcome = Build(path);
    EXPECT_EQ(outcome.status, BuildStatus::FileNotExists) << path;
    EXPECT_EQ(outcome.message, kMsgFileNotExists);
    EXPECT_FALSE(fs::exists(Output()));
  }
}

struct PathCase {
  const char* name;
  std::string path;  // "@" stands for the temp folder
  BuildStatus status;
  const char* message;
};

class BuildPathTest : public BuildSessionTest, public testing::WithParamInterface<PathCase> {};

TEST_P(BuildPathTest, PathIsTrimmedAndChecked) {
  Params("[PROPERTY]\nNAME=Built\n");
  fs::create_directory(folder_ / "a folder");
  std::string path = GetParam().path;
  if (const auto at = path.find('@'); at != std::string::npos) {
    path.replace(at, 1, folder_.path().string());
  }
  const BuildOutcome outcome = Build(path);
  EXPECT_EQ(outcome.status, GetParam().status);
  EXPECT_EQ(outcome.message, GetParam().message);
  EXPECT_EQ(fs::exists(Output()), outcome.ok());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, BuildPathTest,
    testing::Values(
        PathCase{"Empty", "", BuildStatus::NoFileSelected, "No file selected !"},
        PathCase{"BlanksOnly", "    ", BuildStatus::NoFileSelected, "No file selected !"},
        PathCase{"ControlsOnly", "\t\r\n ", BuildStatus::NoFileSelected, "No file selected !"},
        PathCase{"Missing", "@/missing.txt", BuildStatus::FileNotExists, "File not exists !"},
        PathCase{"Folder", "@/a folder", BuildStatus::FileNotExists, "File not exists !"},
        PathCase{"BlanksAround", "  @/params.txt \t", BuildStatus::Created,
                 "File created successfully !"}),
    [](const testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

TEST_F(BuildSessionTest, OutputDiffersFromPrototypeOnlyInsideBlock) {
  ASSERT_TRUE(Build(Params("[PROPERTY]\nNAME=New name\n[CD]\n972565_795974=Dye\n").string()).ok());
  const std::vector<uint8_t> out = ReadBytes(Output());
  ASSERT_EQ(out.size(), prototype_.size());
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (i < kBlockOffset || i >= kBlockOffset + block_offset::kEnd) {
      ASSERT_EQ(out[i], prototype_[i]) << "byte " << i << " outside the block changed";
    }
  }
  const auto block = BlockAt(out, kBlockOffset);
  EXPECT_EQ(FieldText(block->Name), "New name");
  EXPECT_EQ(block->BuildMode[10], '0');
  EXPECT_EQ(FieldText(block->CdTable[0].Name), "Dye");
}

TEST_F(BuildSessionTest, TwoBuildsAreIndependentAndSecondOverwrites) {
  BuildSession session(BuildOptions{prototypePath_.string(), test::kTestMarker, output_});
  ASSERT_TRUE(session.Run(Params("[PROPERTY]\nNAME=First\nMAJOR=9\n", "one.txt").string()).ok());
  ASSERT_TRUE(session.Run(Params("[PROPERTY]\nNAME=Second\n", "two.txt").string()).ok());
  const auto block = BlockAt(ReadBytes(Output()), kBlockOffset);
  EXPECT_EQ(FieldText(block->Name), "Second");
  EXPECT_EQ(FieldText(block->Major), "1") << "the second build must start from the prototype";
  EXPECT_EQ(session.PrototypeSize(), prototype_.size());
  EXPECT_EQ(session.ParameterLines().size(), 2u);
}

TEST_F(BuildSessionTest, UnreadableParameterFileChangesOnlyTheFlag) {
  // Root reads any file it owns, so it gets a file the kernel refuses to open for reading.
  fs::path unreadable = "/proc/sys/vm/drop_caches";
  if (geteuid() != 0) {
    unreadable = Params("[PROPERTY]\nNAME=Hidden\n");
    fs::permissions(unreadable, fs::perms::none);
  }
  ASSERT_TRUE(Build(unreadable.string()).ok());
  std::vector<uint8_t> expected = prototype_;
  expected[kBlockOffset + block_offset::kBuildFlag] = '0';
  EXPECT_TRUE(ReadBytes(Output()) == expected);
}

TEST_F(BuildSessionTest, PrototypeBitsKeptOnOutput) {
  const mode_t oldMask = umask(077);  // a strict umask must not strip the copy's execute bits
  const BuildOutcome outcome = Build(Params("").string());
  umask(oldMask);
  ASSERT_TRUE(outcome.ok());
  EXPECT_EQ(fs::status(Output()).permissions() & fs::perms::mask, kPrototypeMode);
}

TEST_F(BuildSessionTest, SymbolicLinkReplacedNotFollowed) {
  const fs::path victim = folder_ / "victim";
  WriteText(victim, "must stay");
  fs::create_symlink(victim, Output());
  ASSERT_TRUE(Build(Params("").string()).ok());
  EXPECT_FALSE(fs::is_symlink(Output()));
  EXPECT_EQ(fs::file_size(Output()), prototype_.size());
  const std::vector<uint8_t> kept = ReadBytes(victim);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "must stay");
}

struct PrototypeCase {
  const char* name;
  std::function<std::vector<uint8_t>(std::vector<uint8_t>)> damage;
  BuildStatus status;
  const char* message;
};

class BadPrototypeTest : public BuildSessionTest,
                         public testing::WithParamInterface<PrototypeCase> {};

TEST_P(BadPrototypeTest, RefusedAndNothingWritten) {
  WriteText(Output(), "older output");
  if (GetParam().damage) {
    WritePrototype(GetParam().damage(prototype_));
  } else {
    fs::remove(prototypePath_);
  }
  const BuildOutcome outcome = Build(Params("[PROPERTY]\nNAME=X\n[DVD]\nGG=\n").string());
  EXPECT_EQ(outcome.status, GetParam().status);
  EXPECT_EQ(outcome.message, GetParam().message);
  const std::vector<uint8_t> kept = ReadBytes(Output());
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "older output");
  EXPECT_TRUE(Strays().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Prototypes, BadPrototypeTest,
    testing::Values(PrototypeCase{"Missing", nullptr, BuildStatus::LoadPrototypeFailed,
                                  "Load prototype failed !"},
                    PrototypeCase{"MarkerAbsent",
                                  [](std::vector<uint8_t> bytes) {
                                    bytes[kBlockOffset + 4] = '?';
                                    return bytes;
                                  },
                                  BuildStatus::BlockNotFound, kMsgBlockNotFound},
                    PrototypeCase{"BlockCutShort",
                                  [](std::vector<uint8_t> bytes) {
                                    bytes.resize(kBlockOffset + block_offset::kEnd - 1);
                                    return bytes;
                                  },
                                  BuildStatus::BlockNotFound, kMsgBlockNotFound},
                    PrototypeCase{"Empty",
                                  [](std::vector<uint8_t>) { return std::vector<uint8_t>{}; },
                                  BuildStatus::BlockNotFound, kMsgBlockNotFound}),
    [](const testing::TestParamInfo<PrototypeCase>& info) { return std::string(info.param.name); });

TEST_F(BuildSessionTest, ConversionErrorWritesNothing) {
  WriteText(Output(), "older output");
  const BuildOutcome outcome =
      Build(Params("[PROPERTY]\nNAME=X\n[DVD]\n00000000000000000000000Q=Bad\n").string());
  EXPECT_EQ(outcome.status, BuildStatus::ConversionError);
  EXPECT_EQ(outcome.message, "'0x0Q' is not a valid integer value");
  const std::vector<uint8_t> kept = ReadBytes(Output());
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "older output");
}

// Faults of the output side: each leaves any older output whole and no temporary file behind.
struct WriteFaultCase {
  const char* name;
  std::function<void(const fs::path& outputFolder)> arrange;
};

class WriteFaultTest : public BuildSessionTest,
                       public testing::WithParamInterface<WriteFaultCase> {};

TEST_P(WriteFaultTest, ReportedAndOlderOutputKept) {
  GetParam().arrange(output_);
  const fs::path params = Params("[PROPERTY]\nNAME=X\n");

  // A file size limit makes the write fail part way, as a full disk would.
  rlimit oldLimit{};
  getrlimit(RLIMIT_FSIZE, &oldLimit);
  const bool limitSize = std::string(GetParam().name) == "FileSizeLimit";
  if (limitSize) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit small = oldLimit;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
  }
  const BuildOutcome outcome = Build(params.string());
  if (limitSize) {
    setrlimit(RLIMIT_FSIZE, &oldLimit);
    signal(SIGXFSZ, SIG_DFL);
  }

  EXPECT_EQ(outcome.status, BuildStatus::WriteFailed);
  EXPECT_EQ(outcome.message.rfind("Unable to write Krellvane.Exe !\n", 0), 0u) << outcome.message;
  EXPECT_GT(outcome.message.size(), std::string("Unable to write Krellvane.Exe !\n").size());
  if (fs::is_directory(output_) && fs::is_regular_file(Output())) {
    const std::vector<uint8_t> kept = ReadBytes(Output());
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "older output");
  }
  if (fs::is_directory(output_)) {
    EXPECT_TRUE(Strays().empty() || fs::is_directory(Output()));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, WriteFaultTest,
    testing::Values(WriteFaultCase{"FolderMissing", [](const fs::path& out) { fs::remove(out); }},
                    WriteFaultCase{"FolderIsAFile",
                                   [](const fs::path& out) {
                                     fs::remove(out);
                                     WriteText(out, "a file");
                                   }},
                    WriteFaultCase{
                        "OutputIsAFolder",
                        [](const fs::path& out) { fs::create_directory(out / kOutputFileName); }},
                    WriteFaultCase{"FileSizeLimit",
                                   [](const fs::path& out) {
                                     WriteText(out / kOutputFileName, "older output");
                                   }}),
    [](const testing::TestParamInfo<WriteFaultCase>& info) {
      return std::string(info.param.name);
    });

TEST_F(BuildSessionTest, ReadOnlyFolderReportedWhenPermissionsApply) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "permissions do not stop root";
  }
  WriteText(Output(), "older output");
  fs::permissions(output_, fs::perms::owner_read | fs::perms::owner_exec);
  const BuildOutcome outcome = Build(Params("").string());
  fs::permissions(output_, fs::perms::owner_all);
  EXPECT_EQ(outcome.status, BuildStatus::WriteFailed);
  const std::vector<uint8_t> kept = ReadBytes(Output());
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "older output");
}

}  // namespace
}  // namespace kv
