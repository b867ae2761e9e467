#include "builder/prototype.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <new>
#include <system_error>

#include "media/property_block.h"

namespace kv {

namespace {

// The prototype's size is kept as a signed 32-bit count.
constexpr std::streamoff kLargestPrototype = std::numeric_limits<int32_t>::max();

unsigned char LowerAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

}  // namespace

bool LoadPrototype(const std::filesystem::path& path, std::vector<uint8_t>& image,
                   std::size_t& size) {
  // A directory opens on some systems and reads as nothing; only a regular file is a prototype.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) {
    return false;
  }
  in.seekg(0, std::ios::end);
  const std::streamoff length = in.tellg();
  in.seekg(0, std::ios::beg);
  if (length < 0 || length > kLargestPrototype || !in) {
    return false;
  }
  std::vector<uint8_t> buffer;
  try {
    buffer.resize(static_cast<std::size_t>(length) + 1);
  } catch (const std::bad_alloc&) {
    return false;
  }
  in.read(reinterpret_cast<char*>(buffer.data()), length);
  if (in.bad() || in.gcount() != length) {
    return false;
  }
  image = std::move(buffer);
  size = static_cast<std::size_t>(length);
  return true;
}

std::string MarkerSearchText() {
  const char* marker = Block().Marker;
  constexpr std::size_t kMarkerLength = sizeof(PropertyBlock::Marker) - 1;
  return std::string(marker, strnlen(marker, kMarkerLength));
}

std::optional<std::size_t> FindBlock(const std::vector<uint8_t>& image, std::size_t size,
                                     std::string_view searchText) {
  size = std::min(size, image.size());
  if (searchText.empty() || searchText.size() > size) {
    return std::nullopt;
  }
  const auto end = image.begin() + static_cast<std::ptrdiff_t>(size);
  const auto found = std::search(
      image.begin(), end, searchText.begin(), searchText.end(),
      [](uint8_t a, char b) { return LowerAscii(a) == LowerAscii(static_cast<unsigned char>(b)); });
  if (found == end) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(found - image.begin());
}

std::optional<std::size_t> FindWholeBlock(const std::vector<uint8_t>& image, std::size_t size,
                                          std::string_view searchText) {
  size = std::min(size, image.size());
  const auto offset = FindBlock(image, size, searchText);
  if (!offset || size - *offset < block_offset::kEnd) {
    return std::nullopt;
  }
  return offset;
}

}  // namespace kv
