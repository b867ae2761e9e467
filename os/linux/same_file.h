// Whether a directory entry is the very file that an opened-file link of /proc leads to.
#pragma once

#include <filesystem>

namespace kv {

// True when the entry at path (not followed when it is a link) has the device and inode of the
// file that link (followed, as /proc's links of open files are) leads to.
bool EntryIsFileBehind(const std::filesystem::path& path, const std::filesystem::path& link);

}  // namespace kv
