// The builder's parameter file: sections, KEY=value lines and media record lines that rewrite the
// property block inside a copy of the executable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kv {

// Appends the file's lines (pieces of at most 2047 characters, untrimmed) to lines. False when the
// file cannot be opened; lines is then left as it was.
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
