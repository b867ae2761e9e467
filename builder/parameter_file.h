// The builder's parameter file: sections, KEY=value lines and media record lines that rewrite the
// property block inside a copy of the executable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "os/input_file.h"

namespace kv {

// How much of a parameter file is read: many times what a property block can take; the rest of a
// longer file is ignored.
inline constexpr std::size_t kParameterFileReadLimit = std::size_t{1} << 20;

// Appends the file's lines (pieces of at most 2047 characters, untrimmed) to lines, leaving out
// pieces that are empty once trimmed (they change nothing). Only a regular file is read, at most
// kParameterFileReadLimit bytes of it. On any status but Ok lines is left as it was.
InputFileStatus ReadParameterFileLines(const std::string& path, std::vector<std::string>& lines);

// The same, true when the status is Ok.
bool ReadParameterFile(const std::string& path, std::vector<std::string>& lines);

struct ApplyResult {
  bool ok = true;
  std::string error;  // the conversion error that stopped applying, or why the block was refused
};

// Applies the lines in order to the property block that starts at blockOffset in image, then writes
// "BUILDMODE=0". On an error the image is left exactly as it was.
ApplyResult ApplyParameters(const std::vector<std::string>& lines, std::span<uint8_t> image,
                            std::size_t blockOffset);

}  // namespace kv
