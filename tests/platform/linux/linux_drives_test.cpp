// The Linux platform on machines as they are: many SCSI hosts, disks beside the drives, drive
// nodes named by path, and nodes an ordinary user may not use.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "drive/application_tag.h"
#include "drive/atapi_device.h"
#include "drive/notifier.h"
#include "drive/platform/linux/linux_access_hint.h"
#include "drive/platform/linux/linux_host_rank.h"
#include "drive/platform/linux/linux_platform.h"
#include "drive/platform/linux/linux_sg_manager.h"
#include "tests/support/linux_fake_tree.h"

namespace kv {
namespace {

using linuxtest::FakeTree;

class QuietNotifier : public Notifier {
 public:
  void ShowError(const std::string&, const std::string&) override {}
};

TEST(LinuxHostRank, RankAmongTheHostsThatCarryDrives) {
  const std::vector<unsigned> hosts{0, 1, 16, 300};
  const struct {
    unsigned host;
    unsigned rank;
  } cases[] = {{0, 0}, {1, 1}, {16, 2}, {300, 3}, {2, 2}, {301, 4}};
  for (const auto& c : cases) {
    EXPECT_EQ(HostRank(hosts, c.host), c.rank) << c.host;
  }
  EXPECT_EQ(HostRank({}, 17), 17u) << "nothing to rank by: the kernel's number stands";
}

// Drives on hosts 0, 1, 16, 17 and 300 (USB writers plugged in again and again), a disk on host 2
// and many hosts without drives: every drive is listed, each under its host's rank.
class ManyHostsTree : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tree_.Ok());
    const char* drives[][2] = {{"sr0", "16:0:0:0"},
                               {"sr1", "0:0:1:0"},
                               {"sr2", "300:0:0:0"},
                               {"sr3", "1:0:0:0"},
                               {"sr4", "17:0:2:0"}};
    for (const auto& d : drives) {
      tree_.AddSysfsNode("block", d[0], d[1]);
      tree_.AddDevNode(d[0]);
    }
    for (int host = 0; host < 20; ++host) {
      tree_.AddSysfsEntry("scsi_host", "host" + std::to_string(host));
    }
  }
  void AddSg(const char* name, const char* hctl, int type) {
    tree_.AddSysfsNode("scsi_generic", name, hctl, type);
    tree_.AddDevNode(name);
  }

  FakeTree tree_;
};

TEST_F(ManyHostsTree, BlockNodesListEveryDriveUnderItsHostsRank) {
  LinuxPlatform platform(tree_.paths);
  QuietNotifier notifier;
  SetApplicationTag(0);
  AtapiDevice device(platform, notifier);
  ASSERT_EQ(device.GetDriveCount(), 5) << "none dropped by the sort";
  const struct {
    const char* root;
    int16_t host, target;
  } order[] = {{"sr1", 0, 1}, {"sr3", 1, 0}, {"sr0", 2, 0}, {"sr4", 3, 2}, {"sr2", 4, 0}};
  for (uint32_t i = 0; i < 5; ++i) {
    const DriveRecord* drive = device.GetDriveRecord(i);
    ASSERT_NE(drive, nullptr);
    EXPECT_STREQ(drive->RootPath, order[i].root) << i;
    EXPECT_EQ(drive->HostAdapter, order[i].host) << i;
    EXPECT_EQ(drive->Target, order[i].target) << i;
  }
}

TEST_F(ManyHostsTree, TheSgManagerAnswersToTheSameRanksAndKnowsOnlyDrives) {
  AddSg("sg0", "2:0:0:0", 0);  // a disk
  AddSg("sg1", "16:0:0:0", 5);
  AddSg("sg2", "300:0:0:0", 5);
  AddSg("sg3", "19:0:0:0", 0);  // another disk, on a host above a drive's
  AspiLoadResult loaded = LoadSgManager(tree_.paths);
  ASSERT_EQ(loaded.outcome, AspiLoadResult::Outcome::Loaded);
  AspiManager& manager = *loaded.manager;
  EXPECT_EQ(manager.GetSupportInfo(), 0x0105u) << "five hosts carry drives";
  EXPECT_EQ(manager.GetDeviceType(2, 0, 0).deviceType, kDeviceTypeCdrom) << "host 16";
  EXPECT_EQ(manager.GetDeviceType(4, 0, 0).deviceType, kDeviceTypeCdrom) << "host 300";
  EXPECT_EQ(manager.GetDeviceType(0, 0, 0).srbStatus, 0x82) << "no sg node for sr1";
  EXPECT_EQ(manager.HaInquiry(5).srbStatus, 0x81);

  // The disks' nodes were never opened: no descriptor of this process names them.
  for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    const auto target = std::filesystem::read_symlink(fd.path(), ec).string();
    EXPECT_NE(target, tree_.DevPath("sg0"));
    EXPECT_NE(target, tree_.DevPath("sg3"));
  }
}

