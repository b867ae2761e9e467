// The QEMU and tgt drive profiles against what those drives did in the guests: the raw answers
// come back as the guests saw them (status, sense, full allocation length), and a media check on
// each profile gives exactly the report the guest suite expects of the real drive.
#include <fnmatch.h>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/core/media_check.h"
#include "drive/atapi_device.h"
#include "drive/drive_record.h"
#include "drive/notifier.h"
#include "drive/platform/emulated/emulated_platform.h"
#include "drive/platform/emulated/profile_loader.h"
#include "emu_test_util.h"

namespace kv::emu::test {
namespace {

constexpr const char* kExpectedDir = KV_TEST_DATA_DIR "/../guest/expected/";

std::string ProfilePath(const std::string& name) {
  return std::string(KV_PROFILE_DIR) + "/" + name + ".json";
}

DriveProfile Load(const std::string& name) {
  std::string error;
  std::optional<DriveProfile> profile = LoadProfileFile(ProfilePath(name), error);
  EXPECT_TRUE(profile.has_value()) << name << ": " << error;
  return profile.value_or(DriveProfile{});
}

class QuietNotifier : public Notifier {
 public:
  void ShowError(const std::string&, const std::string&) override {}
};

class LineSink : public ReportSink {
 public:
  void Clear() override { lines.clear(); }
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

// One expected report, in the guest suite's file format.
struct ExpectedReport {
  struct Line {
    char kind;  // '=' exact, '~' glob, '?' exact but may be absent
    std::string text;
  };
  std::vector<Line> lines;
  int exitCode = 0;
};

ExpectedReport ReadExpected(const std::string& role) {
  ExpectedReport report;
  std::ifstream in(kExpectedDir + role + ".txt");
  EXPECT_TRUE(in.good()) << "no expected report " << role;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') {
      continue;
    }
    if (line.rfind("@rc ", 0) == 0) {
      report.exitCode = std::stoi(line.substr(4));
    } else if (line[0] == '~') {
      report.lines.push_back({'~', line.substr(1)});
    } else if (line.rfind("? ", 0) == 0) {
      report.lines.push_back({'?', line.substr(2)});
    } else {
      report.lines.push_back({'=', line});
    }
  }
  return report;
}

// Empty when the lines fit the expectation, else what went wrong.
std::string Mismatch(const ExpectedReport& expected, const std::vector<std::string>& actual) {
  std::size_t i = 0;
  for (const ExpectedReport::Line& want : expected.lines) {
    const bool have = i < actual.size();
    switch (want.kind) {
      case '?':
        if (have && actual[i] == want.text) {
          ++i;
        }
        break;
      case '~':
        if (!have || fnmatch(want.text.c_str(), actual[i].c_str(), 0) != 0) {
          return "line " + std::to_string(i + 1) + " does not match '" + want.text + "'";
        }
        ++i;
        break;
      default:
        if (!have || actual[i] != want.text) {
          return "line " + std::to_string(i + 1) + ": '" + (have ? actual[i] : "") +
                 "', expected '" + want.text + "'";
        }
        ++i;
    }
  }
  if (i < actual.size()) {
    return "unexpected line '" + actual[i] + "'";
  }
  return "";
}

struct ReportCase {
  const char* profile;
  const char* expected;
};

class QemuProfileReport : public ::testing::TestWithParam<ReportCase> {};

TEST_P(QemuProfileReport, GivesTheGuestsReport) {
  const ReportCase& c = GetParam();
  EmulatedPlatform platform;
  platform.AddDrive(Load(c.profile));
  QuietNotifier notifier;
  AtapiDevice device(platform, notifier);
  ASSERT_EQ(device.GetDriveCount(), 1);
  const DriveRecord* record = device.GetDriveRecord(0);
  ASSERT_NE(record, nullptr);
  ASSERT_TRUE(device.SelectDrive(0));

  LineSink sink;
  MediaCheckFacts facts;
  RunMediaCheck(device, record, {}, {}, sink, &facts);
  const ExpectedReport expected = ReadExpected(c.expected);
  std::string all;
  for (const std::string& line : sink.lines) {
    all += "\n  |" + line + "|";
  }
  EXPECT_EQ(Mismatch(expected, sink.lines), "") << c.profile << all;
  EXPECT_TRUE(facts.completed);
  // exit code 4 of --check is "no disc": it must agree with the disc the report found
  EXPECT_EQ(expected.exitCode == 4,
            facts.discType.value_or(DiscType::kNoMedia) == DiscType::kNoMedia)
      << c.profile;
}

INSTANTIATE_TEST_SUITE_P(GuestDrives, QemuProfileReport,
                         ::testing::Values(ReportCase{"qemu-ide-cd", "qemu-ide-cd"},
                                           ReportCase{"qemu-ide-empty", "qemu-empty"},
                                           ReportCase{"qemu-scsi-dvd", "qemu-scsi-dvd"},
                                           ReportCase{"qemu-scsi-empty", "qemu-empty"},
                                           ReportCase{"qemu-iscsi-tgt-blank-dvdplusr",
                                                      "tgt-blank-dvdplusr"}),
                         [](const auto& info) {
                           std::string name = info.param.profile;
                           for (char& ch : name) {
                             if (ch == '-') {
                               ch = '_';
                             }
                           }
                           return name;
                         });

// Commands as the guests' probe sent them, and what the real drive answered.
struct AnswerCase {
  const char* profile;
  const char* what;
  Cdb cdb;
  uint32_t length;
  DriveResponse::Outcome outcome;
  Sense sense;
  std::vector<uint8_t> head;  // the first answer bytes
};

const Sense kInvalidOpcode{0x05, 0x20, 0x00};
const Sense kInvalidField{0x05, 0x24, 0x00};
const Sense kIncompatibleMedium{0x05, 0x30, 0x00};
const Sense kNoMedium{0x02, 0x3A, 0x00};
constexpr auto kGood = DriveResponse::Outcome::Good;
constexpr auto kCheck = DriveResponse::Outcome::CheckCondition;

std::vector<AnswerCase> AnswerCases() {
  return {
      {"qemu-ide-cd",
       "INQUIRY 96 is the full allocation",
       MakeCdb({0x12, 0, 0, 0, 0x60}),
       96,
       kGood,
       {},
       {0x05, 0x80, 0x05, 0x32, 0x1F, 0, 0, 0, 'Q', 'E', 'M', 'U'}},
      {"qemu-ide-cd",
       "ATIP request answered with a format-0 TOC",
       MakeCdb({0x43, 0, 0x04, 0, 0, 0, 0, 0, 0x18}),
       24,
       kGood,
       {},
       {0x00, 0x12, 0x01, 0x01, 0x00}},
      {"qemu-ide-cd",
       "READ DVD STRUCTURE on a CD",
       MakeCdb({0xAD, 0, 0, 0, 0, 0, 0, 0, 0, 0x10}),
       16,
       kCheck,
       kIncompatibleMedium,
       {}},
      {"qemu-ide-cd",
       "READ FORMAT CAPACITIES",
       MakeCdb({0x23, 0, 0, 0, 0, 0, 0, 0, 0x60}),
       96,
       kCheck,
       kInvalidOpcode,
       {}},
      {"qemu-ide-cd",
       "SET CD SPEED is good on IDE",
       MakeCdb({0xBB, 0, 0xFF, 0xFF, 0xFF, 0xFF}),
       0,
       kGood,
       {},
       {}},
      {"qemu-ide-empty",
       "READ FORMAT CAPACITIES without a disc is still an invalid opcode",
       MakeCdb({0x23, 0, 0, 0, 0, 0, 0, 0, 0x60}),
       96,
       kCheck,
       kInvalidOpcode,
       {}},
      {"qemu-ide-empty",
       "TEST UNIT READY without a disc",
       MakeCdb({0x00}),
       0,
       kCheck,
       kNoMedium,
       {}},
      {"qemu-ide-empty",
       "current profile 0000h without a disc",
       MakeCdb({0x46, 0, 0, 0, 0, 0, 0, 0, 0xCC}),
       204,
       kGood,
       {},
       {0, 0, 0, 0x10, 0, 0, 0, 0}},
      {"qemu-scsi-dvd",
       "book type DVD-ROM, starting PSN 0",
       MakeCdb({0xAD, 0, 0, 0, 0, 0, 0, 0, 0, 0x10}),
       16,
       kGood,
       {},
       {0x08, 0x02, 0, 0, 0x01, 0x0F, 0x01, 0, 0, 0x00}},
      {"qemu-scsi-dvd",
       "ATIP rejected on SCSI",
       MakeCdb({0x43, 0, 0x04, 0, 0, 0, 0, 0, 0x18}),
       24,
       kCheck,
       kInvalidField,
       {}},
      {"qemu-scsi-dvd",
       "SET CD SPEED rejected on SCSI",
       MakeCdb({0xBB, 0, 0xFF, 0xFF, 0xFF, 0xFF}),
       0,
       kCheck,
       kInvalidOpcode,
       {}},
      {"qemu-scsi-empty",
       "GET PERFORMANCE without a disc is not ready",
       MakeCdb({0xAC, 0, 0, 0, 0, 0, 0, 0, 0, 0x32, 0x03}),
       808,
       kCheck,
       kNoMedium,
       {}},
      {"qemu-scsi-empty",
       "SET CD SPEED without a disc is not ready",
       MakeCdb({0xBB, 0, 0xFF, 0xFF, 0xFF, 0xFF}),
       0,
       kCheck,
       kNoMedium,
       {}},
      {"qemu-scsi-empty",
       "the vendor command is still an invalid opcode",
       MakeCdb({0xDF, 0, 0x03, 0x01}),
       16,
       kCheck,
       kInvalidOpcode,
       {}},
      {"qemu-iscsi-tgt-blank-dvdplusr",
       "write speed descriptor of 3324 kB/s",
       MakeCdb({0xAC, 0, 0, 0, 0, 0, 0, 0, 0, 0x32, 0x03}),
       808,
       kGood,
       {},
       {0, 0,    0,    0x14, 0, 0, 0,    0,    0x01, 0, 0,    0,
        0, 0x23, 0x05, 0x3F, 0, 0, 0x0C, 0xFC, 0,    0, 0x0C, 0xFC}},
      {"qemu-iscsi-tgt-blank-dvdplusr",
       "DVD+R book type, PSN 030000h",
       MakeCdb({0xAD, 0, 0, 0, 0, 0, 0, 0, 0, 0x10}),
       16,
       kGood,
       {},
       {0x08, 0x02, 0, 0, 0xA1, 0x0F, 0x02, 0, 0, 0x03}},
      {"qemu-iscsi-tgt-blank-dvdplusr",
       "pre-recorded lead-in: the odd NOT READY/24h pair",
       MakeCdb({0xAD, 0, 0, 0, 0, 0, 0, 0x0E, 0, 0x30}),
       48,
       kCheck,
       Sense{0x02, 0x24, 0x00},
       {}},
  };
}

TEST(QemuProfileAnswers, MatchWhatTheGuestsSaw) {
  for (const AnswerCase& c : AnswerCases()) {
    SCOPED_TRACE(std::string(c.profile) + ": " + c.what);
    VirtualDrive drive(Load(c.profile));
    const InResult r =
        c.length != 0 ? RunIn(drive, c.cdb, c.length) : InResult{RunNone(drive, c.cdb), {}};
    EXPECT_EQ(r.response.outcome, c.outcome);
    EXPECT_EQ(r.response.sense, c.sense);
    if (c.outcome == kGood) {
      // both QEMU and tgt move the whole allocation length, zero-filled past the answer
      EXPECT_EQ(r.response.transferred, c.length);
      ASSERT_GE(r.buffer.size(), c.head.size());
      EXPECT_EQ(std::vector<uint8_t>(r.buffer.begin(),
                                     r.buffer.begin() + static_cast<long>(c.head.size())),
                c.head);
    }
  }
}

}  // namespace
}  // namespace kv::emu::test
