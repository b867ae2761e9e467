// Reading the prototype and locating its property block; reading parameter files.
#include <gtest/gtest.h>

#include "builder/parameter_file.h"
#include "builder/prototype.h"
#include "builder_test_support.h"
#include "os/own_program.h"

namespace kv {
namespace {

using test::kTestMarker;
using test::TempFolder;

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

struct FindCase {
  const char* name;
  std::string image;
  std::size_t size;  // bytes of the image to search
  std::optional<std::size_t> offset;
};

class FindBlockTest : public testing::TestWithParam<FindCase> {};

TEST_P(FindBlockTest, FirstCaseInsensitiveOccurrence) {
  const std::vector<uint8_t> image = Bytes(GetParam().image);
  EXPECT_EQ(FindBlock(image, GetParam().size, kTestMarker), GetParam().offset);
}

const std::string kMarker = kTestMarker;

INSTANTIATE_TEST_SUITE_P(
    Images, FindBlockTest,
    testing::Values(FindCase{"AtStart", kMarker + "rest", 15, 0},
                    FindCase{"AtVeryEnd", "abc" + kMarker, 14, 3},
                    FindCase{"LowerCase", "xx" + std::string("testmark-xy"), 13, 2},
                    FindCase{"FirstOfTwo", "a" + kMarker + "b" + kMarker, 24, 1},
                    FindCase{"Absent", "nothing to see here at all", 26, std::nullopt},
                    FindCase{"CutShortAtEnd", "abc" + kMarker.substr(0, 10), 13, std::nullopt},
                    FindCase{"BeyondSearchedSize", "abc" + kMarker, 13, std::nullopt},
                    FindCase{"SizeLargerThanImage", kMarker, 500, 0},
                    FindCase{"EmptyImage", "", 0, std::nullopt}),
    [](const testing::TestParamInfo<FindCase>& info) { return std::string(info.param.name); });

TEST(FindBlockEdges, EmptySearchTextFindsNothing) {
  EXPECT_EQ(FindBlock(Bytes("anything"), 8, ""), std::nullopt);
}

TEST(FindBlockEdges, WholeBlockMustFitInImage) {
  std::vector<uint8_t> image = test::PrototypeImage(7, 0);
  EXPECT_EQ(FindWholeBlock(image, image.size(), kTestMarker), std::optional<std::size_t>(7));
  EXPECT_EQ(FindWholeBlock(image, image.size() - 1, kTestMarker), std::nullopt);
  image.resize(image.size() - 100);
  EXPECT_EQ(FindWholeBlock(image, image.size(), kTestMarker), std::nullopt);
}

TEST(LoadPrototypeTest, ReadsWholeFileIntoLargerBuffer) {
  TempFolder folder;
  const std::vector<uint8_t> content = test::PrototypeImage(3, 5);
  test::WriteText(folder / "proto", std::string(content.begin(), content.end()));
  std::vector<uint8_t> image;
  std::size_t size = 0;
  ASSERT_TRUE(LoadPrototype((folder / "proto").string(), image, size));
  EXPECT_EQ(size, content.size());
  EXPECT_EQ(image.size(), content.size() + 1);
  EXPECT_TRUE(std::equal(content.begin(), content.end(), image.begin()));
}

TEST(LoadPrototypeTest, UnreadableInputsRefusedAndKeepOldImage) {
  TempFolder folder;
  std::filesystem::create_directory(folder / "dir");
  for (const std::filesystem::path& path : {folder / "missing", folder / "dir"}) {
    std::vector<uint8_t> image = {1, 2, 3};
    std::size_t size = 3;
    EXPECT_FALSE(LoadPrototype(path.string(), image, size)) << path;
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(image.size(), 3u);
  }
}

TEST(LoadPrototypeTest, OwnProgramIsThisTestBinary) {
  const std::string path = OwnProgramPath();
  EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
  std::vector<uint8_t> image;
  std::size_t size = 0;
  ASSERT_TRUE(LoadPrototype(path, image, size));
  EXPECT_EQ(size, std::filesystem::file_size(path));
}

TEST(ReadParameterFileTest, LinesInPiecesWithCarriageReturnsDropped) {
  TempFolder folder;
  const std::string longLine(2047 + 10, 'x');
  test::WriteText(folder / "p.txt", "[PROPERTY]\r\nNAME=A\r\n" + longLine + "\nlast");
  std::vector<std::string> lines = {"kept"};
  ASSERT_TRUE(ReadParameterFile((folder / "p.txt").string(), lines));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "kept");
  EXPECT_EQ(lines[1].find('\r'), std::string::npos);
  EXPECT_EQ(lines[3].size(), 2047u);
  EXPECT_EQ(lines[4], std::string(10, 'x'));
  EXPECT_EQ(lines[5], "last");
}

TEST(ReadParameterFileTest, MissingFileIsFalseAndListUntouched) {
  std::vector<std::string> lines = {"kept"};
  EXPECT_FALSE(ReadParameterFile("/nonexistent/kv/params.txt", lines));
  EXPECT_EQ(lines, std::vector<std::string>{"kept"});
}

}  // namespace
}  // namespace kv
