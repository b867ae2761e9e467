// The bounded readers on top of InputFile; the same on every system.
#include "os/input_file.h"

#include <algorithm>
#include <array>
#include <new>

namespace kv {

namespace {
constexpr std::size_t kChunk = 16384;
}  // namespace

InputFileStatus ReadInputFile(const std::filesystem::path& path, std::size_t limit,
                              std::string& content) {
  content.clear();
  InputFile file;
  const InputFileStatus opened = file.Open(path);
  if (opened != InputFileStatus::Ok) {
    return opened;
  }
  if (file.Size() > limit) {
    return InputFileStatus::TooLarge;
  }
  std::string text;
  try {
    text.reserve(static_cast<std::size_t>(file.Size()));
  } catch (const std::bad_alloc&) {
    return InputFileStatus::Unreadable;
  }
  std::array<char, kChunk> chunk;
  for (;;) {
    const long got = file.Read(chunk.data(), chunk.size());
    if (got < 0) {
      return InputFileStatus::Unreadable;
    }
    if (got == 0) {
      break;
    }
    // The file may have grown since it was opened.
    if (text.size() + static_cast<std::size_t>(got) > limit) {
      return InputFileStatus::TooLarge;
    }
    text.append(chunk.data(), static_cast<std::size_t>(got));
  }
  content = std::move(text);
  return InputFileStatus::Ok;
}

InputFileStatus ReadInputFilePrefix(const std::filesystem::path& path, std::size_t limit,
                                    const std::function<bool(std::string_view)>& consume) {
  InputFile file;
  const InputFileStatus opened = file.Open(path);
  if (opened != InputFileStatus::Ok) {
    return opened;
  }
  std::array<char, kChunk> chunk;
  std::size_t left = limit;
  while (left > 0) {
    const long got = file.Read(chunk.data(), std::min(left, chunk.size()));
    if (got < 0) {
      return InputFileStatus::Unreadable;
    }
    if (got == 0) {
      break;
    }
    left -= static_cast<std::size_t>(got);
    if (!consume(std::string_view(chunk.data(), static_cast<std::size_t>(got)))) {
      break;
    }
  }
  return InputFileStatus::Ok;
}

}  // namespace kv
