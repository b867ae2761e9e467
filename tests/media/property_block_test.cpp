#include "media/property_block.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kv {
namespace {

template <std::size_t N>
std::string Text(const char (&field)[N]) {
  return std::string(field, strnlen(field, N));
}

std::vector<char> ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Every case-insensitive position of the block's own marker text in the image.
std::vector<std::size_t> MarkerPositions(const std::vector<char>& image) {
  std::string lowered(image.begin(), image.end());
  std::transform(lowered.begin(), lowered.end(), lowered.begin(), Lower);
  std::string marker = Text(Block().Marker);
  std::transform(marker.begin(), marker.end(), marker.begin(), Lower);
  std::vector<std::size_t> found;
  for (std::size_t at = lowered.find(marker); at != std::string::npos;
       at = lowered.find(marker, at + 1)) {
    found.push_back(at);
  }
  return found;
}

TEST(PropertyBlockDefaultsTest, FieldsHoldTheEditionDefaults) {
  const PropertyBlock& b = Block();
  const struct {
    const char* field;
    std::string actual;
    std::string expected;
  } cases[] = {
      {"Marker", Text(b.Marker), "VOSK'S TOOL"},
      {"BuildMode", Text(b.BuildMode), "BUILDMODE=0"},
      {"Name", Text(b.Name), "Krell-Vane Media Check"},
      {"Date", Text(b.Date), "2004/02/19"},
      {"Major", Text(b.Major), "3"},
      {"Minor", Text(b.Minor), "1"},
      {"Rev", Text(b.Rev), "7"},
      {"Model", Text(b.Model), "for ORVELIX CD-RW, COMBO, DVD Writer"},
      {"Step1", Text(b.Step1), "Select a target CD-RW/COMBO/DVD Writer"},
      {"Step3", Text(b.Step3), "The information of this media as :"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.actual, c.expected) << c.field;
  }
  EXPECT_FALSE(IsBuildMode());
}

TEST(PropertyBlockDefaultsTest, LongTextsHaveTheirExactLengths) {
  const PropertyBlock& b = Block();
  EXPECT_EQ(Text(b.Remark).size(), 703u);
  EXPECT_EQ(Text(b.Copyright).size(), 54u);
  EXPECT_EQ(Text(b.Copyright).rfind("Copyright (C) 2004 ORVELIX ", 0), 0u);
  const std::string step2 = Text(b.Step2);
  EXPECT_EQ(step2.size(), 204u);
  EXPECT_NE(step2.find("click \"?\" button"), std::string::npos);
  EXPECT_EQ(step2.rfind("Insert your CD-R/RW", 0), 0u);
}

TEST(PropertyBlockDefaultsTest, RemarkHasThreeIndentedParagraphsOfShortLines) {
  const std::string remark = Text(Block().Remark);
  ASSERT_FALSE(remark.empty());
  EXPECT_EQ(remark.back(), '\n');
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t nl; (nl = remark.find('\n', start)) != std::string::npos; start = nl + 1) {
    lines.push_back(remark.substr(start, nl - start));
  }
  EXPECT_EQ(start, remark.size());  // nothing after the last line feed
  int paragraphs = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_LE(lines[i].size(), 64u) << lines[i];
    const bool opens = i == 0 || lines[i - 1].empty();
    if (lines[i].empty()) {
      EXPECT_FALSE(opens) << "two empty lines at " << i;
      continue;
    }
    EXPECT_EQ(lines[i].rfind("    ", 0) == 0, opens) << lines[i];
    EXPECT_NE(lines[i][opens ? 4 : 0], ' ') << lines[i];
    paragraphs += opens ? 1 : 0;
  }
  EXPECT_EQ(paragraphs, 3);
  EXPECT_NE(remark.find("KRELL-VANE Speed\nLimit"), std::string::npos);
}

