// The built-in tables' answer for the disc in the current drive: reads the disc's identifier
// through the device and matches it against the constant tables of media/builtin_lookup.h.
#pragma once

#include <cstdint>

#include "drive/disc_type.h"

namespace kv {

class AtapiDevice;

// The manufacturer name for the disc of class discType in the device's current drive, or null
// for no disc, an unrecognised one, or a DVD identifier that no entry matches. Waits up to 60
// seconds for the drive first. A CD always gets a name.
const char* LookupBuiltinManufacturer(AtapiDevice& device, DiscType discType);

// The name of the CD entry whose range holds the lead-in time, or "Unknown Manufacturer".
const char* LookupCdManufacturer(uint32_t leadIn);

}  // namespace kv
