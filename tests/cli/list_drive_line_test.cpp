// The drive line shared by the window and `krellvane --list`.
#include <gtest/gtest.h>
#include "support/text_field.h"

#include <cstring>

#include "app/core/drive_line.h"

namespace kv {
namespace {

TEST(DriveColumn, NodeNumbersAndOtherRoots) {
  const struct {
    const char* root;
    const char* column;
  } cases[] = {
      {"sr0", "0:"},    {"sr9", "9:"},  {"sr10", "10"}, {"sr99", "99"},
      {"sr123", "123"}, {"E:\\", "E:"}, {"", ""},       {"X", "X"},
      {"srx", "sr"},    {"sr", "sr"},   {"sr1a", "sr"}, {"sda", "sd"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DriveColumn(c.root), c.column) << '"' << c.root << '"';
  }
  EXPECT_EQ(DriveColumn(nullptr), "");
}

DriveRecord Record(int16_t ha, int16_t path, int16_t target, int16_t lun, const char* root,
                   const char* name, const char* revision) {
  DriveRecord drive;
  drive.HostAdapter = ha;
  drive.PathId = path;
  drive.Target = target;
  drive.Lun = lun;
  test::CopyField(drive.RootPath, root);
  test::CopyField(drive.DisplayName, name);
  test::CopyField(drive.Revision, revision);
  drive.Present = 1;
  return drive;
}

TEST(DriveLine, Layout) {
  const struct {
    DriveRecord drive;
    const char* line;
  } cases[] = {
      {Record(1, 0, 2, 0, "sr0", "ORVELIX KV-DW1648A      ", "1.04"),
       " 1-0-2-0 0:ORVELIX KV-DW1648A       1.04"},
      {Record(0, 0, 1, 0, "", "ORVELIX KV-DW1648A      ", "1.04"),
       " 0-0-1-0 ORVELIX KV-DW1648A       1.04"},  // a manager's drive shows no column
      {Record(12, 3, 15, 7, "sr10", "SHORT", "A"), "12-3-15-7 10                   SHORT    A"},
      {Record(2, 0, 0, 0, "E:\\", "", ""), " 2-0-0-0 E:                             "},
      {Record(-1, -1, -1, -1, "sr1", "X", "1"), "-1--1--1--1 1:                       X    1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatDriveLine(c.drive), c.line);
  }
}

TEST(DriveLine, FieldsWithoutTerminatorStayInsideTheirField) {
  DriveRecord drive;
  std::memset(drive.RootPath, 's', sizeof drive.RootPath);
  std::memset(drive.DisplayName, 'N', sizeof drive.DisplayName);
  std::memset(drive.Revision, 'R', sizeof drive.Revision);
  std::memset(drive.VendorSpecific, 'V', sizeof drive.VendorSpecific);

  const std::string line = FormatDriveLine(drive);

  EXPECT_EQ(line, " 0-0-0-0 ss" + std::string(32, 'N') + " RRRRR");
}

TEST(DriveLine, ListedWhenItWritesCdrOrIsCdrwOrAbove) {
  const struct {
    uint8_t cdWriter;
    DriveType driveType;
    bool listed;
  } cases[] = {{0, DriveType::kUnknown, false},  {0, DriveType::kCdRom, false},
               {0, DriveType::kDvdRom, false},   {0, DriveType::kCdRw, true},
               {0, DriveType::kDvdMinusR, true}, {0, DriveType::kDvdDual, true},
               {1, DriveType::kUnknown, true},   {1, DriveType::kDvdRom, true}};
  for (const auto& c : cases) {
    DriveRecord drive;
    drive.CdWriter = c.cdWriter;
    drive.DriveType = c.driveType;
    EXPECT_EQ(IsListedDrive(drive), c.listed) << int{c.cdWriter} << '/' << int{Code(c.driveType)};
  }
}

}  // namespace
}  // namespace kv
