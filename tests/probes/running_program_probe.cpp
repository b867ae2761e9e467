// Started as Krellvane.Exe in its own folder by the os tests: builds twice as the builder window
// would, once over itself and once after its file was replaced, and prints each outcome.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "builder/build_session.h"
#include "os/atomic_file.h"
#include "os/own_program.h"

namespace {

void Print(const char* step, const kv::BuildOutcome& outcome) {
  std::printf("%s: %s\n", step, outcome.message.c_str());
}

}  // namespace

int main() {
  std::ofstream("params.txt") << "[PROPERTY]\nNAME=Probe\n";

  // The output would be this very file.
  kv::BuildSession session;
  Print("over itself", session.Run("params.txt"));

  // Some other writer replaces the program's file while it runs; the prototype is still the
  // program that is running.
  const std::string replacement = "replaced";
  const kv::ReplaceResult replaced = kv::ReplaceFileAtomically(
      kv::OwnProgramPath(),
      std::span(reinterpret_cast<const uint8_t*>(replacement.data()), replacement.size()));
  if (!replaced.ok) {
    std::printf("replace: %s\n", replaced.reason.c_str());
    return 1;
  }
  std::filesystem::create_directory("out");
  kv::BuildSession afterwards(kv::BuildOptions{"", "", "out"});
  Print("after replacement", afterwards.Run("params.txt"));
  std::printf("prototype size: %zu\n", afterwards.PrototypeSize());
  return 0;
}
