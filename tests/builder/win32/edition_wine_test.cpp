// The builder edition under Wine: krellvane-builder.exe --build writes Krellvane.Exe into the
// current folder, differing from the builder only inside the property block, and the written
// program starts with the new title.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "builder/prototype.h"
#include "media/property_block.h"
#include "tests/support/win32/win32_test_support.h"

namespace kv::win32 {
namespace {

constexpr const char* kParameters =
    "[PROPERTY]\n"
    "NAME=Wine Edition\n"
    "MAJOR=4\n"
    "MINOR=5\n"
    "REV=6\n";

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string FirstLine(const std::string& text) {
  return text.substr(0, text.find('\n'));
}

// The program's folder: the tests live in a folder below it.
std::string ProgramFolder() {
  std::string tests = ProgramBesideThisOne("");
  tests.pop_back();
  return tests.substr(0, tests.find_last_of('\\') + 1);
}

TEST(Win32Edition, BuildWritesKrellvaneExeThatDiffersOnlyInsideTheBlock) {
  const std::string builder = ProgramFolder() + "krellvane-builder.exe";
  const std::vector<uint8_t> prototype = ReadAll(builder);
  if (prototype.empty()) {
    GTEST_SKIP() << "no builder edition at " << builder;
  }
  TempFolder folder;
  ASSERT_FALSE(folder.Path().empty());
  std::ofstream(folder.Path() + "params.txt", std::ios::binary) << kParameters;

  const ProgramRun build = RunProgram("\"" + builder + "\" --build params.txt", folder.Path());
  ASSERT_EQ(build.exitCode, 0) << build.err;
  EXPECT_EQ(build.out, "File created successfully !\n");

  const std::vector<uint8_t> written = ReadAll(folder.Path() + "Krellvane.Exe");
  ASSERT_EQ(written.size(), prototype.size());
  const auto block = FindBlock(prototype, prototype.size(), MarkerSearchText());
  ASSERT_TRUE(block.has_value());
  std::size_t differing = 0;
  for (std::size_t i = 0; i < written.size(); ++i) {
    if (written[i] != prototype[i]) {
      ++differing;
      ASSERT_GE(i, *block) << "changed before the block";
      ASSERT_LT(i, *block + sizeof(PropertyBlock)) << "changed after the block";
    }
  }
  EXPECT_GT(differing, 0u);

  const ProgramRun version =
      RunProgram("\"" + folder.Path() + "Krellvane.Exe\" --version", folder.Path());
  EXPECT_EQ(version.exitCode, 0) << version.err;
  EXPECT_EQ(FirstLine(version.out), "Wine Edition v4.5.6");

  // No temporary file is left beside the output.
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA((folder.Path() + "Krellvane.Exe?*").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE) << found.cFileName;
  if (search != INVALID_HANDLE_VALUE) {
    FindClose(search);
  }
}

// Without options the program opens its window from krellvane-gui.dll beside it; a copy without
// the module, or with a file that is no module, says so in one line and fails.
TEST(Win32Edition, WithoutOptionsAProgramWithoutItsWindowModuleSaysSo) {
  TempFolder folder;
  ASSERT_FALSE(folder.Path().empty());
  const std::string copy = folder.Path() + "krellvane.exe";
  ASSERT_TRUE(CopyFileA((ProgramFolder() + "krellvane.exe").c_str(), copy.c_str(), FALSE));

  const ProgramRun missing = RunProgram("\"" + copy + "\"", folder.Path());
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("window module is missing"), std::string::npos) << missing.err;
  EXPECT_NE(missing.err.find("krellvane-gui.dll"), std::string::npos) << missing.err;
  EXPECT_EQ(missing.out, "");

  std::ofstream(folder.Path() + "krellvane-gui.dll", std::ios::binary) << "not a module\n";
  const ProgramRun broken = RunProgram("\"" + copy + "\"", folder.Path());
  EXPECT_EQ(broken.exitCode, 1);
  EXPECT_NE(broken.err.find("cannot load the window module"), std::string::npos) << broken.err;
  EXPECT_EQ(broken.out, "");
}

}  // namespace
}  // namespace kv::win32
