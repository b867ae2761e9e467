// The parameter file on any bytes, applied to a real block inside a prototype image: bytes outside
// the block never change, a failed apply changes nothing, a successful one leaves the build flag
// "BUILDMODE=0" and every text field zero-terminated.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "builder/parameter_file.h"
#include "fuzz_check.h"
#include "media/property_block.h"
#include "media/text_lines.h"

namespace {

constexpr std::size_t kBefore = 4097;
constexpr std::size_t kAfter = 3001;

// The program's own block between pseudo-random bytes, as a prototype holds it.
const std::vector<uint8_t>& Prototype() {
  static const std::vector<uint8_t> image = [] {
    std::vector<uint8_t> bytes(kBefore + kv::block_offset::kEnd + kAfter);
    uint32_t state = 20261209;
    for (uint8_t& byte : bytes) {
      state = state * 1103515245u + 12345u;
      byte = static_cast<uint8_t>(state >> 24);
    }
    std::memcpy(bytes.data() + kBefore, &kv::Block(), kv::block_offset::kEnd);
    return bytes;
  }();
  return image;
}

template <std::size_t N>
bool Terminated(const char (&field)[N]) {
  return strnlen(field, N) < N;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  const std::vector<std::string> lines = kv::ReadLinePieces(in);
  for (const std::string& line : lines) {
    KV_FUZZ_CHECK(line.size() <= kv::kLinePieceLength);
  }

  const std::vector<uint8_t>& prototype = Prototype();
  std::vector<uint8_t> image = prototype;
  const kv::ApplyResult result = kv::ApplyParameters(lines, image, kBefore);
  KV_FUZZ_CHECK(std::equal(image.begin(), image.begin() + kBefore, prototype.begin()));
  KV_FUZZ_CHECK(std::equal(image.begin() + kBefore + kv::block_offset::kEnd, image.end(),
                           prototype.begin() + kBefore + kv::block_offset::kEnd));
  if (!result.ok) {
    KV_FUZZ_CHECK(image == prototype);
    KV_FUZZ_CHECK(!result.error.empty());
    return 0;
  }
  kv::PropertyBlock block;
  std::memcpy(&block, image.data() + kBefore, sizeof block);
  KV_FUZZ_CHECK(std::memcmp(block.BuildMode, "BUILDMODE=0", 11) == 0);
  KV_FUZZ_CHECK(Terminated(block.Name) && Terminated(block.Major) && Terminated(block.Minor) &&
                Terminated(block.Rev) && Terminated(block.Date) && Terminated(block.Model) &&
                Terminated(block.Step1) && Terminated(block.Step2) && Terminated(block.Step3) &&
                Terminated(block.Copyright) && Terminated(block.Remark));
  KV_FUZZ_CHECK(std::memcmp(block.Marker, kv::Block().Marker, sizeof block.Marker) == 0);
  return 0;
}
