// The sample drives built into the program (the JSON files of profiles/, embedded at build time so
// that the program does not need the source tree at run time).
#pragma once

#include <span>

namespace kv::emu {

struct EmbeddedProfile {
  const char* fileName;
  const char* json;
};

// In the order the sample machine lists them.
std::span<const EmbeddedProfile> SampleProfiles();

}  // namespace kv::emu
