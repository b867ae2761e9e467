// The built-in sample machine: it loads from the embedded profiles, in the documented order,
// and each drive identifies itself.
#include <gtest/gtest.h>

#include "drive/platform/emulated/sample_profiles.h"
#include "emu_test_util.h"

namespace kv::emu::test {
namespace {

TEST(SampleMachine, LoadsEmbeddedProfilesInOrder) {
  std::string error = "stale";
  auto machine = CreateEmulatedMachine({}, error);
  ASSERT_NE(machine, nullptr) << error;
  EXPECT_TRUE(error.empty());
  ASSERT_EQ(machine->DriveCount(), 7);
  const char* const kOrder[] = {"orvelix-dvdrw-blank-cdr.json", "orvelix-combo-cdrw.json",
                                "orvelix-dvdrw-dvdplusr.json",  "orvelix-dvdrw-dvdminusr.json",
                                "orvelix-dvdrw-dvdrom.json",    "orvelix-dvdrw-empty.json",
                                "orvelix-cdrom-reader.json"};
  const auto samples = SampleProfiles();
  ASSERT_EQ(samples.size(), 7u);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    EXPECT_STREQ(samples[i].fileName, kOrder[i]);
    // The embedded text is the file of the source tree, byte for byte.
    EXPECT_EQ(machine->Drive(static_cast<int>(i)).Profile().name, SampleProfile(kOrder[i]).name);
  }
  const DriveRootList roots = machine->ListDriveRoots();
  EXPECT_EQ(roots.outcome, DriveRootList::Outcome::Ok);
  EXPECT_EQ(roots.roots,
            (std::vector<std::string>{"sr0", "sr1", "sr2", "sr3", "sr4", "sr5", "sr6"}));
}

}  // namespace
}  // namespace kv::emu::test
