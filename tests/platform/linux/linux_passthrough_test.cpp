// SG_IO pass-through, the sg manager and the device object over the Linux platform, on nodes that
// are no drives: every call must fail cleanly.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>

#include "drive/application_tag.h"
#include "drive/atapi_device.h"
#include "drive/notifier.h"
#include "drive/platform/linux/linux_platform.h"
#include "drive/platform/linux/linux_sg_io.h"
#include "drive/platform/linux/linux_sg_manager.h"
#include "tests/support/linux_fake_tree.h"

namespace kv {
namespace {

using linuxtest::FakeTree;

class SilentNotifier : public Notifier {
 public:
  void ShowError(const std::string& text, const std::string& caption) override {
    messages.push_back(caption + " " + text);
  }
  std::vector<std::string> messages;
};

// INQUIRY, 96 bytes in.
ScsiRequest InquiryRequest(uint8_t* buffer) {
  ScsiRequest request;
  request.cdb = Cdb{0x12, 0, 0, 0, 96, 0, 0, 0, 0, 0, 0, 0};
  request.direction = kDirectionIn;
  request.buffer = buffer;
  request.length = 96;
  request.timeoutSeconds = kCommandTimeoutSeconds;
  return request;
}

void ExpectRefused(const PassThroughResult& result, const char* what) {
  EXPECT_FALSE(result.callSucceeded) << what;
  EXPECT_NE(result.osError, 0) << what;
  EXPECT_EQ(result.transferred, 0u) << what;
  EXPECT_EQ(result.senseLength, 0) << what;
}

TEST(LinuxSgIo, RefusedOnDescriptorsThatAreNoScsiDevice) {
  FakeTree tree;
  ASSERT_TRUE(tree.Ok());
  tree.AddDevNode("sr0");
  std::array<uint8_t, 96> buffer{};
  const ScsiRequest request = InquiryRequest(buffer.data());

  const int file = open(tree.DevPath("sr0").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(file, 0);
  ExpectRefused(RunSgIo(file, request).result, "regular file");
  close(file);
  ExpectRefused(RunSgIo(file, request).result, "closed descriptor");
  ExpectRefused(RunSgIo(-1, request).result, "no descriptor");

  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  ExpectRefused(RunSgIo(pipeEnds[0], request).result, "pipe");
  close(pipeEnds[0]);
  close(pipeEnds[1]);
  EXPECT_EQ(buffer, (std::array<uint8_t, 96>{})) << "nothing written into the buffer";
}

TEST(LinuxPassThrough, FailsCleanlyOnFilesMissingNodesAndClosedHandles) {
  FakeTree tree;
  ASSERT_TRUE(tree.Ok());
  tree.AddSysfsNode("block", "sr0", "0:0:0:0");
  tree.AddDevNode("sr0");
  LinuxPlatform platform(tree.paths);
  std::array<uint8_t, 96> buffer{};
  const ScsiRequest request = InquiryRequest(buffer.data());

  const DeviceHandle file = platform.OpenDevice("sr0");
  ASSERT_NE(file, kInvalidHandle);
  ExpectRefused(platform.PassThrough(file, request), "regular file");

  const DeviceHandle missing = platform.OpenDevice("sr1");
  EXPECT_EQ(missing, kInvalidHandle);
  ExpectRefused(platform.PassThrough(missing, request), "missing node");

  platform.CloseDevice(file);
  const PassThroughResult closed = platform.PassThrough(file, request);
  ExpectRefused(closed, "closed handle");
  EXPECT_EQ(closed.osError, EBADF);

  // A descriptor the platform did not open (standard input) is never sent a command.
  EXPECT_EQ(platform.PassThrough(STDIN_FILENO, request).osError, EBADF);

  ScsiRequest noData = request;
  noData.direction = kDirectionNone;
  noData.buffer = nullptr;
  const DeviceHandle again = platform.OpenDevice("sr0");
  ExpectRefused(platform.PassThrough(again, noData), "no data phase");
  platform.CloseDevice(again);
}

TEST(LinuxSgManager, AbsentWithoutTheSgDriver) {
  FakeTree tree;
  ASSERT_TRUE(tree.Ok());
  EXPECT_EQ(LoadSgManager(tree.paths).outcome, AspiLoadResult::Outcome::ModuleNotFound);
  tree.AddSysfsEntry("scsi_host", "host0");
  std::filesystem::create_directories(std::filesystem::path(tree.paths.sysfsRoot) / "class" /
                                      "scsi_generic");
  EXPECT_EQ(LoadSgManager(tree.paths).outcome, AspiLoadResult::Outcome::ModuleNotFound)
      << "an empty scsi_generic folder is no driver";

  tree.AddProcFile("scsi/sg/version", "30536\n");
  const AspiLoadResult loaded = LoadSgManager(tree.paths);
  ASSERT_EQ(loaded.outcome, AspiLoadResult::Outcome::Loaded);
  ASSERT_NE(loaded.manager, nullptr);
  EXPECT_EQ(loaded.manager->GetSupportInfo(), 0x0101u);
  EXPECT_EQ(loaded.manager->GetDeviceType(0, 0, 0).srbStatus, 0x82);
}

class LinuxSgManagerOnFakeTree : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tree_.Ok());
    tree_.AddSysfsNode("scsi_generic", "sg0", "0:0:0:0", 0);  // a disk
    tree_.AddSysfsNode("scsi_generic", "sg1", "2:0:1:0", 5);
    tree_.AddSysfsNode("scsi_generic", "sg2", "2:1:3:0", 5);  // channel 1: out of reach
    tree_.AddSysfsEntry("scsi_generic", "sg3");               // no device link
    tree_.AddSysfsNode("scsi_generic", "sg4", "2:0:5:0", 5);  // no node in /dev
    for (const char* host : {"host0", "host2"}) {
      tree_.AddSysfsEntry("scsi_host", host);
    }
    tree_.AddDevNode("sg0");
    tree_.AddDevNode("sg1");
    tree_.AddDevNode("sg2");
    AspiLoadResult loaded = LoadSgManager(tree_.paths);
    ASSERT_EQ(loaded.outcome, AspiLoadResult::Outcome::Loaded);
    manager_ = std::move(loaded.manager);
  }