TEST_F(ManyHostsTree, NodeAddressNamesTheDriveAsListed) {
  AddSg("sg1", "16:0:0:0", 5);
  std::filesystem::create_symlink("sr4", std::filesystem::path(tree_.paths.devRoot) / "cdrom");
  LinuxPlatform platform(tree_.paths);
  const struct {
    std::string path;
    bool found;
    uint8_t port, target;
  } cases[] = {
      {tree_.DevPath("sr0"), true, 2, 0},
      {tree_.DevPath("sg1"), true, 2, 0},
      {tree_.DevPath("cdrom"), true, 3, 2},
      {tree_.DevPath("sr9"), false, 0, 0},
      {tree_.DevPath("sr0") + "/", false, 0, 0},
      {"/etc/passwd", false, 0, 0},
      {"sr0", false, 0, 0},
      {"", false, 0, 0},
  };
  for (const auto& c : cases) {
    const ScsiAddressResult address = platform.NodeAddress(c.path);
    EXPECT_EQ(address.outcome == ScsiAddressResult::Outcome::Found, c.found) << c.path;
    if (c.found) {
      EXPECT_EQ(address.port, c.port) << c.path;
      EXPECT_EQ(address.target, c.target) << c.path;
    }
  }
}

TEST(LinuxAccessHint, VerdictFromOwnerGroupModeAndTheUsersGroups) {
  constexpr uid_t kRoot = 0;
  constexpr gid_t kCdrom = 24;
  constexpr gid_t kUsers = 100;
  const UserIdentity inCdrom{1000, {kUsers, kCdrom}};
  const UserIdentity notInCdrom{1000, {kUsers}};
  const struct {
    const char* name;
    NodeOwnership node;
    UserIdentity user;
    AccessVerdict verdict;
  } cases[] = {
      {"root:root 0600, user in cdrom",
       {kRoot, kRoot, 0600},
       inCdrom,
       AccessVerdict::NotGroupAccessible},
      {"root:cdrom 0660, not in cdrom",
       {kRoot, kCdrom, 0660},
       notInCdrom,
       AccessVerdict::JoinGroup},
      {"root:cdrom 0660, in cdrom", {kRoot, kCdrom, 0660}, inCdrom, AccessVerdict::Allowed},
      {"root:cdrom 0640, in cdrom", {kRoot, kCdrom, 0640}, inCdrom, AccessVerdict::ReadOnly},
      {"root:cdrom 0640, not in cdrom",
       {kRoot, kCdrom, 0640},
       notInCdrom,
       AccessVerdict::JoinGroup},
      {"root:cdrom 0666, not in cdrom", {kRoot, kCdrom, 0666}, notInCdrom, AccessVerdict::Allowed},
      // The group class decides for a member even when others may read.
      {"root:cdrom 0604, in cdrom",
       {kRoot, kCdrom, 0604},
       inCdrom,
       AccessVerdict::NotGroupAccessible},
      {"root:cdrom 0604, not in cdrom", {kRoot, kCdrom, 0604}, notInCdrom, AccessVerdict::ReadOnly},
      {"own node 0600", {1000, kRoot, 0600}, notInCdrom, AccessVerdict::Allowed},
      {"own node 0460", {1000, kCdrom, 0460}, inCdrom, AccessVerdict::ReadOnly},
      {"root:disk 0000", {kRoot, 6, 0000}, inCdrom, AccessVerdict::NotGroupAccessible},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JudgeNodeAccess(c.node, c.user), c.verdict) << c.name;
  }
}

TEST(LinuxAccessHint, EachHintSaysWhatToDo) {
  const NodeOwnership node{0, 24, 0660};
  EXPECT_EQ(AccessHint(AccessVerdict::Allowed, node, "cdrom"), "");
  const std::string join = AccessHint(AccessVerdict::JoinGroup, node, "cdrom");
  EXPECT_NE(join.find("add your user to the 'cdrom' group"), std::string::npos) << join;
  const std::string udev = AccessHint(AccessVerdict::NotGroupAccessible, {0, 0, 0600}, "root");
  EXPECT_NE(udev.find("not group-accessible"), std::string::npos) << udev;
  EXPECT_NE(udev.find("0600"), std::string::npos) << udev;
  EXPECT_NE(udev.find("udev rule"), std::string::npos) << udev;
  const std::string readOnly = AccessHint(AccessVerdict::ReadOnly, {0, 24, 0640}, "cdrom");
  EXPECT_NE(readOnly.find("speed commands"), std::string::npos) << readOnly;
  EXPECT_EQ(AccessHintForNode("/nonexistent/sr0"), "");
}

TEST(LinuxPassThroughNotes, NoteOnlyForAUserWithoutTheSgDriver) {
  FakeTree tree;
  ASSERT_TRUE(tree.Ok());
  LinuxPlatform platform(tree.paths);
  const std::vector<std::string> notes = platform.PassThroughNotes();
  if (geteuid() == 0) {
    EXPECT_TRUE(notes.empty()) << "root passes the command filter anyway";
  } else {
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find("sg driver is not loaded"), std::string::npos);
  }
  tree.AddProcFile("scsi/sg/version", "30536\n");
  EXPECT_TRUE(platform.PassThroughNotes().empty());
}

}  // namespace
}  // namespace kv
