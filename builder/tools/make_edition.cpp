// kv_make_edition PROGRAM OUTPUT: writes a copy of PROGRAM whose property block carries the build
// flag '1', so that the copy starts as the builder. Runs as a build step wherever CMake runs.
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "builder/output_file.h"
#include "builder/prototype.h"
#include "media/property_block.h"
#include "os/atomic_file.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: kv_make_edition PROGRAM OUTPUT\n");
    return 2;
  }
  const std::string program = argv[1];
  std::vector<uint8_t> image;
  std::size_t size = 0;
  if (!kv::LoadPrototype(program, image, size)) {
    std::fprintf(stderr, "kv_make_edition: cannot read %s\n", program.c_str());
    return 1;
  }
  const std::string searchText = kv::MarkerSearchText();
  const auto offset = kv::FindWholeBlock(image, size, searchText);
  if (!offset) {
    std::fprintf(stderr, "kv_make_edition: no property block in %s\n", program.c_str());
    return 1;
  }
  // The flag digit follows "BUILDMODE="; anything else there means the match is not the block.
  constexpr std::string_view kFlagKey = "BUILDMODE=";
  if (std::string_view(
          reinterpret_cast<const char*>(image.data()) + *offset + kv::block_offset::kBuildMode,
          kFlagKey.size()) != kFlagKey) {
    std::fprintf(stderr, "kv_make_edition: the block in %s has no build flag\n", program.c_str());
    return 1;
  }
  image[*offset + kv::block_offset::kBuildFlag] = '1';
  const kv::ReplaceResult written =
      kv::ReplaceFileAtomically(argv[2], std::span<const uint8_t>(image.data(), size),
                                kv::ReplaceOptions{".", kv::PermissionsOf(program)});
  if (!written.ok) {
    std::fprintf(stderr, "kv_make_edition: cannot write %s: %s\n", argv[2], written.reason.c_str());
    return 1;
  }
  return 0;
}
