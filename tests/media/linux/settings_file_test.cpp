#include "media/settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "os/linux/settings_file.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Every test gets its own folder and points the store at a file inside it.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kv-media-settings-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    file_ = dir_ / "settings.ini";
    for (const char* name : {"KRELLVANE_SETTINGS", "XDG_CONFIG_HOME", "HOME"}) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name, value == nullptr ? std::optional<std::string>()
                                                 : std::optional<std::string>(value));
    }
    setenv("KRELLVANE_SETTINGS", file_.c_str(), 1);
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) {
      if (value) {
        setenv(name, value->c_str(), 1);
      } else {
        unsetenv(name);
      }
    }
    fs::remove_all(dir_);
  }
  std::vector<fs::path> FolderEntries() const {
    std::vector<fs::path> entries;
    for (const auto& e : fs::directory_iterator(dir_)) {
      entries.push_back(e.path().filename());
    }
    return entries;
  }

  fs::path dir_;
  fs::path file_;
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST_F(SettingsTest, IntegersRoundTripThroughAFreshFile) {
  const int32_t values[] = {
      485, 391, 0, -1, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()};
  for (int32_t v : values) {
    ASSERT_TRUE(WriteRegInt(kSettingsKey, "Width", v));
    int32_t back = 12345;
    ASSERT_TRUE(ReadRegInt(kSettingsKey, "Width", back));
    EXPECT_EQ(back, v);
  }
  ASSERT_TRUE(WriteRegInt(kSettingsKey, "Height", 391));
  EXPECT_EQ(ReadText(file_), "[Krellvane]\nWidth=2147483647\nHeight=391\n");
  EXPECT_EQ(FolderEntries(), std::vector<fs::path>{"settings.ini"});  // no temp file left
}

TEST_F(SettingsTest, MissingFileOrValueReadsAsAbsent) {
  int32_t number = 7;
  std::string text = "kept";
  EXPECT_FALSE(ReadRegInt(kSettingsKey, "Width", number));
  EXPECT_FALSE(ReadRegString(kSettingsKey, "UserDefinedFule", text));
  WriteText(file_, "[Other]\nWidth=5\nUserDefinedFule=/x\n[Krellvane]\nHeight=3\n");
  EXPECT_FALSE(ReadRegInt(kSettingsKey, "Width", number));
  EXPECT_FALSE(ReadRegString(kSettingsKey, "UserDefinedFule", text));
  EXPECT_EQ(number, 7);
  EXPECT_EQ(text, "kept");
}

TEST_F(SettingsTest, IntegerTextsThatAreNotFourByteIntegersAreAbsent) {
  const struct {
    const char* stored;
    bool readable;
    int32_t value;
  } cases[] = {
      {"485", true, 485},
      {"  485\t", true, 485},
      {"-7", true, -7},
      {"-0", true, 0},
      {"-2147483648", true, std::numeric_limits<int32_t>::min()},
      {"4294967295", true, -1},  // the unsigned form of a 4-byte value
      {"2147483648", true, std::numeric_limits<int32_t>::min()},
      {"4294967296", false, 0},
      {"-2147483649", false, 0},
      {"99999999999999999999999", false, 0},
      {"", false, 0},
      {"-", false, 0},
      {"12x", false, 0},
      {"0x10", false, 0},
      {"+5", false, 0},
      {"4 85", false, 0},
  };
  for (const auto& c : cases) {
    WriteText(file_, std::string("[Krellvane]\nWidth=") + c.stored + "\n");
    int32_t value = 0;
    ASSERT_EQ(ReadRegInt(kSettingsKey, "Width", value), c.readable) << c.stored;
    EXPECT_EQ(value, c.value) << c.stored;
  }
}

