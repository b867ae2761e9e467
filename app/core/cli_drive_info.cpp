#include "app/core/cli_drive_info.h"

#include <cstdio>
#include <functional>
#include <iostream>

#include "app/core/cli_trace.h"
#include "app/core/report_format.h"
#include "app/core/report_json.h"
#include "app/core/startup.h"
#include "drive/atapi_device.h"
#include "drive/capabilities_page.h"
#include "drive/drive_record.h"
#include "drive/feature_answer.h"
#include "drive/notifier.h"

namespace kv {

namespace {

constexpr int kFirstLine = 1;

struct NamedBit {
  uint8_t bit;
  const char* name;
};
constexpr NamedBit kReadBits[] = {{capabilities::kCdrRead, "CD-R"},
                                  {capabilities::kCdrwRead, "CD-RW"},
                                  {capabilities::kDvdRomRead, "DVD-ROM"},
                                  {capabilities::kDvdRRead, "DVD-R"},
                                  {capabilities::kDvdRamRead, "DVD-RAM"}};
constexpr NamedBit kWriteBits[] = {{capabilities::kCdrWrite, "CD-R"},
                                   {capabilities::kCdrwWrite, "CD-RW"},
                                   {capabilities::kTestWrite, "test write"},
                                   {capabilities::kDvdRWrite, "DVD-R"},
                                   {capabilities::kDvdRamWrite, "DVD-RAM"}};
constexpr NamedBit kStreamingBits[] = {{feature::kStreamingWriteBits, "stream writing"},
                                       {feature::kStreamingWriteSpeed, "write speed descriptors"},
                                       {feature::kStreamingSetCdSpeed, "SET CD SPEED"},
                                       {feature::kStreamingReadBufferCap, "buffer capacity"}};

constexpr const char* kDiscStatusNames[] = {"blank", "appendable", "complete", "other"};

template <std::size_t N>
std::vector<std::string> BitNames(uint8_t bits, const NamedBit (&table)[N]) {
  std::vector<std::string> names;
  for (const NamedBit& b : table) {
    if (bits & b.bit) {
      names.emplace_back(b.name);
    }
  }
  return names;
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) {
    text += (text.empty() ? "" : ", ") + name;
  }
  return text.empty() ? "none" : text;
}

std::string ProfileText(uint16_t profile) {
  const char* name = ProfileName(profile);
  return report::Format("%s (%04Xh)", name != nullptr ? name : "unknown", profile);
}

// Builds the device, picks the --list line and opens it; runs the query on it.
int OnLine(Platform& platform, Notifier& notifier, const CliRequest& request, std::ostream& err,
           const std::function<void(AtapiDevice&, const DriveRecord&, int)>& query) {
  Startup startup(&platform, notifier);
  startup.SetApplicationTag();
  if (!startup.CreateDevice()) {
    err << "krellvane: Unable to create Device Object !\n";
    return kExitFailure;
  }
  AtapiDevice& device = *startup.Device();
  const int count = device.GetDriveCount();
  const int line = request.checkLine.value_or(kFirstLine);
  if (count == 0) {
    err << "No drive detected !\n"
        << "krellvane: no CD/DVD drive found (try --emulate for the sample drives)\n";
    return kExitNoDrive;
  }
  if (line < kFirstLine || line - kFirstLine >= count) {
    err << "krellvane: there is no drive line " << line << "; the drives are lines " << kFirstLine
        << " to " << count << "\n";
    return kExitNoDrive;
  }
  const auto index = static_cast<int16_t>(line - kFirstLine);
  const DriveRecord* record = device.GetDriveRecord(static_cast<uint32_t>(index));
  if (record == nullptr || !startup.SelectDrive(index)) {
    err << "krellvane: drive line " << line << " cannot be opened\n";
    return kExitNoDrive;
  }
  query(device, *record, line);
  return kExitOk;
}

std::string DriveName(const DriveRecord& record) {
  return report::TrimRight(std::string(record.Vendor)) + " " +
         report::TrimRight(std::string(record.Product)) + " " +
         report::TrimRight(std::string(record.Revision));
}

}  // namespace

std::string FormatMultiple(double multiple) {
  return report::Format("%gx", multiple);
}

nlohmann::json WriteSpeedsJson(const WriteSpeedReport& report) {
  nlohmann::json speeds = nlohmann::json::array();
  for (const WriteSpeed& s : report.speeds) {
    nlohmann::json one{
        {"kBps", s.kBps},
        {"multiple", s.multiple},
        {"source", s.source == SpeedSource::Performance ? "GET PERFORMANCE" : "capabilities page"}};
    if (s.endLba) {
      one["endLba"] = *s.endLba;
    }
    speeds.push_back(one);
  }
  return speeds;
}

nlohmann::json DriveFeaturesJson(const DriveFeatures& f) {
  using nlohmann::json;
  json caps = nullptr;
  if (f.readBits) {
    caps = json{{"reads", BitNames(*f.readBits, kReadBits)},
                {"writes", BitNames(f.writeBits.value_or(0), kWriteBits)},
                {"bufferSizeKb", f.bufferSizeKb.value_or(0)}};
  }
  json profiles = json::array();
  for (uint16_t p : f.profiles) {
    const char* name = ProfileName(p);
    profiles.push_back(json{{"code", p},
                            {"name", name != nullptr ? json(name) : json(nullptr)},
                            {"current", f.currentProfile == p}});
  }
  json streaming = nullptr;
  if (f.streamingBits) {
    streaming = BitNames(*f.streamingBits, kStreamingBits);
  }
  json disc = json{{"status", f.discStatus ? json(kDiscStatusNames[static_cast<int>(*f.discStatus)])
                                           : json(nullptr)},
                   {"sessions", f.sessions ? json(*f.sessions) : json(nullptr)},
                   {"freeBlocks", f.freeBlocks ? json(*f.freeBlocks) : json(nullptr)},
                   {"recordedBlocks", f.recordedBlocks ? json(*f.recordedBlocks) : json(nullptr)}};
  return json{{"capabilities", caps},
              {"profiles", profiles},
              {"currentProfile", f.currentProfile ? json(*f.currentProfile) : json(nullptr)},
              {"serialNumber", f.serialNumber ? json(*f.serialNumber) : json(nullptr)},
              {"firmwareDate", f.firmwareDate ? json(*f.firmwareDate) : json(nullptr)},
              {"realTimeStreaming", streaming},
              {"disc", disc}};
}

