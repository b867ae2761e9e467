// Drives that never answer, commands the system refuses, drives that never become ready and
// drive nodes that now hold another drive, on the emulated machine.
#include <gtest/gtest.h>

#include "drive/mmc.h"
#include "tests/drive/enumeration_machine.h"

namespace kv::enumtest {
namespace {

emu::Fault Hang() {
  emu::Fault f;
  f.hang = true;
  return f;
}

emu::Fault Refused() {
  emu::Fault f;
  f.refused = true;
  return f;
}

std::size_t CommandsTo(const emu::EmulatedPlatform& platform, int drive) {
  std::size_t n = 0;
  for (const auto& entry : platform.CdbLog()) {
    n += entry.drive == drive ? 1 : 0;
  }
  return n;
}

TEST(HungDrive, OneTimedOutCommandAndTheDriveIsNotAskedAgain) {
  Machine m;
  const int hung = m.AddDrive("HUNG");
  const int healthy = m.AddDrive("HEALTHY");
  m.platform.Drive(hung).MutableProfile().faults["*"] = {Hang()};
  auto device = m.Build(0);

  // Listed all the same (the table keeps a drive whose INQUIRY failed), without texts; the
  // identification pass reached the hung drive once and spent no further bound on it.
  ASSERT_EQ(device->GetDriveCount(), 2);
  EXPECT_EQ(CommandsTo(m.platform, hung), 1u);
  EXPECT_STREQ(device->GetDriveRecord(0)->Product, "");
  EXPECT_EQ(ProductOf(*device->GetDriveRecord(1)), "HEALTHY");
  EXPECT_GT(CommandsTo(m.platform, healthy), 3u) << "the other drive is questioned as usual";

  // The check that follows the listing waits out no further bound: the drive stays hung for the
  // device object's life, and every command to it fails at once as timed out.
  m.platform.ClearCdbLog();
  ASSERT_TRUE(device->SelectDrive(0));
  EXPECT_TRUE(device->SelectedDriveHung());
  EXPECT_EQ(device->TestUnitReady(), 0);
  const CommandRecord timedOut = device->LastCommand();
  EXPECT_EQ(timedOut.Status, kStatusFailed);
  EXPECT_EQ(timedOut.TimedOut, 1);
  EXPECT_EQ(timedOut.Transferred, 0u);
  const std::size_t reached = CommandsTo(m.platform, hung);
  EXPECT_EQ(reached, 0u);
  EXPECT_TRUE(device->WaitUntilReady(60)) << "a hung drive is no drive becoming ready";
  EXPECT_EQ(device->Inquiry(0, 0, 0, 96, 0), 0);
  EXPECT_EQ(device->LastCommand().Status, kStatusFailed);
  EXPECT_EQ(device->LastCommand().TimedOut, 1);
  EXPECT_EQ(device->LastCommand().CdbBytes[0], mmc::kOpInquiry);
  EXPECT_EQ(CommandsTo(m.platform, hung), reached) << "nothing more reached the hung drive";

  ASSERT_TRUE(device->SelectDrive(1));
  EXPECT_FALSE(device->SelectedDriveHung());
  EXPECT_EQ(device->Inquiry(0, 0, 0, 96, 0), 1);
}

TEST(HungDrive, ThroughTheManagerToo) {
  Machine m;
  m.InstallManager();
  const int hung = m.AddDrive("HUNG");
  m.platform.Drive(hung).MutableProfile().faults["12"] = {Hang()};
  auto device = m.Build();
  ASSERT_TRUE(device->UsesAspi());
  ASSERT_EQ(device->GetDriveCount(), 1);
  ASSERT_TRUE(device->SelectDrive(0));
  EXPECT_TRUE(device->SelectedDriveHung()) << "its INQUIRY timed out while it was listed";
  EXPECT_EQ(device->Inquiry(0, 0, 0, 96, 0), 0);
  EXPECT_EQ(device->LastCommand().Status, kStatusFailed);
  EXPECT_EQ(device->LastCommand().TimedOut, 1);
  std::size_t inquiries = 0;
  for (const auto& entry : m.platform.CdbLog()) {
    inquiries += entry.drive == hung && entry.cdb[0] == mmc::kOpInquiry ? 1 : 0;
  }
  EXPECT_EQ(inquiries, 1u) << "the listing spent one attempt on it, and the later one never left";
}

TEST(RefusedCommands, EachOpcodeOnceWithHowItsNodeWasOpen) {
  Machine m;
  const int drive = m.AddDrive("WRITER");
  auto& faults = m.platform.Drive(drive).MutableProfile().faults;
  faults["BB"] = {Refused()};
  faults["DF"] = {Refused()};
  auto device = m.Build(0);
  EXPECT_TRUE(device->RefusedCommands().empty()) << "the listing sends no refused command";

  ASSERT_TRUE(device->SelectDrive(0));
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(device->SetCdSpeed(0, 0xFFFF, 0xFFFF, 0), 0);
    EXPECT_EQ(device->ReadVendorMediaId(), 0);
  }
  EXPECT_EQ(device->LastCommand().Status, kStatusFailed) << "refused is a failure, not a check";
  EXPECT_EQ(device->Inquiry(0, 0, 0, 96, 0), 1) << "other commands pass";
  const auto& refused = device->RefusedCommands();
  ASSERT_EQ(refused.size(), 2u);
  EXPECT_EQ(refused[0].opcode, mmc::kOpSetCdSpeed);
  EXPECT_EQ(refused[1].opcode, mmc::kOpVendorMediaId);
  EXPECT_FALSE(refused[0].openReadOnly);
  EXPECT_FALSE(device->SelectedDriveHung());
}

TEST(NeverReady, TheGivenUpWaitIsKeptUntilTheNextSelection) {
  Machine m;
  emu::DriveProfile profile;
  profile.disc.kind = emu::DiscKind::CdR;
  const int drive = m.platform.AddDrive(profile);
  auto device = m.Build(0);
  m.platform.Drive(drive).SetBecomingReady(1u << 30, 0);
  ASSERT_TRUE(device->SelectDrive(0));
  EXPECT_FALSE(device->WaitGaveUp());
  EXPECT_FALSE(device->WaitUntilReady(60));
  EXPECT_TRUE(device->WaitGaveUp());
  device->TestUnitReady();
  EXPECT_TRUE(device->WaitGaveUp()) << "later commands do not clear it";
  ASSERT_TRUE(device->SelectDrive(0));
  EXPECT_FALSE(device->WaitGaveUp());
}

TEST(Identity, ANodeThatNowHoldsAnotherDriveIsNoticed) {
  Machine m;
  const int first = m.AddDrive("FIRST");
  const int second = m.AddDrive("SECOND");
  auto device = m.Build(0);
  ASSERT_EQ(device->GetDriveCount(), 2);
  ASSERT_TRUE(device->SelectDrive(0));
  EXPECT_EQ(device->CheckSelectedIdentity(), IdentityCheck::Same);

  // Unplugged and plugged again the other way round: the nodes trade drives.
  m.platform.SetRoot(first, "sr1");
  m.platform.SetRoot(second, "sr0");
  ASSERT_TRUE(device->SelectDrive(0));
  EXPECT_EQ(device->CheckSelectedIdentity(), IdentityCheck::Different);

  // A drive that gives no identification cannot be judged.
  m.platform.Drive(second).MutableProfile().faults["12"] = {Hang()};
  ASSERT_TRUE(device->SelectDrive(0));
  EXPECT_EQ(device->CheckSelectedIdentity(), IdentityCheck::Unknown);
}

}  // namespace
}  // namespace kv::enumtest
