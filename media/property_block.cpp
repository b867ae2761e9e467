// STUB: replaced by its owner.
#include "media/property_block.h"
namespace kv {
namespace { PropertyBlock gBlock = {}; }
const PropertyBlock& Block() { return gBlock; }
bool IsBuildMode() { return Block().BuildMode[10] == '1'; }
}  // namespace kv
