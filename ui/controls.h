// The controls a window offers its form. Each is made by its window (ui/window.h), lives as long
// as the window and is placed on the window's drawn frame. Changes made through these calls never
// call the form back; only the user's own actions (and Click) do.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/toolkit_types.h"

namespace kv::ui {

class Control {
 public:
  virtual ~Control() = default;
  virtual Rect Bounds() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
  virtual bool HasFocus() const = 0;
  virtual void SetFocus() = 0;
};

class TextControl : public Control {
 public:
  virtual void SetText(const std::string& text) = 0;
  virtual std::string Text() const = 0;
};

// Plain text, top left aligned; a wrapping label breaks lines at words and cuts what does not fit.
class Label : public TextControl {};

// Blue and underlined, red under the mouse; a click opens the maker's web page.
class LinkLabel : public TextControl {};

// A single-line text box.
class Edit : public TextControl {};

class PushButton : public TextControl {
 public:
  virtual void OnClick(std::function<void()> handler) = 0;
  // As if the user clicked: nothing when the button is disabled.
  virtual void Click() = 0;
};

// A button that shows one of three pictures: normal, mouse over (or focused), pressed (or
// disabled). It takes the focus without a focus rectangle; Enter and Space press it.
class PictureButton : public Control {
 public:
  virtual void OnClick(std::function<void()> handler) = 0;
  virtual void Click() = 0;
  virtual PictureState State() const = 0;
};

// A drop-down list the user can only pick from.
class DropDown : public Control {
 public:
  virtual void Clear() = 0;
  virtual void AddItem(const std::string& text) = 0;
  virtual int Count() const = 0;
  // -1: no line.
  virtual int ItemIndex() const = 0;
  virtual void SetItemIndex(int index) = 0;
  // Called when the user picks a line.
  virtual void OnChange(std::function<void()> handler) = 0;
};

// A read-only multi-line text box.
class Memo : public Control {
 public:
  virtual void Clear() = 0;
  virtual void AppendLine(const std::string& line) = 0;
  virtual std::vector<std::string> Lines() const = 0;
};

// A lowered box frame around other controls; takes no input.
class Bevel : public Control {};

// One of the skin's pictures; takes no input.
class Picture : public Control {};

}  // namespace kv::ui
