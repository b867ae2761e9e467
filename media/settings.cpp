// STUB: replaced by its owner.
#include "media/settings.h"

namespace kv {

bool ReadRegString(const char*, const char*, std::string&) { return false; }
bool ReadRegInt(const char*, const char*, int32_t&) { return false; }
bool WriteRegInt(const char*, const char*, int32_t) { return false; }

}  // namespace kv
