// ExecuteCommand: what reaches the platform, and how its outcome lands in LastCommand.
#include <algorithm>
#include <functional>

#include "drive/sense.h"
#include "tests/drive/device_fixture.h"

namespace kv::test {
namespace {

constexpr uint8_t kModeSense = 0x5A;
constexpr uint8_t kTestUnitReadyOp = 0x00;

// --- Sense decoding, shared by both transports ---

struct SenseCase {
  const char* name;
  std::vector<uint8_t> bytes;
  uint8_t length;
  SenseFields expected;
};

void PrintTo(const SenseCase& c, std::ostream* os) {
  *os << c.name;
}

std::vector<uint8_t> Fixed(uint8_t code, uint8_t key, uint8_t asc, uint8_t ascq) {
  return Bytes(18, {{0, code}, {2, key}, {7, 10}, {12, asc}, {13, ascq}});
}
std::vector<uint8_t> Descriptor(uint8_t code, uint8_t key, uint8_t asc, uint8_t ascq) {
  // Bytes 12 and 13 carry other values so that a fixed-format reading would be caught.
  return Bytes(20, {{0, code}, {1, key}, {2, asc}, {3, ascq}, {2 + 10, 0x99}, {13, 0x98}});
}

const SenseCase kSenseCases[] = {
    {"Fixed70", Fixed(0x70, 0x05, 0x24, 0x00), 18, {0x05, 0x24, 0x00}},
    {"Fixed71Deferred", Fixed(0x71, 0x03, 0x11, 0x05), 18, {0x03, 0x11, 0x05}},
    {"FixedF0WithValidBit", Fixed(0xF0, 0x02, 0x3A, 0x01), 18, {0x02, 0x3A, 0x01}},
    {"FixedF1", Fixed(0xF1, 0x06, 0x28, 0x00), 18, {0x06, 0x28, 0x00}},
    {"FixedKeyHighBitsIgnored", Fixed(0x70, 0xE2, 0x04, 0x01), 18, {0x02, 0x04, 0x01}},
    {"Descriptor72", Descriptor(0x72, 0x05, 0x20, 0x00), 20, {0x05, 0x20, 0x00}},
    {"Descriptor73", Descriptor(0x73, 0x06, 0x29, 0x02), 20, {0x06, 0x29, 0x02}},
    {"DescriptorKeyHighBitsIgnored", Descriptor(0x72, 0xF6, 0x29, 0x00), 20, {0x06, 0x29, 0x00}},
    {"NothingWritten", Fixed(0x70, 0x05, 0x24, 0x00), 0, {0, 0, 0}},
    {"ShortFixedLacksAscAscq", Fixed(0x70, 0x05, 0x24, 0x07), 8, {0x05, 0, 0}},
    {"LengthBeyondAreaIsClamped", Fixed(0x70, 0x05, 0x24, 0x07), 255, {0x05, 0x24, 0x07}},
};

class SenseDecodeTest : public ::testing::TestWithParam<SenseCase> {};

TEST_P(SenseDecodeTest, ReadsKeyAscAscq) {
  const SenseCase& c = GetParam();
  SenseBytes area{};
  std::copy_n(c.bytes.begin(), std::min(c.bytes.size(), area.size()), area.begin());
  const SenseFields got = DecodeSense(area, c.length);
  EXPECT_EQ(got.key, c.expected.key);
  EXPECT_EQ(got.asc, c.expected.asc);
  EXPECT_EQ(got.ascq, c.expected.ascq);
}

INSTANTIATE_TEST_SUITE_P(Formats, SenseDecodeTest, ::testing::ValuesIn(kSenseCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A descriptor-format answer through pass-through lands in LastCommand like a fixed one.
TEST_F(DeviceTest, DescriptorSenseReachesLastCommand) {
  FakeAnswer answer;
  const auto bytes = Descriptor(0x72, 0x02, 0x04, 0x01);
  std::copy(bytes.begin(), bytes.end(), answer.sense.begin());
  answer.senseLength = static_cast<uint8_t>(bytes.size());
  platform.On(kTestUnitReadyOp, answer);
  EXPECT_EQ(device->TestUnitReady(), 0);
  EXPECT_EQ(device->LastCommand().Status, kStatusCheckCondition);
  EXPECT_TRUE(device->LastSenseIs(0x02, 0x04));
  EXPECT_EQ(device->LastCommand().Ascq, 0x01);
}

// --- Outcomes through pass-through ---

struct OutcomeCase {
  const char* name;
  FakeAnswer answer;
  uint8_t result;
  uint8_t status;
  uint32_t transferred;
  uint8_t senseKey;
  uint8_t asc;
  uint8_t ascq;
};

void PrintTo(const OutcomeCase& c, std::ostream* os) {
  *os << c.name;
}

FakeAnswer WithReported(FakeAnswer a, uint32_t reported) {
  a.reportedTransferred = reported;
  return a;
}
FakeAnswer FailedWithSense() {
  FakeAnswer a = CheckCondition(0x05, 0x24, 0x00);
  a.callSucceeded = false;
  return a;
}

const OutcomeCase kOutcomeCases[] = {
    {"FullAnswer", Good(Bytes(42, {{0, 0x11}})), 1, kStatusGood, 42, 0, 0, 0},
    {"ShortAnswerCountsBytesMoved", Good(Bytes(20)), 1, kStatusGood, 20, 0, 0, 0},
    {"OverReportedCountClampedToRequest", WithReported(Good(Bytes(42)), 70000), 1, kStatusGood, 42,
     0, 0, 0},
    {"IllegalRequest", CheckCondition(0x05, 0x24, 0x01), 0, kStatusCheckCondition, 0, 5, 0x24,
     0x01},
    {"CheckConditionDropsTransferred", WithReported(CheckCondition(0x03, 0x11, 0x00), 42), 0,
     kStatusCheckCondition, 0, 3, 0x11, 0},
    {"PlatformCallFailed", TransportFailure(), 0, kStatusFailed, 0, 0, 0, 0},
    {"PlatformCallFailedWithSense", FailedWithSense(), 0, kStatusFailed, 0, 5, 0x24, 0},
};

class PassThroughOutcomeTest : public DeviceTest,
                               public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(PassThroughOutcomeTest, RecordsOutcome) {
  const OutcomeCase& c = GetParam();
  platform.On(kModeSense, c.answer);
  EXPECT_EQ(device->ModeSense10(0, 0, 0x2A, 42, 0), c.result);
  const CommandRecord& r = device->LastCommand();
  EXPECT_EQ(r.Status, c.status);
  EXPECT_EQ(r.Transferred, c.transferred);
  EXPECT_EQ(r.SenseKey, c.senseKey);
  EXPECT_EQ(r.Asc, c.asc);
  EXPECT_EQ(r.Ascq, c.ascq);
  EXPECT_EQ(r.TimedOut, 0);
  EXPECT_EQ(r.CdbBytes[0], kModeSense);
}

INSTANTIATE_TEST_SUITE_P(Answers, PassThroughOutcomeTest, ::testing::ValuesIn(kOutcomeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeviceTest, RequestCarriesBufferAddressTimeoutAndLowAddressBytes) {
  device->SetAddress(kFakeHandle, 0x1203, 0, 0x0405, 6);
  platform.On(kModeSense, Good(Bytes(8)));
  device->ModeSense10(0, 0, 0x2A, 8, 0);
  device->SetStreaming(28, 0);
  device->SetCdSpeed(0, 0xFFFF, 0xFFFF, 0);
  device->Inquiry(0, 0, 0, 0, 0);  // data in, length 0
  ASSERT_EQ(platform.sent.size(), 4u);
  const ScsiRequest& in = platform.sent[0].request;
  EXPECT_EQ(in.buffer, device->GetDataBuffer());
  EXPECT_EQ(in.timeoutSeconds, kCommandTimeoutSeconds);
  EXPECT_EQ(in.pathId, 0x03);
  EXPECT_EQ(in.targetId, 0x05);
  EXPECT_EQ(platform.sent[0].handle, kFakeHandle);
  EXPECT_EQ(platform.sent[1].request.buffer, device->GetParameterBuffer());
  EXPECT_EQ(platform.sent[2].request.buffer, nullptr);
  EXPECT_EQ(platform.sent[3].request.buffer, nullptr);
  EXPECT_EQ(platform.sent[3].request.direction, kDirectionIn);
}

TEST_F(DeviceTest, NoDataDirectionPassesNullBufferButKeepsLength) {
  const uint8_t cdb[kCdbLength] = {0xBB};
  platform.On(0xBB, Good());
  EXPECT_EQ(device->ExecuteCommand(cdb, kDirectionNone, 512), 1);
  ASSERT_EQ(platform.sent.size(), 1u);
  EXPECT_EQ(Last().request.buffer, nullptr);
  EXPECT_EQ(Last().request.length, 512u);
  EXPECT_EQ(Last().request.direction, kDirectionNone);
}

TEST_F(DeviceTest, DataInOfLengthZeroSucceedsWithNothingMoved) {
  platform.On(0x12, Good(Bytes(96, {{8, 'A'}})));
  EXPECT_EQ(device->Inquiry(0, 0, 0, 0, 0), 1);
  EXPECT_EQ(Last().request.buffer, nullptr);
  EXPECT_EQ(device->LastCommand().Transferred, 0u);
}

TEST_F(DeviceTest, TransferLongerThanBufferIsCutToIt) {
  platform.On(0xAC, Good(Bytes(70000, {{65535, 0x5A}, {65536, 0x77}})));
  EXPECT_EQ(device->GetPerformance(0, 0, 50, 3, 0, 70000), 1);
  EXPECT_EQ(Last().request.length, kBufferSize);
  EXPECT_EQ(device->LastCommand().Transferred, kBufferSize);
  EXPECT_EQ(device->ReadDataByte(65535), 0x5A);
}

// A command that runs past CommandTimeout is a failure with status 0, even when the drive
// completed it.
TEST_F(DeviceTest, CommandPastTimeoutFailsAsTimedOut) {
  FakeAnswer slow = Good(Bytes(42));
  slow.elapsedTicks = (int64_t{kCommandTimeoutSeconds} + 1) * platform.frequency;
  platform.On(kModeSense, slow);
  EXPECT_EQ(device->ModeSense10(0, 0, 0x2A, 42, 0), 0);
  const CommandRecord& r = device->LastCommand();
  EXPECT_EQ(r.Status, kStatusFailed);
  EXPECT_EQ(r.TimedOut, 1);
  EXPECT_EQ(r.Transferred, 0u);
  EXPECT_GT(r.Elapsed, static_cast<double>(kCommandTimeoutSeconds));

  // Exactly at the bound is not past it.
  slow.elapsedTicks = int64_t{kCommandTimeoutSeconds} * platform.frequency;
  platform.On(kModeSense, slow);
  EXPECT_EQ(device->ModeSense10(0, 0, 0x2A, 42, 0), 1);
  EXPECT_EQ(device->LastCommand().TimedOut, 0);
}

// --- Commands that never reach a transport leave LastCommand as it was ---

struct UnreachableCase {
  const char* name;
  bool viaAspi;  // a system without pass-through: the manager carries every command
  bool aspiWorks;
  DriveAddress address;
  DeviceHandle handle;
};

void PrintTo(const UnreachableCase& c, std::ostream* os) {
  *os << c.name;
}

const UnreachableCase kUnreachableCases[] = {
    {"PassThroughWithoutHandle", false, false, {0, 0, 0, 0}, kInvalidHandle},
    {"AspiWithoutHostAdapter", true, true, {-1, 1, 0, 0}, kInvalidHandle},
    {"AspiWithoutTarget", true, true, {0, -1, 0, 0}, kInvalidHandle},
    {"AspiWithoutManager", true, false, {0, 1, 0, 0}, kInvalidHandle},
};

class UnreachableTest : public DeviceTest, public ::testing::WithParamInterface<UnreachableCase> {
 protected:
  void SetUp() override {}
};

TEST_P(UnreachableTest, LeavesLastCommandUnchanged) {
  const UnreachableCase& c = GetParam();
  platform.nt = !c.viaAspi;
  platform.aspiWorks = c.aspiWorks;
  Build(false);
  if (c.viaAspi && c.aspiWorks && !device->IsAspiLoaded()) {
    GTEST_SKIP() << "manager not loaded";
  }
  // First a command that does reach the drive (where one can), with a sense to remember.
  platform.On(kTestUnitReadyOp, CheckCondition(0x02, 0x3A, 0x02));
  device->SetAddress(c.viaAspi ? kInvalidHandle : kFakeHandle, 0, 0, 1, 0);
  device->TestUnitReady();
  const CommandRecord before = device->LastCommand();
  if (c.aspiWorks || !c.viaAspi) {
    ASSERT_TRUE(device->LastSenseIs(0x02, 0x3A));
  }

  device->SetAddress(c.handle, c.address.HostAdapter, c.address.PathId, c.address.Target,
                     c.address.Lun);
  platform.sent.clear();
  platform.On(kModeSense, Good(Bytes(42)));
  EXPECT_EQ(device->ModeSense10(0, 0, 0x2A, 42, 0), 0);
  EXPECT_TRUE(platform.sent.empty());
  const CommandRecord& after = device->LastCommand();
  EXPECT_EQ(after.CdbBytes, before.CdbBytes);
  EXPECT_EQ(after.Status, before.Status);
  EXPECT_EQ(after.SenseKey, before.SenseKey);
  EXPECT_EQ(after.Asc, before.Asc);
  EXPECT_EQ(after.Ascq, before.Ascq);
}

INSTANTIATE_TEST_SUITE_P(Cases, UnreachableTest, ::testing::ValuesIn(kUnreachableCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- The ASPI-style transport ---

class AspiTransportTest : public DeviceTest {
 protected:
  void SetUp() override {
    platform.nt = false;
    platform.aspiWorks = true;
    Build(false);
    if (!device->IsAspiLoaded()) {
      GTEST_SKIP() << "manager not loaded";
    }
    device->SetAddress(kInvalidHandle, 1, 0, 2, 3);
  }
};

TEST_F(AspiTransportTest, ShortAnswerReportsRequestedLength) {
  platform.On(kModeSense, Good(Bytes(10)));
  EXPECT_EQ(device->ModeSense10(0, 0, 0x2A, 42, 0), 1);
  EXPECT_EQ(device->LastCommand().Transferred, 42u);
  ASSERT_EQ(platform.sent.size(), 1u);
  EXPECT_TRUE(Last().viaAspi);
  EXPECT_EQ(Last().hostAdapter, 1);
  EXPECT_EQ(Last().target, 2);
  EXPECT_EQ(Last().lun, 3);
  EXPECT_EQ(Last().request.buffer, device->GetDataBuffer());
}

TEST_F(AspiTransportTest, StatusComesFromSenseKey) {
  platform.On(kModeSense, CheckCondition(0x05, 0x24, 0x00));
  EXPECT_EQ(device->ModeSense10(0, 0, 0x2A, 42, 0), 0);
  EXPECT_EQ(device->LastCommand().Status, kStatusCheckCondition);
  EXPECT_EQ(device->LastCommand().Transferred, 0u);

  // An error status without sense is a transport failure.
  FakeAnswer noSense = Good(Bytes(42));
  noSense.aspiStatus = 0x04;
  platform.On(kModeSense, noSense);
  EXPECT_EQ(device->ModeSense10(0, 0, 0x2A, 42, 0), 0);
  EXPECT_EQ(device->LastCommand().Status, kStatusFailed);
}

TEST_F(AspiTransportTest, NoDataDirectionPassesNullBufferButKeepsLength) {
  const uint8_t cdb[kCdbLength] = {0xBB};
  platform.On(0xBB, Good());
  EXPECT_EQ(device->ExecuteCommand(cdb, kDirectionNone, 300), 1);
  ASSERT_EQ(platform.sent.size(), 1u);
  EXPECT_EQ(Last().request.buffer, nullptr);
  EXPECT_EQ(Last().request.length, 300u);
}

}  // namespace
}  // namespace kv::test
