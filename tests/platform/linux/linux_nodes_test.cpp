// Node discovery and SCSI addresses of the Linux platform, on a fake tree.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "drive/platform/linux/linux_nodes.h"
#include "drive/platform/linux/linux_platform.h"
#include "tests/support/linux_fake_tree.h"

namespace kv {
namespace {

using linuxtest::FakeTree;
using Strings = std::vector<std::string>;

TEST(LinuxNodeNames, OnlySrWithDigitsThatFitTheRootPath) {
  const struct {
    const char* name;
    bool valid;
  } cases[] = {{"sr0", true},     {"sr10", true},    {"sr12345", true}, {"sr123456", false},
               {"sr", false},     {"sda", false},    {"srx", false},    {"sr1a", false},
               {"SR0", false},    {"../sr0", false}, {"sr-1", false},   {"", false},
               {"sr0/..", false}, {" sr0", false}};
  for (const auto& c : cases) {
    EXPECT_EQ(IsSrNodeName(c.name), c.valid) << '"' << c.name << '"';
  }
}

TEST(LinuxNodeDiscovery, SysfsNodesInNumberOrder) {
  FakeTree tree;
  ASSERT_TRUE(tree.Ok());
  for (const char* name : {"sr10", "sda", "sr2", "srx", "sr0", "sr1", "loop0", "sr1234567"}) {
    tree.AddSysfsEntry("block", name);
  }
  // The /proc list is ignored while sysfs can be read.
  tree.AddProcFile("sys/dev/cdrom/info", "drive name:\t\tsr7\n");

  EXPECT_EQ(ListSrNodes(tree.paths), (Strings{"sr0", "sr1", "sr2", "sr10"}));
}

TEST(LinuxNodeDiscovery, ProcListWhenSysfsIsMissing) {
  const struct {
    const char* info;
    Strings expected;
  } cases[] = {
      {"CD-ROM information, Id: cdrom.c 3.20\n\ndrive name:\t\tsr1\tsr0\ndrive speed:\t\t48\t24\n",
       {"sr0", "sr1"}},
      {"drive name:\t\thdc\tsr3\n", {"sr3"}},
      {"drive name:\n", {}},
      {"no such line\n", {}},
      {"", {}},
  };
  for (const auto& c : cases) {
    FakeTree tree;
    ASSERT_TRUE(tree.Ok());
    tree.AddProcFile("sys/dev/cdrom/info", c.info);
    EXPECT_EQ(ListSrNodes(tree.paths), c.expected) << c.info;
  }
  FakeTree bare;
  EXPECT_TRUE(ListSrNodes(bare.paths).empty());
}

TEST(LinuxNodeAddress, ParsesHostChannelTargetLun) {
  const struct {
    const char* text;
    bool valid;
    KernelScsiAddress address;
  } cases[] = {
      {"3:0:0:0", true, {3, 0, 0, 0}},
      {"1:2:3:4", true, {1, 2, 3, 4}},
      {"300:0:15:7", true, {300, 0, 15, 7}},
      {"", false, {}},
      {"3:0:0", false, {}},
      {"3:0:0:0:0", false, {}},
      {"a:0:0:0", false, {}},
      {"3::0:0", false, {}},
      {"3:0:0:", false, {}},
      {"3:0:0:0x", false, {}},
      {"-1:0:0:0", false, {}},
      {"99999999999:0:0:0", false, {}},
      {"target3:0:0", false, {}},
  };
  for (const auto& c : cases) {
    const auto parsed = ParseHctl(c.text);
    ASSERT_EQ(parsed.has_value(), c.valid) << '"' << c.text << '"';
    if (parsed) {
      EXPECT_EQ(parsed->host, c.address.host);
      EXPECT_EQ(parsed->channel, c.address.channel);
      EXPECT_EQ(parsed->id, c.address.id);
      EXPECT_EQ(parsed->lun, c.address.lun);
    }
  }
}

class LinuxPlatformOnFakeTree : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tree_.Ok());
    tree_.AddSysfsNode("block", "sr0", "3:0:0:0");
    tree_.AddSysfsNode("block", "sr1", "300:1:2:3");
    tree_.AddSysfsEntry("block", "sr2");  // no device link
    tree_.AddSysfsEntry("block", "sda");
    for (const char* name : {"sr0", "sr1", "sr2", "sda"}) {
      tree_.AddDevNode(name);
    }
    platform_ = std::make_unique<LinuxPlatform>(tree_.paths);
  }

  FakeTree tree_;
  std::unique_ptr<LinuxPlatform> platform_;
};

