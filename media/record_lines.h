// The text form of a media record, shared by the user-defined database and the parameter file.
#pragma once

#include <string>
#include <string_view>

#include "media/property_block.h"

namespace kv {

// A trimmed CD record line: lead-in (6), '_', lead-out (6), '=', name. False when the line is not
// a CD record line; the record is then left zeroed.
bool ParseCdRecordLine(std::string_view trimmedLine, CdMediaRecord& out);

enum class DvdLineResult { NotARecord, Record, ConversionError };

// A trimmed DVD record line: 24 hex digits, '=', name. ConversionError when a pair of the first 24
// characters is not two hexadecimal digits; error then holds "'0xNN' is not a valid integer value".
DvdLineResult ParseDvdRecordLine(std::string_view trimmedLine, DvdMediaRecord& out,
                                 std::string& error);

}  // namespace kv
