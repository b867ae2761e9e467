#include "app/core/main_window_logic.h"

#include "app/core/drive_line.h"
#include "drive/atapi_device.h"

namespace kv {

DriveListing EmptyDriveListing() {
  DriveListing listing;
  listing.DriveIndex.fill(kFreeDriveSlot);
  return listing;
}

DriveListing ListWriters(const DriveRecord* const* records, int count) {
  DriveListing listing = EmptyDriveListing();
  for (int j = 0; j < count; ++j) {
    const DriveRecord* drive = records[j];
    if (drive == nullptr || !IsListedDrive(*drive)) {
      continue;
    }
    // The device holds at most kDriveSlots drives; a longer table still cannot overrun the slots.
    if (listing.lines.size() >= static_cast<std::size_t>(kDriveSlots)) {
      break;
    }
    listing.DriveIndex[listing.lines.size()] = j;
    std::string line = FormatDriveLine(*drive);
    if (line.size() >= kDriveLineBufferSize) {
      line.resize(kDriveLineBufferSize - 1);
    }
    listing.lines.push_back(std::move(line));
  }
  return listing;
}

DriveListing ListWriters(const AtapiDevice& device) {
  const int count = static_cast<int16_t>(device.GetDriveCount());
  std::vector<const DriveRecord*> records;
  for (int j = 0; j < count; ++j) {
    records.push_back(device.GetDriveRecord(static_cast<uint32_t>(j)));
  }
  return ListWriters(records.data(), count);
}

std::optional<int16_t> DriveForLine(const DriveListing& listing, int line) {
  return DriveForLine(listing.DriveIndex, static_cast<int>(listing.lines.size()), line);
}

std::optional<int16_t> DriveForLine(const std::array<int32_t, kDriveSlots>& driveIndex,
                                    int lineCount, int line) {
  if (line < 0 || line >= lineCount || line >= kDriveSlots) {
    return std::nullopt;
  }
  const int32_t drive = driveIndex[static_cast<std::size_t>(line)];
  if (drive == kFreeDriveSlot) {
    return std::nullopt;
  }
  return static_cast<int16_t>(drive);
}

std::string FormatTitle(const PropertyBlock& block) {
  return FieldText(block.Name) + " v" + FieldText(block.Major) + "." + FieldText(block.Minor) +
         "." + FieldText(block.Rev);
}

int ChooseDimension(bool readSucceeded, int32_t stored, int designValue) {
  return readSucceeded && stored > 0 ? stored : designValue;
}

std::string ComposeInformationText(const PropertyBlock& block) {
  std::string text;
  text += "Release Date : ";
  text += FieldText(block.Date);
  text += "\n";
  text += "     Version : ";
  text += FieldText(block.Major);
  text += ".";
  text += FieldText(block.Minor);
  text += ".";
  text += FieldText(block.Rev);
  text += "\n";
  text += "Drive Models : ";
  text += FieldText(block.Model);
  text += "\n\n";
  text += "                            Remarks : \n";
  text += FieldText(block.Remark);
  return text;
}

}  // namespace kv
