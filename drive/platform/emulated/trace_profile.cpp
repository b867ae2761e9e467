#include "drive/platform/emulated/trace_profile.h"

#include <cstdio>
#include <fstream>

#include <nlohmann/json.hpp>

#include "drive/platform/emulated/profile_loader.h"
#include "drive/platform/emulated/sense.h"

namespace kv::emu {

namespace {

using nlohmann::json;

// Standard INQUIRY texts, for the profile's name.
constexpr std::size_t kInquiryOpcode = 0x12;
constexpr std::size_t kInquiryTextOffset = 8;
constexpr std::size_t kInquiryTextLength = 28;  // vendor, product, revision

std::string Hex(const uint8_t* bytes, std::size_t count) {
  std::string text;
  text.reserve(count * 3);
  char digits[4];
  for (std::size_t i = 0; i < count; ++i) {
    std::snprintf(digits, sizeof digits, i == 0 ? "%02X" : " %02X", bytes[i]);
    text += digits;
  }
  return text;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  return Hex(bytes.data(), bytes.size());
}

// One drive of the replaying machine and what it was sent.
struct Slot {
  const RecordedRoot* root = nullptr;
  const RecordedAspiDevice* aspi = nullptr;
  std::vector<const RecordedCommand*> commands;
};

bool SameAddress(const RecordedRoot& root, const RecordedAspiDevice& device) {
  return root.address && root.address->outcome == ScsiAddressResult::Outcome::Found &&
         root.address->port == device.hostAdapter && root.address->target == device.target &&
         root.address->lun == device.lun;
}

std::vector<Slot> BuildSlots(const Trace& trace) {
  std::vector<Slot> slots;
  for (const RecordedRoot& root : trace.roots) {
    slots.push_back(Slot{&root, nullptr, {}});
  }
  std::vector<const RecordedAspiDevice*> unplaced;
  for (const RecordedAspiDevice& device : trace.aspiDevices) {
    Slot* match = nullptr;
    for (Slot& slot : slots) {
      if (slot.aspi == nullptr && SameAddress(*slot.root, device)) {
        match = &slot;
        break;
      }
    }
    if (match != nullptr) {
      match->aspi = &device;
    } else {
      unplaced.push_back(&device);
    }
  }
  // Nodes whose address nobody asked for take the remaining CD/DVD devices in order, so the
  // manager and the node list count the same drives.
  for (const RecordedAspiDevice* device : unplaced) {
    Slot* free = nullptr;
    if (device->deviceType == kDeviceTypeCdrom) {
      for (Slot& slot : slots) {
        if (slot.root != nullptr && slot.aspi == nullptr && !slot.root->address &&
            slot.root->cdrom.value_or(true)) {
          free = &slot;
          break;
        }
      }
    }
    if (free != nullptr) {
      free->aspi = device;
    } else {
      slots.push_back(Slot{nullptr, device, {}});
    }
  }
  for (const RecordedCommand& command : trace.commands) {
    for (Slot& slot : slots) {
      const bool here =
          command.viaAspi ? slot.aspi != nullptr && slot.aspi->hostAdapter == command.hostAdapter &&
                                slot.aspi->target == command.target && slot.aspi->lun == command.lun
                          : slot.root != nullptr && slot.root->root == command.root;
      if (here) {
        slot.commands.push_back(&command);
        break;
      }
    }
  }
  return slots;
}

json AddressJson(const ScsiAddressResult& address) {
  switch (address.outcome) {
    case ScsiAddressResult::Outcome::Found:
      return json::array({address.port, address.pathId, address.target, address.lun});
    case ScsiAddressResult::Outcome::LengthZero:
      return "lengthZero";
    case ScsiAddressResult::Outcome::CallFailed:
      break;
  }
  return "callFailed";
}

json AttachmentJson(const Trace& trace, const Slot& slot, std::size_t index) {
  json a = json::object();
  if (slot.root != nullptr) {
    a["root"] = slot.root->root;
    if (slot.root->cdrom) {
      a["cdromRoot"] = *slot.root->cdrom;
    }
    if (slot.root->openFailed && !slot.root->opened) {
      a["openFails"] = true;
    }
    if (slot.root->address) {
      a["address"] = AddressJson(*slot.root->address);
    }
  } else {
    a["root"] = "aspi" + std::to_string(index);
    a["listedAsRoot"] = false;
  }
  if (slot.aspi != nullptr) {
    a["aspi"] = json::array({slot.aspi->hostAdapter, slot.aspi->target, slot.aspi->lun});
    a["transport"] = trace.aspiLoaded ? kTransportAspi : kTransportPassThrough;
  } else {
    a["aspi"] = false;
  }
  return a;
}

json ReplyJson(const RecordedCommand& command) {
  json reply = json::object();
  if (command.transportFailure) {
    reply["transportFailure"] = true;
  } else if (command.sense) {
    reply["sense"] = json::array({command.sense->key, command.sense->asc, command.sense->ascq});
    if (command.transferred != 0) {
      reply["transferred"] = command.transferred;
    }
  } else if (command.direction == kDirectionOut) {
    reply["sent"] = Hex(command.data);
    if (command.transferred != command.length) {
      reply["transferred"] = command.transferred;
    }
  } else {
    if (!command.data.empty()) {
      reply["data"] = Hex(command.data);
    }
    if (command.transferred != command.data.size()) {
      reply["transferred"] = command.transferred;
    }
  }
  if (command.elapsedMs != 0) {
    reply["ms"] = command.elapsedMs;
  }
  return reply;
}

std::string ProfileName(const Slot& slot) {
  for (const RecordedCommand* command : slot.commands) {
    if (command->cdb[0] == kInquiryOpcode && !command->sense && !command->transportFailure &&
        command->data.size() >= kInquiryTextOffset + kInquiryTextLength) {
      std::string text(command->data.begin() + kInquiryTextOffset,
                       command->data.begin() + kInquiryTextOffset + kInquiryTextLength);
      for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) {
          c = ' ';
        }
      }
      return "Captured: " + text;
    }
  }
  return "Captured drive without an INQUIRY answer";
}

