// Bounds-checked byte access for building answers and reading CDBs and parameter data.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "drive/platform.h"

namespace kv::emu {

// An answer under construction: writes past the end grow it, so a field never lands outside.
class AnswerBytes {
 public:
  explicit AnswerBytes(std::size_t size) : bytes_(size, 0) {}

  void Put8(std::size_t offset, uint8_t value) {
    Reserve(offset + 1);
    bytes_[offset] = value;
  }
  void PutBE16(std::size_t offset, uint32_t value) {
    Put8(offset, static_cast<uint8_t>(value >> 8));
    Put8(offset + 1, static_cast<uint8_t>(value));
  }
  void PutBE24(std::size_t offset, uint32_t value) {
    Put8(offset, static_cast<uint8_t>(value >> 16));
    PutBE16(offset + 1, value);
  }
  void PutBE32(std::size_t offset, uint32_t value) {
    PutBE16(offset, value >> 16);
    PutBE16(offset + 2, value);
  }
  // Copies text into a field of width bytes, cut or padded with pad.
  void PutText(std::size_t offset, std::size_t width, std::string_view text, uint8_t pad) {
    for (std::size_t i = 0; i < width; ++i) {
      Put8(offset + i, i < text.size() ? static_cast<uint8_t>(text[i]) : pad);
    }
  }
  void Append(const std::vector<uint8_t>& more) {
    bytes_.insert(bytes_.end(), more.begin(), more.end());
  }
  std::size_t Size() const { return bytes_.size(); }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  void Reserve(std::size_t size) {
    if (bytes_.size() < size) {
      bytes_.resize(size, 0);
    }
  }
  std::vector<uint8_t> bytes_;
};

// Reads of a byte range that give 0 for bytes past its end.
class ByteView {
 public:
  ByteView(const uint8_t* data, std::size_t size) : data_(data), size_(data ? size : 0) {}
  explicit ByteView(const Cdb& cdb) : data_(cdb.data()), size_(cdb.size()) {}

  uint8_t U8(std::size_t offset) const { return offset < size_ ? data_[offset] : 0; }
  uint16_t BE16(std::size_t offset) const {
    return static_cast<uint16_t>((U8(offset) << 8) | U8(offset + 1));
  }
  uint32_t BE32(std::size_t offset) const {
    return (static_cast<uint32_t>(BE16(offset)) << 16) | BE16(offset + 2);
  }
  std::size_t Size() const { return size_; }

 private:
  const uint8_t* data_;
  std::size_t size_;
};

}  // namespace kv::emu