TEST_F(SettingsTest, TextValuesUpTo256BytesAreRead) {
  const struct {
    std::string stored;
    bool readable;
    std::string value;
  } cases[] = {
      {"/home/me/media.txt", true, "/home/me/media.txt"},
      {"", true, ""},  // configured as none
      {std::string(256, 'a'), true, std::string(256, 'a')},
      {std::string(257, 'a'), false, ""},
      {std::string("ab\0cd", 5), true, "ab"},  // ends at a stored zero byte
  };
  for (const auto& c : cases) {
    WriteText(file_, "[Krellvane]\nUserDefinedFule=" + c.stored + "\n");
    std::string value = "untouched";
    ASSERT_EQ(ReadRegString(kSettingsKey, "UserDefinedFule", value), c.readable) << c.stored.size();
    EXPECT_EQ(value, c.readable ? c.value : "untouched");
  }
}

TEST_F(SettingsTest, NamesCompareWithoutCaseAndFirstValueWins) {
  WriteText(file_, "; comment\n[KRELLVANE]\r\n  width = 10 \r\nWIDTH=20\n[krellvane]\nHeight=4\n");
  int32_t width = 0;
  int32_t height = 0;
  EXPECT_TRUE(ReadRegInt(kSettingsKey, "Width", width));
  EXPECT_TRUE(ReadRegInt(kSettingsKey, "Height", height));
  EXPECT_EQ(width, 10);
  EXPECT_EQ(height, 4);
}

TEST_F(SettingsTest, WriteKeepsEveryOtherLine) {
  // A broken header does not open the section, so its Width line belongs to no section.
  const std::string kGarbage =
      std::string("\x01\xff garbage\n") + std::string("\0\0\n", 3) + "[Krellvane\nWidth=1\n";
  const struct {
    const char* label;
    std::string before;
    std::string after;
  } cases[] = {
      {"ReplacesInPlace", "# mine\n[Krellvane]\nWidth=1\nHeight=2\n[Other]\nWidth=9\n",
       "# mine\n[Krellvane]\nWidth=485\nHeight=2\n[Other]\nWidth=9\n"},
      {"AddsToItsSection", "[Krellvane]\nHeight=2\n\n[Other]\nX=1\n",
       "[Krellvane]\nHeight=2\nWidth=485\n\n[Other]\nX=1\n"},
      {"AddsSectionAtEnd", "[Other]\nX=1", "[Other]\nX=1\n[Krellvane]\nWidth=485\n"},
      {"KeepsUnreadableLines", kGarbage, kGarbage + "[Krellvane]\nWidth=485\n"},
  };
  for (const auto& c : cases) {
    WriteText(file_, c.before);
    ASSERT_TRUE(WriteRegInt(kSettingsKey, "Width", 485)) << c.label;
    EXPECT_EQ(ReadText(file_), c.after) << c.label;
  }
}

TEST_F(SettingsTest, UnreadableFileIsNeitherReadNorOverwritten) {
  fs::create_directory(file_);  // a folder where the file should be
  WriteText(file_ / "keep", "x");
  int32_t value = 0;
  EXPECT_FALSE(ReadRegInt(kSettingsKey, "Width", value));
  EXPECT_FALSE(WriteRegInt(kSettingsKey, "Width", 485));
  EXPECT_EQ(ReadText(file_ / "keep"), "x");
}

TEST_F(SettingsTest, UnwritableFolderFailsTheWrite) {
  WriteText(dir_ / "plain", "not a folder");
  setenv("KRELLVANE_SETTINGS", (dir_ / "plain" / "sub" / "settings.ini").c_str(), 1);
  EXPECT_FALSE(WriteRegInt(kSettingsKey, "Width", 485));
  EXPECT_EQ(ReadText(dir_ / "plain"), "not a folder");
}

TEST_F(SettingsTest, MissingFoldersAreCreated) {
  const fs::path deep = dir_ / "a" / "b" / "settings.ini";
  setenv("KRELLVANE_SETTINGS", deep.c_str(), 1);
  ASSERT_TRUE(WriteRegInt(kSettingsKey, "Height", 391));
  EXPECT_EQ(ReadText(deep), "[Krellvane]\nHeight=391\n");
}

