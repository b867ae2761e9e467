#include "media/text_lines.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kv {
namespace {

struct PiecesCase {
  const char* label;
  std::string input;
  std::vector<std::string> pieces;
};

class ReadLinePiecesTest : public ::testing::TestWithParam<PiecesCase> {};

TEST_P(ReadLinePiecesTest, SplitsAsTextModeReadsWould) {
  std::istringstream in(GetParam().input);
  EXPECT_EQ(ReadLinePieces(in), GetParam().pieces);
}

// The same pieces when the bytes arrive one at a time, so a carriage return, a cut or a line
// feed may fall on any boundary between reads.
TEST_P(ReadLinePiecesTest, SplitterGivesTheSamePiecesByteByByte) {
  std::vector<std::string> pieces;
  LinePieceSplitter splitter([&pieces](std::string_view piece) {
    pieces.emplace_back(piece);
    return true;
  });
  for (const char c : GetParam().input) {
    splitter.Feed(std::string_view(&c, 1));
  }
  splitter.Finish();
  EXPECT_EQ(pieces, GetParam().pieces);
}

const std::string k2047(2047, 'a');

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadLinePiecesTest,
    ::testing::Values(PiecesCase{"Empty", "", {}}, PiecesCase{"NoFinalNewline", "a\nb", {"a", "b"}},
                      PiecesCase{"CrLfDropsCr", "a\r\nb\r\n", {"a", "b"}},
                      PiecesCase{"LoneCrKept", "a\rb\n", {"a\rb"}},
                      PiecesCase{"CrCrLfKeepsFirstCr", "a\r\r\n", {"a\r"}},
                      PiecesCase{"EmptyLinesKept", "\n\nx\n", {"", "", "x"}},
                      PiecesCase{"ExactPieceLength", k2047 + "\nz\n", {k2047, "z"}},
                      PiecesCase{"OneOverPieceLength", k2047 + "b\n", {k2047, "b"}},
                      PiecesCase{"TwoFullPieces", k2047 + k2047 + "\n", {k2047, k2047}},
                      PiecesCase{"CrLfAfterFullPiece", k2047 + "\r\n", {k2047}},
                      PiecesCase{
                          "EmbeddedZeroKept", std::string("a\0b\n", 4), {std::string("a\0b", 3)}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(LinePieceSplitterTest, StopsWhenTheSinkSaysSoAndIgnoresTheRest) {
  std::vector<std::string> pieces;
  LinePieceSplitter splitter([&pieces](std::string_view piece) {
    pieces.emplace_back(piece);
    return pieces.size() < 2;
  });
  EXPECT_FALSE(splitter.Feed("a\nb\nc\n"));
  EXPECT_FALSE(splitter.Feed("d\n"));
  splitter.Finish();
  EXPECT_EQ(pieces, (std::vector<std::string>{"a", "b"}));
}

TEST(TrimControlTest, RemovesCodesZeroToThirtyTwoOnlyAtEnds) {
  const struct {
    std::string in;
    std::string out;
  } cases[] = {
      {"", ""},
      {" \t\r\n", ""},
      {std::string("\0\x01 x y\x1f\x20", 8), "x y"},
      {"\x21x\x21", "\x21x\x21"},
      {"\x7f", "\x7f"},
      {"\xa0 name \xff", "\xa0 name \xff"},  // upper-half bytes are not blanks
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TrimControl(c.in), c.out) << c.in;
  }
}

TEST(NoCaseTest, ComparesAsciiLettersOnlyWithoutCase) {
  EXPECT_TRUE(EqualsNoCase("[dvd]", "[DVD]"));
  EXPECT_TRUE(EqualsNoCase("", ""));
  EXPECT_FALSE(EqualsNoCase("[CD]", "[CD] "));
  EXPECT_FALSE(EqualsNoCase("[CD", "[CD]"));
  EXPECT_FALSE(EqualsNoCase("@", "`"));  // neighbours of the letter ranges stay distinct
  EXPECT_FALSE(EqualsNoCase("[", "{"));
  EXPECT_TRUE(StartsWithNoCase("name=Foo", "NAME="));
  EXPECT_TRUE(StartsWithNoCase("NAME=", "name="));
  EXPECT_FALSE(StartsWithNoCase("NAM", "NAME="));
  EXPECT_TRUE(StartsWithNoCase("anything", ""));
}

}  // namespace
}  // namespace kv
