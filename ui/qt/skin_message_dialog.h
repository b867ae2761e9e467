// The skinned modal message dialog: a caption, an icon, a text and one "OK" button.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>

#include "ui/qt/skin_pictures.h"

class QLabel;

namespace kv::ui {

class SkinButton;
class SuiForm;

class SkinMessageDialog : public QDialog {
  Q_OBJECT

 public:
  using Icon = DialogIcon;
  // Called instead of showing the dialog while set (tests); null restores the dialog.
  using Interceptor = std::function<void(const QString& caption, const QString& text, Icon icon)>;

  SkinMessageDialog(QWidget* owner, const QString& caption, const QString& text, Icon icon);

  // Shows the dialog modally and returns when "OK" (or the close button) ends it.
  static void Show(QWidget* owner, const QString& caption, const QString& text, Icon icon);
  static void SetInterceptor(Interceptor interceptor);

  SuiForm* frame() const { return frame_; }
  QLabel* textLabel() const { return text_; }
  SkinButton* okButton() const { return ok_; }
  Icon icon() const { return icon_; }

 private:
  SuiForm* frame_;
  QLabel* iconLabel_;
  QLabel* text_;
  SkinButton* ok_;
  Icon icon_;
};

}  // namespace kv::ui
