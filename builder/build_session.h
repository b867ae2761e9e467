// One variant build, from the parameter file's path to the written executable; shared by the
// builder window and the command line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

enum class BuildStatus {
  Created,              // "File created successfully !"
  NoFileSelected,       // "No file selected !"
  FileNotExists,        // "File not exists !"
  LoadPrototypeFailed,  // "Load prototype failed !"
  BlockNotFound,        // the prototype carries no whole property block; nothing written
  ConversionError,      // a DVD identifier did not convert; the message is the conversion error
  WriteFailed,          // the output could not be written; any older output is kept
};

struct BuildOutcome {
  BuildStatus status = BuildStatus::Created;
  std::string message;

  bool ok() const { return status == BuildStatus::Created; }
};

inline constexpr const char* kMsgNoFileSelected = "No file selected !";
inline constexpr const char* kMsgFileNotExists = "File not exists !";
inline constexpr const char* kMsgLoadPrototypeFailed = "Load prototype failed !";
inline constexpr const char* kMsgFileCreated = "File created successfully !";
inline constexpr const char* kMsgBlockNotFound = "No property block found in the prototype !";
inline constexpr const char* kMsgUnableToWrite = "Unable to write Krellvane.Exe !";

struct BuildOptions {
  std::string prototypePath;                    // empty: the running program's own file
  std::string searchText;                       // empty: the running program's block marker
  std::filesystem::path outputDirectory = ".";  // where Krellvane.Exe is created
};

class BuildSession {
 public:
  BuildSession() = default;
  explicit BuildSession(BuildOptions options) : options_(std::move(options)) {}

  // Builds from the parameter file named by pathText (blanks and control characters around it are
  // removed). Every build loads the parameter lines and the prototype afresh.
  BuildOutcome Run(std::string_view pathText);

  const std::vector<uint8_t>& PrototypeImage() const { return prototypeImage_; }
  std::size_t PrototypeSize() const { return prototypeSize_; }
  const std::vector<std::string>& ParameterLines() const { return parameterLines_; }

  // Releases the image and the lines.
  void Release();

 private:
  BuildOptions options_;
  std::vector<uint8_t> prototypeImage_;
  std::size_t prototypeSize_ = 0;
  std::vector<std::string> parameterLines_;
};

}  // namespace kv
