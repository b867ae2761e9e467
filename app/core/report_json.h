// The --json form of one media check: the drive and the facts the check found.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "app/core/media_check.h"

namespace kv {

struct DriveRecord;

// line is the command-line line the drive was picked by.
nlohmann::json MediaCheckToJson(int line, const DriveRecord& drive, const MediaCheckFacts& facts);

// The object as text; bytes that are not UTF-8 (drive or record texts) become U+FFFD.
std::string DumpJson(const nlohmann::json& value);

}  // namespace kv
