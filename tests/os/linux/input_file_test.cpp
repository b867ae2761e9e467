// The program's input files: only a regular file is read, without waiting on a FIFO or reading a
// device without end, and never past the caller's limit.
#include "os/input_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace kv {
namespace {

namespace fs = std::filesystem;

class InputFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kv-input-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    std::ofstream(dir_ / "file", std::ios::binary) << "0123456789";
    ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
    fs::create_symlink(dir_ / "file", dir_ / "link");
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
};

TEST_F(InputFileTest, OnlyARegularFileOpens) {
  const struct {
    fs::path path;
    InputFileStatus status;
  } cases[] = {
      {dir_ / "file", InputFileStatus::Ok},
      {dir_ / "link", InputFileStatus::Ok},  // a link to a file is that file
      {dir_ / "none", InputFileStatus::Missing},
      {dir_ / "file" / "below", InputFileStatus::Missing},
      {dir_, InputFileStatus::NotRegularFile},
      {dir_ / "fifo", InputFileStatus::NotRegularFile},  // no writer: must not wait for one
      {"/dev/zero", InputFileStatus::NotRegularFile},
      {"/dev/null", InputFileStatus::NotRegularFile},
  };
  for (const auto& c : cases) {
    InputFile file;
    EXPECT_EQ(file.Open(c.path), c.status) << c.path;
    EXPECT_EQ(file.IsOpen(), c.status == InputFileStatus::Ok) << c.path;
  }
}

TEST_F(InputFileTest, WholeFileUpToTheLimit) {
  std::string content = "stale";
  EXPECT_EQ(ReadInputFile(dir_ / "file", 10, content), InputFileStatus::Ok);
  EXPECT_EQ(content, "0123456789");
  EXPECT_EQ(ReadInputFile(dir_ / "file", 9, content), InputFileStatus::TooLarge);
  EXPECT_EQ(content, "");
  EXPECT_EQ(ReadInputFile(dir_ / "fifo", 10, content), InputFileStatus::NotRegularFile);
}

TEST_F(InputFileTest, PrefixStopsAtTheLimitOrWhenAsked) {
  for (std::size_t limit :
       {std::size_t{0}, std::size_t{1}, std::size_t{9}, std::size_t{10}, std::size_t{11}}) {
    std::string seen;
    EXPECT_EQ(ReadInputFilePrefix(dir_ / "file", limit,
                                  [&seen](std::string_view bytes) {
                                    seen += bytes;
                                    return true;
                                  }),
              InputFileStatus::Ok);
    EXPECT_EQ(seen, std::string("0123456789").substr(0, limit));
  }
  int calls = 0;
  ReadInputFilePrefix(dir_ / "file", 100, [&calls](std::string_view) { return ++calls < 1; });
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(ReadInputFilePrefix("/dev/zero", 100, [](std::string_view) { return true; }),
            InputFileStatus::NotRegularFile);
}

}  // namespace
}  // namespace kv
