// Helpers for driving a VirtualDrive or an EmulatedPlatform with raw CDBs in tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "drive/platform/emulated/emulated_platform.h"
#include "drive/platform/emulated/profile_loader.h"

namespace kv::emu::test {

inline Cdb MakeCdb(std::initializer_list<uint8_t> bytes) {
  Cdb cdb{};
  std::size_t i = 0;
  for (uint8_t b : bytes) {
    cdb[i++] = b;
  }
  return cdb;
}

// One data-in command against a drive; the buffer starts filled with `stale` so that tests can
// see which bytes were moved.
struct InResult {
  DriveResponse response;
  std::vector<uint8_t> buffer;
};

inline InResult RunIn(VirtualDrive& drive, const Cdb& cdb, uint32_t length, uint8_t stale = 0xEE) {
  InResult r;
  r.buffer.assign(length, stale);
  ScsiRequest request;
  request.cdb = cdb;
  request.direction = kDirectionIn;
  request.buffer = length ? r.buffer.data() : nullptr;
  request.length = length;
  r.response = drive.Execute(request);
  return r;
}

inline DriveResponse RunNone(VirtualDrive& drive, const Cdb& cdb) {
  ScsiRequest request;
  request.cdb = cdb;
  request.direction = kDirectionNone;
  return drive.Execute(request);
}

inline DriveResponse RunOut(VirtualDrive& drive, const Cdb& cdb, std::vector<uint8_t> data) {
  ScsiRequest request;
  request.cdb = cdb;
  request.direction = kDirectionOut;
  request.buffer = data.empty() ? nullptr : data.data();
  request.length = static_cast<uint32_t>(data.size());
  return drive.Execute(request);
}

// A profile from JSON text; fails the test (through the returned empty profile name) on error.
inline DriveProfile ProfileFromJson(const std::string& text) {
  std::string error;
  auto profile = ParseProfileText(text, "test", error);
  if (!profile) {
    DriveProfile bad;
    bad.name = "PARSE ERROR: " + error;
    return bad;
  }
  return *profile;
}

inline DriveProfile SampleProfile(const std::string& fileName) {
  std::string error;
  auto profile = LoadProfileFile(std::string(KV_PROFILE_DIR) + "/" + fileName, error);
  if (!profile) {
    DriveProfile bad;
    bad.name = "LOAD ERROR: " + error;
    return bad;
  }
  return *profile;
}

inline uint16_t BE16(const std::vector<uint8_t>& b, std::size_t at) {
  return static_cast<uint16_t>((b.at(at) << 8) | b.at(at + 1));
}
inline uint32_t BE32(const std::vector<uint8_t>& b, std::size_t at) {
  return (static_cast<uint32_t>(BE16(b, at)) << 16) | BE16(b, at + 2);
}
inline std::string Text(const std::vector<uint8_t>& b, std::size_t at, std::size_t n) {
  return std::string(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + n));
}

}  // namespace kv::emu::test
