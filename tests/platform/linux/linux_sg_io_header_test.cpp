// The wait SG_IO is given, and what a completed SG_IO header is read as: a command the host or the
// driver gave up on is a timed-out failure that moved nothing, whatever else the header holds.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "drive/atapi_device.h"
#include "drive/platform/linux/linux_sg_io.h"

namespace kv {
namespace {

TEST(LinuxSgIoTimeout, NeverLongerThanTheBound) {
  const struct {
    uint32_t seconds;
    unsigned milliseconds;
  } cases[] = {
      {1, 1000},
      {kSgIoBoundSeconds - 1, (kSgIoBoundSeconds - 1) * 1000},
      {kSgIoBoundSeconds, kSgIoBoundSeconds * 1000},
      {kSgIoBoundSeconds + 1, kSgIoBoundSeconds * 1000},
      {kCommandTimeoutSeconds, kSgIoBoundSeconds * 1000},
      {UINT32_MAX, kSgIoBoundSeconds * 1000},
      // 0 would let the kernel pick its own default, which is longer than the bound.
      {0, kSgIoBoundSeconds * 1000},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SgIoTimeoutMilliseconds(c.seconds), c.milliseconds) << c.seconds << " s";
  }
}

constexpr unsigned kLength = 96;
constexpr uint8_t kCheckCondition = 0x02;
constexpr uint8_t kBusy = 0x08;
constexpr unsigned short kDidTimeOut = 0x03;
constexpr unsigned short kDidError = 0x07;
constexpr unsigned short kDriverSense = 0x08;
constexpr unsigned short kDriverTimeout = 0x06;

struct HeaderCase {
  const char* name;
  uint8_t status;
  unsigned short hostStatus;
  unsigned short driverStatus;
  uint8_t senseWritten;
  int resid;
  bool succeeded;
  bool timedOut;
  uint32_t transferred;
};

class LinuxSgIoHeader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(LinuxSgIoHeader, ReadAs) {
  const HeaderCase& c = GetParam();
  sg_io_hdr_t hdr;
  std::memset(&hdr, 0, sizeof hdr);
  hdr.dxfer_len = kLength;
  hdr.status = c.status;
  hdr.host_status = c.hostStatus;
  hdr.driver_status = c.driverStatus;
  hdr.sb_len_wr = c.senseWritten;
  hdr.resid = c.resid;
  SenseBytes sense{};
  sense[0] = 0x70;
  sense[2] = 0x02;
  const SgIoOutcome outcome = ReadSgIoHeader(hdr, sense);
  EXPECT_EQ(outcome.result.callSucceeded, c.succeeded);
  EXPECT_EQ(outcome.result.timedOut, c.timedOut);
  EXPECT_EQ(outcome.result.transferred, c.transferred);
  EXPECT_EQ(outcome.result.osError, c.succeeded ? 0 : EIO);
  EXPECT_LE(outcome.result.senseLength, sense.size());
}

INSTANTIATE_TEST_SUITE_P(
    Headers, LinuxSgIoHeader,
    ::testing::Values(HeaderCase{"Good", 0, 0, 0, 0, 0, true, false, kLength},
                      HeaderCase{"GoodShort", 0, 0, 0, 0, 60, true, false, kLength - 60},
                      HeaderCase{"ResidPastTheLength", 0, 0, 0, 0, kLength + 5, true, false, 0},
                      HeaderCase{"NegativeResid", 0, 0, 0, 0, -4, true, false, kLength},
                      HeaderCase{"CheckConditionWithSense", kCheckCondition, 0, kDriverSense, 18, 0,
                                 true, false, kLength},
                      HeaderCase{"SenseLongerThanTheArea", kCheckCondition, 0, kDriverSense, 255, 0,
                                 true, false, kLength},
                      HeaderCase{"BusyWithoutSense", kBusy, 0, 0, 0, 0, false, false, 0},
                      HeaderCase{"HostGaveUp", 0, kDidTimeOut, 0, 0, 0, false, true, 0},
                      HeaderCase{"HostGaveUpWithSense", kCheckCondition, kDidTimeOut, kDriverSense,
                                 18, 0, false, true, 0},
                      HeaderCase{"DriverGaveUp", 0, 0, kDriverTimeout, 0, 0, false, true, 0},
                      HeaderCase{"DriverGaveUpWithSuggestBits", 0, 0, kDriverTimeout | 0x10, 0, 0,
                                 false, true, 0},
                      HeaderCase{"HostError", 0, kDidError, 0, 0, 0, false, false, 0}),
    [](const ::testing::TestParamInfo<HeaderCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv
