// LookupBuiltinManufacturer over the emulated drives: what the device reads for each disc type
// and which name that gives.
#include <gtest/gtest.h>

#include <string>

#include "app/core/builtin_manufacturer.h"
#include "drive/atapi_device.h"
#include "drive/mmc.h"
#include "drive/notifier.h"
#include "drive/platform/emulated/emulated_platform.h"
#include "drive/platform/emulated/profile_loader.h"
#include "drive/platform/emulated/sample_profiles.h"
#include "media/builtin_lookup.h"

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

using mmc::kOpTestUnitReady;

constexpr DiscType kPastLastDiscType = static_cast<DiscType>(Code(kLastDiscType) + 1);

struct DeviceCase {
  const char* label;
  const char* sample;
  DiscType discType;
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

  const char* got = LookupBuiltinManufacturer(device, c.discType);
  if (c.name == nullptr) {
    EXPECT_EQ(got, nullptr) << got;
  } else {
    EXPECT_STREQ(got, c.name);
  }
  ASSERT_FALSE(machine.CdbLog().empty());
  EXPECT_EQ(machine.CdbLog().front().cdb[0], kOpTestUnitReady);  // the wait comes first
  if (c.discType == DiscType::kNoMedia || c.discType == DiscType::kUnknown) {
    for (const emu::CdbLogEntry& e : machine.CdbLog()) {
      EXPECT_EQ(e.cdb[0], kOpTestUnitReady) << "nothing is read without a recognised disc";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Discs, BuiltinLookupDeviceTest,
    ::testing::Values(
        DeviceCase{"BlankCdr", "orvelix-dvdrw-blank-cdr.json", DiscType::kCdrAPlus, nullptr,
                   nullptr, false, "Xcitek Inc."},
        DeviceCase{"Cdrw", "orvelix-combo-cdrw.json", DiscType::kCdRwHighSpeed, nullptr, nullptr,
                   false, "RiTEK Corporation"},
        DeviceCase{"DvdPlusRSubstring", "orvelix-dvdrw-dvdplusr.json", DiscType::kDvdPlusR, nullptr,
                   nullptr, false, "Ricoh Company Limited"},
        DeviceCase{"DvdPlusRExact", "orvelix-dvdrw-dvdplusr.json", DiscType::kDvdPlusR, "LEAD",
                   nullptr, false, "Lead Data Inc."},
        DeviceCase{"DvdPlusRwLowerCase", "orvelix-dvdrw-dvdplusr.json", DiscType::kDvdPlusRw,
                   "ricohjpn", nullptr, false, "Ricoh Company Limited"},
        DeviceCase{"DvdMinusR", "orvelix-dvdrw-dvdminusr.json", DiscType::kDvdMinusR, nullptr,
                   nullptr, false, "Mitsubishi Chemical Corporation"},
        // Only the substring pass: LD (entry 13) comes before LEAD.
        DeviceCase{"DvdMinusRNoExactPass", "orvelix-dvdrw-dvdminusr.json", DiscType::kDvdMinusR,
                   nullptr, "LEAD", false, "Lead Data Inc."},
        DeviceCase{"DvdMinusRTy", "orvelix-dvdrw-dvdminusr.json", DiscType::kDvdMinusRw, nullptr,
                   "TYG01", false, "Taiyo Yuden Company Limited"},
        DeviceCase{"DvdMinusUnreadable", "orvelix-dvdrw-dvdminusr.json", DiscType::kDvdMinusR,
                   nullptr, nullptr, true, nullptr},
        DeviceCase{"DvdRomWithoutIdentifier", "orvelix-dvdrw-dvdrom.json", DiscType::kDvdRom,
                   nullptr, nullptr, false, nullptr},
        DeviceCase{"NoDisc", "orvelix-dvdrw-empty.json", DiscType::kNoMedia, nullptr, nullptr,
                   false, nullptr},
        DeviceCase{"UnknownDisc", "orvelix-dvdrw-dvdplusr.json", DiscType::kUnknown, nullptr,
                   nullptr, false, nullptr},
        DeviceCase{"NoSuchDiscType", "orvelix-dvdrw-dvdplusr.json", kPastLastDiscType, nullptr,
                   nullptr, false, nullptr}),
    [](const auto& info) { return std::string(info.param.label); });

// The CD lookup by time is the table's own range match, pointing into the table.
TEST(LookupCdManufacturer, IsTheTableMatchAtRangeBounds) {
  for (uint32_t leadIn : {0u, 961000u, 964310u, 971500u, 971509u, 971510u, 972500u, 972501u,
                          975150u, 995973u, 995974u, 0xFFFFFFFFu}) {
    EXPECT_EQ(LookupCdManufacturer(leadIn), MatchBuiltinCdMaker(leadIn)) << leadIn;
  }
}

}  // namespace
}  // namespace kv
