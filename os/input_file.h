// Reading the program's own input files (the user database, the parameter file, the settings file,
// drive profiles). Only a regular file is read: the name is opened without waiting (a FIFO with no
// writer or a device would otherwise block the program or feed it without end) and the opened
// handle, not the name, is checked, so nothing swapped in between is read. Reads are bounded by
// what the caller's format can use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace kv {

enum class InputFileStatus : uint8_t {
  Ok,
  Missing,         // nothing at the path
  NotRegularFile,  // a folder, FIFO, socket or device
  Unreadable,      // there, but it cannot be opened or read
  TooLarge,        // longer than the caller's limit
};

class InputFile {
 public:
  // The open file as the system names it (a descriptor or a handle).
  using Handle = std::intptr_t;

  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Opens path for reading; anything but a regular file is closed again and refused.
  InputFileStatus Open(const std::filesystem::path& path);
  // Bytes read into data, at most length; 0 at the end of the file, -1 on a read error.
  long Read(char* data, std::size_t length);
  // The file's size when it was opened.
  uint64_t Size() const { return size_; }
  bool IsOpen() const { return handle_ != kClosed; }
  void Close();

 private:
  static constexpr Handle kClosed = -1;
  Handle handle_ = kClosed;
  uint64_t size_ = 0;
};

// The whole file into content. A file longer than limit bytes is TooLarge and nothing is read.
InputFileStatus ReadInputFile(const std::filesystem::path& path, std::size_t limit,
                              std::string& content);

// Hands the file's bytes to consume in pieces, in order, up to limit bytes (the rest of a longer
// file is not read). consume returns false to stop reading early.
InputFileStatus ReadInputFilePrefix(const std::filesystem::path& path, std::size_t limit,
                                    const std::function<bool(std::string_view)>& consume);

}  // namespace kv
