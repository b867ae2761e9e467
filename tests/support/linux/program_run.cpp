#include "tests/support/program_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kv::test {

namespace {

std::string ReadWhole(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

CommandRun RunCommand(const std::string& commandLine) {
  static std::atomic<int> counter{0};
  const auto dir = std::filesystem::temp_directory_path();
  const std::string tag = std::to_string(getpid()) + "-" + std::to_string(counter++);
  const auto out = dir / ("kv-run-out-" + tag);
  const auto err = dir / ("kv-run-err-" + tag);
  const std::string command =
      "(" + commandLine + ") >" + ShellQuote(out.string()) + " 2>" + ShellQuote(err.string());
  CommandRun run;
  const int status = std::system(command.c_str());
  if (status != -1 && WIFEXITED(status)) {
    run.exitCode = WEXITSTATUS(status);
  }
  run.out = ReadWhole(out);
  run.err = ReadWhole(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return run;
}

}  // namespace kv::test
