// The pass-through request and the SCSI address query against a scripted DeviceIoControl: the
// driver's success path, which Wine offers only with a real drive.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "drive/platform/win32/win32_scsi_ioctl.h"

namespace kv::win32 {
namespace {

struct IoCall {
  DWORD code = 0;
  std::vector<uint8_t> in;
  DWORD inSize = 0;
  DWORD outSize = 0;
  bool sameBuffer = false;
};

// A driver that records the call, lets `answer` change the output block, and returns `rc`.
struct ScriptedDriver {
  BOOL rc = TRUE;
  DWORD error = ERROR_SUCCESS;
  std::function<void(void* out)> answer;
  std::vector<IoCall> calls;

  DeviceIoControlCall Call() {
    return [this](HANDLE, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                  LPDWORD returned, LPOVERLAPPED) {
      IoCall call;
      call.code = code;
      const auto* bytes = static_cast<const uint8_t*>(in);
      call.in.assign(bytes, bytes + inSize);
      call.inSize = inSize;
      call.outSize = outSize;
      call.sameBuffer = in == out;
      calls.push_back(call);
      if (answer) {
        answer(out);
      }
      *returned = outSize;
      SetLastError(error);
      return rc;
    };
  }
};

template <typename T>
T At(const std::vector<uint8_t>& bytes, std::size_t offset) {
  T value{};
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

ScsiRequest InquiryRequest(uint8_t* buffer) {
  ScsiRequest request;
  request.cdb = {0x12, 0, 0, 0, 96, 0, 0, 0, 0, 0, 0, 0x5A};
  request.direction = kDirectionIn;
  request.buffer = buffer;
  request.length = 96;
  request.timeoutSeconds = 108000;
  request.pathId = 3;
  request.targetId = 1;
  return request;
}

// The 80-byte request of a 32-bit build, or the 64-bit one's natural layout.
constexpr PassThroughLayout kLayout = kPassThroughLayout;
static_assert(sizeof(void*) != 4 || kLayout.requestSize == 80);

TEST(Win32PassThrough, SendsTheWholeRequestAsInputAndOutput) {
  ScriptedDriver driver;
  uint8_t data[96] = {};
  PassThroughRequest block;
  RunPassThrough(nullptr, InquiryRequest(data), block, driver.Call());

  ASSERT_EQ(driver.calls.size(), 1u);
  const IoCall& call = driver.calls[0];
  EXPECT_EQ(call.code, 0x4D014u);
  EXPECT_EQ(call.inSize, kLayout.requestSize);
  EXPECT_EQ(call.outSize, kLayout.requestSize);
  EXPECT_TRUE(call.sameBuffer);
  const std::vector<uint8_t>& in = call.in;
  EXPECT_EQ(At<uint16_t>(in, 0), kLayout.structureSize);  // Length
  EXPECT_EQ(in[3], 3);                       // PathId: low byte of the host adapter
  EXPECT_EQ(in[4], 1);                       // TargetId
  EXPECT_EQ(in[5], 0);                       // Lun
  EXPECT_EQ(in[6], 12);                      // CdbLength
  EXPECT_EQ(in[7], 24);                      // SenseInfoLength
  EXPECT_EQ(in[8], 1);                       // DataIn
  EXPECT_EQ(At<uint32_t>(in, 12), 96u);      // DataTransferLength
  EXPECT_EQ(At<uint32_t>(in, 16), 108000u);  // TimeOutValue
  EXPECT_EQ(At<uint8_t*>(in, kLayout.dataBuffer), data);  // DataBuffer
  EXPECT_EQ(At<uint32_t>(in, kLayout.senseInfoOffset), kLayout.sense);  // SenseInfoOffset
  EXPECT_EQ(in[kLayout.cdb], 0x12);  // Cdb
  EXPECT_EQ(in[kLayout.cdb + 11], 0x5A);
  for (std::size_t i = kLayout.cdb + 16; i < kLayout.requestSize; ++i) {
    EXPECT_EQ(in[i], 0) << "filler and sense start cleared, byte " << i;
  }
}

TEST(Win32PassThrough, DirectionCodeAndNullBufferPassUnchanged) {
  for (const uint8_t direction : {kDirectionOut, kDirectionIn, kDirectionNone}) {
    ScriptedDriver driver;
    ScsiRequest request = InquiryRequest(nullptr);
    request.direction = direction;
    request.length = 0;
    PassThroughRequest block;
    RunPassThrough(nullptr, request, block, driver.Call());
    EXPECT_EQ(driver.calls[0].in[8], direction);
    EXPECT_EQ(At<uint8_t*>(driver.calls[0].in, kLayout.dataBuffer), nullptr);
  }
}

TEST(Win32PassThrough, OnlyExactlyTrueCountsAsSuccess) {
  struct Case {
    BOOL rc;
    bool succeeded;
  };
  for (const Case& c : {Case{TRUE, true}, Case{FALSE, false}, Case{2, false}, Case{-1, false}}) {
    ScriptedDriver driver;
    driver.rc = c.rc;
    driver.error = c.rc == FALSE ? ERROR_NOT_SUPPORTED : ERROR_SUCCESS;
    uint8_t data[96] = {};
    PassThroughRequest block;
    const PassThroughResult result =
        RunPassThrough(nullptr, InquiryRequest(data), block, driver.Call());
    EXPECT_EQ(result.callSucceeded, c.succeeded) << "rc " << c.rc;
    if (c.rc == FALSE) {
      EXPECT_EQ(result.osError, ERROR_NOT_SUPPORTED);
    }
  }
}

TEST(Win32PassThrough, TransferredAndSenseComeFromWhatTheDriverLeft) {
  ScriptedDriver driver;
  driver.answer = [](void* out) {
    auto* block = static_cast<PassThroughRequest*>(out);
    block->sptd.DataTransferLength = 36;  // a short answer
    block->sense[0] = 0x70;
    block->sense[2] = 0x05;
    block->sense[12] = 0x24;
    block->sense[13] = 0x01;
  };
  uint8_t data[96] = {};
  PassThroughRequest block;
  const PassThroughResult result =
      RunPassThrough(nullptr, InquiryRequest(data), block, driver.Call());
  EXPECT_TRUE(result.callSucceeded);
  EXPECT_EQ(result.transferred, 36u);
  EXPECT_EQ(result.sense[2], 0x05);
  EXPECT_EQ(result.sense[12], 0x24);
  EXPECT_EQ(result.sense[13], 0x01);
  EXPECT_GE(result.senseLength, 14);
}

TEST(Win32PassThrough, ReusedRequestIsClearedBeforeEachCommand) {
  ScriptedDriver driver;
  driver.answer = [](void* out) { static_cast<PassThroughRequest*>(out)->sense[2] = 0x03; };
  uint8_t data[96] = {};
  PassThroughRequest block;
  RunPassThrough(nullptr, InquiryRequest(data), block, driver.Call());
  driver.answer = nullptr;
  const PassThroughResult second =
      RunPassThrough(nullptr, InquiryRequest(data), block, driver.Call());
  EXPECT_EQ(second.sense[2], 0) << "the first command's sense must not leak into the second";
}

TEST(Win32ScsiAddress, ThreeOutcomes) {
  struct Case {
    const char* name;
    BOOL rc;
    UCHAR length;
    ScsiAddressResult::Outcome outcome;
  };
  const Case cases[] = {
      {"answered", TRUE, 8, ScsiAddressResult::Outcome::Found},
      {"length zero", TRUE, 0, ScsiAddressResult::Outcome::LengthZero},
      {"call failed", FALSE, 8, ScsiAddressResult::Outcome::CallFailed},
  };
  for (const Case& c : cases) {
    ScriptedDriver driver;
    driver.rc = c.rc;
    driver.answer = [&c](void* out) {
      auto* address = static_cast<SCSI_ADDRESS*>(out);
      address->Length = c.length;
      address->PortNumber = 200;  // above 127: widened without sign
      address->PathId = 1;
      address->TargetId = 2;
      address->Lun = 3;
    };
    const ScsiAddressResult result = QueryScsiAddress(nullptr, driver.Call());
    EXPECT_EQ(result.outcome, c.outcome) << c.name;
    ASSERT_EQ(driver.calls.size(), 1u);
    EXPECT_EQ(driver.calls[0].code, 0x41018u);
    EXPECT_EQ(driver.calls[0].inSize, 8u);
    EXPECT_EQ(driver.calls[0].outSize, 8u);
    if (c.outcome == ScsiAddressResult::Outcome::Found) {
      EXPECT_EQ(result.port, 200);
      EXPECT_EQ(result.pathId, 1);
      EXPECT_EQ(result.target, 2);
      EXPECT_EQ(result.lun, 3);
    }
  }
}

}  // namespace
}  // namespace kv::win32
