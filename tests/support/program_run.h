// Runs a shell command line and keeps its exit status and both output streams.
#pragma once

#include <string>

namespace kv::test {

struct CommandRun {
  int exitCode = -1;  // -1 when the command did not end by itself
  std::string out;
  std::string err;
};

CommandRun RunCommand(const std::string& commandLine);

// A string quoted for the shell.
std::string ShellQuote(const std::string& text);

}  // namespace kv::test
