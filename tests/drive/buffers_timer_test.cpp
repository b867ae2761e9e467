// Bounds-checked buffer accessors and HiTimer over a counter the test moves by hand.
#include "drive/hi_timer.h"
#include "tests/drive/device_fixture.h"

namespace kv::test {
namespace {

TEST_F(DeviceTest, ReadsBigEndianValuesAndZeroPastTheEnd) {
  platform.On(0x5A, Good(Bytes(8, {{0, 0x12}, {1, 0x34}, {2, 0x56}, {3, 0x78}})));
  ASSERT_EQ(device->ModeSense10(0, 0, 0x2A, 8, 0), 1);
  EXPECT_EQ(device->ReadDataBE32(0), 0x12345678u);
  EXPECT_EQ(device->ReadDataBE16(1), 0x3456u);
  EXPECT_EQ(device->ReadDataByte(3), 0x78u);

  uint8_t* data = device->GetDataBuffer();
  data[kBufferSize - 2] = 0xAB;
  data[kBufferSize - 1] = 0xCD;
  const uint32_t end = static_cast<uint32_t>(kBufferSize);
  const struct {
    uint32_t offset;
    uint32_t be32;
    uint16_t be16;
  } kEdges[] = {
      {end - 2, 0xABCD0000u, 0xABCD},
      {end - 1, 0xCD000000u, 0xCD00},
      {end, 0, 0},
      {0xFFFFFFFFu, 0, 0},  // must not wrap round to the buffer's start
      {0xFFFFFFFEu, 0, 0},
  };
  for (const auto& e : kEdges) {
    EXPECT_EQ(device->ReadDataBE32(e.offset), e.be32) << e.offset;
    EXPECT_EQ(device->ReadDataBE16(e.offset), e.be16) << e.offset;
  }
  EXPECT_EQ(device->ReadDataByte(end), 0);
}

TEST_F(DeviceTest, WritesParameterValuesBigEndianAndIgnoresWritesPastTheEnd) {
  uint8_t* param = device->GetParameterBuffer();
  device->WriteParamBE32(16, 1000);
  EXPECT_EQ(param[16], 0x00);
  EXPECT_EQ(param[17], 0x00);
  EXPECT_EQ(param[18], 0x03);
  EXPECT_EQ(param[19], 0xE8);

  param[kBufferSize - 3] = 0x11;
  const uint32_t end = static_cast<uint32_t>(kBufferSize);
  for (uint32_t offset : {end - 3, end, 0xFFFFFFFDu}) {
    device->WriteParamBE32(offset, 0xDEADBEEF);
  }
  EXPECT_EQ(param[kBufferSize - 3], 0x11) << "a value that does not fit was torn";
  EXPECT_EQ(param[0], 0x00) << "a write near 4 GiB wrapped round";
  device->WriteParamBE32(end - 4, 0x01020304);
  EXPECT_EQ(param[kBufferSize - 1], 0x04);
}

class HiTimerTest : public ::testing::Test {
 protected:
  FakePlatform platform;
};

TEST_F(HiTimerTest, MeasuresIntervalsInCounterTicks) {
  platform.frequency = 1000;
  platform.counter = 0;  // a counter reading of 0 must still count as running
  HiTimer timer(platform);
  timer.Start(true);
  platform.counter += 1500;
  EXPECT_DOUBLE_EQ(timer.RunningSeconds(), 1.5);
  EXPECT_DOUBLE_EQ(timer.TotalSeconds(), 1.5);  // the stop value RunningSeconds left
  platform.counter += 500;
  timer.Stop();
  EXPECT_DOUBLE_EQ(timer.TotalSeconds(), 2.0);
  EXPECT_DOUBLE_EQ(timer.RunningSeconds(), 0.0);

  // Without reset the next interval adds up; RunningSeconds shows only the running one.
  timer.Start(false);
  platform.counter += 250;
  EXPECT_DOUBLE_EQ(timer.RunningSeconds(), 0.25);
  timer.Stop();
  EXPECT_DOUBLE_EQ(timer.TotalSeconds(), 2.25);

  timer.Start(true);
  platform.counter += 100;
  timer.Stop();
  EXPECT_DOUBLE_EQ(timer.TotalSeconds(), 0.1);
  timer.Reset();
  EXPECT_DOUBLE_EQ(timer.TotalSeconds(), 0.0);
}

TEST_F(HiTimerTest, WithoutCounterEveryReadingIsZero) {
  platform.frequency = 0;
  HiTimer timer(platform);
  EXPECT_FALSE(timer.HasCounter());
  timer.Start(true);
  platform.counter += 100000;
  EXPECT_EQ(timer.RunningSeconds(), 0.0);
  timer.Stop();
  EXPECT_EQ(timer.TotalSeconds(), 0.0);
}

// A counter that moves between the two reads of the empty interval gives an overhead that every
// interval loses.
class SteppingPlatform : public FakePlatform {
 public:
  int64_t CounterNow() override {
    counter += step;
    return counter;
  }
  int64_t step = 0;
};

TEST(HiTimerOverhead, EmptyIntervalIsSubtracted) {
  SteppingPlatform platform;
  platform.frequency = 100;
  platform.step = 2;  // the construction's empty interval measures 2 ticks
  HiTimer timer(platform);
  platform.step = 0;
  timer.Start(true);
  platform.counter += 52;
  timer.Stop();
  EXPECT_DOUBLE_EQ(timer.TotalSeconds(), 0.5);
}

}  // namespace
}  // namespace kv::test
