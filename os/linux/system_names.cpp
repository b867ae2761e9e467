// Linux file names are the bytes of the text: nothing to convert.
#include "os/system_names.h"

namespace kv {

void UseSystemEncodingForNames() {}

}  // namespace kv
