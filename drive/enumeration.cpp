// STUB: replaced by its owner.
#include "drive/atapi_device.h"

namespace kv {

void AtapiDevice::RefreshDrives() {}
void AtapiDevice::EnumerateAspiDrives() {}
void AtapiDevice::EnumerateLetterDrives() {}
int16_t AtapiDevice::CountCdromLetters() { return 0; }
bool AtapiDevice::GetScsiAddress(const char*, int16_t&, int16_t&, int16_t&, int16_t&) { return false; }
void AtapiDevice::SortDrives() {}
bool AtapiDevice::ReadInquiryStrings() { return false; }

}  // namespace kv
