// Single-byte texts crossing the toolkit seam, and the drive layer's messages as message boxes.
#include <gtest/gtest.h>

#include <string>

#include "ui/message_boxes.h"
#include "ui/text_encoding.h"

namespace kv::ui {
namespace {

TEST(TextEncodingTest, Latin1AndUtf8) {
  const struct {
    const char* name;
    std::string latin1;
    std::string utf8;
  } kCases[] = {
      {"Empty", "", ""},
      {"Ascii", "Step1 : KRELL-VANE", "Step1 : KRELL-VANE"},
      {"HighByte", "caf\xE9", "caf\xC3\xA9"},
      {"Lowest high byte", "\x80", "\xC2\x80"},
      {"Highest byte", "\xFF", "\xC3\xBF"},
      {"Nul inside", std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(Latin1ToUtf8(c.latin1), c.utf8) << c.name;
    EXPECT_EQ(Utf8ToLatin1(c.utf8), c.latin1) << c.name;
  }
}

TEST(TextEncodingTest, WhatLatin1CannotHoldBecomesAQuestionMark) {
  const struct {
    const char* name;
    std::string utf8;
    std::string latin1;
  } kCases[] = {
      {"Euro sign", "\xE2\x82\xAC", "?"},   {"Four bytes", "x\xF0\x9F\x98\x80y", "x?y"},
      {"Cut sequence", "a\xC3", "a?"},      {"Lone continuation", "\x80z", "?z"},
      {"Over-long ASCII", "\xC1\x81", "?"}, {"Bad lead", "\xFE", "?"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(Utf8ToLatin1(c.utf8), c.latin1) << c.name;
  }
}

TEST(MessageBoxNotifierTest, PassesCaptionAndTextToTheBoxes) {
  RecordingMessageBoxes boxes;
  MessageBoxNotifier notifier(boxes);
  notifier.ShowError("Line one\nline two", "ASPI");
  notifier.ShowError("", "");
  notifier.ShowError("Lecteur \xE9", "Erreur");
  ASSERT_EQ(boxes.entries().size(), 3u);
  EXPECT_EQ(boxes.entries()[0].caption, "ASPI");
  EXPECT_EQ(boxes.entries()[0].text, "Line one\nline two");
  EXPECT_TRUE(boxes.entries()[1].text.empty());
  EXPECT_EQ(boxes.entries()[2].text, "Lecteur \xC3\xA9") << "single-byte text arrives readable";
}

}  // namespace
}  // namespace kv::ui
