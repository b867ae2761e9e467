// Layout facts of the vendor media-identifier answer (opcode DFh) for DVD+ discs: read by the disc
// queries and the manufacturer lookup, built by the emulated drive.
#pragma once

#include <cstdint>

namespace kv::vendor_media_id {

// The DVD+ manufacturer identifier and media type identifier follow each other from byte 0, as in
// the physical format, then the product revision.
inline constexpr uint32_t kMediaIdOffset = 0;
inline constexpr uint32_t kMediaIdLength = 8;
inline constexpr uint32_t kTypeIdOffset = 8;
inline constexpr uint32_t kTypeIdLength = 3;
inline constexpr uint32_t kRevisionOffset = 11;
inline constexpr uint32_t kAnswerSize = 12;

}  // namespace kv::vendor_media_id
