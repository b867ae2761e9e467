// The two writers of the program killed at random points and run on a full file system: the old
// file stays whole or the new one is complete, and no temporary file is left that a user would
// have to find (a file left by a kill between naming and renaming goes with the next write).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "builder/build_session.h"
#include "builder/output_file.h"
#include "builder/builder_test_support.h"
#include "os/linux/settings_file.h"

namespace kv {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempFolder;
using test::WriteText;

constexpr int kKills = 40;
// The latest kill point, in microseconds after the child starts.
constexpr int kLatestKillUs = 40000;
constexpr std::size_t kBlockOffset = 4097;
// Large enough that a kill often falls inside the write.
constexpr std::size_t kPrototypeTail = std::size_t{4} << 20;

// Runs body over and over in a child process and kills it after delayUs.
void KillDuring(const std::function<void(int)>& body, int delayUs) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    for (int round = 0;; ++round) {
      body(round);
    }
  }
  ::usleep(static_cast<useconds_t>(delayUs));
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
}

// Runs body in a child process under an optional file size limit; its exit code.
int InChild(const std::function<int()>& body, std::optional<rlim_t> fileSizeLimit) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (fileSizeLimit) {
      ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails with EFBIG instead
      const rlimit limit{*fileSizeLimit, *fileSizeLimit};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> Others(const fs::path& folder, const std::string& keep) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename() != keep) {
      names.push_back(entry.path().filename().string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

class BuilderCrashTest : public testing::Test {
 protected:
  void SetUp() override {
    const std::vector<uint8_t> image = test::PrototypeImage(kBlockOffset, kPrototypeTail);
    WriteText(folder_ / "prototype", std::string(image.begin(), image.end()));
    WriteText(folder_ / "one.txt", "[PROPERTY]\nNAME=First\n");
    WriteText(folder_ / "two.txt", "[PROPERTY]\nNAME=Second\n");
    fs::create_directory(output_);
    // The two complete outputs, built undisturbed.
    for (const char* name : {"one.txt", "two.txt"}) {
      ASSERT_TRUE(Build(output_, name).ok());
      complete_.push_back(ReadBytes(output_ / kOutputFileName));
    }
  }

  BuildOutcome Build(const fs::path& output, const std::string& params) {
    BuildSession session(BuildOptions{(folder_ / "prototype").string(), test::kTestMarker, output});
    return session.Run((folder_ / params).string());
  }

  TempFolder folder_;
  fs::path output_ = folder_ / "out";
  std::vector<std::vector<uint8_t>> complete_;
};

TEST_F(BuilderCrashTest, KilledBuildsLeaveTheOldOrTheNewFileAndNoTemporaryFile) {
  std::mt19937 random(181);
  int leftOverKills = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    KillDuring([this](int round) { Build(output_, round % 2 == 0 ? "two.txt" : "one.txt"); },
               static_cast<int>(random() % kLatestKillUs));
    const std::vector<uint8_t> output = ReadBytes(output_ / kOutputFileName);
    EXPECT_TRUE(output == complete_[0] || output == complete_[1]) << "kill " << kill;
    const std::vector<std::string> strays = Others(output_, kOutputFileName);
    EXPECT_LE(strays.size(), 1u) << "kill " << kill;
    leftOverKills += strays.empty() ? 0 : 1;
  }
  // The next build removes what a kill between naming and renaming left.
  ASSERT_TRUE(Build(output_, "one.txt").ok());
  EXPECT_EQ(ReadBytes(output_ / kOutputFileName), complete_[0]);
  EXPECT_EQ(Others(output_, kOutputFileName), std::vector<std::string>{});
  RecordProperty("killsLeavingANamedTemporaryFile", leftOverKills);
}

// A file system that fills up part way: a small tmpfs where mounting is allowed, else a file size
// limit (the same failure seen from the writer: the write fails part way).
class FullFileSystem {
 public:
  explicit FullFileSystem(const fs::path& folder) : folder_(folder) {
    fs::create_directory(folder_);
    mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=1m") == 0;
  }
  ~FullFileSystem() {
    if (mounted_) {
      ::umount2(folder_.c_str(), MNT_DETACH);
    }
  }
  FullFileSystem(const FullFileSystem&) = delete;
  FullFileSystem& operator=(const FullFileSystem&) = delete;

  // The limit for the writing child when no tmpfs could be mounted.
  std::optional<rlim_t> ChildLimit() const {
    return mounted_ ? std::nullopt : std::optional<rlim_t>(rlim_t{512} << 10);
  }
  const fs::path& Folder() const { return folder_; }

 private:
  fs::path folder_;
  bool mounted_ = false;
};

TEST_F(BuilderCrashTest, FullFileSystemKeepsTheOldOutputAndLeavesNoTemporaryFile) {
  FullFileSystem full(folder_ / "full");
  const std::vector<uint8_t> old(300 << 10, 'o');
  WriteText(full.Folder() / kOutputFileName, std::string(old.begin(), old.end()));
  const int failed = InChild(
      [&] {
        const BuildOutcome outcome = Build(full.Folder(), "one.txt");
        return outcome.status == BuildStatus::WriteFailed ? 0 : 1;
      },
      full.ChildLimit());
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(ReadBytes(full.Folder() / kOutputFileName), old);
  EXPECT_EQ(Others(full.Folder(), kOutputFileName), std::vector<std::string>{});
}

class SettingsCrashTest : public testing::Test {
 protected:
  // Lines of the user's own around the value the writer changes.
  static std::string Content(int width) {
    return "# mine\n[Other]\nX=1\n[Krellvane]\nWidth=" + std::to_string(width) +
           "\nUserDefinedFule=/home/me/media.txt\n" + std::string(200000, '#') + "\n";
  }

  TempFolder folder_;
};

TEST_F(SettingsCrashTest, KilledWritesLeaveAWholeFileAndNoTemporaryFile) {
  const fs::path file = folder_ / "settings.ini";
  WriteText(file, Content(0));
  std::mt19937 random(182);
  for (int kill = 0; kill < kKills; ++kill) {
    KillDuring(
        [&file](int round) { SettingsFile(file).WriteInteger("Krellvane", "Width", round % 7); },
        static_cast<int>(random() % kLatestKillUs));
    std::string text;
    {
      const std::vector<uint8_t> bytes = ReadBytes(file);
      text.assign(bytes.begin(), bytes.end());
    }
    bool whole = false;
    for (int width = 0; width < 7; ++width) {
      whole = whole || text == Content(width);
    }
    EXPECT_TRUE(whole) << "kill " << kill;
    EXPECT_LE(Others(folder_.path(), "settings.ini").size(), 1u) << "kill " << kill;
  }
  ASSERT_TRUE(SettingsFile(file).WriteInteger("Krellvane", "Width", 3));
  EXPECT_EQ(Others(folder_.path(), "settings.ini"), std::vector<std::string>{});
}

TEST_F(SettingsCrashTest, FullFileSystemKeepsTheOldFile) {
  FullFileSystem full(folder_ / "full");
  const fs::path file = full.Folder() / "settings.ini";
  WriteText(file, Content(1));
  // Fill the rest of the file system (or stay below the child's limit with the filler).
  WriteText(full.Folder() / "filler", std::string(700 << 10, 'f'));
  const int failed = InChild(
      [&file] {
        std::string big = std::string(600 << 10, '#');
        SettingsFile settings(file);
        // A value name that makes the new file larger than the space left.
        return settings.WriteInteger("Krellvane", "W" + big, 2) ? 1 : 0;
      },
      full.ChildLimit());
  EXPECT_EQ(failed, 0);
  std::vector<uint8_t> bytes = ReadBytes(file);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), Content(1));
  EXPECT_EQ(Others(full.Folder(), "settings.ini"), std::vector<std::string>{"filler"});
}

}  // namespace
}  // namespace kv
