// File names typed or chosen in a window reach the file calls in the ANSI code page: a name with a
// character beyond ASCII (the euro sign is 80h in code page 1252, where the C runtime's "C" locale
// reads U+0080) opens, tests and replaces the file the user meant, and a system message in that
// code page reads right in a window.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <span>
#include <string>

#include "os/atomic_file.h"
#include "os/input_file.h"
#include "os/system_names.h"
#include "ui/win32/win32_toolkit.h"

namespace kv::test {
namespace {

std::string Narrow(const std::wstring& text, UINT codePage) {
  const int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

bool AnsiCodePageHolds(const std::wstring& text) {
  BOOL usedDefault = FALSE;
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                      nullptr, 0, nullptr, &usedDefault);
  return usedDefault == FALSE;
}

// A file made under its wide name, removed when the test ends.
class WideNamedFile {
 public:
  explicit WideNamedFile(const std::wstring& leaf) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder) + std::to_wstring(GetCurrentProcessId()) + leaf;
    const HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ok_ = file != INVALID_HANDLE_VALUE && WriteFile(file, "[PROPERTY]\n", 11, &written, nullptr) &&
          written == 11;
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
    }
  }
  ~WideNamedFile() { DeleteFileW(path_.c_str()); }
  WideNamedFile(const WideNamedFile&) = delete;
  WideNamedFile& operator=(const WideNamedFile&) = delete;

  bool ok() const { return ok_; }
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
  bool ok_ = false;
};

bool WideFileHolds(const std::wstring& path, const std::string& content) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  std::string bytes(content.size() + 1, '\0');
  DWORD read = 0;
  const BOOL ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return ok && bytes == content;
}

TEST(Win32FileNames, ATypedNameBeyondAsciiOpensTheFileMeant) {
  UseSystemEncodingForNames();
  const std::wstring leaf = L"-caf\u00e9-\u20ac\u00c5.txt";
  if (!AnsiCodePageHolds(leaf)) {
    GTEST_SKIP() << "the ANSI code page (" << GetACP() << ") lacks a letter of the name";
  }
  WideNamedFile file(leaf);
  ASSERT_TRUE(file.ok());
  const std::string typed = Narrow(file.path(), CP_UTF8);  // what the edit control gives

  ui::win32::Win32Toolkit toolkit;
  const std::string name = toolkit.FileNameFromText(typed);
  EXPECT_EQ(name, Narrow(file.path(), CP_ACP));
  std::string content;
  EXPECT_EQ(ReadInputFile(name, 64, content), InputFileStatus::Ok);
  EXPECT_EQ(content, "[PROPERTY]\n");
  EXPECT_EQ(ReadInputFile(typed, 64, content), InputFileStatus::Missing)
      << "UTF-8 bytes read as the ANSI code page name another file";

  EXPECT_TRUE(std::filesystem::is_regular_file(name)) << "the library's own calls find it too";
  EXPECT_EQ(toolkit.TextFromSystem(name), typed);

  // Replacing it keeps the name, and the temporary file beside it goes.
  const std::string replaced = "[PROPERTY]\nNAME=x\n";
  const ReplaceResult result = ReplaceFileAtomically(
      name, std::span(reinterpret_cast<const uint8_t*>(replaced.data()), replaced.size()));
  EXPECT_TRUE(result.ok) << result.reason;
  EXPECT_TRUE(WideFileHolds(file.path(), replaced));
  const std::filesystem::path folder = std::filesystem::path(file.path()).parent_path();
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    EXPECT_EQ(entry.path().wstring().find(file.path() + L"."), std::wstring::npos)
        << "a temporary file stayed";
  }
}

TEST(Win32FileNames, AsciiCrossesUnchanged) {
  ui::win32::Win32Toolkit toolkit;
  for (const char* text : {"", "C:\\folder\\params.txt", "Access is denied.\r\n"}) {
    EXPECT_EQ(toolkit.FileNameFromText(text), text);
    EXPECT_EQ(toolkit.TextFromSystem(text), text);
  }
}

}  // namespace
}  // namespace kv::test
