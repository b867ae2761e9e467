#include "ui/qt/qt_controls.h"

namespace kv::ui::qt {

QtPushButton::QtPushButton(SkinButton* button) : QtTextControl(button) {
  QObject::connect(button, &QAbstractButton::clicked, button, [this] {
    if (handler_) {
      handler_();
    }
  });
}

QtPictureButton::QtPictureButton(SkinImageButton* button) : QtControl(button) {
  QObject::connect(button, &QAbstractButton::clicked, button, [this] {
    if (handler_) {
      handler_();
    }
  });
}

QtDropDown::QtDropDown(SkinComboBox* box) : QtControl(box) {
  QObject::connect(box, &QComboBox::currentIndexChanged, box, [this] {
    if (handler_) {
      handler_();
    }
  });
}

void QtDropDown::Clear() {
  const QSignalBlocker quiet(widget_);
  widget_->clear();
}

void QtDropDown::AddItem(const std::string& text) {
  const QSignalBlocker quiet(widget_);
  widget_->addItem(ToQString(text));
}

void QtDropDown::SetItemIndex(int index) {
  const QSignalBlocker quiet(widget_);
  widget_->setCurrentIndex(index);
}

std::vector<std::string> QtMemo::Lines() const {
  std::vector<std::string> lines;
  for (const QString& line : widget_->lines()) {
    lines.push_back(ToUtf8(line));
  }
  return lines;
}

}  // namespace kv::ui::qt
