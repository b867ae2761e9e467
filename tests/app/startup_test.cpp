// The shared start-up on emulated machines: each step alone, in the window's order, with the
// notifier it is given and the user database of the settings the process points at.
#include "app/core/startup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "drive/application_tag.h"
#include "drive/notifier.h"
#include "drive/platform/emulated/emulated_platform.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

class RecordingNotifier : public Notifier {
 public:
  void ShowError(const std::string& text, const std::string& caption) override {
    messages.push_back(caption + "|" + text);
  }
  std::vector<std::string> messages;
};

emu::DriveProfile Writer() {
  emu::DriveProfile writer;
  writer.drive.inquiry.product = "KV-DW1648A";
  return writer;
}

emu::DriveProfile Reader() {
  emu::DriveProfile reader;
  reader.drive.inquiry.product = "KV-CD52";
  reader.drive.capabilities.cdrWrite = false;
  reader.drive.capabilities.cdrwWrite = false;
  reader.drive.capabilities.dvdRWrite = false;
  reader.drive.capabilities.dvdRomRead = false;
  reader.drive.profiles = {0x0008};
  return reader;
}

enum class Kind { Writer, Reader };

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override { SetApplicationTag(0); }
  void TearDown() override { SetApplicationTag(0); }
  void Build(const std::vector<Kind>& drives) {
    for (Kind kind : drives) {
      machine_.AddDrive(kind == Kind::Writer ? Writer() : Reader());
    }
  }

  emu::EmulatedPlatform machine_;
  RecordingNotifier notifier_;
};

TEST_F(StartupTest, TagStepComesBeforeTheDeviceThatReadsIt) {
  const struct {
    const char* name;
    bool tagStep;
    int32_t tag;
    uint32_t managerLoads;  // the probe always; the load for use only when the tag asks for it
  } cases[] = {
      {"with the tag step", true, kApplicationTagPreferAspi, 2},
      {"without it", false, 0, 1},
  };
  for (const auto& c : cases) {
    SetApplicationTag(0);
    emu::EmulatedPlatform machine;
    machine.AddDrive(Writer());
    machine.SetAspiLoadOutcome(AspiLoadResult::Outcome::Loaded);
    Startup startup(&machine, notifier_);
    if (c.tagStep) {
      startup.SetApplicationTag();
    }
    EXPECT_EQ(GetApplicationTag(), c.tag) << c.name;
    ASSERT_TRUE(startup.CreateDevice()) << c.name;
    EXPECT_EQ(machine.AspiLoadCount(), c.managerLoads) << c.name;
  }
}

struct WriterCase {
  const char* name;
  std::vector<Kind> drives;
  std::vector<int32_t> slots;  // the listed drives; every later slot stays free
  int line;                    // the writer line selected afterwards
  std::optional<int16_t> selected;
};

class WriterListTest : public StartupTest, public ::testing::WithParamInterface<WriterCase> {};

