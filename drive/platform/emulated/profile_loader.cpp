// JSON -> DriveProfile. Strict: an unknown field, a wrong type or a bad value is an error that
// names the source and the field path ("drive.capabilities.cdrWrite"), so a typo never passes
// silently as a default.
#include "drive/platform/emulated/profile_loader.h"

#include <new>
#include <set>
#include <string_view>

#include <nlohmann/json.hpp>

#include "drive/configuration_answer.h"
#include "drive/format_capacities_answer.h"
#include "os/ascii_text.h"
#include "os/input_file.h"

namespace kv::emu {

namespace {

using nlohmann::json;

constexpr uint32_t kMsfNumberMinutes = 10000;
constexpr uint32_t kMsfNumberSeconds = 100;
constexpr uint32_t kMaxMinutes = 99;
constexpr uint32_t kMaxSeconds = 59;
constexpr uint32_t kMaxFrames = 74;
using configuration::kMaxProfiles;
constexpr std::size_t kMaxAnswerBytes = 65536;
// Every raw answer of every command key, written out in hex with blanks, stays far below this.
constexpr std::size_t kProfileReadLimit = std::size_t{16} << 20;

// Thrown inside the loader only; ParseProfileJson turns it into the error text.
struct FieldError {
  std::string path;
  std::string what;
};

std::string Join(const std::string& path, const std::string& key) {
  return path.empty() ? key : path + "." + key;
}

bool IsComment(const std::string& key) {
  return !key.empty() && key[0] == '_';
}

void CheckKeys(const json& object, const std::string& path, std::set<std::string> allowed) {
  if (!object.is_object()) {
    throw FieldError{path, "expected an object"};
  }
  for (const auto& [key, value] : object.items()) {
    if (!IsComment(key) && !allowed.count(key)) {
      throw FieldError{Join(path, key), "unknown field"};
    }
  }
}

const json* Find(const json& object, const std::string& key) {
  const auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

bool ReadBool(const json& v, const std::string& path) {
  if (!v.is_boolean()) {
    throw FieldError{path, "expected true or false"};
  }
  return v.get<bool>();
}

// Numbers may be written as JSON numbers or as hex strings ("0x1B").
uint64_t ReadUnsigned(const json& v, const std::string& path, uint64_t max) {
  uint64_t value = 0;
  if (v.is_number_integer()) {
    if (v.get<int64_t>() < 0 && !v.is_number_unsigned()) {
      throw FieldError{path, "expected a number of 0 or more"};
    }
    value = v.get<uint64_t>();
  } else if (v.is_string()) {
    const std::string text = v.get<std::string>();
    std::size_t used = 0;
    try {
      value = std::stoull(text, &used, 0);
    } catch (const std::exception&) {
      used = 0;
    }
    if (used == 0 || used != text.size() || text[0] == '-') {
      throw FieldError{path, "expected a number, got \"" + text + "\""};
    }
  } else {
    throw FieldError{path, "expected a number"};
  }
  if (value > max) {
    throw FieldError{path, "value " + std::to_string(value) + " is above " + std::to_string(max)};
  }
  return value;
}

uint8_t ReadU8(const json& v, const std::string& path) {
  return static_cast<uint8_t>(ReadUnsigned(v, path, 0xFF));
}
uint16_t ReadU16(const json& v, const std::string& path) {
  return static_cast<uint16_t>(ReadUnsigned(v, path, 0xFFFF));
}
uint32_t ReadU32(const json& v, const std::string& path) {
  return static_cast<uint32_t>(ReadUnsigned(v, path, 0xFFFFFFFF));
}

std::string ReadText(const json& v, const std::string& path, std::size_t maxLength) {
  if (!v.is_string()) {
    throw FieldError{path, "expected a text"};
  }
  std::string text = v.get<std::string>();
  if (text.size() > maxLength) {
    throw FieldError{path, "longer than " + std::to_string(maxLength) + " bytes"};
  }
  return text;
}

MsfTime ReadMsf(const json& v, const std::string& path) {
  const auto t = ParseMsf(v);
  if (!t) {
    throw FieldError{path, "expected a time \"mm:ss:ff\" or a number mmssff (frames below 75)"};
  }
  return *t;
}

template <typename T, typename F>
void IfPresent(const json& object, const std::string& path, const std::string& key, T& out,
               F read) {
  if (const json* v = Find(object, key)) {
    out = read(*v, Join(path, key));
  }
}

InquiryIdentity ReadInquiry(const json& o, const std::string& path) {
  CheckKeys(o, path, {"vendor", "product", "revision", "vendorSpecific", "deviceType"});
  InquiryIdentity id;
  IfPresent(o, path, "vendor", id.vendor,
            [](const auto& v, const auto& p) { return ReadText(v, p, 8); });
  IfPresent(o, path, "product", id.product,
            [](const auto& v, const auto& p) { return ReadText(v, p, 16); });
  IfPresent(o, path, "revision", id.revision,
            [](const auto& v, const auto& p) { return ReadText(v, p, 4); });
  IfPresent(o, path, "vendorSpecific", id.vendorSpecific,
            [](const auto& v, const auto& p) { return ReadText(v, p, 20); });
  IfPresent(o, path, "deviceType", id.deviceType, ReadU8);
  return id;
}

Capabilities ReadCapabilities(const json& o, const std::string& path) {
  CheckKeys(o, path,
            {"cdrRead", "cdrwRead", "dvdRomRead", "dvdRRead", "dvdRamRead", "cdrWrite", "cdrwWrite",
             "testWrite", "dvdRWrite", "dvdRamWrite", "maxReadSpeed", "maxCdWriteSpeed",
             "currentWriteSpeed", "bufferSizeKb"});
  Capabilities c;
  IfPresent(o, path, "cdrRead", c.cdrRead, ReadBool);
  IfPresent(o, path, "cdrwRead", c.cdrwRead, ReadBool);
  IfPresent(o, path, "dvdRomRead", c.dvdRomRead, ReadBool);
  IfPresent(o, path, "dvdRRead", c.dvdRRead, ReadBool);
  IfPresent(o, path, "dvdRamRead", c.dvdRamRead, ReadBool);
  IfPresent(o, path, "cdrWrite", c.cdrWrite, ReadBool);
  IfPresent(o, path, "cdrwWrite", c.cdrwWrite, ReadBool);
  IfPresent(o, path, "testWrite", c.testWrite, ReadBool);
  IfPresent(o, path, "dvdRWrite", c.dvdRWrite, ReadBool);
  IfPresent(o, path, "dvdRamWrite", c.dvdRamWrite, ReadBool);
  IfPresent(o, path, "maxReadSpeed", c.maxReadSpeed, ReadU16);
  IfPresent(o, path, "maxCdWriteSpeed", c.maxCdWriteSpeed, ReadU16);
  IfPresent(o, path, "currentWriteSpeed", c.currentWriteSpeed, ReadU16);
  IfPresent(o, path, "bufferSizeKb", c.bufferSizeKb, ReadU16);
  return c;
}

std::vector<WriteSpeedDescriptor> ReadWriteSpeeds(const json& v, const std::string& path) {
  if (!v.is_array()) {
    throw FieldError{path, "expected a list"};
  }
  std::vector<WriteSpeedDescriptor> list;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const std::string p = path + "[" + std::to_string(i) + "]";
    CheckKeys(v[i], p, {"endLba", "readSpeed", "writeSpeed"});
    WriteSpeedDescriptor d;
    IfPresent(v[i], p, "endLba", d.endLba, ReadU32);
    IfPresent(v[i], p, "readSpeed", d.readSpeed, ReadU32);
    IfPresent(v[i], p, "writeSpeed", d.writeSpeed, ReadU32);
    list.push_back(d);
  }
  return list;
}

std::string ReadCommandKey(const std::string& key, const std::string& path) {
  // "43", "43/04", or "*" for faults.
  std::string upper;
  for (char ch : key) {
    upper += AsciiUpper(ch);
  }
  const auto isHex2 = [](const std::string& s, std::size_t at) {
    return at + 2 <= s.size() && AsciiHexValue(s[at]) >= 0 && AsciiHexValue(s[at + 1]) >= 0;
  };
  const bool plain = upper.size() == 2 && isHex2(upper, 0);
  const bool sub = upper.size() == 5 && isHex2(upper, 0) && upper[2] == '/' && isHex2(upper, 3);
  if (!plain && !sub) {
    throw FieldError{path, "command key must be an opcode \"43\" or opcode/field \"43/04\""};
  }
  return upper;
}

Drive ReadDrive(const json& o, const std::string& path) {
  CheckKeys(o, path,
            {"inquiry", "capabilities", "profiles", "currentProfile", "writeSpeeds",
             "vendorMediaId", "padToAllocation", "unsupported"});
  Drive d;
  IfPresent(o, path, "inquiry", d.inquiry, ReadInquiry);
  IfPresent(o, path, "capabilities", d.capabilities, ReadCapabilities);
  if (const json* v = Find(o, "profiles")) {
    const std::string p = Join(path, "profiles");
    if (!v->is_array()) {
      throw FieldError{p, "expected a list of profile numbers"};
    }
    if (v->size() > kMaxProfiles) {
      throw FieldError{p, "at most 63 profiles fit the profile list feature"};
    }
    for (std::size_t i = 0; i < v->size(); ++i) {
      d.profiles.push_back(ReadU16((*v)[i], p + "[" + std::to_string(i) + "]"));
    }
  }
  if (const json* v = Find(o, "currentProfile")) {
    d.currentProfile = ReadU16(*v, Join(path, "currentProfile"));
  }
  IfPresent(o, path, "writeSpeeds", d.writeSpeeds, ReadWriteSpeeds);
  IfPresent(o, path, "vendorMediaId", d.vendorMediaId, ReadBool);
  IfPresent(o, path, "padToAllocation", d.padToAllocation, ReadBool);
  if (const json* v = Find(o, "unsupported")) {
    const std::string p = Join(path, "unsupported");
    if (!v->is_array()) {
      throw FieldError{p, "expected a list of command keys"};
    }
    for (std::size_t i = 0; i < v->size(); ++i) {
      const std::string ip = p + "[" + std::to_string(i) + "]";
      d.unsupported.push_back(ReadCommandKey(ReadText((*v)[i], ip, 5), ip));
    }
  }
  return d;
}

void ReadDiscKind(const json& v, const std::string& path, Disc& disc) {
  const std::string kind = ReadText(v, path, 16);
  struct Named {
    const char* name;
    DiscKind kind;
    int bookType;  // -1: not a DVD
  };
  static constexpr Named kKinds[] = {
      {"none", DiscKind::None, -1},  {"CD-ROM", DiscKind::CdRom, -1}, {"CD-R", DiscKind::CdR, -1},
      {"CD-RW", DiscKind::CdRw, -1}, {"DVD", DiscKind::Dvd, -2},      {"DVD-ROM", DiscKind::Dvd, 0},
      {"DVD-RAM", DiscKind::Dvd, 1}, {"DVD-R", DiscKind::Dvd, 2},     {"DVD-RW", DiscKind::Dvd, 3},
      {"DVD+RW", DiscKind::Dvd, 9},  {"DVD+R", DiscKind::Dvd, 10},
  };
  for (const Named& n : kKinds) {
    if (kind == n.name) {
      disc.kind = n.kind;
      if (n.bookType >= 0) {
        disc.bookType = static_cast<uint8_t>(n.bookType);
      }
      return;
    }
  }
  throw FieldError{path, "unknown disc kind \"" + kind +
                             "\" (none, CD-ROM, CD-R, CD-RW, DVD, DVD-ROM, DVD-RAM, DVD-R, "
                             "DVD-RW, DVD+RW, DVD+R)"};
}

Disc ReadDisc(const json& o, const std::string& path) {
  CheckKeys(o, path,
            {"kind", "blank", "atip", "discInformation", "dvd", "capacityBlocks",
             "formatCapacities", "maxWriteSpeed", "writeSpeeds"});
  Disc d;
  const json* kind = Find(o, "kind");
  if (!kind) {
    throw FieldError{Join(path, "kind"), "missing"};
  }
  ReadDiscKind(*kind, Join(path, "kind"), d);
  d.hasAtip = d.kind == DiscKind::CdR || d.kind == DiscKind::CdRw;
  if (const json* a = Find(o, "atip")) {
    const std::string p = Join(path, "atip");
    CheckKeys(*a, p,
              {"present", "headerOnly", "leadIn", "leadOut", "subType", "referenceSpeed",
               "writingPower"});
    IfPresent(*a, p, "present", d.hasAtip, ReadBool);
    IfPresent(*a, p, "headerOnly", d.atipHeaderOnly, ReadBool);
    IfPresent(*a, p, "leadIn", d.atipLeadIn, ReadMsf);
    IfPresent(*a, p, "leadOut", d.atipLeadOut, ReadMsf);
    IfPresent(*a, p, "subType", d.atipSubType, ReadU8);
    IfPresent(*a, p, "referenceSpeed", d.atipReferenceSpeed, ReadU8);
    IfPresent(*a, p, "writingPower", d.atipWritingPower, ReadU8);
    if (d.atipSubType > 7) {
      throw FieldError{Join(p, "subType"), "must be 0 to 7"};
    }
  }
  if (const json* di = Find(o, "discInformation")) {
    const std::string p = Join(path, "discInformation");
    CheckKeys(*di, p, {"leadIn", "leadOut"});
    if (const json* v = Find(*di, "leadIn")) {
      d.discInfoLeadIn = ReadMsf(*v, Join(p, "leadIn"));
    }
    if (const json* v = Find(*di, "leadOut")) {
      d.discInfoLeadOut = ReadMsf(*v, Join(p, "leadOut"));
    }
  }
  if (const json* v = Find(o, "dvd")) {
    const std::string p = Join(path, "dvd");
    CheckKeys(*v, p,
              {"bookType", "partVersion", "layers", "layerType", "startSectorTopByte", "endSector",
               "mediaId", "typeId", "productRevision", "manufacturerId"});
    if (d.kind != DiscKind::Dvd) {
      throw FieldError{p, "only a DVD disc has DVD facts"};
    }
    IfPresent(*v, p, "bookType", d.bookType, ReadU8);
    IfPresent(*v, p, "partVersion", d.partVersion, ReadU8);
    IfPresent(*v, p, "layers", d.layers, ReadU8);
    IfPresent(*v, p, "layerType", d.layerType, ReadU8);
    IfPresent(*v, p, "startSectorTopByte", d.startSectorTopByte, ReadU8);
    IfPresent(*v, p, "endSector", d.endSector, ReadU32);
    IfPresent(*v, p, "mediaId", d.mediaId,
              [](const auto& x, const auto& q) { return ReadText(x, q, 8); });
    IfPresent(*v, p, "typeId", d.typeId,
              [](const auto& x, const auto& q) { return ReadText(x, q, 3); });
    IfPresent(*v, p, "productRevision", d.productRevision, ReadU8);
    IfPresent(*v, p, "manufacturerId", d.manufacturerId,
              [](const auto& x, const auto& q) { return ReadText(x, q, 12); });
    if (d.bookType > 15) {
      throw FieldError{Join(p, "bookType"), "must be 0 to 15"};
    }
    if (d.layers < 1 || d.layers > 4) {
      throw FieldError{Join(p, "layers"), "must be 1 to 4"};
    }
  } else if (d.kind == DiscKind::Dvd && Find(o, "kind")->get<std::string>() == "DVD") {
    throw FieldError{Join(path, "dvd.bookType"), "missing (kind \"DVD\" needs a book type)"};
  }
  // Defaults that follow the final book type: pressed discs are complete, recordable ones blank.
  const bool rewritable = d.bookType == 1 || d.bookType == 3 || d.bookType == 9;
  if (d.kind == DiscKind::Dvd && !(Find(o, "dvd") && Find(*Find(o, "dvd"), "layerType"))) {
    d.layerType = d.bookType == 0 ? 1 : rewritable ? 4 : 2;
  }
  d.blank = d.kind == DiscKind::CdR || d.kind == DiscKind::CdRw ||
            (d.kind == DiscKind::Dvd && d.bookType != 0);
  IfPresent(o, path, "blank", d.blank, ReadBool);
  IfPresent(o, path, "capacityBlocks", d.capacityBlocks, ReadU32);
  if (const json* v = Find(o, "formatCapacities")) {
    const std::string p = Join(path, "formatCapacities");
    if (!v->is_array()) {
      throw FieldError{p, "expected a list"};
    }
    for (std::size_t i = 0; i < v->size(); ++i) {
      const std::string ip = p + "[" + std::to_string(i) + "]";
      const std::string typeKey = i == 0 ? "descriptorType" : "formatType";
      CheckKeys((*v)[i], ip, {"blocks", typeKey, "parameter"});
      FormatCapacity f;
      IfPresent((*v)[i], ip, "blocks", f.blocks, ReadU32);
      IfPresent((*v)[i], ip, typeKey, f.type, ReadU8);
      IfPresent((*v)[i], ip, "parameter", f.parameter, ReadU32);
      if (f.type > (i == 0 ? 3 : 0x3F) || f.parameter > 0xFFFFFF) {
        throw FieldError{ip, "descriptor type 0-3, format type 0-3Fh, parameter 24 bits"};
      }
      d.formatCapacities.push_back(f);
    }
    if (d.formatCapacities.size() > format_capacities::kMaxDescriptors) {
      throw FieldError{p, "at most 31 descriptors fit the capacity list"};
    }
  }
  if (d.capacityBlocks == 0 && d.formatCapacities.empty() && d.hasAtip) {
    d.capacityBlocks = MsfToLba(d.atipLeadOut);
  }
  IfPresent(o, path, "maxWriteSpeed", d.maxWriteSpeed, ReadU16);
  if (const json* v = Find(o, "writeSpeeds")) {
    d.writeSpeeds = ReadWriteSpeeds(*v, Join(path, "writeSpeeds"));
  }
  return d;
}

std::vector<uint8_t> ReadAnswerBytes(const json& v, const std::string& path) {
  const auto bytes = ParseHexBytes(ReadText(v, path, 1 << 20));
  if (!bytes) {
    throw FieldError{path, "expected hex bytes such as \"00 1A 02\""};
  }
  if (bytes->size() > kMaxAnswerBytes) {
    throw FieldError{path, "longer than 65536 bytes"};
  }
  return *bytes;
}

Sense ReadSense(const json& v, const std::string& p) {
  if (!v.is_array() || v.size() != 3) {
    throw FieldError{p, "expected [key, asc, ascq]"};
  }
  Sense s{ReadU8(v[0], p + "[0]"), ReadU8(v[1], p + "[1]"), ReadU8(v[2], p + "[2]")};
  if (s.key == 0 || s.key > 0x0F) {
    throw FieldError{p + "[0]", "a sense key must be 1 to 15"};
  }
  return s;
}

// "43 02 04 .. .. .. .. .. 18": hex bytes, ".." for a byte that may be anything.
std::vector<std::optional<uint8_t>> ReadCdbPattern(const json& v, const std::string& path) {
  const std::string text = ReadText(v, path, 64);
  std::vector<std::optional<uint8_t>> pattern;
  std::istringstream words(text);
  std::string word;
  while (words >> word) {
    if (word == "..") {
      pattern.emplace_back();
      continue;
    }
    const auto byte = ParseHexBytes(word);
    if (!byte || byte->size() != 1) {
      throw FieldError{path,
                       "expected hex bytes or \"..\" separated by blanks, got \"" + word + "\""};
    }
    pattern.emplace_back(byte->front());
  }
  if (pattern.empty() || !pattern.front() || pattern.size() > kCdbLength) {
    throw FieldError{path, "expected the opcode and at most 12 bytes"};
  }
  return pattern;
}

ReplayReply ReadReply(const json& o, const std::string& path) {
  CheckKeys(o, path, {"data", "sense", "transportFailure", "transferred", "ms", "sent"});
  ReplayReply r;
  if (const json* v = Find(o, "data")) {
    r.data = ReadAnswerBytes(*v, Join(path, "data"));
  }
  if (const json* v = Find(o, "sense")) {
    r.sense = ReadSense(*v, Join(path, "sense"));
  }
  IfPresent(o, path, "transportFailure", r.transportFailure, ReadBool);
  if (const json* v = Find(o, "transferred")) {
    r.transferred = ReadU32(*v, Join(path, "transferred"));
  }
  IfPresent(o, path, "ms", r.latencyMs, ReadU32);
  if (const json* v = Find(o, "sent")) {
    ReadAnswerBytes(*v, Join(path, "sent"));  // what the program sent: kept for the reader only
  }
  if ((r.sense || r.transportFailure) && !r.data.empty()) {
    throw FieldError{Join(path, "data"), "a failed command moves no data"};
  }
  return r;
}

void ReadReplay(const json& o, const std::string& path, DriveProfile& profile) {
  CheckKeys(o, path, {"default", "commands"});
  if (const json* v = Find(o, "default")) {
    profile.defaultReply = ReadReply(*v, Join(path, "default"));
  }
  const json* commands = Find(o, "commands");
  if (commands == nullptr) {
    return;
  }
  const std::string p = Join(path, "commands");
  if (!commands->is_array()) {
    throw FieldError{p, "expected a list"};
  }
  for (std::size_t i = 0; i < commands->size(); ++i) {
    const std::string ip = p + "[" + std::to_string(i) + "]";
    const json& c = (*commands)[i];
    CheckKeys(c, ip, {"cdb", "phase", "replies"});
    ReplayCommand command;
    const json* cdb = Find(c, "cdb");
    if (cdb == nullptr) {
      throw FieldError{Join(ip, "cdb"), "missing"};
    }
    command.cdb = ReadCdbPattern(*cdb, Join(ip, "cdb"));
    if (const json* v = Find(c, "phase")) {
      const std::string phase = ReadText(*v, Join(ip, "phase"), 16);
      if (phase == kPhaseStartUp) {
        command.phase = CommandPhase::StartUp;
      } else if (phase == kPhaseCheck) {
        command.phase = CommandPhase::Check;
      } else {
        throw FieldError{Join(ip, "phase"), "expected \"startUp\" or \"check\""};
      }
    }
    const json* replies = Find(c, "replies");
    const std::string rp = Join(ip, "replies");
    if (replies == nullptr || !replies->is_array() || replies->empty()) {
      throw FieldError{rp, "expected a list of at least one reply"};
    }
    for (std::size_t j = 0; j < replies->size(); ++j) {
      command.replies.push_back(ReadReply((*replies)[j], rp + "[" + std::to_string(j) + "]"));
    }
    profile.replay.push_back(std::move(command));
  }
}

Fault ReadFault(const json& o, const std::string& path) {
  CheckKeys(o, path,
            {"sense", "transportFailure", "short", "misreport", "latencyMs", "hang", "refused",
             "failAfter", "times"});
  Fault f;
  if (const json* v = Find(o, "sense")) {
    f.sense = ReadSense(*v, Join(path, "sense"));
  }
  IfPresent(o, path, "transportFailure", f.transportFailure, ReadBool);
  if (const json* v = Find(o, "short")) {
    f.shortBytes = ReadU32(*v, Join(path, "short"));
  }
  if (const json* v = Find(o, "misreport")) {
    f.misreport = ReadU32(*v, Join(path, "misreport"));
  }
  IfPresent(o, path, "latencyMs", f.latencyMs, ReadU32);
  IfPresent(o, path, "hang", f.hang, ReadBool);
  IfPresent(o, path, "refused", f.refused, ReadBool);
  IfPresent(o, path, "failAfter", f.failAfter, ReadU32);
  if (const json* v = Find(o, "times")) {
    f.times = ReadU32(*v, Join(path, "times"));
  }
  return f;
}

std::vector<uint8_t> ReadByteList(const json& v, const std::string& path, std::size_t count,
                                  const char* what) {
  if (!v.is_array() || v.size() != count) {
    throw FieldError{path, std::string("expected ") + what};
  }
  std::vector<uint8_t> bytes;
  for (std::size_t i = 0; i < count; ++i) {
    bytes.push_back(ReadU8(v[i], path + "[" + std::to_string(i) + "]"));
  }
  return bytes;
}

ProfileAttachment ReadAttachment(const json& o, const std::string& path) {
  CheckKeys(o, path,
            {"root", "listedAsRoot", "cdromRoot", "openFails", "address", "aspi", "transport"});
  ProfileAttachment a;
  if (const json* v = Find(o, "root")) {
    a.root = ReadText(*v, Join(path, "root"), 7);
    if (a.root->empty()) {
      throw FieldError{Join(path, "root"), "must not be empty"};
    }
  }
  if (const json* v = Find(o, "listedAsRoot")) {
    a.listedAsRoot = ReadBool(*v, Join(path, "listedAsRoot"));
  }
  if (const json* v = Find(o, "cdromRoot")) {
    a.cdromRoot = ReadBool(*v, Join(path, "cdromRoot"));
  }
  if (const json* v = Find(o, "openFails")) {
    a.openFails = ReadBool(*v, Join(path, "openFails"));
  }
  if (const json* v = Find(o, "address")) {
    const std::string p = Join(path, "address");
    using Outcome = ProfileAttachment::AddressOutcome;
    if (v->is_string() && v->get<std::string>() == "callFailed") {
      a.addressOutcome = Outcome::CallFailed;
    } else if (v->is_string() && v->get<std::string>() == "lengthZero") {
      a.addressOutcome = Outcome::LengthZero;
    } else {
      a.address = ReadByteList(*v, p, 4,
                               "[port, pathId, target, lun], \"callFailed\" or "
                               "\"lengthZero\"");
      a.addressOutcome = Outcome::Found;
    }
  }
  if (const json* v = Find(o, "aspi")) {
    const std::string p = Join(path, "aspi");
    if (v->is_boolean() && !v->get<bool>()) {
      a.aspiVisible = false;
    } else {
      a.aspiAddress = ReadByteList(*v, p, 3, "[hostAdapter, target, lun] or false");
      a.aspiVisible = true;
    }
  }
  if (const json* v = Find(o, "transport")) {
    const std::string p = Join(path, "transport");
    const std::string transport = ReadText(*v, p, 16);
    if (transport != kTransportAspi && transport != kTransportPassThrough) {
      throw FieldError{p, "expected \"passThrough\" or \"aspi\""};
    }
    a.aspiTransport = transport == kTransportAspi;
    if (*a.aspiTransport && a.aspiVisible == false) {
      throw FieldError{p,
                       "a drive hidden from the ASPI-style manager cannot be reached through it"};
    }
  }
  return a;
}

DriveProfile ReadProfile(const json& root) {
  CheckKeys(root, "",
            {"name", "attachment", "drive", "disc", "raw", "faults", "becomingReady", "replay"});
  DriveProfile profile;
  IfPresent(root, "", "name", profile.name,
            [](const auto& v, const auto& p) { return ReadText(v, p, 200); });
  IfPresent(root, "", "attachment", profile.attachment, ReadAttachment);
  IfPresent(root, "", "drive", profile.drive, ReadDrive);
  IfPresent(root, "", "disc", profile.disc, ReadDisc);
  if (const json* raw = Find(root, "raw")) {
    if (!raw->is_object()) {
      throw FieldError{"raw", "expected an object of command key -> hex bytes"};
    }
    for (const auto& [key, value] : raw->items()) {
      const std::string p = "raw." + key;
      const std::string command = ReadCommandKey(key, p);
      if (value.is_array()) {
        if (value.empty()) {
          throw FieldError{p, "expected at least one answer"};
        }
        for (std::size_t i = 0; i < value.size(); ++i) {
          profile.raw[command].push_back(
              ReadAnswerBytes(value[i], p + "[" + std::to_string(i) + "]"));
        }
      } else {
        profile.raw[command].push_back(ReadAnswerBytes(value, p));
      }
    }
  }
  if (const json* faults = Find(root, "faults")) {
    if (!faults->is_object()) {
      throw FieldError{"faults", "expected an object"};
    }
    for (const auto& [key, value] : faults->items()) {
      const std::string p = "faults." + key;
      const std::string command = key == "*" ? key : ReadCommandKey(key, p);
      if (value.is_array()) {
        for (std::size_t i = 0; i < value.size(); ++i) {
          profile.faults[command].push_back(ReadFault(value[i], p + "[" + std::to_string(i) + "]"));
        }
      } else {
        profile.faults[command].push_back(ReadFault(value, p));
      }
    }
  }
  if (const json* r = Find(root, "replay")) {
    ReadReplay(*r, "replay", profile);
  }
  if (const json* r = Find(root, "becomingReady")) {
    CheckKeys(*r, "becomingReady", {"notReadyPolls", "unitAttentionPolls"});
    IfPresent(*r, "becomingReady", "notReadyPolls", profile.readiness.notReadyPolls, ReadU32);
    IfPresent(*r, "becomingReady", "unitAttentionPolls", profile.readiness.unitAttentionPolls,
              ReadU32);
  }
  return profile;
}

}  // namespace

std::optional<MsfTime> ParseMsf(const nlohmann::json& value) {
  uint32_t m = 0;
  uint32_t s = 0;
  uint32_t f = 0;
  if (value.is_number_integer()) {
    if (!value.is_number_unsigned() && value.get<int64_t>() < 0) {
      return std::nullopt;
    }
    const uint64_t n = value.get<uint64_t>();
    if (n > 999999) {
      return std::nullopt;
    }
    m = static_cast<uint32_t>(n / kMsfNumberMinutes);
    s = static_cast<uint32_t>(n / kMsfNumberSeconds % 100);
    f = static_cast<uint32_t>(n % kMsfNumberSeconds);
  } else if (value.is_string()) {
    const std::string text = value.get<std::string>();
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') {
      return std::nullopt;
    }
    for (std::size_t i : {0u, 1u, 3u, 4u, 6u, 7u}) {
      if (!IsAsciiDigit(text[i])) {
        return std::nullopt;
      }
    }
    m = static_cast<uint32_t>(std::stoul(text.substr(0, 2)));
    s = static_cast<uint32_t>(std::stoul(text.substr(3, 2)));
    f = static_cast<uint32_t>(std::stoul(text.substr(6, 2)));
  } else {
    return std::nullopt;
  }
  if (m > kMaxMinutes || s > kMaxSeconds || f > kMaxFrames) {
    return std::nullopt;
  }
  return MsfTime{static_cast<uint8_t>(m), static_cast<uint8_t>(s), static_cast<uint8_t>(f)};
}

