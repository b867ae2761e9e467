// Turns a recorded trace into drive profiles that replay it: one profile per drive node or ASPI
// device, each with its attachment and every command it received, answers in call order, kept
// apart by phase. Commands no capture names get ILLEGAL REQUEST 5/20/00.
#pragma once

#include <string>

#include <nlohmann/json_fwd.hpp>

#include "drive/recording_platform.h"

namespace kv::emu {

// One profile object for a machine of one drive, a list of them otherwise.
nlohmann::json TraceToProfiles(const Trace& trace);

// Writes TraceToProfiles to a file; false with error set when it cannot be written.
bool WriteTraceFile(const Trace& trace, const std::string& path, std::string& error);

}  // namespace kv::emu
