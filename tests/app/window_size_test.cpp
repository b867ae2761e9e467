// The size stored when the main window closes.
#include <gtest/gtest.h>

#include "app/core/window_size.h"

namespace kv {
namespace {

TEST(SizeToStore, NormalSizeWheneverTheWindowIsNotInItsNormalState) {
  const WindowSize design{485, 391};
  const WindowSize screen{1024, 768};
  const struct Case {
    const char* name;
    bool maximized;
    WindowSize current;
    WindowSize normal;
    WindowSize expected;
  } kCases[] = {
      {"NormalKeepsItsSize", false, {640, 480}, {640, 480}, {640, 480}},
      {"NormalIgnoresARememberedSize", false, {640, 480}, {800, 600}, {640, 480}},
      {"MaximisedStoresTheRestoredSize", true, screen, {800, 600}, {800, 600}},
      {"MaximisedFromTheDesignSize", true, screen, design, design},
      {"MaximisedWithoutRememberedSize", true, screen, {0, 0}, design},
      {"MaximisedWithZeroWidth", true, screen, {0, 600}, design},
      {"MaximisedWithNegativeHeight", true, screen, {800, -1}, design},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(SizeToStore(c.maximized, c.current, c.normal, design), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace kv
