// WaitUntilReady and ClearUnitAttention on a fake drive whose clock only moves when it sleeps.
#include "tests/drive/device_fixture.h"

namespace kv::test {
namespace {

constexpr uint8_t kTur = 0x00;

// A TEST UNIT READY that answers `busy` for the first `busyPolls` calls, then `after`.
FakePlatform::Handler BusyThen(int busyPolls, FakeAnswer busy, FakeAnswer after, int* calls) {
  return [=](const ScsiRequest&) { return (*calls)++ < busyPolls ? busy : after; };
}

struct BusyCase {
  const char* name;
  FakeAnswer busy;
};

void PrintTo(const BusyCase& c, std::ostream* os) {
  *os << c.name;
}

const BusyCase kBusyCases[] = {
    {"BecomingReady", CheckCondition(0x02, 0x04, 0x01)},
    {"BecomingReadyOtherAscq", CheckCondition(0x02, 0x04, 0x07)},
    {"UnitAttention", CheckCondition(0x06, 0x28, 0x00)},
};

class WaitBusyTest : public DeviceTest, public ::testing::WithParamInterface<BusyCase> {};

TEST_P(WaitBusyTest, BoundedWaitGivesUpAtFirstPollAfterTheBound) {
  int calls = 0;
  platform.On(kTur, BusyThen(1 << 30, GetParam().busy, Good(), &calls));
  EXPECT_FALSE(device->WaitUntilReady(60));
  // Polls at 0, 0.3, ... 60.0 s: 201 polls, 200 sleeps of 300 ms, then the final TEST UNIT READY.
  EXPECT_EQ(platform.sleeps.size(), 200u);
  for (uint32_t ms : platform.sleeps) {
    ASSERT_EQ(ms, 300u);
  }
  EXPECT_EQ(platform.CountSent(kTur), 202u);
  EXPECT_EQ(device->LastCommand().SenseKey, GetParam().busy.sense[2]);
}

TEST_P(WaitBusyTest, UnboundedWaitKeepsPollingUntilReady) {
  for (int32_t limit : {0, -5}) {
    platform.sent.clear();
    platform.sleeps.clear();
    int calls = 0;
    constexpr int kBusyPolls = 1000;  // far past any 60 or 120 s bound
    platform.On(kTur, BusyThen(kBusyPolls, GetParam().busy, Good(), &calls));
    EXPECT_TRUE(device->WaitUntilReady(limit)) << limit;
    EXPECT_EQ(platform.sleeps.size(), static_cast<std::size_t>(kBusyPolls)) << limit;
    EXPECT_EQ(platform.CountSent(kTur), static_cast<std::size_t>(kBusyPolls + 2)) << limit;
    EXPECT_EQ(device->LastCommand().Status, kStatusGood);
  }
}

TEST_P(WaitBusyTest, WithoutCounterBoundedWaitStillEnds) {
  platform.frequency = 0;
  Build();
  int calls = 0;
  platform.On(kTur, BusyThen(1 << 30, GetParam().busy, Good(), &calls));
  EXPECT_FALSE(device->WaitUntilReady(60));
  EXPECT_LE(platform.sleeps.size(), 200u);
  EXPECT_GE(platform.sleeps.size(), 190u);
}

INSTANTIATE_TEST_SUITE_P(Answers, WaitBusyTest, ::testing::ValuesIn(kBusyCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct EndCase {
  const char* name;
  FakeAnswer answer;
};

void PrintTo(const EndCase& c, std::ostream* os) {
  *os << c.name;
}

// Any answer but "becoming ready" ends the wait at once, without sleeping.
const EndCase kEndCases[] = {
    {"Ready", Good()},
    {"NoDisc", CheckCondition(0x02, 0x3A, 0x00)},
    {"OtherNotReady", CheckCondition(0x02, 0x05, 0x00)},
    {"MediumError", CheckCondition(0x03, 0x04, 0x00)},
    {"FailureWithoutSense", TransportFailure()},
};

class WaitEndTest : public DeviceTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(WaitEndTest, ReturnsAtOnceAndFinalAnswerStays) {
  platform.On(kTur, GetParam().answer);
  for (int32_t limit : {60, 0}) {
    platform.sent.clear();
    EXPECT_TRUE(device->WaitUntilReady(limit));
    EXPECT_TRUE(platform.sleeps.empty());
    EXPECT_EQ(platform.CountSent(kTur), 2u);
    EXPECT_EQ(device->LastCommand().SenseKey, GetParam().answer.sense[2]);
    EXPECT_EQ(device->LastCommand().Asc, GetParam().answer.sense[12]);
  }
}

INSTANTIATE_TEST_SUITE_P(Answers, WaitEndTest, ::testing::ValuesIn(kEndCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The wait hook runs once before every pause, after the poll that asked for it, and never when
// the drive answers at once or once it has been taken away again.
TEST_F(DeviceTest, WaitHookRunsBeforeEachPause) {
  const struct {
    int busyPolls;
    int32_t limit;
    std::size_t expectedHooks;
  } kCases[] = {{0, 60, 0}, {1, 60, 1}, {5, 60, 5}, {5, 0, 5}, {1 << 30, 60, 200}};
  for (const auto& c : kCases) {
    platform.sent.clear();
    platform.sleeps.clear();
    int calls = 0;
    platform.On(kTur, BusyThen(c.busyPolls, CheckCondition(0x02, 0x04, 0x01), Good(), &calls));
    std::vector<std::size_t> sleepsSeen;
    std::vector<std::size_t> pollsSeen;
    device->SetWaitHook([&] {
      sleepsSeen.push_back(platform.sleeps.size());
      pollsSeen.push_back(platform.CountSent(kTur));
    });
    device->WaitUntilReady(c.limit);
    ASSERT_EQ(sleepsSeen.size(), c.expectedHooks) << c.busyPolls;
    for (std::size_t i = 0; i < sleepsSeen.size(); ++i) {
      EXPECT_EQ(sleepsSeen[i], i) << c.busyPolls;
      EXPECT_EQ(pollsSeen[i], i + 1) << c.busyPolls;
    }
  }
  device->SetWaitHook({});
  platform.sleeps.clear();
  int calls = 0;
  platform.On(kTur, BusyThen(3, CheckCondition(0x02, 0x04, 0x01), Good(), &calls));
  EXPECT_TRUE(device->WaitUntilReady(60));
  EXPECT_EQ(platform.sleeps.size(), 3u) << "no hook, and the pauses as before";
}

// A previous "becoming ready" answer must not keep a wait going when no command reaches a drive.
TEST_F(DeviceTest, UnboundedWaitOnUnreachableDriveEnds) {
  platform.On(kTur, CheckCondition(0x06, 0x28, 0x00));
  device->TestUnitReady();
  device->SetAddress(kInvalidHandle, 0, 0, 0, 0);
  EXPECT_TRUE(device->WaitUntilReady(0));
  EXPECT_TRUE(platform.sleeps.empty());
}

TEST_F(DeviceTest, ClearUnitAttentionRepeatsOnlyForUnitAttentionAndIsBounded) {
  const struct {
    int attentions;
    std::size_t expectedTurs;
  } kCases[] = {{0, 1}, {1, 2}, {3, 4}, {15, 16}, {100, 16}};
  for (const auto& c : kCases) {
    platform.sent.clear();
    int calls = 0;
    platform.On(kTur, BusyThen(c.attentions, CheckCondition(0x06, 0x29), Good(), &calls));
    device->ClearUnitAttention();
    EXPECT_EQ(platform.CountSent(kTur), c.expectedTurs) << c.attentions;
  }
  // Any other sense stops at once.
  platform.sent.clear();
  platform.On(kTur, CheckCondition(0x02, 0x3A));
  device->ClearUnitAttention();
  EXPECT_EQ(platform.CountSent(kTur), 1u);
}

}  // namespace
}  // namespace kv::test
