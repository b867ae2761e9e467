// The queries against the emulated drives of the sample profiles, and a few faults injected into
// them: the same decisions as with the scripted fake, on drives that answer like real ones.
#include <string>

#include "drive/platform/emulated/emulated_platform.h"
#include "drive/platform/emulated/profile_loader.h"
#include "tests/drive/device_fixture.h"

namespace kv::test {
namespace {

const std::string kProfileDir = std::string(KV_TEST_DATA_DIR) + "/../../profiles/";

struct ProfileCase {
  const char* file;
  DriveType driveType;
  DiscType discType;
  uint32_t leadIn;  // checked for CDs
  uint32_t layers;  // checked for DVDs
};

void PrintTo(const ProfileCase& c, std::ostream* os) {
  *os << c.file;
}

const ProfileCase kProfileCases[] = {
    {"orvelix-dvdrw-blank-cdr", DriveType::kDvdDual, DiscType::kCdrAPlus, 972565, 0},
    {"orvelix-combo-cdrw", DriveType::kCombo, DiscType::kCdRwHighSpeed, 971236, 0},
    {"orvelix-dvdrw-dvdplusr", DriveType::kDvdDual, DiscType::kDvdPlusR, 0, 1},
    {"orvelix-dvdrw-dvdminusr", DriveType::kDvdDual, DiscType::kDvdMinusR, 0, 1},
    {"orvelix-dvdrw-dvdrom", DriveType::kDvdDual, DiscType::kDvdRom, 0, 2},
    {"orvelix-dvdrw-empty", DriveType::kDvdDual, DiscType::kNoMedia, 0, 0},
    {"orvelix-cdrom-reader", DriveType::kCdRom, DiscType::kCdRom, 0, 0},
};

class EmulatedProfileTest : public ::testing::TestWithParam<ProfileCase> {
 protected:
  void SetUp() override {
    std::string error;
    machine = emu::CreateEmulatedMachine({kProfileDir + GetParam().file + ".json"}, error);
    ASSERT_NE(machine, nullptr) << error;
    SetApplicationTag(0);
    device = std::make_unique<AtapiDevice>(*machine, notifier);
    ASSERT_EQ(device->GetDriveCount(), 1);
    ASSERT_TRUE(device->SelectDrive(0));
  }

