#include "app/forms/splash.h"

#include <QGuiApplication>
#include <QScreen>

#include "ui/skin_style.h"

namespace kv {

namespace {
constexpr QSize kClientSize{248, 87};
constexpr QRect kFrameRect{1, 1, 246, 85};
constexpr QRect kLabelRect{64, 36, 123, 13};
}  // namespace

TfrmSplash::TfrmSplash(QWidget* owner) : QWidget(owner) {
  setObjectName("frmSplash");
  ui::ApplySkinWindow(this, Qt::Tool | Qt::WindowStaysOnTopHint);
  setWindowTitle("frmSplash");
  setFixedSize(kClientSize);

  suiForm1 = new ui::SuiForm(this, false, ui::SuiForm::kNoButtons);
  suiForm1->setGeometry(kFrameRect);

  Label1 = new QLabel("Querying Device ...", suiForm1);
  Label1->setObjectName("Label1");
  Label1->setFont(ui::SkinFont(ui::kVerdana, 8, true));
  Label1->setGeometry(kLabelRect);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

}  // namespace kv
