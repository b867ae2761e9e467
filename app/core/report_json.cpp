#include "app/core/report_json.h"

#include <cstring>

#include "app/core/manufacturer.h"
#include "app/core/report_format.h"
#include "drive/drive_record.h"

namespace kv {

namespace {

using nlohmann::json;

template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
  return report::TrimRight(std::string(field, strnlen(field, N)));
}

json HexAndText(const std::vector<uint8_t>& bytes) {
  std::string hex;
  std::string text(bytes.begin(), bytes.end());
  for (uint8_t b : bytes) {
    if (!hex.empty()) {
      hex += ' ';
    }
    hex += report::Format("%02X", static_cast<unsigned>(b));
  }
  MakePrintable(text.data(), text.size());
  return json{{"hex", hex}, {"text", text}};
}

json Time(const std::optional<uint32_t>& time) {
  if (!time) {
    return nullptr;
  }
  return json{{"value", *time}, {"time", report::FormatCdTime(*time)}};
}

// The drive as --list shows it; its type as the report's drive type line shows it.
json DriveJson(int line, const DriveRecord& drive, const MediaCheckFacts& facts) {
  json type = nullptr;
  if (facts.driveType) {
    type = json{{"code", Code(*facts.driveType)}, {"name", report::TrimRight(facts.driveTypeName)}};
  }
  return json{
      {"line", line},
      {"address",
       report::Format("%d-%d-%d-%d", drive.HostAdapter, drive.PathId, drive.Target, drive.Lun)},
      {"root", FieldText(drive.RootPath)},
      {"vendor", FieldText(drive.Vendor)},
      {"product", FieldText(drive.Product)},
      {"revision", FieldText(drive.Revision)},
      {"driveType", type},
  };
}

// One field per report line, null where the report has no such line.
json DiscJson(const MediaCheckFacts& facts) {
  json disc;
  disc["type"] = facts.discType ? json{{"code", Code(*facts.discType)},
                                       {"name", report::TrimRight(facts.discTypeName)}}
                                : json(nullptr);
  // A failed layer query (0) puts no layer count on the disc type line.
  disc["layers"] = facts.layers.value_or(0) != 0 ? json(*facts.layers) : json(nullptr);
  disc["leadIn"] = Time(facts.leadIn);
  disc["leadOut"] = Time(facts.leadOut);
  disc["material"] = facts.material.empty() ? json(nullptr) : json(facts.material);
  disc["mediaId"] = facts.mediaId.empty() ? json(nullptr) : HexAndText(facts.mediaId);
  disc["typeId"] = facts.typeId.empty() ? json(nullptr) : HexAndText(facts.typeId);
  json capacity = json::object();
  // No blocks means no capacity line in the report: absent here too.
  if (facts.capacityBlocks.value_or(0) != 0) {
    capacity["blocks"] = *facts.capacityBlocks;
  }
  if (facts.capacityMegabytes) {
    capacity["megabytes"] = *facts.capacityMegabytes;
  }
  if (facts.capacityGigabytes) {
    capacity["gigabytes"] = *facts.capacityGigabytes;
  }
  disc["capacity"] = capacity.empty() ? json(nullptr) : capacity;
  if (facts.manufacturer) {
    disc["manufacturer"] =
        json{{"printed", *facts.manufacturer},
             {"name", facts.manufacturerFound ? json(*facts.manufacturer) : json(nullptr)}};
  } else {
    disc["manufacturer"] = nullptr;
  }
  if (facts.speedKBps && facts.speedMultiple) {
    disc["speed"] = json{{"kBps", *facts.speedKBps},
                         {"multiple", *facts.speedMultiple},
                         {"printed", facts.speedPrinted}};
  } else {
    disc["speed"] = nullptr;
  }
  return disc;
}

}  // namespace

json MediaCheckToJson(int line, const DriveRecord& drive, const MediaCheckFacts& facts) {
  return json{{"drive", DriveJson(line, drive, facts)},
              {"disc", DiscJson(facts)},
              {"completed", facts.completed}};
}

std::string DumpJson(const json& value) {
  return value.dump(2, ' ', false, json::error_handler_t::replace);
}

}  // namespace kv
