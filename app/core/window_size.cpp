#include "app/core/window_size.h"

namespace kv {

WindowSize SizeToStore(bool maximizedOrFullScreen, WindowSize current, WindowSize normal,
                       WindowSize design) {
  if (!maximizedOrFullScreen) {
    return current;
  }
  if (normal.width > 0 && normal.height > 0) {
    return normal;
  }
  return design;
}

}  // namespace kv
