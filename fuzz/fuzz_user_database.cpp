// The user database loader on any bytes: records are whole and zero-terminated, a conversion error
// comes with its message, and a second load gives the same lists. (That the pieces do not depend on
// where reads split the bytes is a unit test of the splitter.)
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

#include "fuzz_check.h"
#include "media/user_database.h"

namespace {

struct Loaded {
  kv::UserCdList cd;
  kv::UserDvdList dvd;
  kv::UserDatabaseLoad load;
};

Loaded Load(const std::string& text) {
  Loaded loaded;
  std::istringstream in(text);
  loaded.load = kv::LoadUserDatabase(in, loaded.cd, loaded.dvd);
  return loaded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const Loaded whole = Load(text);
  for (const auto& record : whole.cd) {
    KV_FUZZ_CHECK(strnlen(record->Name, sizeof record->Name) < sizeof record->Name);
  }
  for (const auto& record : whole.dvd) {
    KV_FUZZ_CHECK(strnlen(record->Name, sizeof record->Name) < sizeof record->Name);
  }
  // Each record comes from a line of at least 15 characters.
  KV_FUZZ_CHECK((whole.cd.size() + whole.dvd.size()) * 15 <= size);
  KV_FUZZ_CHECK(whole.load.stoppedWithError == !whole.load.error.empty());

  // Loading again gives the same lists: nothing is left over from the last load.
  const Loaded again = Load(text);
  KV_FUZZ_CHECK(again.cd.size() == whole.cd.size() && again.dvd.size() == whole.dvd.size());
  KV_FUZZ_CHECK(again.load.error == whole.load.error);
  return 0;
}
