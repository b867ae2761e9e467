// The two 65536-byte buffers when memory runs out: the device is still built, and only the
// commands that move data through a missing buffer fail, with result 0 and nothing sent.
#include "drive/device_buffers.h"

#include <algorithm>
#include <new>

#include "drive/mmc.h"
#include "tests/drive/device_fixture.h"

namespace kv::test {
namespace {

constexpr uint8_t kInquiryOp = 0x12;
constexpr uint8_t kTestUnitReadyOp = 0x00;

// Which of the constructor's two allocations (data buffer first, then parameter buffer) fail.
struct FailureCase {
  const char* name;
  bool dataFails;
  bool parameterFails;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.name;
}

FailureCase failing;
int allocations = 0;

std::unique_ptr<uint8_t[]> ScriptedAllocation(std::size_t size) noexcept {
  const bool fail = allocations++ == 0 ? failing.dataFails : failing.parameterFails;
  return fail ? nullptr : std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]());
}

class BufferFailureTest : public DeviceTest, public ::testing::WithParamInterface<FailureCase> {
 protected:
  void SetUp() override {
    failing = GetParam();
    allocations = 0;
    previous_ = SetDeviceBufferAllocator(ScriptedAllocation);
    ASSERT_NO_THROW(Build());
    SetDeviceBufferAllocator(previous_);
  }
  void TearDown() override { SetDeviceBufferAllocator(previous_); }

  std::size_t SentWith(uint8_t opcode) const {
    return static_cast<std::size_t>(
        std::count_if(platform.sent.begin(), platform.sent.end(),
                      [&](const auto& s) { return s.request.cdb[0] == opcode; }));
  }

  BufferAllocator previous_ = nullptr;
};

TEST_P(BufferFailureTest, OnlyCommandsThroughAMissingBufferFail) {
  const FailureCase& c = GetParam();
  EXPECT_EQ(allocations, 2);
  EXPECT_EQ(device->GetDataBuffer() == nullptr, c.dataFails);
  EXPECT_EQ(device->GetParameterBuffer() == nullptr, c.parameterFails);

  platform.On(kInquiryOp, Good(Bytes(96, {{8, 'V'}})));
  EXPECT_EQ(device->Inquiry(0, 0, 0, 96, 0), c.dataFails ? 0 : 1);
  EXPECT_EQ(SentWith(kInquiryOp), c.dataFails ? 0u : 1u);
  EXPECT_EQ(device->ReadDataByte(8), c.dataFails ? 0 : 'V');

  platform.On(mmc::kOpSetStreaming, Good());
  device->WriteParamBE32(0, 0x01020304);  // no effect without the buffer, and no fault
  EXPECT_EQ(device->SetStreaming(28, 0), c.parameterFails ? 0 : 1);
  EXPECT_EQ(SentWith(mmc::kOpSetStreaming), c.parameterFails ? 0u : 1u);

  // A command that moves no data needs neither buffer.
  platform.On(kTestUnitReadyOp, Good());
  EXPECT_EQ(device->TestUnitReady(), 1);
  EXPECT_EQ(SentWith(kTestUnitReadyOp), 1u);
}

INSTANTIATE_TEST_SUITE_P(Allocations, BufferFailureTest,
                         ::testing::Values(FailureCase{"DataBuffer", true, false},
                                           FailureCase{"ParameterBuffer", false, true},
                                           FailureCase{"Both", true, true},
                                           FailureCase{"Neither", false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DeviceBufferAllocation, SystemAllocationIsZeroFilledAndRestorable) {
  const BufferAllocator before = SetDeviceBufferAllocator(nullptr);
  const auto buffer = AllocateDeviceBuffer(kBufferSize);
  ASSERT_NE(buffer, nullptr);
  EXPECT_TRUE(
      std::all_of(buffer.get(), buffer.get() + kBufferSize, [](uint8_t b) { return b == 0; }));
  SetDeviceBufferAllocator(before);
}

}  // namespace
}  // namespace kv::test