TEST(PropertyBlockDefaultsTest, TextFieldsAreZeroPaddedAndTablesEmpty) {
  const PropertyBlock& b = Block();
  const auto* bytes = reinterpret_cast<const unsigned char*>(&b);
  // The padding after each default text, up to the field's end, is zero.
  const std::array<std::pair<std::size_t, std::size_t>, 13> fields = {{
      {block_offset::kMarker, 12},
      {block_offset::kBuildMode, 12},
      {block_offset::kName, 64},
      {block_offset::kDate, 16},
      {block_offset::kMajor, 4},
      {block_offset::kMinor, 4},
      {block_offset::kRev, 4},
      {block_offset::kModel, 128},
      {block_offset::kRemark, 1024},
      {block_offset::kStep1, 64},
      {block_offset::kStep2, 256},
      {block_offset::kStep3, 64},
      {block_offset::kCopyright, 64},
  }};
  for (const auto& [offset, width] : fields) {
    const std::size_t length = strnlen(reinterpret_cast<const char*>(bytes + offset), width);
    ASSERT_LT(length, width) << offset;
    for (std::size_t i = offset + length; i < offset + width; ++i) {
      ASSERT_EQ(bytes[i], 0) << "field at " << offset << ", byte " << i;
    }
  }
  EXPECT_TRUE(std::all_of(bytes + block_offset::kCdTable, bytes + block_offset::kEnd,
                          [](unsigned char c) { return c == 0; }));
}

TEST(PropertyBlockImageTest, ProgramFileHoldsTheBlockOnceAndUnchanged) {
  const std::vector<char> image = ReadAll(KV_PROGRAM_PATH);
  ASSERT_FALSE(image.empty()) << KV_PROGRAM_PATH;
  const std::vector<std::size_t> found = MarkerPositions(image);
  ASSERT_EQ(found.size(), 1u) << "the marker text must occur exactly once in the program";
  ASSERT_LE(found[0] + sizeof(PropertyBlock), image.size());
  EXPECT_EQ(std::memcmp(image.data() + found[0], &Block(), sizeof(PropertyBlock)), 0);
}

// Runs a patched copy of the program and shows that it follows the patched bytes.
class PatchedProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kv-media-patch-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    image_ = ReadAll(KV_PROGRAM_PATH);
    const std::vector<std::size_t> found = MarkerPositions(image_);
    ASSERT_EQ(found.size(), 1u);
    block_ = found[0];
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string RunPatchedVersion(const std::vector<char>& image) {
    const std::filesystem::path copy = dir_ / "krellvane";
    {
      std::ofstream out(copy, std::ios::binary);
      out.write(image.data(), static_cast<std::streamsize>(image.size()));
    }
    std::filesystem::permissions(copy, std::filesystem::perms::owner_all);
    FILE* pipe = popen(("'" + copy.string() + "' --version").c_str(), "r");
    if (pipe == nullptr) {
      return "";
    }
    char line[512] = {};
    std::string first = fgets(line, sizeof line, pipe) != nullptr ? line : "";
    while (fgets(line, sizeof line, pipe) != nullptr) {
    }
    pclose(pipe);
    if (!first.empty() && first.back() == '\n') {
      first.pop_back();
    }
    return first;
  }

  std::filesystem::path dir_;
  std::vector<char> image_;
  std::size_t block_ = 0;
};

TEST_F(PatchedProgramTest, UnpatchedCopyShowsTheDefaults) {
  EXPECT_EQ(RunPatchedVersion(image_), "Krell-Vane Media Check v3.1.7");
}

TEST_F(PatchedProgramTest, FollowsPatchedNameAndVersionBytes) {
  const struct {
    std::string name;
    char major;
    std::string title;
  } cases[] = {
      {"Other Edition", '4', "Other Edition v4.1.7"},
      {std::string(63, 'N'), '3', std::string(63, 'N') + " v3.1.7"},  // the field's full width
  };
  for (const auto& c : cases) {
    std::vector<char> image = image_;
    std::fill_n(image.begin() + static_cast<long>(block_ + block_offset::kName), 64, '\0');
    std::copy(c.name.begin(), c.name.end(),
              image.begin() + static_cast<long>(block_ + block_offset::kName));
    image[block_ + block_offset::kMajor] = c.major;
    EXPECT_EQ(RunPatchedVersion(image), c.title);
  }
}

TEST_F(PatchedProgramTest, FollowsThePatchedBuildFlag) {
  const struct {
    char flag;
    const char* title;
  } cases[] = {
      {'1', "Krell-Vane Media Check v3.1.7 (builder edition)"},
      {'0', "Krell-Vane Media Check v3.1.7"},
      {'2', "Krell-Vane Media Check v3.1.7"},
      {'x', "Krell-Vane Media Check v3.1.7"},
  };
  for (const auto& c : cases) {
    std::vector<char> image = image_;
    image[block_ + block_offset::kBuildFlag] = c.flag;
    EXPECT_EQ(RunPatchedVersion(image), c.title) << c.flag;
  }
}

}  // namespace
}  // namespace kv
