#include "app/core/cli_list.h"

#include <cstring>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "app/core/cli.h"
#include "app/core/cli_drive_notes.h"
#include "app/core/cli_help.h"
#include "app/core/cli_trace.h"
#include "app/core/drive_line.h"
#include "app/core/main_window_logic.h"
#include "app/core/report_format.h"
#include "app/core/report_json.h"
#include "app/core/startup.h"
#include "drive/atapi_device.h"
#include "drive/drive_type.h"
#include "drive/notifier.h"

namespace kv {

namespace {

constexpr const char* kNoDriveMessage = "No drive detected !";
constexpr const char* kEmulateHint =
    "no CD/DVD drive could be used here; try --emulate to run on the built-in sample drives";
constexpr const char* kWriterWord = "writer";
constexpr const char* kReaderWord = "reader";
constexpr const char* kNoNumber = "-";
constexpr const char* kNodeFolder = "/dev/";
constexpr int kFirstLine = 1;

template <std::size_t N>
std::string TrimmedField(const char (&field)[N]) {
  return report::TrimRight(std::string(field, strnlen(field, N)));
}

// The node a person would name the drive by: its own node, or the sg node of an ASPI drive.
std::string NodeOf(const AtapiDevice& device, const DriveRecord& drive) {
  if (drive.RootPath[0] != '\0') {
    return kNodeFolder + TrimmedField(drive.RootPath);
  }
  const AspiManager* aspi = device.GetAspi();
  if (aspi == nullptr) {
    return {};
  }
  return aspi->NodeName(static_cast<uint8_t>(drive.HostAdapter), static_cast<uint8_t>(drive.Target),
                        static_cast<uint8_t>(drive.Lun));
}

nlohmann::json ToJson(const std::vector<ListedDrive>& drives) {
  nlohmann::json list = nlohmann::json::array();
  for (const ListedDrive& drive : drives) {
    list.push_back({
        {"line", drive.writerLine ? nlohmann::json(*drive.writerLine) : nlohmann::json(nullptr)},
        {"anyDriveLine", drive.anyDriveLine},
        {"node", drive.node.empty() ? nlohmann::json(nullptr) : nlohmann::json(drive.node)},
        {"writer", drive.writerLine.has_value()},
        {"driveLine", drive.driveLine},
        {"address", drive.address},
        {"vendor", drive.vendor},
        {"product", drive.product},
        {"revision", drive.revision},
        {"driveType", {{"code", drive.typeCode}, {"name", drive.typeName}}},
    });
  }
  return {{"drives", list}};
}

}  // namespace

std::vector<ListedDrive> ListedDrives(const AtapiDevice& device, const DriveListing& writers) {
  std::vector<ListedDrive> drives;
  for (uint32_t index = 0; index < device.GetDriveCount(); ++index) {
    const DriveRecord* record = device.GetDriveRecord(index);
    if (record == nullptr) {
      continue;
    }
    ListedDrive drive;
    drive.anyDriveLine = static_cast<int>(drives.size()) + kFirstLine;
    for (std::size_t line = 0; line < writers.lines.size(); ++line) {
      const std::optional<int16_t> picked = DriveForLine(writers, static_cast<int>(line));
      if (picked && static_cast<uint32_t>(*picked) == index) {
        drive.writerLine = static_cast<int>(line) + kFirstLine;
      }
    }
    drive.node = NodeOf(device, *record);
    drive.driveLine = FormatDriveLine(*record);
    drive.typeName =
        report::TrimRight(record->DriveTypeName != nullptr ? record->DriveTypeName : "");
    drive.typeCode = Code(record->DriveType);
    drive.vendor = TrimmedField(record->Vendor);
    drive.product = TrimmedField(record->Product);
    drive.revision = TrimmedField(record->Revision);
    drive.address = report::Format("%d-%d-%d-%d", record->HostAdapter, record->PathId,
                                   record->Target, record->Lun);
    drives.push_back(std::move(drive));
  }
  return drives;
}

std::string FormatListLine(const ListedDrive& drive) {
  const std::string number = drive.writerLine ? std::to_string(*drive.writerLine) : kNoNumber;
  return report::Format("%2s", number.c_str()) + "  " + drive.driveLine + "  " + drive.typeName +
         "  " + (drive.writerLine ? kWriterWord : kReaderWord) + "  " +
         (drive.node.empty() ? kNoNumber : drive.node);
}

int ListDrives(Platform& platform, Notifier& notifier, std::ostream& out, std::ostream& err,
               bool json) {
  Startup startup(&platform, notifier);
  startup.SetApplicationTag();
  if (!startup.CreateDevice()) {
    err << ErrorLine("Unable to create Device Object !");
    return kExitFailure;
  }
  const std::vector<ListedDrive> drives = ListedDrives(*startup.Device(), startup.ListWriters());
  if (json) {
    out << DumpJson(ToJson(drives)) << '\n';
  } else {
    for (const ListedDrive& drive : drives) {
      out << FormatListLine(drive) << '\n';
    }
  }
  out.flush();
  PrintAccessHints(platform, err);
  if (drives.empty()) {
    err << kNoDriveMessage << '\n' << ErrorLine(kEmulateHint);
    return kExitNoDrive;
  }
  return kExitOk;
}

int RunList(const CliRequest& request) {
  std::string error;
  const std::unique_ptr<Platform> platform = CreatePlatform(request.platform, error);
  if (platform == nullptr) {
    std::cerr << ErrorLine(error);
    return kExitFailure;
  }
  StderrNotifier notifier;
  return RunTraced(*platform, request.traceFile, std::cerr, [&](Platform& traced) {
    return ListDrives(traced, notifier, std::cout, std::cerr, request.json);
  });
}

}  // namespace kv
