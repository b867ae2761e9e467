// LookupBuiltinManufacturer over the emulated drives: what the device reads for each disc type
// and which name that gives.
#include <gtest/gtest.h>

#include <string>

#include "drive/atapi_device.h"
#include "drive/notifier.h"
#include "drive/platform/emulated/emulated_platform.h"
#include "drive/platform/emulated/profile_loader.h"
#include "drive/platform/emulated/sample_profiles.h"

namespace kv {
namespace {

class QuietNotifier : public Notifier {
 public:
  void ShowError(const std::string&, const std::string&) override {}
};

emu::DriveProfile Sample(const std::string& fileName) {
  for (const emu::EmbeddedProfile& p : emu::SampleProfiles()) {
    if (fileName == p.fileName) {
      std::string error;
      auto profile = emu::ParseProfileText(p.json, fileName, error);
      if (profile) {
        return *profile;
      }
    }
  }
  ADD_FAILURE() << "no sample " << fileName;
  return {};
}

constexpr uint8_t kTestUnitReady = 0x00;

struct DeviceCase {
  const char* label;
  const char* sample;
  uint8_t discType;
  const char* plusId;   // replaces the DVD+ identifier when set
  const char* minusId;  // replaces the DVD-R identifier when set
  bool failStructureReads;
  const char* name;  // null: no manufacturer
};

class BuiltinLookupDeviceTest : public ::testing::TestWithParam<DeviceCase> {};

TEST_P(BuiltinLookupDeviceTest, ReadsTheRightIdentifierAndMatchesIt) {
  const DeviceCase& c = GetParam();
  emu::DriveProfile profile = Sample(c.sample);
  if (c.plusId != nullptr) {
    profile.disc.mediaId = c.plusId;
  }
  if (c.minusId != nullptr) {
    profile.disc.manufacturerId = c.minusId;
  }
  if (c.failStructureReads) {
    emu::Fault fault;
    fault.sense = emu::Sense{5, 0x24, 0};
    profile.faults["AD"].push_back(fault);
  }
  emu::EmulatedPlatform machine;
  machine.AddDrive(profile);
  QuietNotifier notifier;
  AtapiDevice device(machine, notifier);
  ASSERT_TRUE(device.SelectDrive(0));
  machine.ClearCdbLog();

  const char* got = device.LookupBuiltinManufacturer(c.discType);
  if (c.name == nullptr) {
    EXPECT_EQ(got, nullptr) << got;
  } else {
    EXPECT_STREQ(got, c.name);
  }
  ASSERT_FALSE(machine.CdbLog().empty());
  EXPECT_EQ(machine.CdbLog().front().cdb[0], kTestUnitReady);  // the wait comes first
  if (c.discType <= 1) {
    for (const emu::CdbLogEntry& e : machine.CdbLog()) {
      EXPECT_EQ(e.cdb[0], kTestUnitReady) << "nothing is read for disc type 0 or 1";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Discs, BuiltinLookupDeviceTest,
    ::testing::Values(DeviceCase{"BlankCdr", "orvelix-dvdrw-blank-cdr.json", 6, nullptr, nullptr,
                                 false, "Xcitek Inc."},
                      DeviceCase{"Cdrw", "orvelix-combo-cdrw.json", 12, nullptr, nullptr, false,
                                 "RiTEK Corporation"},
                      DeviceCase{"DvdPlusRSubstring", "orvelix-dvdrw-dvdplusr.json", 20, nullptr,
                                 nullptr, false, "Ricoh Company Limited"},
                      DeviceCase{"DvdPlusRExact", "orvelix-dvdrw-dvdplusr.json", 20, "LEAD",
                                 nullptr, false, "Lead Data Inc."},
                      DeviceCase{"DvdPlusRwLowerCase", "orvelix-dvdrw-dvdplusr.json", 19,
                                 "ricohjpn", nullptr, false, "Ricoh Company Limited"},
                      DeviceCase{"DvdMinusR", "orvelix-dvdrw-dvdminusr.json", 17, nullptr, nullptr,
                                 false, "Mitsubishi Chemical Corporation"},
                      // Only the substring pass: LD (entry 13) comes before LEAD.
                      DeviceCase{"DvdMinusRNoExactPass", "orvelix-dvdrw-dvdminusr.json", 17,
                                 nullptr, "LEAD", false, "Lead Data Inc."},
                      DeviceCase{"DvdMinusRTy", "orvelix-dvdrw-dvdminusr.json", 18, nullptr,
                                 "TYG01", false, "Taiyo Yuden Company Limited"},
                      DeviceCase{"DvdMinusUnreadable", "orvelix-dvdrw-dvdminusr.json", 17, nullptr,
                                 nullptr, true, nullptr},
                      DeviceCase{"DvdRomWithoutIdentifier", "orvelix-dvdrw-dvdrom.json", 15,
                                 nullptr, nullptr, false, nullptr},
                      DeviceCase{"NoDisc", "orvelix-dvdrw-empty.json", 0, nullptr, nullptr, false,
                                 nullptr},
                      DeviceCase{"UnknownDisc", "orvelix-dvdrw-dvdplusr.json", 1, nullptr, nullptr,
                                 false, nullptr},
                      DeviceCase{"NoSuchDiscType", "orvelix-dvdrw-dvdplusr.json", 21, nullptr,
                                 nullptr, false, nullptr}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace kv
