// Applying parameter lines to a property block inside a prototype image.
#include <gtest/gtest.h>

#include <functional>

#include "builder/parameter_file.h"
#include "builder_test_support.h"

namespace kv {
namespace {

using test::BlockAt;
using test::FieldText;
using test::PrototypeBlock;
using test::PrototypeImage;
using test::ZeroPadded;

constexpr std::size_t kBlockOffset = 4097;

std::string CdLine(int i) {
  char line[64];
  std::snprintf(line, sizeof line, "%06d_%06d=Maker %d", 100000 + i, 700000 + i, i);
  return line;
}

struct ApplyCase {
  const char* name;
  std::vector<std::string> lines;
  std::function<void(const PropertyBlock& before, const PropertyBlock& after)> check;
};

std::vector<std::string> Repeat(std::vector<std::string> head, int count,
                                const std::function<std::string(int)>& line) {
  for (int i = 0; i < count; ++i) {
    head.push_back(line(i));
  }
  return head;
}

bool SameBytes(const void* a, const void* b, std::size_t size) {
  return std::memcmp(a, b, size) == 0;
}

const std::vector<ApplyCase>& Cases() {
  static const std::vector<ApplyCase> cases = {
      {"LowerCaseKeyAndHeader",
       {"  [property]  ", "name=Lower Case", "\tmajor=4\t"},
       [](const PropertyBlock&, const PropertyBlock& after) {
         EXPECT_EQ(FieldText(after.Name), "Lower Case");
         EXPECT_EQ(FieldText(after.Major), "4");
       }},
      {"BlankBeforeEqualsMatchesNoKey",
       {"[PROPERTY]", "NAME =Spaced", "MAJOR\t=5"},
       [](const PropertyBlock& before, const PropertyBlock& after) {
         EXPECT_EQ(FieldText(after.Name), FieldText(before.Name));
         EXPECT_EQ(FieldText(after.Major), FieldText(before.Major));
       }},
      {"BlanksAfterEqualsBelongToValue",
       {"[PROPERTY]", "DATE=  2026/12/09"},
       [](const PropertyBlock&, const PropertyBlock& after) {
         EXPECT_EQ(FieldText(after.Date), "  2026/12/09");
       }},
      {"VersionNumbersCutToThree",
       {"[PROPERTY]", "MAJOR=123456", "MINOR=98765", "REV=4444"},
       [](const PropertyBlock&, const PropertyBlock& after) {
         EXPECT_EQ(FieldText(after.Major), "123");
         EXPECT_EQ(FieldText(after.Minor), "987");
         EXPECT_EQ(FieldText(after.Rev), "444");
       }},
      {"LongValuesCutToFieldWidthMinusOne",
       {"[PROPERTY]", "NAME=" + std::string(100, 'n'), "DATE=" + std::string(40, 'd'),
        "MODEL=" + std::string(200, 'm'), "[STEP1]", "STEP1=" + std::string(90, '1'), "[STEP2]",
        "STEP2=" + std::string(300, '2'), "[STEP3]", "STEP3=" + std::string(64, '3'), "[COPYRIGHT]",
        "COPYRIGHT=" + std::string(64, 'c')},
       [](const PropertyBlock&, const PropertyBlock& after) {
         EXPECT_EQ(FieldText(after.Name), std::string(63, 'n'));
         EXPECT_EQ(FieldText(after.Date), std::string(15, 'd'));
         EXPECT_EQ(FieldText(after.Model), std::string(127, 'm'));
         EXPECT_EQ(FieldText(after.Step1), std::string(63, '1'));
         EXPECT_EQ(FieldText(after.Step2), std::string(255, '2'));
         EXPECT_EQ(FieldText(after.Step3), std::string(63, '3'));
         EXPECT_EQ(FieldText(after.Copyright), std::string(63, 'c'));
         EXPECT_TRUE(ZeroPadded(after.Step2));
         EXPECT_TRUE(ZeroPadded(after.Name));
       }},
      {"EmptyNameEmptiesField",
       {"[PROPERTY]", "NAME="},
       [](const PropertyBlock&, const PropertyBlock& after) {
         EXPECT_TRUE(SameBytes(after.Name, std::string(64, '\0').data(), 64));
       }},
      {"LaterKeyWinsWithoutLeftovers",
       {"[PROPERTY]", "MODEL=A long first model text", "MODEL=Short"},
       [](const PropertyBlock&, const PropertyBlock& after) {
         EXPECT_EQ(FieldText(after.Model), "Short");
         EXPECT_TRUE(ZeroPadded(after.Model));
       }},
      {"KeyOfAnotherSectionIgnored",
       {"[PROPERTY]", "STEP1=Not here", "COPYRIGHT=Nor here", "[STEP2]", "STEP3=Wrong"},
       [](const PropertyBlock& before, const PropertyBlock& after) {
         EXPECT_EQ(FieldText(after.Step1), FieldText(before.Step1));
         EXPECT_EQ(FieldText(after.Copyright), FieldText(before.Copyright));
         EXPECT_EQ(FieldText(after.Step3), FieldText(before.Step3));
         EXPECT_EQ(FieldText(after.Step2), FieldText(before.Step2));
       }},
      {"LinesBeforeFirstHeaderIgnored",
       {"NAME=Too early", CdLine(1), "[STEP1]", "STEP1=Ok"},
       [](const PropertyBlock& before, const PropertyBlock& after) {
         EXPECT_EQ(FieldText(after.Name), FieldText(before.Name));
         EXPECT_TRUE(SameBytes(after.CdTable, before.CdTable, sizeof after.CdTable));
         EXPECT_EQ(FieldText(after.Step1), "Ok");
       }},
      {"UnknownBracketLineStaysInSection",
       {"[PROPERTY]", "[NOTHING]", "NAME=Still property"},
       [](const PropertyBlock&, const PropertyBlock& after) {
         EXPECT_EQ(FieldText(after.Name), "Still property");
       }},
      {"RemarkWithEmptyLineBeforeCd",
       {"[REMARK]", "REMARK=A", "REMARK=", "REMARK=B", "not a remark line", "[CD]"},
       [](const PropertyBlock&, const PropertyBlock& after) {
         EXPECT_EQ(FieldText(after.Remark), "A\n\nB\n");
         EXPECT_TRUE(ZeroPadded(after.Remark));
       }},
      {"RemarkAsLastSectionStored",
       {"[PROPERTY]", "NAME=X", "[REMARK]", "remark=  indented"},
       [](const PropertyBlock&, const PropertyBlock& after) {
         EXPECT_EQ(FieldText(after.Remark), "  indented\n");
       }},
      {"RemarkHeaderAloneClearsRemark",
       {"[REMARK]"},
       [](const PropertyBlock&, const PropertyBlock& after) {
         EXPECT_TRUE(SameBytes(after.Remark, std::string(1024, '\0').data(), 1024));
       }},
      {"RemarkLongerThanFieldCutTo1023",
       Repeat({"[REMARK]"}, 40, [](int) { return "REMARK=" + std::string(49, 'r'); }),
       [](const PropertyBlock&, const PropertyBlock& after) {
         EXPECT_EQ(FieldText(after.Remark).size(), 1023u);
         EXPECT_EQ(after.Remark[1023], '\0');
       }},
      {"SecondRemarkSectionStartsAfresh",
       {"[REMARK]", "REMARK=old", "[STEP1]", "[REMARK]", "REMARK=new"},
       [](const PropertyBlock&, const PropertyBlock& after) {
         EXPECT_EQ(FieldText(after.Remark), "new\n");
       }},
      {"SixHundredCdLinesStoreFiveHundred", Repeat({"[CD]"}, 600, CdLine),
       [](const PropertyBlock&, const PropertyBlock& after) {
         EXPECT_EQ(FieldText(after.CdTable[0].Name), "Maker 0");
         EXPECT_EQ(FieldText(after.CdTable[499].Name), "Maker 499");
         EXPECT_EQ(std::string(after.CdTable[499].LeadIn, 6), "100499");
       }},
      {"InvalidCdLinesUseNoSlot",
       {"[CD]", "too_short=x", CdLine(7), "", "97256X795974Y", CdLine(8)},
       [](const PropertyBlock&, const PropertyBlock& after) {
         EXPECT_EQ(FieldText(after.CdTable[0].Name), "Maker 7");
         EXPECT_EQ(FieldText(after.CdTable[1].Name), "Maker 8");
         EXPECT_EQ(after.CdTable[2].LeadIn[0], '\0');
       }},
      {"NoCdSectionKeepsPrototypeTable",
       {"[PROPERTY]", "NAME=X", "[DVD]"},
       [](const PropertyBlock& before, const PropertyBlock& after) {
         EXPECT_TRUE(SameBytes(after.CdTable, before.CdTable, sizeof after.CdTable));
         EXPECT_EQ(after.DvdTable[0].Name[0], '\0');
       }},
      {"CdHeaderAloneEmptiesTable",
       {"[CD]"},
       [](const PropertyBlock&, const PropertyBlock& after) {
         EXPECT_TRUE(SameBytes(after.CdTable, std::vector<char>(31000).data(), 31000));
       }},
      {"SecondCdSectionClearsAndStartsOver",
       {"[CD]", CdLine(1), CdLine(2), "[CD]", CdLine(3)},
       [](const PropertyBlock&, const PropertyBlock& after) {
         EXPECT_EQ(FieldText(after.CdTable[0].Name), "Maker 3");
         EXPECT_EQ(after.CdTable[1].LeadIn[0], '\0');
       }},
      {"DvdRecordsFromZero",
       {"[dvd]", "4d4b4d3031303030303030ff=Lower hex", "4D4B4D3031303030303030FF=Upper hex"},
       [](const PropertyBlock&, const PropertyBlock& after) {
         EXPECT_EQ(after.DvdTable[0].Identifier[0], 0x4D);
         EXPECT_EQ(after.DvdTable[0].Identifier[11], 0xFF);
         EXPECT_TRUE(SameBytes(after.DvdTable[0].Identifier, after.DvdTable[1].Identifier, 12));
         EXPECT_EQ(FieldText(after.DvdTable[1].Name), "Upper hex");
       }},
      {"BadHexBeyondFullDvdTableIgnored",
       Repeat({"[DVD]"}, 501,
              [](int i) {
                return i < 500 ? "000000000000000000000000=Dvd" : "ZZ0000000000000000000000=Bad";
              }),
       [](const PropertyBlock&, const PropertyBlock& after) {
         EXPECT_EQ(FieldText(after.DvdTable[499].Name), "Dvd");
       }},
      {"CounterSharedAcrossTableHeaders",
       {"[CD]", CdLine(1), "[DVD]", "000000000000000000000001=D", "[CD]", CdLine(2)},
       [](const PropertyBlock&, const PropertyBlock& after) {
         EXPECT_EQ(FieldText(after.CdTable[0].Name), "Maker 2");
         EXPECT_EQ(FieldText(after.DvdTable[0].Name), "D");
       }},
  };
  return cases;
}

class ApplyParametersTest : public testing::TestWithParam<ApplyCase> {};

TEST_P(ApplyParametersTest, AppliesAndClearsBuildFlag) {
  std::vector<uint8_t> image = PrototypeImage();
  const std::vector<uint8_t> original = image;
  const ApplyResult result = ApplyParameters(GetParam().lines, image, kBlockOffset);
  ASSERT_TRUE(result.ok) << result.error;

  const auto before = BlockAt(original, kBlockOffset);
  const auto after = BlockAt(image, kBlockOffset);
  GetParam().check(*before, *after);
  EXPECT_EQ(std::string(after->BuildMode, 12), std::string("BUILDMODE=0\0", 12));
  EXPECT_TRUE(SameBytes(after->Marker, before->Marker, sizeof after->Marker));
  // Nothing outside the block moves.
  EXPECT_TRUE(std::equal(image.begin(), image.begin() + kBlockOffset, original.begin()));
  EXPECT_TRUE(std::equal(image.begin() + kBlockOffset + sizeof(PropertyBlock), image.end(),
                         original.begin() + kBlockOffset + sizeof(PropertyBlock)));
}

INSTANTIATE_TEST_SUITE_P(Lines, ApplyParametersTest, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<ApplyCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(ApplyParametersEdges, EmptyLinesChangeOnlyTheFlag) {
  std::vector<uint8_t> image = PrototypeImage();
  const std::vector<uint8_t> original = image;
  ASSERT_TRUE(ApplyParameters({}, image, kBlockOffset).ok);
  for (std::size_t i = 0; i < image.size(); ++i) {
    if (i == kBlockOffset + block_offset::kBuildFlag) {
      EXPECT_EQ(image[i], '0');
    } else {
      ASSERT_EQ(image[i], original[i]) << "byte " << i;
    }
  }
}

struct ConversionCase {
  const char* name;
  std::string line;
  std::string error;
};

class ConversionErrorTest : public testing::TestWithParam<ConversionCase> {};

TEST_P(ConversionErrorTest, StopsAndLeavesImageUntouched) {
  std::vector<uint8_t> image = PrototypeImage();
  const std::vector<uint8_t> original = image;
  const std::vector<std::string> lines = {"[PROPERTY]", "NAME=Changed",  "[CD]",    CdLine(1),
                                          "[DVD]",      GetParam().line, "[STEP1]", "STEP1=After"};
  const ApplyResult result = ApplyParameters(lines, image, kBlockOffset);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, GetParam().error);
  EXPECT_TRUE(image == original) << "a stopped build must not change the image";
}

INSTANTIATE_TEST_SUITE_P(BadHex, ConversionErrorTest,
                         testing::Values(ConversionCase{"FirstPair", "ZZ0000000000000000000000=Bad",
                                                        "'0xZZ' is not a valid integer value"},
                                         ConversionCase{"LastPair", "0000000000000000000000G1=Bad",
                                                        "'0xG1' is not a valid integer value"},
                                         ConversionCase{"BlankInside",
                                                        "00000000 000000000000000=Bad",
                                                        "'0x 0' is not a valid integer value"}),
                         [](const testing::TestParamInfo<ConversionCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(ApplyParametersEdges, BlockPastImageEndRefused) {
  std::vector<uint8_t> image = PrototypeImage(16, 0);
  image.pop_back();
  const std::vector<uint8_t> original = image;
  for (const std::size_t offset : {std::size_t{16}, image.size(), image.size() + 10}) {
    const ApplyResult result = ApplyParameters({"[CD]"}, image, offset);
    EXPECT_FALSE(result.ok) << offset;
    EXPECT_FALSE(result.error.empty());
    EXPECT_TRUE(image == original);
  }
}

TEST(ApplyParametersEdges, BlockEndingExactlyAtImageEndAccepted) {
  std::vector<uint8_t> image = PrototypeImage(16, 0);
  EXPECT_TRUE(ApplyParameters({"[PROPERTY]", "NAME=Edge"}, image, 16).ok);
  EXPECT_EQ(FieldText(BlockAt(image, 16)->Name), "Edge");
}

}  // namespace
}  // namespace kv
