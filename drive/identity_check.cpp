// Whether the selected drive node still holds the drive its record names.
#include <cstring>

#include "drive/atapi_device.h"

namespace kv {

namespace {

template <std::size_t N>
bool SameText(const char (&a)[N], const char (&b)[N]) {
  return std::strncmp(a, b, N) == 0;
}

template <std::size_t N>
bool Empty(const char (&text)[N]) {
  return text[0] == '\0';
}

}  // namespace

IdentityCheck AtapiDevice::CheckSelectedIdentity() {
  const DriveRecord* record =
      CurrentDrive >= 0 ? GetDriveRecord(static_cast<uint32_t>(CurrentDrive)) : nullptr;
  if (record == nullptr || (Empty(record->Vendor) && Empty(record->Product))) {
    return IdentityCheck::Unknown;
  }
  // ReadInquiryStrings refills the selected drive's texts; the record keeps the listed ones.
  if (!ReadInquiryStrings()) {
    return IdentityCheck::Unknown;
  }
  const bool same = SameText(Vendor, record->Vendor) && SameText(Product, record->Product) &&
                    SameText(Revision, record->Revision);
  return same ? IdentityCheck::Same : IdentityCheck::Different;
}

}  // namespace kv
