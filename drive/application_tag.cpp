#include "drive/application_tag.h"

namespace kv {

namespace {
int32_t gApplicationTag = 0;
}

int32_t GetApplicationTag() { return gApplicationTag; }
void SetApplicationTag(int32_t tag) { gApplicationTag = tag; }

}  // namespace kv
