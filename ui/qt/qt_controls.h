// The toolkit's controls as Qt widgets: each adapter holds its skinned widget, which the window's
// drawn frame owns.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/qt/skin_button.h"
#include "ui/qt/skin_controls.h"
#include "ui/qt/skin_link_label.h"

namespace kv::ui::qt {

inline QString ToQString(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToUtf8(const QString& text) {
  return text.toUtf8().toStdString();
}

// What every adapter offers the window and the tests: the widget behind it.
class QtControlBase {
 public:
  virtual ~QtControlBase() = default;
  virtual QWidget* widget() const = 0;
};

template <class Interface, class WidgetType>
class QtControl : public Interface, public QtControlBase {
 public:
  explicit QtControl(WidgetType* widget) : widget_(widget) {}
  QWidget* widget() const override { return widget_; }
  WidgetType* typed() const { return widget_; }

  Rect Bounds() const override {
    const QRect g = widget_->geometry();
    return {g.x(), g.y(), g.width(), g.height()};
  }
  void SetEnabled(bool enabled) override { widget_->setEnabled(enabled); }
  bool Enabled() const override { return widget_->isEnabled(); }
  bool HasFocus() const override { return widget_->hasFocus(); }
  void SetFocus() override { widget_->setFocus(Qt::OtherFocusReason); }

 protected:
  WidgetType* widget_;
};

template <class Interface, class WidgetType>
class QtTextControl : public QtControl<Interface, WidgetType> {
 public:
  using QtControl<Interface, WidgetType>::QtControl;
  void SetText(const std::string& text) override { this->widget_->setText(ToQString(text)); }
  std::string Text() const override { return ToUtf8(this->widget_->text()); }
};

using QtLabel = QtTextControl<Label, QLabel>;
using QtLinkLabel = QtTextControl<LinkLabel, SkinLinkLabel>;
using QtEdit = QtTextControl<Edit, QLineEdit>;
using QtBevel = QtControl<Bevel, SkinBevel>;
using QtPicture = QtControl<Picture, SkinPicture>;

class QtPushButton : public QtTextControl<PushButton, SkinButton> {
 public:
  explicit QtPushButton(SkinButton* button);
  void OnClick(std::function<void()> handler) override { handler_ = std::move(handler); }
  void Click() override { widget_->click(); }

 private:
  std::function<void()> handler_;
};

class QtPictureButton : public QtControl<PictureButton, SkinImageButton> {
 public:
  explicit QtPictureButton(SkinImageButton* button);
  void OnClick(std::function<void()> handler) override { handler_ = std::move(handler); }
  void Click() override { widget_->click(); }
  PictureState State() const override { return widget_->pictureState(); }

 private:
  std::function<void()> handler_;
};

// The form's own changes to the list stay quiet; only the user's picks call OnChange.
class QtDropDown : public QtControl<DropDown, SkinComboBox> {
 public:
  explicit QtDropDown(SkinComboBox* box);
  void Clear() override;
  void AddItem(const std::string& text) override;
  int Count() const override { return widget_->count(); }
  int ItemIndex() const override { return widget_->currentIndex(); }
  void SetItemIndex(int index) override;
  void OnChange(std::function<void()> handler) override { handler_ = std::move(handler); }

 private:
  std::function<void()> handler_;
};

class QtMemo : public QtControl<Memo, SkinMemo> {
 public:
  using QtControl::QtControl;
  void Clear() override { widget_->clear(); }
  void AppendLine(const std::string& line) override { widget_->appendLine(ToQString(line)); }
  std::vector<std::string> Lines() const override;
};

}  // namespace kv::ui::qt
