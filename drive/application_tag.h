// The application-wide integer tag. 0 until the main window's constructor sets it to 32767; the
// device object reads it while it is built (32767 lets it prefer the ASPI-style path).
#pragma once

#include <cstdint>

namespace kv {

int32_t GetApplicationTag();
void SetApplicationTag(int32_t tag);

}  // namespace kv