json SlotProfile(const Trace& trace, const Slot& slot, std::size_t index) {
  json commands = json::array();
  // Answers of the same CDB in the same phase form one sequence, in call order.
  std::vector<std::pair<std::pair<CommandPhase, Cdb>, std::size_t>> seen;
  for (const RecordedCommand* command : slot.commands) {
    const auto key = std::make_pair(command->phase, command->cdb);
    std::size_t at = commands.size();
    for (const auto& [k, position] : seen) {
      if (k == key) {
        at = position;
        break;
      }
    }
    if (at == commands.size()) {
      seen.emplace_back(key, at);
      commands.push_back(
          json{{"cdb", Hex(command->cdb.data(), command->cdb.size())},
               {"phase", command->phase == CommandPhase::StartUp ? kPhaseStartUp : kPhaseCheck},
               {"replies", json::array()}});
    }
    commands[at]["replies"].push_back(ReplyJson(*command));
  }
  json profile = json::object();
  profile["name"] = ProfileName(slot);
  profile["attachment"] = AttachmentJson(trace, slot, index);
  if (slot.aspi != nullptr && slot.aspi->deviceType != kDeviceTypeCdrom) {
    profile["drive"] = json{{"inquiry", json{{"deviceType", slot.aspi->deviceType}}}};
  }
  const Sense unnamed = kSenseInvalidOpcode;
  profile["replay"] =
      json{{"default", json{{"sense", json::array({unnamed.key, unnamed.asc, unnamed.ascq})}}},
           {"commands", commands}};
  return profile;
}

}  // namespace

json TraceToProfiles(const Trace& trace) {
  const std::vector<Slot> slots = BuildSlots(trace);
  json profiles = json::array();
  for (std::size_t i = 0; i < slots.size(); ++i) {
    profiles.push_back(SlotProfile(trace, slots[i], i));
  }
  if (profiles.size() == 1) {
    return profiles[0];
  }
  return profiles;
}

bool WriteTraceFile(const Trace& trace, const std::string& path, std::string& error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) {
    error = path + ": cannot create the trace file";
    return false;
  }
  out << TraceToProfiles(trace).dump(2) << '\n';
  out.close();
  if (!out) {
    error = path + ": cannot write the trace file";
    return false;
  }
  return true;
}

}  // namespace kv::emu
