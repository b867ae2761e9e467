#include "builder/parameter_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <new>
#include <optional>
#include <string_view>

#include "media/property_block.h"
#include "media/record_lines.h"
#include "media/text_lines.h"
#include "os/input_file.h"

namespace kv {

namespace {

enum class Section { None, Property, Step1, Step2, Step3, Copyright, Remark, Cd, Dvd };

struct Header {
  std::string_view text;
  Section section;
};

constexpr std::array kHeaders{
    Header{"[PROPERTY]", Section::Property},
    Header{"[STEP1]", Section::Step1},
    Header{"[STEP2]", Section::Step2},
    Header{"[STEP3]", Section::Step3},
    Header{"[COPYRIGHT]", Section::Copyright},
    Header{"[REMARK]", Section::Remark},
    Header{"[CD]", Section::Cd},
    Header{"[DVD]", Section::Dvd},
};

// A KEY= line and where its value goes. The line is cut to lineCut characters before the value is
// taken, which keeps the value below the field width.
struct KeyField {
  std::string_view key;
  std::size_t offset;
  std::size_t width;
  std::size_t lineCut;
};

constexpr std::array kPropertyKeys{
    KeyField{"NAME=", block_offset::kName, sizeof(PropertyBlock::Name), 68},
    KeyField{"MAJOR=", block_offset::kMajor, sizeof(PropertyBlock::Major), 9},
    KeyField{"MINOR=", block_offset::kMinor, sizeof(PropertyBlock::Minor), 9},
    KeyField{"REV=", block_offset::kRev, sizeof(PropertyBlock::Rev), 7},
    KeyField{"DATE=", block_offset::kDate, sizeof(PropertyBlock::Date), 20},
    KeyField{"MODEL=", block_offset::kModel, sizeof(PropertyBlock::Model), 133},
};
constexpr KeyField kStep1Key{"STEP1=", block_offset::kStep1, sizeof(PropertyBlock::Step1), 69};
constexpr KeyField kStep2Key{"STEP2=", block_offset::kStep2, sizeof(PropertyBlock::Step2), 261};
constexpr KeyField kStep3Key{"STEP3=", block_offset::kStep3, sizeof(PropertyBlock::Step3), 69};
constexpr KeyField kCopyrightKey{"COPYRIGHT=", block_offset::kCopyright,
                                 sizeof(PropertyBlock::Copyright), 73};

constexpr bool CutKeepsValueInField(const KeyField& field) {
  return field.lineCut - field.key.size() <= field.width - 1;
}
static_assert(std::all_of(kPropertyKeys.begin(), kPropertyKeys.end(), CutKeepsValueInField));
static_assert(CutKeepsValueInField(kStep1Key) && CutKeepsValueInField(kStep2Key) &&
              CutKeepsValueInField(kStep3Key) && CutKeepsValueInField(kCopyrightKey));

constexpr std::string_view kRemarkKey = "REMARK=";
constexpr std::size_t kRemarkWidth = sizeof(PropertyBlock::Remark);
constexpr std::string_view kBuildModeNormal = "BUILDMODE=0";
static_assert(kBuildModeNormal.size() == sizeof(PropertyBlock::BuildMode) - 1);

// The block being rewritten: a private copy, so that a build stopped by an error changes nothing.
class BlockWriter {
 public:
  explicit BlockWriter(std::span<const uint8_t> block) {
    std::copy(block.begin(), block.end(), bytes_.begin());
  }

  void Fill(std::size_t offset, std::size_t width) {
    std::fill_n(bytes_.begin() + offset, width, uint8_t{0});
  }
  void Put(std::size_t offset, std::string_view text) {
    std::copy(text.begin(), text.end(), bytes_.begin() + offset);
  }
  void Put(std::size_t offset, const void* data, std::size_t size) {
    std::memcpy(bytes_.data() + offset, data, size);
  }
  const std::array<uint8_t, block_offset::kEnd>& Bytes() const { return bytes_; }

 private:
  std::array<uint8_t, block_offset::kEnd> bytes_{};
};

bool ApplyKey(std::string_view line, const KeyField& field, BlockWriter& block) {
  if (!StartsWithNoCase(line, field.key)) {
    return false;
  }
  const std::string_view cut = line.substr(0, std::min(line.size(), field.lineCut));
  block.Fill(field.offset, field.width);
  block.Put(field.offset, cut.substr(field.key.size()));
  return true;
}

std::optional<Section> HeaderSection(std::string_view line) {
  for (const Header& header : kHeaders) {
    if (EqualsNoCase(line, header.text)) {
      return header.section;
    }
  }
  return std::nullopt;
}

class Applier {
 public:
  explicit Applier(BlockWriter& block) : block_(block) {}

