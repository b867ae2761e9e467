// --speeds and --drive-info on emulated drives built from real drives' answers (tgt's blank
// DVD+R, QEMU's drives) and on hand-made drives that report what real drives do: several
// descriptors, 1352-kB units, slow DVD speeds, features present and absent.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "app/core/cli.h"
#include "app/core/cli_drive_info.h"
#include "drive/drive_info.h"
#include "drive/notifier.h"
#include "drive/platform/emulated/emulated_platform.h"

namespace kv {
namespace {

class SilentNotifier : public Notifier {
 public:
  void ShowError(const std::string&, const std::string&) override {}
};

struct QueryRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string WriteProfile(const std::string& name, const std::string& json) {
  const std::string path = testing::TempDir() + "/drive_info_test." + name;
  std::ofstream(path) << json;
  return path;
}

std::string Sample(const std::string& name) {
  return std::string(KV_PROFILE_DIR) + "/" + name;
}

QueryRun Query(const std::string& profile, CliMode mode, bool json = false, int line = 1) {
  std::string error;
  auto machine = emu::CreateEmulatedMachine({profile}, error);
  EXPECT_TRUE(machine) << error;
  QueryRun run;
  if (!machine) {
    return run;
  }
  CliRequest request;
  request.mode = mode;
  request.checkLine = line;
  request.json = json;
  SilentNotifier notifier;
  std::ostringstream out;
  std::ostringstream err;
  run.exitCode = mode == CliMode::Speeds ? RunSpeedsOn(*machine, notifier, request, out, err)
                                         : RunDriveInfoOn(*machine, notifier, request, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(SpeedMultiple, FollowsTheMediumAndTheDrivesUnit) {
  struct Case {
    uint32_t kBps;
    bool dvd;
    double multiple;
  };
  const Case cases[] = {
      {11080, true, 8.0},  {10816, true, 8.0},  // 1385 and 1352 kB units
      {3324, true, 2.4},   {2770, true, 2.0},   {33240, true, 24.0}, {5408, true, 4.0},
      {692, true, 0.5},    {1385, true, 1.0},   {1352, true, 1.0},  // below and at 1x
      {7056, false, 40.0}, {8467, false, 48.0}, {1764, false, 10.0}, {176, false, 1.0},
      {88, false, 0.5},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(SpeedMultiple(c.kBps, c.dvd), c.multiple)
        << c.kBps << (c.dvd ? " DVD" : " CD");
  }
  EXPECT_EQ(FormatMultiple(2.4), "2.4x");
  EXPECT_EQ(FormatMultiple(8.0), "8x");
}

TEST(Speeds, TgtBlankDvdPlusRGivesItsOneDescriptor) {
  const QueryRun run = Query(Sample("qemu-iscsi-tgt-blank-dvdplusr.json"), CliMode::Speeds);
  EXPECT_EQ(run.exitCode, kExitOk) << run.err;
  EXPECT_TRUE(Has(run.out, "Disc: DVD+R (001Bh), single speed 1385 kB/s")) << run.out;
  EXPECT_TRUE(Has(run.out, "  3324 kB/s    2.4x  GET PERFORMANCE, end LBA 2295103")) << run.out;
  // Its page 2Ah declares five descriptors but holds none: nothing from there.
  EXPECT_FALSE(Has(run.out, "capabilities page")) << run.out;
}

TEST(Speeds, EveryDescriptorOfBothSourcesIsListed) {
  const std::string path = WriteProfile("speeds.json", R"({
      "drive": {"profiles": ["0x1B"], "writeSpeeds": [
          {"endLba": 2295103, "writeSpeed": 10816}, {"endLba": 2295103, "writeSpeed": 5408},
          {"endLba": 2295103, "writeSpeed": 692}]},
      "disc": {"kind": "DVD+R"}})");
  const QueryRun run = Query(path, CliMode::Speeds);
  const std::string expected[] = {
      " 10816 kB/s      8x  GET PERFORMANCE",   "  5408 kB/s      4x  GET PERFORMANCE",
      "   692 kB/s    0.5x  GET PERFORMANCE",   " 10816 kB/s      8x  capabilities page",
      "   692 kB/s    0.5x  capabilities page",
  };
  for (const std::string& line : expected) {
    EXPECT_TRUE(Has(run.out, line)) << line << "\n" << run.out;
  }
  const QueryRun json = Query(path, CliMode::Speeds, true);
  const auto parsed = nlohmann::json::parse(json.out);
  ASSERT_EQ(parsed["writeSpeeds"].size(), 6u);
  EXPECT_EQ(parsed["writeSpeeds"][0]["kBps"], 10816);
  EXPECT_EQ(parsed["writeSpeeds"][0]["multiple"], 8.0);
  EXPECT_EQ(parsed["writeSpeeds"][0]["endLba"], 2295103);
  EXPECT_EQ(parsed["writeSpeeds"][5]["source"], "capabilities page");
  EXPECT_FALSE(parsed["writeSpeeds"][5].contains("endLba"));
}

TEST(Speeds, DrivesThatReportNoSpeedSaySo) {
  for (const char* name :
       {"qemu-ide-cd.json", "qemu-scsi-empty.json", "orvelix-cdrom-reader.json"}) {
    const QueryRun run = Query(Sample(name), CliMode::Speeds);
    EXPECT_EQ(run.exitCode, kExitOk) << name;
    EXPECT_TRUE(Has(run.out, "The drive reports no write speed for this disc.")) << name << run.out;
    const QueryRun json = Query(Sample(name), CliMode::Speeds, true);
    EXPECT_EQ(nlohmann::json::parse(json.out)["writeSpeeds"], nlohmann::json::array()) << name;
  }
}

TEST(Speeds, LineOutsideTheListIsRefused) {
  for (int line : {0, 2, -1}) {
    std::string error;
    auto machine = emu::CreateEmulatedMachine({Sample("qemu-ide-cd.json")}, error);
    CliRequest request;
    request.checkLine = line;
    SilentNotifier notifier;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunSpeedsOn(*machine, notifier, request, out, err), kExitNoDrive) << line;
    EXPECT_TRUE(Has(err.str(), "there is no drive line")) << err.str();
    EXPECT_TRUE(out.str().empty());
  }
}

TEST(DriveInfo, TgtBlankDvdPlusR) {
  const QueryRun run = Query(Sample("qemu-iscsi-tgt-blank-dvdplusr.json"), CliMode::DriveInfo);
  EXPECT_EQ(run.exitCode, kExitOk) << run.err;
  const std::string expected[] = {
      "Drive 1: IET VIRTUAL-CDROM 0001",
      "Reads: CD-R, CD-RW, DVD-ROM, DVD-R, DVD-RAM",
      "Writes: CD-R, CD-RW, test write, DVD-R, DVD-RAM",
      "Buffer: 2048 kB",
      "Profiles: DVD-ROM (0010h), DVD+R (001Bh) current",
      "Drive serial number (0108h): absent",
      "Firmware date (010Ch): absent",
      "Real-time streaming (0107h): absent",
      "Disc: blank, 1 session(s), 0 recorded blocks",
  };
  for (const std::string& line : expected) {
    EXPECT_TRUE(Has(run.out, line)) << line << "\n" << run.out;
  }
}

TEST(DriveInfo, NamedFeaturesAreReadFromTheirOwnDescriptors) {
  // The starting feature selects the answer; an answer of another feature means absent.
  const std::string path = WriteProfile("features.json", R"({
      "drive": {"profiles": ["0x1B", "0x08"], "currentProfile": "0x1B"},
      "disc": {"kind": "DVD+R"},
      "replay": {"commands": [
        {"cdb": "46 02 01 08", "replies": [{"data": "00 00 00 14 00 00 00 1B 01 08 01 0C 4B 56 31 32 33 34 35 20 20 20 20 20"}]},
        {"cdb": "46 02 01 0C", "replies": [{"data": "00 00 00 18 00 00 00 1B 01 0C 01 10 32 30 30 36 31 31 31 34 30 39 33 30 30 35 00 00"}]},
        {"cdb": "46 02 01 07", "replies": [{"data": "00 00 00 14 00 00 00 1B 00 00 03 08 00 1B 01 00 00 08 00 00"}]},
        {"cdb": "52 01 00 00 00 01", "replies": [{"data": "00 22 01 01 00 07 41 01 00 00 00 00 00 00 00 00 00 23 05 40 00 00 00 10 00 23 05 40 00 00 00 00"}]}
      ]}})");
  const QueryRun run = Query(path, CliMode::DriveInfo);
  EXPECT_TRUE(Has(run.out, "Profiles: DVD+R (001Bh) current, CD-ROM (0008h)")) << run.out;
  EXPECT_TRUE(Has(run.out, "Drive serial number (0108h): KV12345")) << run.out;
  EXPECT_TRUE(Has(run.out, "Firmware date (010Ch): 2006-11-14 09:30:05")) << run.out;
  EXPECT_TRUE(Has(run.out, "Real-time streaming (0107h): absent")) << run.out;
  EXPECT_TRUE(Has(run.out, "Disc: blank, 1 session(s), 2295104 free blocks, 0 recorded blocks"))
      << run.out;