std::optional<std::vector<uint8_t>> ParseHexBytes(const std::string& text) {
  std::vector<uint8_t> bytes;
  int high = -1;
  for (char ch : text) {
    if (ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r') {
      if (high >= 0) {
        return std::nullopt;  // a lone digit
      }
      continue;
    }
    const int digit = AsciiHexValue(ch);
    if (digit < 0) {
      return std::nullopt;
    }
    if (high < 0) {
      high = digit;
    } else {
      bytes.push_back(static_cast<uint8_t>(high * 16 + digit));
      high = -1;
    }
  }
  if (high >= 0) {
    return std::nullopt;
  }
  return bytes;
}

namespace {

// The JSON library's message without its internal error code ("[json.exception.parse_error.101]
// parse error at ..." becomes "at ...").
std::string PlainJsonMessage(const nlohmann::json::exception& e) {
  std::string text = e.what();
  const std::size_t close = text.find("] ");
  if (!text.empty() && text.front() == '[' && close != std::string::npos) {
    text.erase(0, close + 2);
  }
  constexpr std::string_view kParseErrorWords = "parse error ";
  if (text.compare(0, kParseErrorWords.size(), kParseErrorWords) == 0) {
    text.erase(0, kParseErrorWords.size());
  }
  return text;
}

}  // namespace

