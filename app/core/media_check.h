// One media check: the report lines of the "?" button, shared by the window and the command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "drive/disc_type.h"
#include "drive/drive_type.h"
#include "media/user_database.h"

namespace kv {

class AtapiDevice;
struct DriveRecord;

// Where the report goes: the window's memo, or a list of lines.
class ReportSink {
 public:
  virtual ~ReportSink() = default;
  virtual void Clear() = 0;
  virtual void AppendLine(const std::string& line) = 0;
  // Lets the window paint the interim line; nothing on the command line.
  virtual void ProcessPendingMessages() {}
};

// The facts of the report lines, for --json. Each field is set only once its line is in the sink,
// so an unset field is a line the report lacks. Layers come with the disc type line; 0 is a failed
// layer query, which that line does not show.
struct MediaCheckFacts {
  std::optional<DriveType> driveType;  // the code whose name the drive type line shows
  std::string driveTypeName;
  std::optional<DiscType> discType;
  std::string discTypeName;
  std::optional<uint32_t> layers;
  std::optional<uint32_t> leadIn;
  std::optional<uint32_t> leadOut;
  std::string material;
  std::vector<uint8_t> mediaId;  // raw identifier bytes shown (MID)
  std::vector<uint8_t> typeId;   // raw type identifier bytes shown (TID)
  std::optional<double> capacityMegabytes;
  std::optional<double> capacityGigabytes;
  std::optional<uint32_t> capacityBlocks;
  // The text after the manufacturer line's label ("Unknown" when no table named the disc), and
  // whether a table named it.
  std::optional<std::string> manufacturer;
  bool manufacturerFound = false;
  std::optional<double> speedKBps;
  std::optional<double> speedMultiple;  // the exact quotient
  std::string speedPrinted;             // the multiple as the speed line shows it ("48X")
  bool completed = false;               // the check ran to its last line
};

// Runs the check on the selected drive; selected is null when no drive-list line is selected.
// Every exception ends the check quietly, keeping the lines already appended.
void RunMediaCheck(AtapiDevice& device, const DriveRecord* selected, const UserCdList& userCd,
                   const UserDvdList& userDvd, ReportSink& sink, MediaCheckFacts* facts = nullptr);

}  // namespace kv