  const auto json = nlohmann::json::parse(Query(path, CliMode::DriveInfo, true).out);
  EXPECT_EQ(json["drive"]["serialNumber"], "KV12345");
  EXPECT_EQ(json["drive"]["realTimeStreaming"], nullptr);
  EXPECT_EQ(json["drive"]["currentProfile"], 0x1B);
  EXPECT_EQ(json["drive"]["profiles"][0]["name"], "DVD+R");
  EXPECT_EQ(json["drive"]["profiles"][0]["current"], true);
  EXPECT_EQ(json["drive"]["vendor"], "ORVELIX");
  EXPECT_EQ(json["disc"]["status"], "blank");
  EXPECT_EQ(json["disc"]["freeBlocks"], 2295104);
}

TEST(DriveInfo, EmptyDriveAndQemuDrivesSayWhatIsAbsent) {
  const QueryRun empty = Query(Sample("qemu-scsi-empty.json"), CliMode::DriveInfo);
  EXPECT_EQ(empty.exitCode, kExitOk);
  EXPECT_TRUE(Has(empty.out, "Disc: no disc information")) << empty.out;
  EXPECT_TRUE(Has(empty.out, "Writes: none")) << empty.out;
  const auto json =
      nlohmann::json::parse(Query(Sample("qemu-scsi-empty.json"), CliMode::DriveInfo, true).out);
  EXPECT_EQ(json["disc"]["status"], nullptr);
  EXPECT_EQ(json["drive"]["firmwareDate"], nullptr);
  // QEMU's IDE drive with a pressed CD: complete, its READ CAPACITY gives the recorded size.
  const QueryRun cd = Query(Sample("qemu-ide-cd.json"), CliMode::DriveInfo);
  EXPECT_TRUE(Has(cd.out, "Disc: complete, 1 session(s)")) << cd.out;
}

TEST(DriveInfo, CommandLineOptions) {
  const char* speeds[] = {"krellvane", "--speeds", "2", "--json"};
  const CliRequest s = ParseCommandLine(4, speeds);
  EXPECT_FALSE(s.exitNow);
  EXPECT_EQ(s.mode, CliMode::Speeds);
  EXPECT_EQ(s.checkLine, 2);
  EXPECT_TRUE(s.json);
  const char* info[] = {"krellvane", "--drive-info", "--trace", "t.json"};
  const CliRequest i = ParseCommandLine(4, info);
  EXPECT_EQ(i.mode, CliMode::DriveInfo);
  EXPECT_FALSE(i.checkLine.has_value());
  EXPECT_EQ(i.traceFile, "t.json");
  const char* both[] = {"krellvane", "--speeds", "--check"};
  EXPECT_EQ(ParseCommandLine(3, both).exitCode, kExitUsage);
  const char* lonelyTrace[] = {"krellvane", "--trace", "t.json"};
  EXPECT_EQ(ParseCommandLine(3, lonelyTrace).exitCode, kExitUsage);
  const char* lonelyJson[] = {"krellvane", "--json"};
  EXPECT_EQ(ParseCommandLine(2, lonelyJson).exitCode, kExitUsage);
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

// tgt's blank DVD+R as the guest captured it: its real features and track information.
TEST(DriveInfo, TgtCaptureFromTheGuest) {
  const std::string capture = Sample("captures/tgt-drive-info-2.json");
  const QueryRun info = Query(capture, CliMode::DriveInfo, false, 2);
  EXPECT_TRUE(Has(info.out, "Real-time streaming (0107h): stream writing, write speed "
                            "descriptors, SET CD SPEED, buffer capacity"))
      << info.out;
  EXPECT_TRUE(Has(info.out, "Drive serial number (0108h): present, blank")) << info.out;
  EXPECT_TRUE(Has(info.out, "Disc: blank, 1 session(s), 2295104 free blocks, 0 recorded blocks"))
      << info.out;
}

}  // namespace
}  // namespace kv
