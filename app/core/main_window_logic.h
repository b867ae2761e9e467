// The main window's decisions that need no widget: which drives it lists and the slot table
// behind the lines, the title, the size rule and the information box's text.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "drive/drive_record.h"
#include "media/property_block.h"

namespace kv {

class AtapiDevice;

inline constexpr int32_t kFreeDriveSlot = -1;
inline constexpr int kDriveSlots = 16;
inline constexpr std::size_t kDriveLineBufferSize = 256;

// Line k of the drive list stands for device drive DriveIndex[k]; slots past the last line are -1.
struct DriveListing {
  std::vector<std::string> lines;
  std::array<int32_t, kDriveSlots> DriveIndex{};
};

// A listing with no line and every slot free.
DriveListing EmptyDriveListing();

// Lists the writers among records[0 .. count-1] in their order, without gaps; a count of 0 or
// less lists nothing. Null records are skipped.
DriveListing ListWriters(const DriveRecord* const* records, int count);

// The same over the device's drive table (the count taken as a signed 16-bit number).
DriveListing ListWriters(const AtapiDevice& device);

// The device drive of a list line; nullopt for no selection (-1), a line past the list or a free
// slot.
std::optional<int16_t> DriveForLine(const DriveListing& listing, int line);
std::optional<int16_t> DriveForLine(const std::array<int32_t, kDriveSlots>& driveIndex,
                                    int lineCount, int line);

// "%s v%s.%s.%s" of NAME, MAJOR, MINOR and REV.
std::string FormatTitle(const PropertyBlock& block);

// The window keeps its design size for a dimension whose stored value could not be read or is
// 0 or less.
int ChooseDimension(bool readSucceeded, int32_t stored, int designValue);

// The information box's text: release date, version, drive models and remarks.
std::string ComposeInformationText(const PropertyBlock& block);

// A fixed-width text field up to its first zero; a field without one is taken whole.
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
  std::size_t length = 0;
  while (length < N && field[length] != '\0') {
    ++length;
  }
  return std::string(field, length);
}

}  // namespace kv
