// The running program's own file: read through its image even after the file was replaced, and
// recognised by device and inode so that the builder never writes over it.
#include "os/own_program.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>

#include "os/atomic_file.h"
#include "os/linux/same_file.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void Put(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::span<const uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "kv-os-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

TEST(OwnProgramTest, ImageIsThisTestBinary) {
  const fs::path path = OwnProgramPath();
  ASSERT_TRUE(fs::is_regular_file(path)) << path;
  EXPECT_NE(OwnProgramImage(), path) << "the image must not be a name that a replace takes away";
  EXPECT_TRUE(Slurp(OwnProgramImage()) == Slurp(path));
}

TEST(OwnProgramTest, OnlyTheProgramsOwnEntryIsTheRunningProgram) {
  TempDir dir;
  const fs::path self = OwnProgramPath();
  fs::copy_file(self, dir.path() / "copy");
  fs::create_symlink(self, dir.path() / "link");
  const struct {
    fs::path path;
    bool running;
  } cases[] = {
      {self, true},
      {dir.path() / "copy", false},  // the same bytes are not the same file
      {dir.path() / "link", false},  // a replace would take the link, not the program
      {dir.path() / "missing", false},
      {dir.path(), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsRunningProgram(c.path), c.running) << c.path;
  }
}

// /proc's link of an open file behaves like /proc/self/exe: it leads to the file that was opened,
// whatever is at its old place now.
TEST(OwnProgramTest, OpenedFileOutlivesItsReplacement) {
  TempDir dir;
  const fs::path file = dir.path() / "program";
  Put(file, "as started");
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  const fs::path link = "/proc/self/fd/" + std::to_string(fd);
  EXPECT_TRUE(EntryIsFileBehind(file, link));

  ASSERT_TRUE(ReplaceFileAtomically(file, Bytes("replaced")).ok);
  EXPECT_EQ(Slurp(link), "as started");
  EXPECT_EQ(Slurp(file), "replaced");
  EXPECT_FALSE(EntryIsFileBehind(file, link));
  ::close(fd);
}

// A program named Krellvane.Exe that builds in its own folder: the first build would replace the
// program itself and is refused; after some other writer replaced its file, it still builds from
// the image it was started from.
TEST(OwnProgramTest, BuilderKeepsItsFileAndItsPrototype) {
  TempDir dir;
  const fs::path probe = dir.path() / "Krellvane.Exe";
  fs::copy_file(KV_RUNNING_PROGRAM_PROBE, probe);
  const std::string original = Slurp(probe);
  const std::string command = "cd '" + dir.path().string() + "' && ./Krellvane.Exe > log.txt 2>&1";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << Slurp(dir.path() / "log.txt");
  EXPECT_EQ(Slurp(dir.path() / "log.txt"),
            "over itself: Unable to write Krellvane.Exe !\n"
            "It is the running program's own file\n"
            "after replacement: File created successfully !\n"
            "prototype size: " +
                std::to_string(original.size()) + "\n");
  EXPECT_EQ(Slurp(probe), "replaced");
  EXPECT_EQ(fs::file_size(dir.path() / "out" / "Krellvane.Exe"), original.size());
}

}  // namespace
}  // namespace kv
