// The prototype: the running program's own executable file, read whole into memory, and the
// position of the property block inside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Reads the file whole into a buffer one byte larger than the file. size is the number of bytes
// read. False when the file cannot be opened or read or the buffer cannot be allocated.
bool LoadPrototype(const std::filesystem::path& path, std::vector<uint8_t>& image,
                   std::size_t& size);

// The 11 characters of the running program's block marker. Taken from the block itself so that the
// text occurs exactly once in the executable file.
std::string MarkerSearchText();

// Offset of the first case-insensitive occurrence of searchText in the first size bytes of image.
// Nothing for an empty search text or when it does not occur.
std::optional<std::size_t> FindBlock(const std::vector<uint8_t>& image, std::size_t size,
                                     std::string_view searchText);

// The block offset of FindBlock, but only when the whole block lies inside the first size bytes.
std::optional<std::size_t> FindWholeBlock(const std::vector<uint8_t>& image, std::size_t size,
                                          std::string_view searchText);

}  // namespace kv
