// The drive layer's messages as system message boxes: no owner, one OK button, the error icon, and
// the text and caption as given (line breaks included).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drive/platform/win32/win32_message_box_notifier.h"

namespace kv::win32 {
namespace {

struct Box {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;
};

TEST(Win32MessageBoxNotifier, ErrorBoxWithoutOwner) {
  std::vector<Box> shown;
  MessageBoxNotifier notifier([&shown](HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    shown.push_back({owner, text, caption, type});
    return IDOK;
  });
  notifier.ShowError("LoadLibrary:\nWNASPI32.DLL not found.", "Error FS 002");
  notifier.ShowError("Old ASPI manager.", "GetASPISupportInfo:");
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].owner, nullptr);
  EXPECT_EQ(shown[0].text, "LoadLibrary:\nWNASPI32.DLL not found.");
  EXPECT_EQ(shown[0].caption, "Error FS 002");
  EXPECT_EQ(shown[0].type & MB_TYPEMASK, static_cast<UINT>(MB_OK));
  EXPECT_EQ(shown[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
  EXPECT_EQ(shown[1].caption, "GetASPISupportInfo:");
}

}  // namespace
}  // namespace kv::win32
