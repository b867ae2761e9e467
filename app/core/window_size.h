// The window size the main window stores when it closes.
#pragma once

namespace kv {

struct WindowSize {
  int width = 0;
  int height = 0;
  bool operator==(const WindowSize&) const = default;
};

// A window closed maximised or full screen stores its normal (restored) size, so that the next
// start opens at a size with edges to drag, never at the screen's size. The normal size is what
// the toolkit remembers; when it has none with both sides above 0, the design size is stored.
// A window in its normal state stores its current size.
WindowSize SizeToStore(bool maximizedOrFullScreen, WindowSize current, WindowSize normal,
                       WindowSize design);

}  // namespace kv
