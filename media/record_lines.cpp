#include "media/record_lines.h"

#include <algorithm>
#include <cstring>

#include "os/ascii_text.h"

namespace kv {

namespace {

// CD record line "mmssff_mmssff=Name", positions counted from 0.
constexpr std::size_t kCdMinLength = 15;
constexpr std::size_t kCdMaxLength = 61;
constexpr std::size_t kCdUnderscoreAt = 6;
constexpr std::size_t kCdEqualsAt = 13;
constexpr std::size_t kCdLeadInAt = 0;
constexpr std::size_t kCdLeadOutAt = 7;
constexpr std::size_t kCdTimeLength = 6;
constexpr std::size_t kCdNameAt = 14;

// DVD record line: 24 hexadecimal digits, '=', name.
constexpr std::size_t kDvdMinLength = 26;
constexpr std::size_t kDvdMaxLength = 72;
constexpr std::size_t kDvdEqualsAt = 24;
constexpr std::size_t kDvdIdentifierBytes = 12;
constexpr std::size_t kDvdNameAt = 25;

// Names keep at most 47 characters so the 48-byte field stays zero-terminated.
constexpr std::size_t kNameMaxLength = sizeof(CdMediaRecord::Name) - 1;
static_assert(kCdMaxLength - kCdNameAt == kNameMaxLength);
static_assert(kDvdMaxLength - kDvdNameAt == kNameMaxLength);
static_assert(sizeof(DvdMediaRecord::Name) - 1 == kNameMaxLength);

void CopyText(std::string_view from, char* to, std::size_t maxLength) {
  std::size_t n = std::min(from.size(), maxLength);
  std::memcpy(to, from.data(), n);
}

}  // namespace

bool ParseCdRecordLine(std::string_view line, CdMediaRecord& out) {
  std::memset(&out, 0, sizeof out);
  if (line.size() < kCdMinLength) {
    return false;
  }
  // Either separator in its place is enough; the other position is dropped unseen.
  if (line.find('=') != kCdEqualsAt && line.find('_') != kCdUnderscoreAt) {
    return false;
  }
  line = line.substr(0, kCdMaxLength);
  CopyText(line.substr(kCdLeadInAt, kCdTimeLength), out.LeadIn, kCdTimeLength);
  CopyText(line.substr(kCdLeadOutAt, kCdTimeLength), out.LeadOut, kCdTimeLength);
  CopyText(line.substr(kCdNameAt), out.Name, kNameMaxLength);
  return true;
}

DvdLineResult ParseDvdRecordLine(std::string_view line, DvdMediaRecord& out, std::string& error) {
  std::memset(&out, 0, sizeof out);
  if (line.size() < kDvdMinLength || line.find('=') != kDvdEqualsAt) {
    return DvdLineResult::NotARecord;
  }
  line = line.substr(0, kDvdMaxLength);
  for (std::size_t k = 0; k < kDvdIdentifierBytes; ++k) {
    int high = AsciiHexValue(line[2 * k]);
    int low = AsciiHexValue(line[2 * k + 1]);
    if (high < 0 || low < 0) {
      std::memset(&out, 0, sizeof out);
      error = "'0x" + std::string(line.substr(2 * k, 2)) + "' is not a valid integer value";
      return DvdLineResult::ConversionError;
    }
    out.Identifier[k] = static_cast<uint8_t>(high * 16 + low);
  }
  CopyText(line.substr(kDvdNameAt), out.Name, kNameMaxLength);
  return DvdLineResult::Record;
}

}  // namespace kv
