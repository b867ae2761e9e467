// A form: the object that builds a window's controls and answers their events.
#pragma once

#include "ui/window.h"

namespace kv::ui {

class Form {
 public:
  virtual ~Form() = default;
  virtual Window& GetWindow() = 0;
};

}  // namespace kv::ui
