// The --json object built from facts, including facts the check never reached and texts that are
// not UTF-8.
#include <gtest/gtest.h>

#include <cstring>
#include <nlohmann/json.hpp>

#include "app/core/report_json.h"
#include "drive/drive_record.h"

namespace kv {
namespace {

DriveRecord SampleRecord() {
  DriveRecord drive;
  drive.DriveType = DriveType::kDvdDual;
  drive.DriveTypeName = "DVD DUAL ";
  std::strcpy(drive.Vendor, "ORVELIX ");
  std::strcpy(drive.Product, "KV-DW1648A      ");
  std::strcpy(drive.Revision, "1.04");
  std::strcpy(drive.RootPath, "sr0");
  drive.HostAdapter = 1;
  drive.PathId = 0;
  drive.Target = 2;
  drive.Lun = 0;
  return drive;
}

TEST(CheckJson, UnreachedFactsAreNull) {
  MediaCheckFacts facts;  // an exception ended the check before the first query
  nlohmann::json j = MediaCheckToJson(1, SampleRecord(), facts);
  EXPECT_FALSE(j["completed"].get<bool>());
  for (const char* key : {"type", "layers", "leadIn", "leadOut", "material", "mediaId", "typeId",
                          "capacity", "manufacturer", "speed"}) {
    EXPECT_TRUE(j["disc"][key].is_null()) << key;
  }
  // No drive type line either; the drive itself is as --list shows it.
  EXPECT_TRUE(j["drive"]["driveType"].is_null());
  EXPECT_EQ(j["drive"]["address"], "1-0-2-0");
  EXPECT_EQ(j["drive"]["vendor"], "ORVELIX");
  EXPECT_EQ(j["drive"]["product"], "KV-DW1648A");
}

// The report prints no capacity line for a capacity of 0 blocks; the JSON has no capacity then.
TEST(CheckJson, ZeroBlocksIsNoCapacity) {
  MediaCheckFacts facts;
  facts.capacityBlocks = 0;
  EXPECT_TRUE(MediaCheckToJson(1, SampleRecord(), facts)["disc"]["capacity"].is_null());
  facts.capacityBlocks = 2295104;
  facts.capacityGigabytes = 4.38;
  const nlohmann::json j = MediaCheckToJson(1, SampleRecord(), facts);
  EXPECT_EQ(j["disc"]["capacity"]["blocks"], 2295104);
  EXPECT_DOUBLE_EQ(j["disc"]["capacity"]["gigabytes"].get<double>(), 4.38);
}

TEST(CheckJson, CdFacts) {
  MediaCheckFacts facts;
  facts.driveType = DriveType::kDvdDual;
  facts.driveTypeName = "DVD DUAL ";
  facts.discType = DiscType::kCdrAPlus;
  facts.discTypeName = "CDR (A+)             ";
  facts.leadIn = 972565;
  facts.leadOut = 5;
  facts.material = "Phthalocyanine";
  facts.capacityMegabytes = 702.83;
  facts.speedKBps = 7056;
  facts.speedMultiple = 7056 / 176.0;
  facts.completed = true;
  nlohmann::json j = MediaCheckToJson(2, SampleRecord(), facts);
  EXPECT_EQ(j["disc"]["type"]["code"], 6);
  EXPECT_EQ(j["disc"]["type"]["name"], "CDR (A+)");
  EXPECT_EQ(j["disc"]["leadIn"]["time"], "97:25:65");
  EXPECT_EQ(j["disc"]["leadOut"]["time"], "00:00:05");
  EXPECT_EQ(j["disc"]["leadOut"]["value"], 5);
  EXPECT_TRUE(j["disc"]["manufacturer"].is_null());
  EXPECT_DOUBLE_EQ(j["disc"]["capacity"]["megabytes"].get<double>(), 702.83);
  EXPECT_DOUBLE_EQ(j["disc"]["speed"]["kBps"].get<double>(), 7056);
}

TEST(CheckJson, IdentifiersAsHexAndPrintableText) {
  MediaCheckFacts facts;
  facts.discType = DiscType::kDvdPlusR;
  facts.mediaId = {'A', 0x01, 0xC1, 0x00, 'Z', 0x7F, 0x20, 'q'};
  facts.typeId = {'R', '0', '3'};
  nlohmann::json j = MediaCheckToJson(1, SampleRecord(), facts);
  EXPECT_EQ(j["disc"]["mediaId"]["hex"], "41 01 C1 00 5A 7F 20 71");
  EXPECT_EQ(j["disc"]["mediaId"]["text"], "A...Z. q");
  EXPECT_EQ(j["disc"]["typeId"]["text"], "R03");
}

TEST(CheckJson, TextsThatAreNotUtf8StillDump) {
  DriveRecord drive = SampleRecord();
  std::strcpy(drive.Vendor, "\xC4\xD6\xFF");
  MediaCheckFacts facts;
  facts.discType = DiscType::kCdrAPlus;
  facts.manufacturer = std::string("Caf\xE9 Disc");
  facts.manufacturerFound = true;
  std::string text;
  ASSERT_NO_THROW(text = DumpJson(MediaCheckToJson(1, drive, facts)));
  nlohmann::json j = nlohmann::json::parse(text);
  EXPECT_EQ(j["disc"]["manufacturer"]["name"].get<std::string>().rfind("Caf", 0), 0u);
  EXPECT_EQ(j["disc"]["manufacturer"]["printed"].get<std::string>().rfind("Caf", 0), 0u);
}

TEST(CheckJson, UnterminatedRecordFieldsStayInsideTheirWidth) {
  DriveRecord drive = SampleRecord();
  std::memset(drive.Vendor, 'V', sizeof drive.Vendor);
  std::memset(drive.Revision, 'R', sizeof drive.Revision);
  nlohmann::json j = MediaCheckToJson(1, drive, MediaCheckFacts{});
  EXPECT_EQ(j["drive"]["vendor"], std::string(sizeof drive.Vendor, 'V'));
  EXPECT_EQ(j["drive"]["revision"], std::string(sizeof drive.Revision, 'R'));
}

}  // namespace
}  // namespace kv