  // False when a conversion error stops applying; error() then says why.
  bool Line(std::string_view rawLine) {
    const std::string line = TrimControl(rawLine);
    if (const auto header = HeaderSection(line)) {
      Enter(*header);
      return true;
    }
    switch (section_) {
      case Section::None:
        return true;
      case Section::Property:
        for (const KeyField& field : kPropertyKeys) {
          if (ApplyKey(line, field, block_)) {
            break;
          }
        }
        return true;
      case Section::Step1:
        ApplyKey(line, kStep1Key, block_);
        return true;
      case Section::Step2:
        ApplyKey(line, kStep2Key, block_);
        return true;
      case Section::Step3:
        ApplyKey(line, kStep3Key, block_);
        return true;
      case Section::Copyright:
        ApplyKey(line, kCopyrightKey, block_);
        return true;
      case Section::Remark:
        if (StartsWithNoCase(line, kRemarkKey)) {
          remark_.append(line, kRemarkKey.size());
          remark_ += '\n';
        }
        return true;
      case Section::Cd:
        CdLine(line);
        return true;
      case Section::Dvd:
        return DvdLine(line);
    }
    return true;
  }

  void End() { Leave(); }
  const std::string& error() const { return error_; }

 private:
  void Enter(Section next) {
    Leave();
    section_ = next;
    switch (next) {
      case Section::Remark:
        remark_.clear();
        block_.Fill(block_offset::kRemark, kRemarkWidth);
        break;
      case Section::Cd:
        block_.Fill(block_offset::kCdTable, sizeof(PropertyBlock::CdTable));
        counter_ = 0;
        break;
      case Section::Dvd:
        block_.Fill(block_offset::kDvdTable, sizeof(PropertyBlock::DvdTable));
        counter_ = 0;
        break;
      default:
        break;
    }
  }

  // The remark is stored when its section ends; the header has already zeroed the field, so the
  // text (at most width - 1 characters) stays zero-terminated.
  void Leave() {
    if (section_ == Section::Remark) {
      block_.Put(block_offset::kRemark,
                 std::string_view(remark_).substr(0, std::min(remark_.size(), kRemarkWidth - 1)));
    }
  }

  void CdLine(std::string_view line) {
    if (counter_ >= kMediaTableRecords) {
      return;
    }
    CdMediaRecord record{};
    if (ParseCdRecordLine(line, record)) {
      block_.Put(block_offset::kCdTable + counter_ * sizeof(CdMediaRecord), &record, sizeof record);
      ++counter_;
    }
  }

  bool DvdLine(std::string_view line) {
    if (counter_ >= kMediaTableRecords) {
      return true;
    }
    DvdMediaRecord record{};
    switch (ParseDvdRecordLine(line, record, error_)) {
      case DvdLineResult::Record:
        block_.Put(block_offset::kDvdTable + counter_ * sizeof(DvdMediaRecord), &record,
                   sizeof record);
        ++counter_;
        return true;
      case DvdLineResult::ConversionError:
        return false;
      case DvdLineResult::NotARecord:
        return true;
    }
    return true;
  }

  BlockWriter& block_;
  Section section_ = Section::None;
  std::size_t counter_ = 0;
  std::string remark_;
  std::string error_;
};

}  // namespace

InputFileStatus ReadParameterFileLines(const std::string& path, std::vector<std::string>& lines) {
  std::vector<std::string> read;
  InputFileStatus status = InputFileStatus::Ok;
  try {
    LinePieceSplitter splitter([&read](std::string_view piece) {
      // A line that is empty once trimmed can never change the block.
      if (!TrimControl(piece).empty()) {
        read.emplace_back(piece);
      }
      return true;
    });
    status =
        ReadInputFilePrefix(path, kParameterFileReadLimit,
                            [&splitter](std::string_view bytes) { return splitter.Feed(bytes); });
    splitter.Finish();
  } catch (const std::bad_alloc&) {
    status = InputFileStatus::Unreadable;
  }
  if (status != InputFileStatus::Ok) {
    return status;
  }
  lines.insert(lines.end(), std::make_move_iterator(read.begin()),
               std::make_move_iterator(read.end()));
  return status;
}

bool ReadParameterFile(const std::string& path, std::vector<std::string>& lines) {
  return ReadParameterFileLines(path, lines) == InputFileStatus::Ok;
}

ApplyResult ApplyParameters(const std::vector<std::string>& lines, std::span<uint8_t> image,
                            std::size_t blockOffset) {
  if (blockOffset > image.size() || image.size() - blockOffset < block_offset::kEnd) {
    return {false, "The property block runs past the end of the prototype !"};
  }
  const std::span<uint8_t> target = image.subspan(blockOffset, block_offset::kEnd);
  BlockWriter block(target);
  Applier applier(block);
  for (const std::string& line : lines) {
    if (!applier.Line(line)) {
      return {false, applier.error()};
    }
  }
  applier.End();
  block.Put(block_offset::kBuildMode, kBuildModeNormal);
  std::copy(block.Bytes().begin(), block.Bytes().end(), target.begin());
  return {};
}

}  // namespace kv