std::optional<DriveProfile> ParseProfileJson(const nlohmann::json& json, const std::string& source,
                                             std::string& error) {
  try {
    return ReadProfile(json);
  } catch (const FieldError& e) {
    error = source + ": " + (e.path.empty() ? std::string("profile") : "field '" + e.path + "'") +
            ": " + e.what;
  } catch (const nlohmann::json::exception& e) {
    error = source + ": " + PlainJsonMessage(e);
  } catch (const std::bad_alloc&) {
    error = source + ": too large to load";
  }
  return std::nullopt;
}

namespace {

// The JSON document of a profile file, or the reason it is none.
std::optional<nlohmann::json> ParseJsonText(const std::string& text, const std::string& source,
                                            std::string& error) {
  try {
    return nlohmann::json::parse(text);
  } catch (const nlohmann::json::parse_error& e) {
    error = source + ": not valid JSON " + PlainJsonMessage(e);
  } catch (const nlohmann::json::exception& e) {
    // Besides syntax errors, a number beyond the range of a double is refused while parsing.
    error = source + ": not valid JSON: " + PlainJsonMessage(e);
  } catch (const std::bad_alloc&) {
    error = source + ": too large to load";
  }
  return std::nullopt;
}

}  // namespace

std::optional<DriveProfile> ParseProfileText(const std::string& text, const std::string& source,
                                             std::string& error) {
  const auto json = ParseJsonText(text, source, error);
  if (!json) {
    return std::nullopt;
  }
  return ParseProfileJson(*json, source, error);
}