  FakeTree tree_;
  std::unique_ptr<AspiManager> manager_;
};

TEST_F(LinuxSgManagerOnFakeTree, AdaptersAndDeviceTypes) {
  EXPECT_EQ(manager_->GetSupportInfo(), 0x0103u) << "status 01h, hosts 0 to 2";
  for (uint8_t adapter = 0; adapter < 5; ++adapter) {
    const AspiHaInquiry inquiry = manager_->HaInquiry(adapter);
    EXPECT_EQ(inquiry.srbStatus == kSsComp, adapter < 3) << int{adapter};
    EXPECT_EQ(inquiry.haCount, 3);
  }
  const struct {
    uint8_t ha, target, lun;
    uint8_t status, type;
  } cases[] = {{0, 0, 0, kSsComp, 0}, {2, 1, 0, kSsComp, 5}, {2, 3, 0, 0x82, 0},
               {2, 5, 0, 0x82, 0},    {1, 0, 0, 0x82, 0},    {2, 1, 1, 0x82, 0},
               {3, 0, 0, 0x81, 0},    {255, 15, 7, 0x81, 0}};
  for (const auto& c : cases) {
    const AspiDeviceType device = manager_->GetDeviceType(c.ha, c.target, c.lun);
    EXPECT_EQ(device.srbStatus, c.status) << int{c.ha} << '/' << int{c.target} << '/' << int{c.lun};
    if (c.status == kSsComp) {
      EXPECT_EQ(device.deviceType, c.type);
    }
  }
}

TEST_F(LinuxSgManagerOnFakeTree, ExecuteOnANodeThatIsNoDriveFails) {
  std::array<uint8_t, 96> buffer{};
  const ScsiRequest request = InquiryRequest(buffer.data());
  for (int attempt = 0; attempt < 2; ++attempt) {  // the second reuses the kept descriptor
    const AspiExecResult result = manager_->Execute(2, 1, 0, request);
    EXPECT_NE(result.srbStatus, kSsComp);
    EXPECT_EQ(result.senseArea, SenseBytes{});
  }
  EXPECT_NE(manager_->Execute(2, 5, 0, request).srbStatus, kSsComp) << "sg4 has no node";
  EXPECT_NE(manager_->Execute(7, 0, 0, request).srbStatus, kSsComp);
}

TEST(LinuxSgManager, RefusedSgNodeJoinsThePlatformsPermissionHints) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "root opens any node";
  }
  FakeTree tree;
  ASSERT_TRUE(tree.Ok());
  tree.AddSysfsNode("scsi_generic", "sg1", "0:0:1:0", 5);
  tree.AddDevNode("sg1");
  std::filesystem::permissions(tree.DevPath("sg1"), std::filesystem::perms::none);
  LinuxPlatform platform(tree.paths);
  AspiLoadResult loaded = platform.LoadAspi();
  ASSERT_EQ(loaded.outcome, AspiLoadResult::Outcome::Loaded);
  std::array<uint8_t, 96> buffer{};

  EXPECT_NE(loaded.manager->Execute(0, 1, 0, InquiryRequest(buffer.data())).srbStatus, kSsComp);

  const std::vector<DeniedNode> denied = platform.DeniedNodes();
  ASSERT_EQ(denied.size(), 1u);
  EXPECT_EQ(denied[0].path, tree.DevPath("sg1"));
}

