// The one atomic replace that the settings store and the builder share: the bits of the new file,
// links, and a failure at every step leaving the old file whole and no temporary file behind.
#include "os/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kv {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::span<const uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

class AtomicFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kv-replace-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    target_ = dir_ / "target";
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
  fs::path target_;
};

TEST_F(AtomicFileTest, NewFileGetsTheGivenBitsOrStaysPrivate) {
  const mode_t oldMask = ::umask(077);  // a strict umask must not strip the given bits
  const fs::perms given = fs::perms::owner_all | fs::perms::group_read | fs::perms::others_exec;
  const ReplaceResult withBits = ReplaceFileAtomically(target_, Bytes("x"), {".", given});
  const ReplaceResult withoutBits =
      ReplaceFileAtomically(dir_ / "private", Bytes("y"), {".tmp-", std::nullopt});
  ::umask(oldMask);
  ASSERT_TRUE(withBits.ok) << withBits.reason;
  ASSERT_TRUE(withoutBits.ok) << withoutBits.reason;
  EXPECT_EQ(fs::status(target_).permissions() & fs::perms::mask, given);
  EXPECT_EQ(fs::status(dir_ / "private").permissions() & fs::perms::mask,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"private", "target"}));
}

TEST_F(AtomicFileTest, LinkIsReplacedNotFollowedAndEmptyContentIsAFile) {
  std::ofstream(dir_ / "victim") << "must stay";
  fs::create_symlink(dir_ / "victim", target_);
  ASSERT_TRUE(ReplaceFileAtomically(target_, Bytes("")).ok);
  EXPECT_FALSE(fs::is_symlink(target_));
  EXPECT_EQ(fs::file_size(target_), 0u);
  EXPECT_EQ(Slurp(dir_ / "victim"), "must stay");
}

TEST_F(AtomicFileTest, MissingFolderIsReportedWithTheSystemsReason) {
  const ReplaceResult result = ReplaceFileAtomically(dir_ / "none" / "target", Bytes("x"));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.reason, std::strerror(ENOENT));
}

enum class Fault { NothingWritten, ShortWriteThenError, SyncError, RenameError };

class FailingCalls : public FileCalls {
 public:
  explicit FailingCalls(Fault fault) : fault_(fault) {}
  long WriteSome(Handle file, const uint8_t* data, std::size_t length) override {
    if (fault_ == Fault::NothingWritten) {
      return 0;  // a write that makes no progress must not loop forever
    }
    if (fault_ == Fault::ShortWriteThenError) {
      if (wrote_) {
        errno = ENOSPC;
        return -1;
      }
      wrote_ = true;
      return FileCalls::WriteSome(file, data, length / 2);
    }
    return FileCalls::WriteSome(file, data, length);
  }
  bool Sync(Handle file) override {
    if (fault_ == Fault::SyncError) {
      errno = EIO;
      return false;
    }
    return FileCalls::Sync(file);
  }
  bool Rename(const fs::path& from, const fs::path& to) override {
    if (fault_ == Fault::RenameError) {
      errno = EXDEV;
      return false;
    }
    return FileCalls::Rename(from, to);
  }

 private:
  Fault fault_;
  bool wrote_ = false;
};

class AtomicFileFaultTest : public AtomicFileTest, public testing::WithParamInterface<Fault> {};

TEST_P(AtomicFileFaultTest, OldFileSurvivesWithTheReason) {
  std::ofstream(target_) << "old content";
  fs::permissions(target_, fs::perms::owner_read | fs::perms::owner_write);
  FailingCalls calls(GetParam());
  const ReplaceResult result = ReplaceFileAtomically(target_, Bytes(std::string(10000, 'n')),
                                                     {".", fs::perms::owner_all}, calls);
  EXPECT_FALSE(result.ok);
  const int expected[] = {EIO, ENOSPC, EIO, EXDEV};
  EXPECT_EQ(result.reason, std::strerror(expected[static_cast<int>(GetParam())]));
  EXPECT_EQ(Slurp(target_), "old content");
  EXPECT_EQ(fs::status(target_).permissions() & fs::perms::mask,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(Entries(), std::vector<std::string>{"target"});
}

INSTANTIATE_TEST_SUITE_P(Steps, AtomicFileFaultTest,
                         testing::Values(Fault::NothingWritten, Fault::ShortWriteThenError,
                                         Fault::SyncError, Fault::RenameError));

}  // namespace
}  // namespace kv
