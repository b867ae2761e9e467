#include "media/user_database.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kv {
namespace {

const std::filesystem::path kData = std::filesystem::path(KV_TEST_DATA_DIR) / "media";

struct Loaded {
  std::vector<std::string> cd;   // "leadIn/leadOut/name"
  std::vector<std::string> dvd;  // "first byte hex/name"
  UserDatabaseLoad load;
};

std::string Describe(const CdMediaRecord& r) {
  return std::string(r.LeadIn, strnlen(r.LeadIn, 6)) + "/" +
         std::string(r.LeadOut, strnlen(r.LeadOut, 6)) + "/" + std::string(r.Name);
}

std::string Describe(const DvdMediaRecord& r) {
  char hex[3];
  std::snprintf(hex, sizeof hex, "%02X", r.Identifier[11]);
  return std::string(hex) + "/" + std::string(r.Name);
}

Loaded Summarise(const UserCdList& cd, const UserDvdList& dvd, UserDatabaseLoad load) {
  Loaded out;
  for (const auto& r : cd) {
    out.cd.push_back(Describe(*r));
  }
  for (const auto& r : dvd) {
    out.dvd.push_back(Describe(*r));
  }
  out.load = std::move(load);
  return out;
}

Loaded LoadFile(const std::string& name) {
  std::ifstream in(kData / name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  UserCdList cd;
  UserDvdList dvd;
  // Lists are rebuilt, not appended to.
  cd.push_back(std::make_unique<CdMediaRecord>());
  dvd.push_back(std::make_unique<DvdMediaRecord>());
  UserDatabaseLoad load = LoadUserDatabase(in, cd, dvd);
  return Summarise(cd, dvd, std::move(load));
}

struct FileCase {
  const char* file;
  std::vector<std::string> cd;
  std::vector<std::string> dvd;
  std::string error;
};

class UserDatabaseFileTest : public ::testing::TestWithParam<FileCase> {};

TEST_P(UserDatabaseFileTest, LoadsTheRecordsOfItsSections) {
  const Loaded got = LoadFile(GetParam().file);
  EXPECT_EQ(got.cd, GetParam().cd);
  EXPECT_EQ(got.dvd, GetParam().dvd);
  EXPECT_EQ(got.load.stoppedWithError, !GetParam().error.empty());
  EXPECT_EQ(got.load.error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Files, UserDatabaseFileTest,
    ::testing::Values(
        // Lines before the first header, a lower-case header with blanks, two [CD] sections.
        FileCase{"good.txt",
                 {"971510/795959/RiTEK Corporation", "972500/795959/TDK Corporation",
                  "975150/795959/Hile"},
                 {"FF/Mitsubishi", "FF/Lower Case"},
                 ""},
        // The conversion error stops loading; what came before stays.
        FileCase{"bad_hex_midfile.txt",
                 {"971510/795959/CD Before Error"},
                 {"FF/First"},
                 "'0xZZ' is not a valid integer value"},
        FileCase{"garbage.txt", {"971510/795959/After Nul Header"}, {}, ""},
        // Over-long record lines keep 47 name characters; a 2047-character piece ends a line.
        FileCase{"long_lines.txt",
                 {"971510/795959/" + std::string(47, 'N'), "971510/795959/Split Piece"},
                 {"FF/" + std::string(47, 'D')},
                 ""}),
    [](const auto& info) {
      std::string name = info.param.file;
      return name.substr(0, name.find('.'));
    });

TEST(UserDatabaseStreamTest, EmptyStreamLeavesBothListsEmpty) {
  std::istringstream in("");
  UserCdList cd;
  UserDvdList dvd;
  cd.push_back(std::make_unique<CdMediaRecord>());
  const UserDatabaseLoad load = LoadUserDatabase(in, cd, dvd);
  EXPECT_TRUE(cd.empty());
  EXPECT_TRUE(dvd.empty());
  EXPECT_FALSE(load.stoppedWithError);
}

TEST(UserDatabaseStreamTest, RecordLinesGoOnlyToTheirOwnSection) {
  std::istringstream in(
      "[CD]\n4D43432030335247323000FF=Dvd Line In Cd\n[DVD]\n971510_795959=Cd Line In Dvd\n");
  UserCdList cd;
  UserDvdList dvd;
  LoadUserDatabase(in, cd, dvd);
  // The DVD line is 35 characters with '=' at 25 and no '_' at 7: not a CD record.
  EXPECT_TRUE(cd.empty());
  EXPECT_TRUE(dvd.empty());
}

// LoadUserDefinedFile takes its path from the settings file the test process points at.
class UserDefinedFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kv-media-userdb-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    const char* old = std::getenv("KRELLVANE_SETTINGS");
    oldSettings_ = old == nullptr ? "" : old;
    setenv("KRELLVANE_SETTINGS", (dir_ / "settings.ini").c_str(), 1);
  }
  void TearDown() override {
    setenv("KRELLVANE_SETTINGS", oldSettings_.c_str(), 1);
    std::filesystem::remove_all(dir_);
  }
  void Settings(const std::string& text) { std::ofstream(dir_ / "settings.ini") << text; }

  std::filesystem::path dir_;
  std::string oldSettings_;
};

TEST_F(UserDefinedFileTest, ConfiguredFileIsLoaded) {
  Settings("[Krellvane]\nUserDefinedFule=" + (kData / "good.txt").string() + "\n");
  UserCdList cd;
  UserDvdList dvd;
  LoadUserDefinedFile(cd, dvd);
  EXPECT_EQ(cd.size(), 3u);
  EXPECT_EQ(dvd.size(), 2u);
}

TEST_F(UserDefinedFileTest, MissingSettingPathOrFileLeavesListsEmpty) {
  const std::string cases[] = {
      "",                                                                 // no settings file
      "[Krellvane]\nWidth=3\n",                                           // no value
      "[Krellvane]\nUserDefinedFule=\n",                                  // empty path
      "[Krellvane]\nUserDefinedFule=/nonexistent/kv/db.txt\n",            // missing file
      "[Krellvane]\nUserDefinedFule=" + dir_.string() + "\n",             // a folder, not a file
      "[Krellvane]\nUserDefinedFule=/" + std::string(300, 'p') + "\n",    // over the text limit
      "[Krellvane]\nUserDefinedFule=" + (dir_ / "fifo").string() + "\n",  // must not wait
      "[Krellvane]\nUserDefinedFule=/dev/zero\n",  // must not read without end
  };
  ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  for (const std::string& settings : cases) {
    std::filesystem::remove(dir_ / "settings.ini");
    if (!settings.empty()) {
      Settings(settings);
    }
    UserCdList cd;
    UserDvdList dvd;
    cd.push_back(std::make_unique<CdMediaRecord>());
    dvd.push_back(std::make_unique<DvdMediaRecord>());
    const UserDatabaseLoad load = LoadUserDefinedFile(cd, dvd);
    EXPECT_TRUE(cd.empty()) << settings;
    EXPECT_TRUE(dvd.empty()) << settings;
    EXPECT_FALSE(load.stoppedWithError) << settings;
  }
}

// Lines are parsed as they are read and only records are kept: blank lines cost nothing, and a file
// is read only up to its limit, so a record beyond it is not loaded.
TEST_F(UserDefinedFileTest, ReadsLineByLineUpToTheLimit) {
  const std::filesystem::path db = dir_ / "db.txt";
  {
    std::ofstream out(db, std::ios::binary);
    out << "[CD]\n97m24s_79m59s=Before\n";
    const std::string blanks(1 << 16, '\n');
    std::size_t written = 0;
    while (written <= kUserDatabaseReadLimit) {
      out << blanks;
      written += blanks.size();
    }
    out << "97m25s_79m59s=Beyond\n";
  }
  UserCdList cd;
  UserDvdList dvd;
  const UserDatabaseLoad load = LoadUserDatabaseFile(db, cd, dvd);
  EXPECT_FALSE(load.stoppedWithError);
  ASSERT_EQ(cd.size(), 1u);
  EXPECT_STREQ(cd[0]->Name, "Before");
}

}  // namespace
}  // namespace kv