TEST(LinuxDevice, UnreachableSgNodesLeaveTheDrivesToTheBlockNodes) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "root opens any node";
  }
  FakeTree tree;
  ASSERT_TRUE(tree.Ok());
  tree.AddSysfsEntry("scsi_host", "host0");
  for (const char* name : {"sr0", "sr1"}) {
    tree.AddDevNode(name);
  }
  tree.AddSysfsNode("block", "sr0", "0:0:0:0");
  tree.AddSysfsNode("block", "sr1", "0:0:1:0");
  for (const char* name : {"sg0", "sg1"}) {
    tree.AddDevNode(name);
    std::filesystem::permissions(tree.DevPath(name), std::filesystem::perms::none);
  }
  tree.AddSysfsNode("scsi_generic", "sg0", "0:0:0:0", 5);
  tree.AddSysfsNode("scsi_generic", "sg1", "0:0:1:0", 5);
  LinuxPlatform platform(tree.paths);
  SilentNotifier notifier;

  SetApplicationTag(kApplicationTagPreferAspi);
  AtapiDevice device(platform, notifier);
  SetApplicationTag(0);

  EXPECT_FALSE(device.UsesAspi());
  ASSERT_EQ(device.GetDriveCount(), 2);
  EXPECT_STREQ(device.GetDriveRecord(0)->RootPath, "sr0");
  EXPECT_EQ(device.GetDriveRecord(0)->ViaAspi, 0);
  EXPECT_TRUE(platform.DeniedNodes().empty()) << "the sg nodes are no reason for a hint";
}

TEST(LinuxDevice, FakeNodesAreListedWithoutTextsAndNothingIsLeftOpen) {
  FakeTree tree;
  ASSERT_TRUE(tree.Ok());
  tree.AddSysfsNode("block", "sr0", "1:0:0:0");
  tree.AddSysfsNode("block", "sr1", "0:0:2:0");
  tree.AddSysfsEntry("block", "sr2");  // no node in /dev
  tree.AddDevNode("sr0");
  tree.AddDevNode("sr1");
  LinuxPlatform platform(tree.paths);
  SilentNotifier notifier;

  SetApplicationTag(kApplicationTagPreferAspi);
  AtapiDevice device(platform, notifier);
  SetApplicationTag(0);

  EXPECT_TRUE(notifier.messages.empty()) << "no sg driver is no message when it is not required";
  EXPECT_FALSE(device.UsesAspi());
  ASSERT_EQ(device.GetDriveCount(), 2);
  EXPECT_STREQ(device.GetDriveRecord(0)->RootPath, "sr1");
  EXPECT_EQ(device.GetDriveRecord(0)->Target, 2);
  EXPECT_STREQ(device.GetDriveRecord(1)->RootPath, "sr0");
  EXPECT_EQ(device.GetDriveRecord(1)->HostAdapter, 1);
  for (uint32_t i = 0; i < 2; ++i) {
    EXPECT_STREQ(device.GetDriveRecord(i)->DisplayName, "");
    EXPECT_EQ(device.GetDriveRecord(i)->CdWriter, 0);
  }
  EXPECT_EQ(device.GetDeviceHandle(), kInvalidHandle);
  EXPECT_TRUE(device.SelectDrive(0));
  EXPECT_EQ(device.TestUnitReady(), 0);
  EXPECT_EQ(device.LastCommand().Status, kStatusFailed);
}

TEST(LinuxDevice, ThisMachineWithoutDrivesFindsNone) {
  LinuxPlatform platform;
  if (!platform.ListDriveRoots().roots.empty()) {
    GTEST_SKIP() << "this machine has CD/DVD nodes";
  }
  SilentNotifier notifier;
  SetApplicationTag(kApplicationTagPreferAspi);
  AtapiDevice device(platform, notifier);
  SetApplicationTag(0);
  EXPECT_EQ(device.GetDriveCount(), 0);
  EXPECT_EQ(device.GetDriveRecord(0), nullptr);
  EXPECT_EQ(device.GetDeviceHandle(), kInvalidHandle);
}

}  // namespace
}  // namespace kv
