#include "app/core/cli_check.h"

#include <iostream>
#include <string>

#include "app/core/cli_drive_notes.h"
#include "app/core/cli_help.h"
#include "app/core/cli_trace.h"
#include "app/core/main_window_logic.h"
#include "app/core/media_check.h"
#include "app/core/report_json.h"
#include "app/core/startup.h"
#include "drive/atapi_device.h"
#include "drive/notifier.h"

namespace kv {

namespace {

// Lines are counted from 1 on the command line (the window counts its list from 0): the writer
// list, or with --any-drive the lines of --list in their order, readers included.
constexpr int kFirstLine = 1;
constexpr int kFirstAnyDriveLine = 1;

// Keeps the lines as the window's box would hold them at the end of the check.
class LineSink : public ReportSink {
 public:
  void Clear() override { lines_.clear(); }
  void AppendLine(const std::string& line) override { lines_.push_back(line); }
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
};

// The listed drive on a device node: the one whose address (or node name) the node gives.
// Works the same whichever path found the drives, so scripts can name a drive unambiguously.
std::optional<int16_t> PickNode(Startup& startup, const std::string& node, std::ostream& err) {
  AtapiDevice& device = *startup.Device();
  const ScsiAddressResult address = device.GetPlatform().NodeAddress(node);
  if (address.outcome != ScsiAddressResult::Outcome::Found) {
    err << "krellvane: " << node << " is no CD/DVD drive node\n";
    return std::nullopt;
  }
  for (int16_t index = 0; index < static_cast<int16_t>(device.GetDriveCount()); ++index) {
    const DriveRecord* drive = device.GetDriveRecord(static_cast<uint32_t>(index));
    if (drive != nullptr && drive->HostAdapter == address.port && drive->PathId == address.pathId &&
        drive->Target == address.target && drive->Lun == address.lun) {
      return index;
    }
  }
  err << "krellvane: the drive on " << node << " is not among the drives --list shows\n";
  return std::nullopt;
}

// The device drive of the requested line: a line of the window's writer list (from 1), or with
// --any-drive a line of --list (from 1, readers included). Null after a message when there is none.
std::optional<int16_t> PickDrive(Startup& startup, const CliRequest& request, std::ostream& err) {
  if (request.checkNode) {
    return PickNode(startup, *request.checkNode, err);
  }
  if (request.anyDrive) {
    int count = startup.Device()->GetDriveCount();
    int line = request.checkLine.value_or(kFirstAnyDriveLine);
    if (count == 0) {
      err << "No drive detected !\n"
          << "krellvane: no CD/DVD drive found (try --emulate for the sample drives)\n";
      return std::nullopt;
    }
    if (line < kFirstAnyDriveLine || line - kFirstAnyDriveLine >= count) {
      err << "krellvane: there is no drive line " << line << "; the drives are lines "
          << kFirstAnyDriveLine << " to " << count << "\n";
      return std::nullopt;
    }
    return static_cast<int16_t>(line - kFirstAnyDriveLine);
  }
  const DriveListing& writers = startup.ListWriters();
  if (writers.lines.empty()) {
    const uint32_t readers = startup.Device()->GetDriveCount();
    if (readers > 0) {
      err << ErrorLine(ReadersOnlyMessage(readers));
    } else {
      err << "No drive detected !\n"
          << ErrorLine("no CD/DVD writer found (try --emulate for the sample drives)");
    }
    return std::nullopt;
  }
  int line = request.checkLine.value_or(kFirstLine);
  std::optional<int16_t> driveIndex;
  if (line >= kFirstLine) {
    driveIndex = DriveForLine(writers, line - kFirstLine);
  }
  if (!driveIndex) {
    err << "krellvane: there is no drive line " << line << "; the writers are lines " << kFirstLine
        << " to " << writers.lines.size() << "\n";
  }
  return driveIndex;
}

}  // namespace

std::string ReadersOnlyMessage(uint32_t readers) {
  return "no CD/DVD writer found; " + std::to_string(readers) +
         (readers == 1 ? " reader" : " readers") + ": use --any-drive";
}

int RunCheckOn(Platform& platform, Notifier& notifier, const CliRequest& request, std::ostream& out,
               std::ostream& err) {
  Startup startup(&platform, notifier);
  startup.SetApplicationTag();
  if (!startup.CreateDevice()) {
    err << "krellvane: Unable to create Device Object !\n";
    return kExitFailure;
  }
  std::optional<int16_t> driveIndex = PickDrive(startup, request, err);
  if (!driveIndex) {
    return kExitNoDrive;
  }
  // A drive named by its node is reported under its --list line.
  int line = request.checkNode
                 ? *driveIndex + kFirstAnyDriveLine
                 : request.checkLine.value_or(request.anyDrive ? kFirstAnyDriveLine : kFirstLine);
  const std::string named =
      request.checkNode ? *request.checkNode : "drive line " + std::to_string(line);
  AtapiDevice& device = *startup.Device();
  const DriveRecord* record = device.GetDriveRecord(static_cast<uint32_t>(*driveIndex));
  if (record == nullptr || !startup.SelectDrive(*driveIndex)) {
    err << "krellvane: " << named << " cannot be opened\n";
    PrintAccessHints(platform, err);
    return kExitNoDrive;
  }
  // The list was made a moment ago, but a drive unplugged and plugged in again since may now sit
  // on another node: the check goes on only when the node still answers as the listed drive.
  if (device.CheckSelectedIdentity() == IdentityCheck::Different) {
    err << "krellvane: " << named << " now holds another drive (" << device.GetVendor() << ' '
        << device.GetProduct() << " instead of " << record->Vendor << ' ' << record->Product
        << "); list the drives again\n";
    return kExitNoDrive;
  }

  const UserDatabaseLoad load = startup.LoadUserDatabase();
  if (load.stoppedWithError) {
    err << "krellvane: user-defined media database: " << load.error << "\n";
  }

  LineSink sink;
  MediaCheckFacts facts;
  RunMediaCheck(device, record, startup.UserCd(), startup.UserDvd(), sink, &facts);
  const bool hung = device.SelectedDriveHung();
  const bool ready = !hung && !device.WaitGaveUp();
  if (request.json) {
    nlohmann::json report = MediaCheckToJson(line, *record, facts);
    report["ready"] = ready;
    report["refusedCommands"] = RefusedCommandsJson(device.RefusedCommands());
    out << DumpJson(report) << "\n";
  } else {
    for (const std::string& text : sink.Lines()) {
      out << text << "\n";
    }
  }
  out.flush();
  PrintAccessHints(platform, err);
  if (const std::string refused = RefusedCommandsLine(device.RefusedCommands()); !refused.empty()) {
    err << refused << "\n";
  }
  if (hung) {
    err << "krellvane: the drive did not answer a command within the time allowed for it and is "
           "taken as hung; the report does not describe the disc\n";
    return kExitNotReady;
  }
  if (!ready) {
    err << "krellvane: the drive did not become ready within the wait; the report describes a "
           "drive that is not ready\n";
    return kExitNotReady;
  }
  if (!facts.completed) {
    err << "krellvane: the check ended early; the report is incomplete\n";
    return kExitFailure;
  }
  if (facts.discType.value_or(DiscType::kNoMedia) == DiscType::kNoMedia) {
    return kExitNoMedia;
  }
  return kExitOk;
}

int RunCheck(const CliRequest& request) {
  return RunOnRequestedPlatform(request, [&](Platform& platform, Notifier& notifier) {
    return RunCheckOn(platform, notifier, request, std::cout, std::cerr);
  });
}

}  // namespace kv
