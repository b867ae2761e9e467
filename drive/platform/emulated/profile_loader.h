// Reads drive profiles from JSON. Every error names the source (file name or "sample NAME"), the
// field and what is wrong with it; nothing is half-loaded.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "drive/platform/emulated/drive_profile.h"

namespace kv::emu {

// Words of the profile format that the trace writer writes too.
inline constexpr const char* kPhaseStartUp = "startUp";
inline constexpr const char* kPhaseCheck = "check";
inline constexpr const char* kTransportAspi = "aspi";
inline constexpr const char* kTransportPassThrough = "passThrough";

std::optional<DriveProfile> LoadProfileFile(const std::string& path, std::string& error);
std::optional<DriveProfile> ParseProfileText(const std::string& text, const std::string& source,
                                             std::string& error);
std::optional<DriveProfile> ParseProfileJson(const nlohmann::json& json, const std::string& source,
                                             std::string& error);

// A file of one profile, or of a list of them (a whole machine, as a trace writes it).
std::optional<std::vector<DriveProfile>> LoadProfilesFile(const std::string& path,
                                                          std::string& error);
std::optional<std::vector<DriveProfile>> ParseProfilesText(const std::string& text,
                                                           const std::string& source,
                                                           std::string& error);

// "97:25:65" or a number written as minutes*10000 + seconds*100 + frames (972565).
std::optional<MsfTime> ParseMsf(const nlohmann::json& value);
// Hex bytes with optional blanks between them ("00 1A 0b"); nullopt on anything else.
std::optional<std::vector<uint8_t>> ParseHexBytes(const std::string& text);

}  // namespace kv::emu
