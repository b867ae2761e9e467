// The user-defined media database: a text file of [CD] and [DVD] record lines, loaded into two
// ordered lists that the manufacturer lookup searches first.
#pragma once

#include <cstddef>
#include <filesystem>
#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "media/property_block.h"

namespace kv {

using UserCdList = std::vector<std::unique_ptr<CdMediaRecord>>;
using UserDvdList = std::vector<std::unique_ptr<DvdMediaRecord>>;

struct UserDatabaseLoad {
  bool stoppedWithError = false;  // a conversion error stopped loading; the records before stay
  std::string error;              // "'0xNN' is not a valid integer value"
};

// Empties both lists, then appends the stream's records in file order.
UserDatabaseLoad LoadUserDatabase(std::istream& in, UserCdList& cd, UserDvdList& dvd);

// How much of a user database file is read: far more than any real list of media (a million
// records); the rest of a longer file is ignored.
inline constexpr std::size_t kUserDatabaseReadLimit = std::size_t{16} << 20;

// The same from the file at path, read line by line up to kUserDatabaseReadLimit bytes. Anything
// that is not a regular file, or cannot be read, leaves both lists empty without an error.
UserDatabaseLoad LoadUserDatabaseFile(const std::filesystem::path& path, UserCdList& cd,
                                      UserDvdList& dvd);

// The file named by the setting "UserDefinedFule"; a missing setting, file or unreadable file
// leaves both lists empty without an error.
UserDatabaseLoad LoadUserDefinedFile(UserCdList& cd, UserDvdList& dvd);

}  // namespace kv
