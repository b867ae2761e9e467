#include "app/core/report_format.h"

#include <array>
#include <cstdarg>
#include <cstdio>

namespace kv::report {

namespace {

constexpr std::size_t kTimeDigits = 6;
constexpr int32_t kFramesPerSecond = 75;
constexpr int32_t kSecondsPerMinute = 60;
constexpr int64_t kLeadInSectors = 150;
constexpr double kBytesPerSector = 2048.0;
constexpr double kBytesPerMegabyte = 1048576.0;
// 2048-byte blocks counted in units of 2^30 bytes: blocks * 2 / 2^20.
constexpr double kBlocksPerGigabyteUnit = 524288.0;
constexpr std::size_t kLineCapacity = 512;

int32_t TwoDigits(const char* text) {
  return (text[0] - '0') * 10 + (text[1] - '0');
}

}  // namespace

CdTimeParts ParseCdTime(uint32_t time) {
  std::array<char, 16> digits{};
  int written = std::snprintf(digits.data(), digits.size(), "%u", static_cast<unsigned>(time));
  std::size_t length = written > 0 ? static_cast<std::size_t>(written) : 0;
  std::array<char, kTimeDigits> text{};
  if (length >= kTimeDigits) {
    for (std::size_t i = 0; i < kTimeDigits; ++i) {
      text[i] = digits[i];
    }
  } else {
    std::size_t pad = kTimeDigits - length;
    for (std::size_t i = 0; i < kTimeDigits; ++i) {
      text[i] = i < pad ? '0' : digits[i - pad];
    }
  }
  return CdTimeParts{TwoDigits(&text[0]), TwoDigits(&text[2]), TwoDigits(&text[4])};
}

std::string FormatCdTime(uint32_t time) {
  CdTimeParts parts = ParseCdTime(time);
  return Format("%.2d:%.2d:%.2d", parts.minutes, parts.seconds, parts.frames);
}

int64_t NominalSectors(const CdTimeParts& leadOut) {
  return (static_cast<int64_t>(leadOut.minutes) * kSecondsPerMinute + leadOut.seconds) *
             kFramesPerSecond +
         leadOut.frames - kLeadInSectors;
}

double SectorsToMegabytes(int64_t sectors) {
  return static_cast<double>(sectors) * kBytesPerSector / kBytesPerMegabyte;
}

double BlocksToGigabytes(uint32_t blocks) {
  return static_cast<double>(blocks) / kBlocksPerGigabyteUnit;
}

std::string TrimRight(const std::string& text) {
  std::size_t end = text.size();
  while (end > 0) {
    char c = text[end - 1];
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f') {
      break;
    }
    --end;
  }
  return text.substr(0, end);
}

namespace {

std::string FormatList(const char* format, va_list args) {
  std::array<char, kLineCapacity> line{};
  int written = std::vsnprintf(line.data(), line.size(), format, args);
  if (written < 0) {
    return std::string();
  }
  return std::string(line.data());
}

}  // namespace

SpeedText FormatSpeedLine(const char* lineFormat, double multiple) {
  SpeedText text;
  text.line = Format(lineFormat, multiple);
  const std::string label = kSpeedLabel;
  const std::string suffix = kSpeedSuffix;
  if (text.line.size() >= label.size() + suffix.size() && text.line.rfind(label, 0) == 0 &&
      text.line.compare(text.line.size() - suffix.size(), suffix.size(), suffix) == 0) {
    text.multiple = text.line.substr(label.size(), text.line.size() - label.size() - suffix.size());
  }
  return text;
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string line = FormatList(format, args);
  va_end(args);
  return line;
}

std::string FormatIdentifier(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string line = FormatList(format, args);
  va_end(args);
  return line;
}

}  // namespace kv::report