TEST_F(SettingsTest, NamesThatWouldBreakTheFileAreRefused) {
  WriteText(file_, "[Krellvane]\nWidth=1\n");
  for (const char* name : {"Wi=dth", "Wid\nth", "[Width]", ""}) {
    EXPECT_FALSE(WriteRegInt(kSettingsKey, name, 5)) << name;
  }
  EXPECT_FALSE(WriteRegInt("Krell]vane", "Width", 5));
  EXPECT_FALSE(WriteRegInt(nullptr, "Width", 5));
  EXPECT_EQ(ReadText(file_), "[Krellvane]\nWidth=1\n");
}

TEST_F(SettingsTest, FileLocationFollowsTheEnvironment) {
  const struct {
    const char* override;
    const char* xdg;
    const char* home;
    std::string path;
  } cases[] = {
      {"/o/s.ini", "/x", "/h", "/o/s.ini"},
      {"", "/x", "/h", "/x/krellvane/settings.ini"},
      {nullptr, nullptr, "/h", "/h/.config/krellvane/settings.ini"},
      {nullptr, "", "/h", "/h/.config/krellvane/settings.ini"},
      {nullptr, nullptr, nullptr, ""},
  };
  for (const auto& c : cases) {
    const std::pair<const char*, const char*> vars[] = {
        {"KRELLVANE_SETTINGS", c.override}, {"XDG_CONFIG_HOME", c.xdg}, {"HOME", c.home}};
    for (const auto& [name, value] : vars) {
      if (value == nullptr) {
        unsetenv(name);
      } else {
        setenv(name, value, 1);
      }
    }
    EXPECT_EQ(SettingsFilePath(), fs::path(c.path)) << c.path;
  }
}

// Failures in the middle of a replace leave the old file as it was and no temporary file.
enum class Fault { ShortWriteThenError, WriteError, SyncError, RenameError };

class FailingFileCalls : public FileCalls {
 public:
  explicit FailingFileCalls(Fault fault) : fault_(fault) {}

  long WriteSome(Handle file, const uint8_t* data, std::size_t length) override {
    if (fault_ == Fault::WriteError || (fault_ == Fault::ShortWriteThenError && wrote_)) {
      errno = ENOSPC;
      return -1;
    }
    if (fault_ == Fault::ShortWriteThenError) {
      wrote_ = true;
      return FileCalls::WriteSome(file, data, length / 2);
    }
    return FileCalls::WriteSome(file, data, length);
  }
  bool Sync(Handle file) override { return fault_ != Fault::SyncError && FileCalls::Sync(file); }
  bool Rename(const fs::path& from, const fs::path& to) override {
    return fault_ != Fault::RenameError && FileCalls::Rename(from, to);
  }

 private:
  Fault fault_;
  bool wrote_ = false;
};

class SettingsFaultTest : public SettingsTest, public ::testing::WithParamInterface<Fault> {};

TEST_P(SettingsFaultTest, OldContentSurvivesAFailedReplace) {
  const std::string before = "[Krellvane]\nWidth=1\nUserDefinedFule=/db.txt\n# note\n";
  WriteText(file_, before);
  FailingFileCalls calls(GetParam());
  SettingsFile store(file_, calls);
  EXPECT_FALSE(store.WriteInteger("Krellvane", "Width", 485));
  EXPECT_EQ(ReadText(file_), before);
  EXPECT_EQ(FolderEntries(), std::vector<fs::path>{"settings.ini"});
  int32_t width = 0;
  EXPECT_TRUE(store.ReadInteger("Krellvane", "Width", width));
  EXPECT_EQ(width, 1);
}

INSTANTIATE_TEST_SUITE_P(Faults, SettingsFaultTest,
                         ::testing::Values(Fault::ShortWriteThenError, Fault::WriteError,
                                           Fault::SyncError, Fault::RenameError));

}  // namespace
}  // namespace kv