TEST_F(LinuxPlatformOnFakeTree, ListsTheCdromNodesAsRoots) {
  const DriveRootList list = platform_->ListDriveRoots();
  EXPECT_EQ(list.outcome, DriveRootList::Outcome::Ok);
  EXPECT_EQ(list.roots, (Strings{"sr0", "sr1", "sr2"}));
  for (const auto& [root, cdrom] : std::vector<std::pair<std::string, bool>>{
           {"sr0", true}, {"sr2", true}, {"sr3", false}, {"sda", false}, {"../sr0", false}}) {
    EXPECT_EQ(platform_->IsCdromRoot(root), cdrom) << root;
  }
  EXPECT_TRUE(platform_->IsNtFamily());
  EXPECT_EQ(platform_->Name(), "linux");
}

TEST_F(LinuxPlatformOnFakeTree, AddressFromSysfsWhenTheIoctlsFail) {
  const struct {
    const char* root;
    ScsiAddressResult::Outcome outcome;
    uint8_t port, pathId, target, lun;
  } cases[] = {
      {"sr0", ScsiAddressResult::Outcome::Found, 3, 0, 0, 0},
      // A host number beyond a byte saturates instead of wrapping onto another address.
      {"sr1", ScsiAddressResult::Outcome::Found, 255, 1, 2, 3},
      {"sr2", ScsiAddressResult::Outcome::CallFailed, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const DeviceHandle handle = platform_->OpenDevice(c.root);
    ASSERT_NE(handle, kInvalidHandle) << c.root;
    const ScsiAddressResult address = platform_->GetScsiAddress(handle);
    EXPECT_EQ(address.outcome, c.outcome) << c.root;
    if (c.outcome == ScsiAddressResult::Outcome::Found) {
      EXPECT_EQ(address.port, c.port) << c.root;
      EXPECT_EQ(address.pathId, c.pathId) << c.root;
      EXPECT_EQ(address.target, c.target) << c.root;
      EXPECT_EQ(address.lun, c.lun) << c.root;
    }
    platform_->CloseDevice(handle);
    EXPECT_EQ(platform_->GetScsiAddress(handle).outcome, ScsiAddressResult::Outcome::CallFailed)
        << "a closed handle has no address";
  }
}

TEST_F(LinuxPlatformOnFakeTree, OpensOnlyNodeNamesInTheDeviceFolder) {
  for (const char* root : {"sr9", "sda", "../dev/sr0", "/etc/passwd", "", "sr0/"}) {
    EXPECT_EQ(platform_->OpenDevice(root), kInvalidHandle) << root;
  }
  EXPECT_TRUE(platform_->DeniedNodes().empty()) << "a missing node is no permission problem";
  platform_->CloseDevice(kInvalidHandle);  // harmless
  platform_->CloseDevice(12345);
}

TEST_F(LinuxPlatformOnFakeTree, RemembersNodesRefusedForLackOfPermission) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "root opens any node";
  }
  std::filesystem::permissions(tree_.DevPath("sr1"), std::filesystem::perms::none);

  EXPECT_EQ(platform_->OpenDevice("sr1"), kInvalidHandle);
  EXPECT_EQ(platform_->OpenDevice("sr1"), kInvalidHandle);

  const std::vector<DeniedNode> denied = platform_->DeniedNodes();
  ASSERT_EQ(denied.size(), 1u) << "one entry however often it is tried";
  EXPECT_EQ(denied[0].path, tree_.DevPath("sr1"));
  EXPECT_EQ(denied[0].osError, EACCES);

  std::filesystem::permissions(tree_.DevPath("sr1"), std::filesystem::perms::owner_read);
  const DeviceHandle handle = platform_->OpenDevice("sr1");
  EXPECT_NE(handle, kInvalidHandle) << "read-only is enough to open";
  EXPECT_TRUE(platform_->DeniedNodes().empty());
  platform_->CloseDevice(handle);
}

TEST(LinuxPlatformClock, MonotonicNanoseconds) {
  LinuxPlatform platform;
  EXPECT_EQ(platform.CounterFrequency(), 1000000000);
  const int64_t before = platform.CounterNow();
  platform.SleepMilliseconds(0);
  EXPECT_GE(platform.CounterNow(), before);
}

}  // namespace
}  // namespace kv