TEST_P(WriterListTest, ListsTheWritersAndSelectsALine) {
  const WriterCase& c = GetParam();
  Build(c.drives);
  Startup startup(&machine_, notifier_);
  startup.SetApplicationTag();
  ASSERT_TRUE(startup.CreateDevice());
  ASSERT_EQ(startup.Device()->GetDriveCount(), c.drives.size());

  const DriveListing& listing = startup.ListWriters();
  ASSERT_EQ(listing.lines.size(), c.slots.size());
  for (std::size_t k = 0; k < listing.DriveIndex.size(); ++k) {
    EXPECT_EQ(listing.DriveIndex[k], k < c.slots.size() ? c.slots[k] : kFreeDriveSlot) << k;
  }
  EXPECT_EQ(&startup.Writers(), &listing);

  // A line without a drive leaves the device where enumeration left it.
  const int16_t before = startup.Device()->GetCurrentDrive();
  EXPECT_EQ(startup.SelectWriterLine(c.line), c.selected);
  EXPECT_EQ(startup.Device()->GetCurrentDrive(), c.selected.value_or(before));
  EXPECT_TRUE(notifier_.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriterListTest,
    ::testing::Values(
        WriterCase{"ReaderThenWriter", {Kind::Reader, Kind::Writer}, {1}, 0, 1},
        WriterCase{
            "WritersAroundAReader", {Kind::Writer, Kind::Reader, Kind::Writer}, {0, 2}, 1, 2},
        WriterCase{"OnlyAReader", {Kind::Reader}, {}, 0, std::nullopt},
        WriterCase{"NoDrive", {}, {}, 0, std::nullopt},
        WriterCase{"LinePastTheList", {Kind::Writer}, {0}, 1, std::nullopt},
        WriterCase{"NoLineChosen", {Kind::Writer, Kind::Writer}, {0, 1}, -1, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupTest, WithoutAPlatformEveryStepFailsQuietly) {
  Startup startup(nullptr, notifier_);
  startup.SetApplicationTag();
  EXPECT_FALSE(startup.CreateDevice());
  EXPECT_EQ(startup.Device(), nullptr);
  const DriveListing& listing = startup.ListWriters();
  EXPECT_TRUE(listing.lines.empty());
  for (int32_t slot : listing.DriveIndex) {
    EXPECT_EQ(slot, kFreeDriveSlot);
  }
  EXPECT_FALSE(startup.SelectDrive(0));
  EXPECT_EQ(startup.SelectWriterLine(0), std::nullopt);
  startup.Close();
  EXPECT_TRUE(notifier_.messages.empty());
}

TEST_F(StartupTest, EachStartupReportsToTheNotifierItWasGiven) {
  const struct {
    AspiLoadResult::Outcome first;
    AspiLoadResult::Outcome second;
    std::vector<std::string> firstMessages;
    std::vector<std::string> secondMessages;
  } cases[] = {
      {AspiLoadResult::Outcome::Loaded,
       AspiLoadResult::Outcome::ModuleNotFound,
       {},
       {"Error FS 002|LoadLibrary:\nWNASPI32.DLL not found."}},
      {AspiLoadResult::Outcome::ModuleNotFound,
       AspiLoadResult::Outcome::Loaded,
       {"Error FS 002|LoadLibrary:\nWNASPI32.DLL not found."},
       {}},
      {AspiLoadResult::Outcome::Loaded, AspiLoadResult::Outcome::Loaded, {}, {}},
  };
  for (const auto& c : cases) {
    // Without pass-through on the drive nodes the manager is the only way in.
    emu::EmulatedPlatform firstMachine;
    firstMachine.AddDrive(Writer());
    firstMachine.SetNtFamily(false);
    firstMachine.SetAspiLoadOutcome(c.first);
    emu::EmulatedPlatform secondMachine;
    secondMachine.AddDrive(Writer());
    secondMachine.SetNtFamily(false);
    secondMachine.SetAspiLoadOutcome(c.second);
    RecordingNotifier firstNotifier;
    RecordingNotifier secondNotifier;
    // Both alive at once: a process-wide notifier would send both to the one built last.
    Startup first(&firstMachine, firstNotifier);
    Startup second(&secondMachine, secondNotifier);
    second.SetApplicationTag();
    ASSERT_TRUE(second.CreateDevice());
    ASSERT_TRUE(first.CreateDevice());
    EXPECT_EQ(firstNotifier.messages, c.firstMessages);
    EXPECT_EQ(secondNotifier.messages, c.secondMessages);
  }
}

TEST_F(StartupTest, CloseDestroysTheDeviceThenEmptiesTheLists) {
  Build({Kind::Writer});
  Startup startup(&machine_, notifier_);
  startup.SetApplicationTag();
  ASSERT_TRUE(startup.CreateDevice());
  startup.ListWriters();
  ASSERT_EQ(startup.SelectWriterLine(0), 0);
  startup.UserCd().push_back(std::make_unique<CdMediaRecord>());
  startup.UserDvd().push_back(std::make_unique<DvdMediaRecord>());

  startup.Close();
  EXPECT_EQ(startup.Device(), nullptr);
  EXPECT_TRUE(startup.UserCd().empty());
  EXPECT_TRUE(startup.UserDvd().empty());
  EXPECT_FALSE(startup.SelectDrive(0)) << "no device after Close";
  startup.Close();  // twice is harmless (the destructor closes again)
}

// The database step reads the settings file the process points at.
class UserDatabaseStepTest : public StartupTest {
 protected:
  void SetUp() override {
    StartupTest::SetUp();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / (std::string("kv-startup-") + info->name());
    fs::create_directories(dir_);
    const char* old = std::getenv("KRELLVANE_SETTINGS");
    oldSettings_ = old == nullptr ? "" : old;
    setenv("KRELLVANE_SETTINGS", (dir_ / "settings.ini").c_str(), 1);
  }
  void TearDown() override {
    setenv("KRELLVANE_SETTINGS", oldSettings_.c_str(), 1);
    fs::remove_all(dir_);
    StartupTest::TearDown();
  }
  void PointAt(const std::string& database) {
    std::ofstream(dir_ / "settings.ini") << "[Krellvane]\nUserDefinedFule=" << database << "\n";
  }

  fs::path dir_;
  std::string oldSettings_;
};

TEST_F(UserDatabaseStepTest, LoadsStopsOrFindsNothing) {
  const fs::path data = fs::path(KV_TEST_DATA_DIR) / "media";
  const struct {
    std::string database;
    std::size_t cd;
    std::size_t dvd;
    const char* error;  // null: the load ran to the end
  } cases[] = {
      {(data / "good.txt").string(), 3, 2, nullptr},
      {(data / "bad_hex_midfile.txt").string(), 1, 1, "'0xZZ' is not a valid integer value"},
      {"/nonexistent/kv/db.txt", 0, 0, nullptr},
  };
  for (const auto& c : cases) {
    PointAt(c.database);
    Startup startup(nullptr, notifier_);
    // Stale records from before are replaced, not added to.
    startup.UserCd().push_back(std::make_unique<CdMediaRecord>());
    const UserDatabaseLoad load = startup.LoadUserDatabase();
    EXPECT_EQ(load.stoppedWithError, c.error != nullptr) << c.database;
    EXPECT_EQ(load.error, c.error != nullptr ? c.error : "") << c.database;
    EXPECT_EQ(startup.UserCd().size(), c.cd) << c.database;
    EXPECT_EQ(startup.UserDvd().size(), c.dvd) << c.database;
  }
}

}  // namespace
}  // namespace kv
