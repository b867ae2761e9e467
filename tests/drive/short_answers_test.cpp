// Answers shorter than the fields a query reads, as real drives and USB bridges send them over
// pass-through: a field the drive did not send is absent (the query's neutral value, or its next
// rule), never the bytes an earlier answer left in the buffer.
#include <cstring>

#include "tests/drive/device_fixture.h"

namespace kv::test {
namespace {

constexpr uint8_t kModeSense = 0x5A;
constexpr uint8_t kGetConfiguration = 0x46;
constexpr uint8_t kReadDvdStructure = 0xAD;
constexpr uint8_t kReadToc = 0x43;
constexpr uint8_t kReadDiscInfo = 0x51;
constexpr uint8_t kReadFormatCapacities = 0x23;
constexpr uint8_t kVendor = 0xDF;
constexpr uint8_t kStale = 0x7F;

// The first length bytes of an answer whose bytes all say kStale's opposite.
FakeAnswer Cut(std::vector<uint8_t> full, std::size_t length) {
  full.resize(length);
  return Good(full);
}

class ShortAnswerTest : public DeviceTest {
 protected:
  void Stale() { std::memset(device->GetDataBuffer(), kStale, 4096); }
};

TEST_F(ShortAnswerTest, CapacityOfAShortListIsZero) {
  // A full answer would say 0x7F7F7F7F blocks if the stale bytes were read.
  for (std::size_t length = 0; length < 12; ++length) {
    Stale();
    platform.On(kReadFormatCapacities, Cut(Bytes(12, {{3, 8}, {8, 0x01}}), length));
    EXPECT_EQ(device->QueryCapacityBlocks(), 0u) << length;
  }
  platform.On(kReadFormatCapacities, Good(Bytes(12, {{3, 8}, {6, 0x01}, {8, 0x01}})));
  EXPECT_EQ(device->QueryCapacityBlocks(), 256u);
}

TEST_F(ShortAnswerTest, AtipWithoutBothTimesFallsToTheDiscInformation) {
  platform.On(kReadDiscInfo, Good(Bytes(24, {{17, 97}, {18, 26}, {19, 1}, {21, 79}})));
  for (std::size_t length = 0; length < 15; ++length) {
    Stale();
    platform.On(kReadToc, Cut(Bytes(16, {{1, 14}, {4, 0x80}, {6, 0xC0}, {8, 97}, {12, 74}}),
                              length));
    EXPECT_EQ(device->QueryAtipTime(AtipTime::kLeadIn), 972601u) << length;
    EXPECT_EQ(device->QueryAtipTime(AtipTime::kLeadOut), 790000u) << length;
  }
  // Disc information that stops short of its times gives none.
  platform.On(kReadToc, Good(Bytes(4)));
  platform.On(kReadDiscInfo, Good(Bytes(23, {{17, 97}})));
  Stale();
  EXPECT_EQ(device->QueryAtipTime(AtipTime::kLeadIn), 0u);
}

TEST_F(ShortAnswerTest, LayerCountNeedsItsByte) {
  for (std::size_t length = 0; length < 7; ++length) {
    Stale();
    platform.On(kReadDvdStructure, Cut(Bytes(36, {{6, 0x20}}), length));
    EXPECT_EQ(device->QueryLayerCount(), 0u) << length;
  }
}

TEST_F(ShortAnswerTest, CurrentProfileThatWasNotSentDoesNotNameTheDisc) {
  // A blank DVD+R in a DVD writer: the book type says DVD+R; a 7-byte configuration answer has
  // no whole current profile.
  platform.On(kModeSense, Good(Bytes(42, {{10, 0x08}, {11, 0x03}})));
  platform.On(kReadDvdStructure, Good(Bytes(36, {{4, 0xA1}, {9, 0x03}})));
  for (std::size_t length = 0; length < 8; ++length) {
    platform.On(kGetConfiguration, [length](const ScsiRequest& r) {
      if (r.cdb[1] == 2) {
        return Good(Bytes(16, {{11, 4}, {13, 0x1B}}));
      }
      return Cut(Bytes(8, {{6, 0x00}, {7, 0x10}}), length);  // DVD-ROM if it were read
    });
    Stale();
    EXPECT_EQ(device->QueryDiscType(), DiscType::kDvdPlusR) << length;
  }
}

TEST_F(ShortAnswerTest, ShortIdentifierAnswersGiveTheNextSourceOrNothing) {
  platform.On(kModeSense, Good(Bytes(42, {{10, 0x08}, {11, 0x03}})));
  platform.On(kGetConfiguration, [](const ScsiRequest& r) {
    return r.cdb[1] == 2 ? Good(Bytes(16, {{11, 4}, {13, 0x11}})) : Good(Bytes(8, {{7, 0x1A}}));
  });
  std::vector<uint8_t> physical = Bytes(36, {{4, 0x90}, {9, 0x03}});
  std::memcpy(&physical[23], "KVTESTIDW11", 11);
  platform.On(kReadDvdStructure, Good(physical));
  std::vector<uint8_t> vendor = Bytes(12);
  std::memcpy(vendor.data(), "VENDORIDV01", 11);
  char id[16];
  char type[16];
  for (std::size_t length = 0; length < 11; ++length) {
    platform.On(kVendor, Cut(vendor, length));
    Stale();
    device->ReadDvdPlusMediaId(id);
    device->ReadDvdPlusTypeId(type);
    EXPECT_STREQ(id, length >= 8 ? "VENDORID" : "KVTESTID") << length;
    EXPECT_STREQ(type, "W11") << length;
  }
  platform.On(kVendor, CheckCondition(0x05, 0x20));
  platform.On(kReadDvdStructure, Cut(physical, 33));
  Stale();
  EXPECT_STREQ(device->ReadDvdPlusTypeId(type), "");

  std::vector<uint8_t> prerecorded = Bytes(48);
  std::memcpy(&prerecorded[21], "MCC 01", 6);
  std::memcpy(&prerecorded[29], "RG20  ", 6);
  for (std::size_t length = 0; length < 35; ++length) {
    platform.On(kReadDvdStructure, Cut(prerecorded, length));
    Stale();
    EXPECT_STREQ(device->ReadDvdMinusMediaId(id), "") << length;
  }
  platform.On(kReadDvdStructure, Cut(prerecorded, 35));
  EXPECT_STREQ(device->ReadDvdMinusMediaId(id), "MCC 01RG20  ");
}

TEST_F(ShortAnswerTest, DriveTypeNeedsTheCapabilityBytes) {
  for (std::size_t length = 0; length < 12; ++length) {
    Stale();
    platform.On(kModeSense, Cut(Bytes(42, {{10, 0x08}, {11, 0x03}}), length));
    EXPECT_EQ(device->QueryDriveType(), DriveType::kUnknown) << length;
    EXPECT_FALSE(device->IsCdWriter()) << length;
  }
  // A profile list cut inside its descriptors counts only the descriptors that came.
  platform.On(kModeSense, Good(Bytes(42, {{10, 0x08}, {11, 0x03}})));
  platform.On(kGetConfiguration, Cut(Bytes(20, {{11, 8}, {13, 0x11}, {17, 0x1B}}), 14));
  Stale();
  EXPECT_EQ(device->QueryDriveType(), DriveType::kDvdMinusR);
}

}  // namespace
}  // namespace kv::test
