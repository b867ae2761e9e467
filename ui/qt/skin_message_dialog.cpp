#include "ui/qt/skin_message_dialog.h"

#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

#include "ui/qt/skin_button.h"
#include "ui/qt/skin_style.h"
#include "ui/qt/sui_form.h"

namespace kv::ui {

namespace {

constexpr int kIconSide = 32;
constexpr int kMargin = 14;
constexpr int kMinTextWidth = 160;
constexpr int kMaxTextWidth = 420;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

SkinMessageDialog::Interceptor& CurrentInterceptor() {
  static SkinMessageDialog::Interceptor interceptor;
  return interceptor;
}

}  // namespace

SkinMessageDialog::SkinMessageDialog(QWidget* owner, const QString& caption, const QString& text,
                                     Icon icon)
    : QDialog(owner), icon_(icon) {
  ApplySkinWindow(this, Qt::Dialog);
  setWindowTitle(caption);
  setModal(true);
  setObjectName("suiMsgBox");

  frame_ = new SuiForm(this, true, SuiForm::kClose);
  frame_->setCaption(caption);

  iconLabel_ = new QLabel(frame_);
  iconLabel_->setObjectName("icon");
  iconLabel_->setPixmap(DrawDialogIcon(icon, kIconSide));

  text_ = new QLabel(text, frame_);
  text_->setObjectName("text");
  text_->setTextFormat(Qt::PlainText);
  text_->setWordWrap(true);
  text_->setFont(SkinFont(kVerdana, 8));

  ok_ = new SkinButton(QStringLiteral("OK"), frame_);
  ok_->setObjectName("cmdOK");
  ok_->setFont(SkinFont(kVerdana, 8, true));
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

  // Size the box to its text: one line where it fits, wrapped beyond the widest line allowed.
  const QFontMetrics metrics(text_->font());
  const int textWidth =
      std::clamp(metrics.horizontalAdvance(text) + 4, kMinTextWidth, kMaxTextWidth);
  const int textHeight = std::max(
      kIconSide,
      metrics.boundingRect(QRect(0, 0, textWidth, 10000), Qt::TextWordWrap, text).height());
  const int top = kTitleBarHeight + 1 + kMargin;
  iconLabel_->setGeometry(kMargin, top, kIconSide, kIconSide);
  const int textLeft = kMargin + kIconSide + kMargin;
  text_->setGeometry(textLeft, top, textWidth, textHeight);
  const int frameWidth = textLeft + textWidth + kMargin;
  const int buttonTop = top + textHeight + kMargin;
  ok_->setGeometry((frameWidth - kButtonWidth) / 2, buttonTop, kButtonWidth, kButtonHeight);
  const int frameHeight = buttonTop + kButtonHeight + kMargin - 4;
  frame_->setGeometry(0, 0, frameWidth, frameHeight);
  setFixedSize(frameWidth, frameHeight);
}

void SkinMessageDialog::Show(QWidget* owner, const QString& caption, const QString& text,
                             Icon icon) {
  if (CurrentInterceptor()) {
    CurrentInterceptor()(caption, text, icon);
    return;
  }
  SkinMessageDialog dialog(owner, caption, text, icon);
  dialog.exec();
}

void SkinMessageDialog::SetInterceptor(Interceptor interceptor) {
  CurrentInterceptor() = std::move(interceptor);
}

}  // namespace kv::ui