namespace {

std::optional<std::string> ReadWholeFile(const std::string& path, std::string& error) {
  std::string text;
  switch (ReadInputFile(path, kProfileReadLimit, text)) {
    case InputFileStatus::Ok:
      return text;
    case InputFileStatus::Missing:
    case InputFileStatus::NotRegularFile:
      error = path + ": cannot open the profile file";
      return std::nullopt;
    case InputFileStatus::Unreadable:
      error = path + ": cannot read the profile file";
      return std::nullopt;
    case InputFileStatus::TooLarge:
      error = path + ": the profile file is larger than a profile can be";
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

std::optional<DriveProfile> LoadProfileFile(const std::string& path, std::string& error) {
  const auto text = ReadWholeFile(path, error);
  if (!text) {
    return std::nullopt;
  }
  return ParseProfileText(*text, path, error);
}

std::optional<std::vector<DriveProfile>> ParseProfilesText(const std::string& text,
                                                           const std::string& source,
                                                           std::string& error) {
  const auto parsed = ParseJsonText(text, source, error);
  if (!parsed) {
    return std::nullopt;
  }
  const nlohmann::json& json = *parsed;
  std::vector<DriveProfile> profiles;
  if (!json.is_array()) {
    auto profile = ParseProfileJson(json, source, error);
    if (!profile) {
      return std::nullopt;
    }
    profiles.push_back(std::move(*profile));
    return profiles;
  }
  if (json.empty()) {
    error = source + ": the list holds no profile";
    return std::nullopt;
  }
  for (std::size_t i = 0; i < json.size(); ++i) {
    auto profile = ParseProfileJson(json[i], source + "[" + std::to_string(i) + "]", error);
    if (!profile) {
      return std::nullopt;
    }
    profiles.push_back(std::move(*profile));
  }
  return profiles;
}

std::optional<std::vector<DriveProfile>> LoadProfilesFile(const std::string& path,
                                                          std::string& error) {
  const auto text = ReadWholeFile(path, error);
  if (!text) {
    return std::nullopt;
  }
  return ParseProfilesText(*text, path, error);
}

}  // namespace kv::emu
