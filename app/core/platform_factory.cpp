// STUB: replaced by its owner.
#include "app/core/platform_factory.h"

#include <cstdlib>

namespace kv {

void ApplyEmulateEnvironment(PlatformChoice&) {}

std::unique_ptr<Platform> CreatePlatform(const PlatformChoice&, std::string& error) {
  error = "no platform yet";
  return nullptr;
}

}  // namespace kv