int RunSpeedsOn(Platform& platform, Notifier& notifier, const CliRequest& request,
                std::ostream& out, std::ostream& err) {
  return OnLine(platform, notifier, request, err,
                [&](AtapiDevice& device, const DriveRecord& record, int line) {
                  const WriteSpeedReport report = QueryWriteSpeeds(device);
                  if (request.json) {
                    out << DumpJson(nlohmann::json{{"line", line},
                                                   {"currentProfile", report.currentProfile},
                                                   {"writeSpeeds", WriteSpeedsJson(report)}})
                        << "\n";
                    return;
                  }
                  out << "Drive " << line << ": " << DriveName(record) << "\n";
                  out << "Disc: " << ProfileText(report.currentProfile) << ", single speed "
                      << (report.dvdMedium ? kDvdSingleSpeed : kCdSingleSpeed) << " kB/s\n";
                  if (report.speeds.empty()) {
                    out << "The drive reports no write speed for this disc.\n";
                  }
                  for (const WriteSpeed& s : report.speeds) {
                    out << report::Format("%6u kB/s  %6s", s.kBps,
                                          FormatMultiple(s.multiple).c_str());
                    if (s.source == SpeedSource::Performance) {
                      out << "  GET PERFORMANCE, end LBA " << s.endLba.value_or(0) << "\n";
                    } else {
                      out << "  capabilities page\n";
                    }
                  }
                });
}

int RunDriveInfoOn(Platform& platform, Notifier& notifier, const CliRequest& request,
                   std::ostream& out, std::ostream& err) {
  return OnLine(
      platform, notifier, request, err,
      [&](AtapiDevice& device, const DriveRecord& record, int line) {
        const DriveFeatures f = QueryDriveFeatures(device);
        if (request.json) {
          nlohmann::json drive = DriveFeaturesJson(f);
          drive["line"] = line;
          drive["vendor"] = report::TrimRight(std::string(record.Vendor));
          drive["product"] = report::TrimRight(std::string(record.Product));
          drive["revision"] = report::TrimRight(std::string(record.Revision));
          drive["vendorSpecific"] = report::TrimRight(std::string(record.VendorSpecific));
          nlohmann::json disc = drive["disc"];
          drive.erase("disc");
          out << DumpJson(nlohmann::json{{"drive", drive}, {"disc", disc}}) << "\n";
          return;
        }
        out << "Drive " << line << ": " << DriveName(record) << "\n";
        const std::string vendorSpecific = report::TrimRight(std::string(record.VendorSpecific));
        if (!vendorSpecific.empty()) {
          out << "Vendor specific: " << vendorSpecific << "\n";
        }
        if (f.readBits) {
          out << "Reads: " << Joined(BitNames(*f.readBits, kReadBits)) << "\n";
          out << "Writes: " << Joined(BitNames(f.writeBits.value_or(0), kWriteBits)) << "\n";
          out << "Buffer: " << f.bufferSizeKb.value_or(0) << " kB\n";
        } else {
          out << "Capabilities page: not answered\n";
        }
        std::vector<std::string> profiles;
        for (uint16_t p : f.profiles) {
          profiles.push_back(ProfileText(p) + (f.currentProfile == p ? " current" : ""));
        }
        out << "Profiles: " << Joined(profiles) << "\n";
        out << "Current profile: "
            << (f.currentProfile ? ProfileText(*f.currentProfile) : std::string("not answered"))
            << "\n";
        out << "Drive serial number (0108h): "
            << (!f.serialNumber           ? "absent"
                : f.serialNumber->empty() ? "present, blank"
                                          : *f.serialNumber)
            << "\n";
        out << "Firmware date (010Ch): " << f.firmwareDate.value_or("absent") << "\n";
        out << "Real-time streaming (0107h): "
            << (f.streamingBits ? Joined(BitNames(*f.streamingBits, kStreamingBits))
                                : std::string("absent"))
            << "\n";
        if (!f.discStatus) {
          out << "Disc: no disc information\n";
          return;
        }
        out << "Disc: " << kDiscStatusNames[static_cast<int>(*f.discStatus)] << ", "
            << f.sessions.value_or(0) << " session(s)";
        if (f.freeBlocks) {
          out << ", " << *f.freeBlocks << " free blocks";
        }
        if (f.recordedBlocks) {
          out << ", " << *f.recordedBlocks << " recorded blocks";
        }
        out << "\n";
      });
}

int RunSpeeds(const CliRequest& request) {
  return RunOnRequestedPlatform(request, [&](Platform& platform, Notifier& notifier) {
    return RunSpeedsOn(platform, notifier, request, std::cout, std::cerr);
  });
}

int RunDriveInfo(const CliRequest& request) {
  return RunOnRequestedPlatform(request, [&](Platform& platform, Notifier& notifier) {
    return RunDriveInfoOn(platform, notifier, request, std::cout, std::cerr);
  });
}

}  // namespace kv
