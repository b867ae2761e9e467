#include "builder/build_session.h"

#include <span>
#include <system_error>

#include "builder/output_file.h"
#include "builder/parameter_file.h"
#include "builder/prototype.h"
#include "media/text_lines.h"
#include "os/own_program.h"

namespace kv {

namespace {

namespace fs = std::filesystem;

BuildOutcome Fail(BuildStatus status, std::string message) {
  return {status, std::move(message)};
}

// A directory is not a parameter file, and reading it would silently give an empty list.
bool ParameterFileExists(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  return !error && fs::exists(status) && !fs::is_directory(status);
}

}  // namespace

BuildOutcome BuildSession::Run(std::string_view pathText) {
  const std::string path = TrimControl(pathText);
  if (path.empty()) {
    return Fail(BuildStatus::NoFileSelected, kMsgNoFileSelected);
  }
  if (!ParameterFileExists(path)) {
    return Fail(BuildStatus::FileNotExists, kMsgFileNotExists);
  }

  // A file that exists but cannot be opened leaves the list empty: the build then only clears
  // the build flag. A FIFO or a device is not a parameter file; its name is checked once it is
  // open, so the build neither waits for a writer nor reads without end.
  parameterLines_.clear();
  const InputFileStatus read = ReadParameterFileLines(path, parameterLines_);
  if (read == InputFileStatus::Missing || read == InputFileStatus::NotRegularFile) {
    return Fail(BuildStatus::FileNotExists, kMsgFileNotExists);
  }

  // The running program is read through its image, which stays readable after its file was
  // replaced.
  // Kept as a path: on Windows its text form is UTF-8, which a file call would read as ANSI.
  const fs::path prototypePath =
      options_.prototypePath.empty() ? OwnProgramImage() : fs::path(options_.prototypePath);
  prototypeImage_.clear();
  prototypeSize_ = 0;
  if (!LoadPrototype(prototypePath, prototypeImage_, prototypeSize_)) {
    return Fail(BuildStatus::LoadPrototypeFailed, kMsgLoadPrototypeFailed);
  }

  const std::string searchText =
      options_.searchText.empty() ? MarkerSearchText() : options_.searchText;
  const auto blockOffset = FindWholeBlock(prototypeImage_, prototypeSize_, searchText);
  if (!blockOffset) {
    return Fail(BuildStatus::BlockNotFound, kMsgBlockNotFound);
  }

  const ApplyResult applied = ApplyParameters(
      parameterLines_, std::span<uint8_t>(prototypeImage_.data(), prototypeSize_), *blockOffset);
  if (!applied.ok) {
    return Fail(BuildStatus::ConversionError, applied.error);
  }

  const WriteResult written = WriteOutputFile(options_.outputDirectory, prototypeImage_.data(),
                                              prototypeSize_, PermissionsOf(prototypePath));
  if (!written.ok) {
    return Fail(BuildStatus::WriteFailed, std::string(kMsgUnableToWrite) + "\n" + written.reason);
  }
  return {BuildStatus::Created, kMsgFileCreated};
}

void BuildSession::Release() {
  prototypeImage_ = {};
  prototypeSize_ = 0;
  parameterLines_ = {};
}

}  // namespace kv
