// STUB: replaced by its owner.
#include "drive/atapi_device.h"

namespace kv {

bool AtapiDevice::LoadAspi() { return false; }
bool AtapiDevice::ProbeAspi() { return false; }
void AtapiDevice::UnloadAspi() { aspi_.reset(); }

}  // namespace kv
