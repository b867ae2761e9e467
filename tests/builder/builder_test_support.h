// Helpers of the builder tests: temporary folders, synthetic prototypes and block views.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "media/property_block.h"

namespace kv::test {

// A fresh folder removed with everything in it at the end of the test.
class TempFolder {
 public:
  TempFolder() {
    // A random name that nobody else holds: create_directory fails on one that exists.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const std::filesystem::path candidate = std::filesystem::temp_directory_path() /
                                              ("kv-builder-" + std::to_string(random()));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error) && !error) {
        path_ = candidate;
      }
    }
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An 11-character search text of the tests' own, so that no test needs the program's marker.
inline constexpr const char* kTestMarker = "TESTMARK-XY";

// Bytes of a prototype's block as the fixture writes it: recognisable values in every field the
// parameter file can change, the build flag '1', one CD and one DVD record.
inline std::unique_ptr<PropertyBlock> PrototypeBlock() {
  auto block = std::make_unique<PropertyBlock>();
  std::memset(block.get(), 0, sizeof(PropertyBlock));
  std::memcpy(block->Marker, kTestMarker, 11);
  std::memcpy(block->BuildMode, "BUILDMODE=1", 11);
  std::strcpy(block->Name, "Proto Name");
  std::strcpy(block->Date, "2001/01/01");
  std::strcpy(block->Major, "1");
  std::strcpy(block->Minor, "2");
  std::strcpy(block->Rev, "3");
  std::strcpy(block->Model, "Proto Model");
  std::strcpy(block->Remark, "Proto remark\n");
  std::strcpy(block->Step1, "Proto step 1");
  std::strcpy(block->Step2, "Proto step 2");
  std::strcpy(block->Step3, "Proto step 3");
  std::strcpy(block->Copyright, "Proto copyright");
  std::memcpy(block->CdTable[0].LeadIn, "111111", 6);
  std::memcpy(block->CdTable[0].LeadOut, "222222", 6);
  std::strcpy(block->CdTable[0].Name, "Proto CD");
  std::memset(block->DvdTable[0].Identifier, 0x41, 12);
  std::strcpy(block->DvdTable[0].Name, "Proto DVD");
  return block;
}

// A prototype image: pseudo-random bytes (no zero runs that could hide a stray write), the block
// at an odd offset, and more bytes after it.
inline std::vector<uint8_t> PrototypeImage(std::size_t before = 4097, std::size_t after = 3001) {
  std::vector<uint8_t> image(before + sizeof(PropertyBlock) + after);
  std::mt19937 random(20261209);
  for (uint8_t& byte : image) {
    byte = static_cast<uint8_t>('!' + random() % 90);  // printable, never a marker by chance
  }
  const auto block = PrototypeBlock();
  std::memcpy(image.data() + before, block.get(), sizeof(PropertyBlock));
  return image;
}

inline std::unique_ptr<PropertyBlock> BlockAt(const std::vector<uint8_t>& image,
                                              std::size_t offset) {
  auto block = std::make_unique<PropertyBlock>();
  std::memcpy(block.get(), image.data() + offset, sizeof(PropertyBlock));
  return block;
}

template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
  return std::string(field, strnlen(field, N));
}

// True when every byte of the field after its text is zero.
template <std::size_t N>
bool ZeroPadded(const char (&field)[N]) {
  for (std::size_t i = strnlen(field, N); i < N; ++i) {
    if (field[i] != '\0') {
      return false;
    }
  }
  return strnlen(field, N) < N;
}

}  // namespace kv::test