  std::unique_ptr<emu::EmulatedPlatform> machine;
  SilentNotifier notifier;
  std::unique_ptr<AtapiDevice> device;
};

TEST_P(EmulatedProfileTest, ClassifiesDriveAndDisc) {
  const ProfileCase& c = GetParam();
  EXPECT_EQ(device->QueryDriveType(), c.driveType);
  EXPECT_EQ(device->GetCurrentDriveType(), c.driveType);
  EXPECT_EQ(device->QueryDiscType(), c.discType);
  if (IsCdRecordable(c.discType) || IsCdRewritable(c.discType)) {
    EXPECT_EQ(device->QueryAtipTime(AtipTime::kLeadIn), c.leadIn);
  }
  if (IsDvdFamily(c.discType)) {
    EXPECT_EQ(device->QueryLayerCount(), c.layers);
  }
  if (c.discType == DiscType::kNoMedia) {
    EXPECT_TRUE(device->WaitUntilReady(60));
    EXPECT_TRUE(device->LastSenseIs(0x02, 0x3A));
    EXPECT_EQ(machine->SleepCount(), 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, EmulatedProfileTest, ::testing::ValuesIn(kProfileCases),
                         [](const auto& info) {
                           std::string name = info.param.file;
                           std::erase(name, '-');
                           return name;
                         });

// One profile text, changed per case, on a machine of its own.
class EmulatedFaultTest : public ::testing::Test {
 protected:
  void Load(const std::string& json) {
    std::string error;
    auto profile = emu::ParseProfileText(json, "test", error);
    ASSERT_TRUE(profile) << error;
    machine = std::make_unique<emu::EmulatedPlatform>();
    machine->AddDrive(*profile);
    SetApplicationTag(0);
    device = std::make_unique<AtapiDevice>(*machine, notifier);
    ASSERT_TRUE(device->SelectDrive(0));
    machine->ClearCdbLog();
  }

  std::unique_ptr<emu::EmulatedPlatform> machine;
  SilentNotifier notifier;
  std::unique_ptr<AtapiDevice> device;
};

TEST_F(EmulatedFaultTest, SpeedAndCapacityFromADvdPlusR) {
  Load(R"({"drive": {"profiles": ["0x1B", "0x1A", "0x13", "0x11"],
                     "writeSpeeds": [{"endLba": 2295103, "readSpeed": 11080, "writeSpeed": 11080}]},
           "disc": {"kind": "DVD+R", "capacityBlocks": 2295104}})");
  EXPECT_EQ(device->QueryCapacityBlocks(), 2295104u);
  EXPECT_EQ(device->QueryMaxWriteSpeed(), 11080.0);
  EXPECT_TRUE(device->SetMaximumStreaming());
}

TEST_F(EmulatedFaultTest, BecomingReadyIsWaitedFor) {
  // Enumeration and selection use up some of the polls; enough are left for the wait.
  Load(
      R"({"disc": {"kind": "CD-R"}, "becomingReady": {"notReadyPolls": 12, "unitAttentionPolls": 2}})");
  EXPECT_TRUE(device->WaitUntilReady(60));
  EXPECT_GT(machine->SleepCount(), 0u);
  EXPECT_EQ(machine->TotalSleepMilliseconds(), 300u * machine->SleepCount());
  std::size_t turs = 0;
  for (const emu::CdbLogEntry& e : machine->CdbLog()) {
    turs += e.cdb[0] == 0x00 ? 1 : 0;
  }
  EXPECT_EQ(turs, machine->SleepCount() + 2u) << "one poll per sleep, the ready one, the final one";
  EXPECT_EQ(device->LastCommand().Status, kStatusGood);
}

TEST_F(EmulatedFaultTest, RejectedPerformanceGivesNoSpeedAndNoStreaming) {
  Load(R"({"disc": {"kind": "DVD-R"}, "faults": {"AC/03": {"sense": [5, 36, 0]}}})");
  EXPECT_EQ(device->QueryMaxWriteSpeed(), 0.0);
  EXPECT_FALSE(device->SetMaximumStreaming());
  for (const emu::CdbLogEntry& e : machine->CdbLog()) {
    EXPECT_NE(e.cdb[0], 0xB6) << "SET STREAMING sent after a failed GET PERFORMANCE";
  }
  EXPECT_EQ(device->LastCommand().SenseKey, 5);
  EXPECT_EQ(device->LastCommand().Asc, 36);
}

TEST_F(EmulatedFaultTest, ShortPhysicalFormatAnswerIsUnknownUnlessProfileNamesIt) {
  Load(R"({"drive": {"currentProfile": "0x02"}, "disc": {"kind": "DVD+R"},
           "faults": {"AD/00": {"short": 3}}})");
  EXPECT_EQ(device->QueryDiscType(), DiscType::kUnknown);
}

TEST_F(EmulatedFaultTest, MisreportedCountIsNotTrustedBeyondTheRequest) {
  Load(R"({"disc": {"kind": "CD-R"}, "faults": {"5A/2A": {"misreport": 100000}}})");
  EXPECT_EQ(device->ModeSense10(0, 0, 0x2A, 42, 0), 1);
  EXPECT_EQ(device->LastCommand().Transferred, 42u);
}

TEST_F(EmulatedFaultTest, PressedCdWithFalseAtipIsNotACdR) {
  // A drive that answers ATIP for a pressed CD, with the descriptor's fixed bits clear.
  Load(R"({"disc": {"kind": "CD-ROM"},
           "raw": {"43/04": "00 16 00 00 00 00 08 00 61 1a 41 00 4f 3b 4a 00 00 00 00 00 00 00 00 00"}})");
  EXPECT_EQ(device->QueryDiscType(), DiscType::kCdRom);
}

}  // namespace
}  // namespace kv::test
