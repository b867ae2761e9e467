// The running program's own executable file.
#pragma once

#include <filesystem>
#include <string>

namespace kv {

// A path that opens the running program's executable file as it was started: it stays readable,
// with the same bytes, after the file at the program's place was replaced or removed.
std::filesystem::path OwnProgramImage();

// Where the running program's executable file lives, for messages.
std::string OwnProgramPath();

// The running program's executable file by its place, for finding what lies beside it.
std::filesystem::path OwnProgramFile();

// True when the directory entry at path is the running program's executable file itself (the same
// file, not a copy). A link at path is not followed: replacing the link leaves the program alone.
bool IsRunningProgram(const std::filesystem::path& path);

}  // namespace kv
