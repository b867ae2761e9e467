// The user database loader on any bytes: records are whole and zero-terminated, and the bytes give
// the same lists however the reads happen to split them.
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

// Loads text fed in two reads split at `split`.
class SplitBuf : public std::stringbuf {
 public:
  SplitBuf(const std::string& text, std::size_t split) : std::stringbuf(text), split_(split) {}

 protected:
  std::streamsize xsgetn(char* s, std::streamsize n) override {
    const auto done = static_cast<std::size_t>(gptr() - eback());
    if (done < split_) {
      n = std::min<std::streamsize>(n, static_cast<std::streamsize>(split_ - done));
    }
    return std::stringbuf::xsgetn(s, n);
  }

 private:
  std::size_t split_;
};

Loaded Load(const std::string& text, std::size_t split) {
  Loaded loaded;
  SplitBuf buffer(text, split);
  std::istream in(&buffer);
  loaded.load = kv::LoadUserDatabase(in, loaded.cd, loaded.dvd);
  return loaded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const Loaded whole = Load(text, size);
  for (const auto& record : whole.cd) {
    KV_FUZZ_CHECK(strnlen(record->Name, sizeof record->Name) < sizeof record->Name);
  }
  for (const auto& record : whole.dvd) {
    KV_FUZZ_CHECK(strnlen(record->Name, sizeof record->Name) < sizeof record->Name);
  }
  // Each record comes from a line of at least 15 characters.
  KV_FUZZ_CHECK((whole.cd.size() + whole.dvd.size()) * 15 <= size);
  KV_FUZZ_CHECK(whole.load.stoppedWithError == !whole.load.error.empty());

  const Loaded split = Load(text, size == 0 ? 0 : data[0] % size);
  KV_FUZZ_CHECK(split.cd.size() == whole.cd.size() && split.dvd.size() == whole.dvd.size());
  for (std::size_t i = 0; i < whole.cd.size(); ++i) {
    KV_FUZZ_CHECK(std::memcmp(split.cd[i].get(), whole.cd[i].get(), sizeof(kv::CdMediaRecord)) ==
                  0);
  }
  for (std::size_t i = 0; i < whole.dvd.size(); ++i) {
    KV_FUZZ_CHECK(std::memcmp(split.dvd[i].get(), whole.dvd[i].get(), sizeof(kv::DvdMediaRecord)) ==
                  0);
  }
  KV_FUZZ_CHECK(split.load.error == whole.load.error);
  return 0;
}
