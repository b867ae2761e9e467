// Chooses the platform the device object runs on: the real drives of this machine, or emulated
// drives built from profiles (the built-in sample drives when no profile is named).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "drive/platform.h"

namespace kv {

struct PlatformChoice {
  bool emulate = false;
  std::vector<std::string> profiles;  // profile files; empty with emulate = the sample drives
};

// The environment variable that puts the program on emulated drives: "1" for the sample drives,
// or a list of profile files separated by ':'.
inline constexpr const char* kEmulateEnvironmentVariable = "KRELLVANE_EMULATE";

// Adds the environment variable's choice when the command line made none.
void ApplyEmulateEnvironment(PlatformChoice& choice);

// Null with error set when a profile cannot be loaded.
std::unique_ptr<Platform> CreatePlatform(const PlatformChoice& choice, std::string& error);

}  // namespace kv
