// The literals of the media check report and the number formatting behind them.
#pragma once

#include <cstdint>
#include <string>

namespace kv::report {

// Labels are right-aligned so that every "=" except the speed line's stands in column 20.
inline constexpr const char* kPleaseWait = "Please wait ...";
inline constexpr const char* kDriveLine = "        Drive Type = %s";
inline constexpr const char* kDiscLineCdr = "         Disc Type = CDR";
inline constexpr const char* kDiscLine = "         Disc Type = %s";
inline constexpr const char* kSingleLayer = " (Single Layer)";
inline constexpr const char* kDualLayer = " (Dual Layer)";
inline constexpr const char* kMaterialCyanine = "          Material = Cyanine";
inline constexpr const char* kMaterialPhthalocyanine = "          Material = Phthalocyanine";
inline constexpr const char* kMaterialPhaseChange = "          Material = Phase Change";
inline constexpr const char* kLeadInLine = "           Lead In = %.2d:%.2d:%.2d";
inline constexpr const char* kLeadOutLine = "          Lead Out = %.2d:%.2d:%.2d";
inline constexpr const char* kCdCapacityLine = "  Nominal Capacity = %.2fMB";
inline constexpr const char* kDvdPlusMidLine =
    "          Disc MID = %02.2X %02.2X %02.2X %02.2X %02.2X %02.2X %02.2X %02.2X (%.8s)";
inline constexpr const char* kDvdPlusTidLine = "          Disc TID = %02.2X %02.2X %02.2X (%.3s)";
inline constexpr const char* kDvdMinusMidLine =
    "          Disc MID = %02.2X %02.2X %02.2X %02.2X %02.2X %02.2X (%.6s)";
inline constexpr const char* kDvdMinusTidLine =
    "          Disc TID = %02.2X %02.2X %02.2X %02.2X %02.2X %02.2X (%.6s)";
inline constexpr const char* kDvdCapacityLine = "  Nominal Capacity = %.2fGB";
inline constexpr const char* kManufacturerLine = "Manufacturer Maybe = %s";
inline constexpr const char* kManufacturerUnknown = "Manufacturer Maybe = Unknown";
inline constexpr const char* kCdSpeedLine = "KRELL-VANE Speed Limit = %.0fX (Write)";
inline constexpr const char* kDvdSpeedLine = "KRELL-VANE Speed Limit = %.1fX (Write)";
// What both speed lines hold before and after the multiple.
inline constexpr const char* kSpeedLabel = "KRELL-VANE Speed Limit = ";
inline constexpr const char* kSpeedSuffix = " (Write)";
inline constexpr const char* kManufacturerLabel = "Manufacturer Maybe = ";
inline constexpr const char* kUnknown = "Unknown";

// The material names as the material lines end (for --json).
inline constexpr const char* kCyanine = "Cyanine";
inline constexpr const char* kPhthalocyanine = "Phthalocyanine";
inline constexpr const char* kPhaseChange = "Phase Change";

// Single speeds in kB/s: 176 for a CD (not 176.4), 1385 for a DVD.
inline constexpr double kCdSingleSpeed = 176.0;
inline constexpr double kDvdSingleSpeed = 1385.0;

// A CD time split into its parts.
struct CdTimeParts {
  int32_t minutes = 0;
  int32_t seconds = 0;
  int32_t frames = 0;
};

// The time's decimal digits, filled with "0" on the left to 6 characters or cut to the first 6;
// characters 1-2 are the minutes, 3-4 the seconds, 5-6 the frames.
CdTimeParts ParseCdTime(uint32_t time);

// "mm:ss:ff" of the parsed parts.
std::string FormatCdTime(uint32_t time);

// Sectors from a lead-out's parts: (minutes * 60 + seconds) * 75 + frames - 150.
int64_t NominalSectors(const CdTimeParts& leadOut);
double SectorsToMegabytes(int64_t sectors);
double BlocksToGigabytes(uint32_t blocks);

// Text with trailing white space removed.
std::string TrimRight(const std::string& text);

// A speed line (kCdSpeedLine or kDvdSpeedLine) and its multiple exactly as the line shows it
// ("48X", "16.0X"): the multiple is cut from the formatted line, so the two can never differ.
struct SpeedText {
  std::string line;
  std::string multiple;
};
SpeedText FormatSpeedLine(const char* lineFormat, double multiple);

// printf into a fixed buffer; output that would not fit is cut, never overflows.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The same for the identifier lines, unchecked: their "%02.2X" carries a '0' flag that printf
// ignores beside the precision (the precision alone gives the two digits), which the compiler's
// format check would reject.
std::string FormatIdentifier(const char* format, ...);

}  // namespace kv::report
