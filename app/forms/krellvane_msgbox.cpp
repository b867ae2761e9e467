#include "app/forms/krellvane_msgbox.h"

#include "app/core/main_window_logic.h"
#include "media/property_block.h"
#include "ui/skin_style.h"

namespace kv {

namespace {
constexpr QSize kClientSize{486, 420};
constexpr QRect kCloseRect{208, 392, 81, 21};
constexpr QRect kTextRect{20, 40, 445, 341};
constexpr QRect kBevelRect{12, 36, 461, 349};
constexpr int kMinimumWidth = 130;
}  // namespace

TfrmKrellvaneMsgBox::TfrmKrellvaneMsgBox(QWidget* owner) : QDialog(owner) {
  setObjectName("frmKrellvaneMsgBox");
  ui::ApplySkinWindow(this, Qt::Dialog);
  setWindowTitle("Krell-Vane");
  setModal(true);
  resize(kClientSize);
  setMinimumWidth(kMinimumWidth);

  // The frame covers the whole box; the controls sit on it.
  suiForm1 = new ui::SuiForm(this, true, ui::SuiForm::kClose);
  suiForm1->fillWindow();
  suiForm1->setCaption("Krell-Vane");

  Bevel1 = new ui::SkinBevel(suiForm1);
  Bevel1->setObjectName("Bevel1");
  Bevel1->setGeometry(kBevelRect);

  // A fixed-size label: text beyond its height is cut off, never scrolled.
  lblKrellvane = new QLabel(suiForm1);
  lblKrellvane->setObjectName("lblKrellvane");
  lblKrellvane->setGeometry(kTextRect);
  lblKrellvane->setFont(ui::SkinFont(ui::kCourierNew, 9));
  lblKrellvane->setTextFormat(Qt::PlainText);
  lblKrellvane->setWordWrap(true);
  lblKrellvane->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  ui::SetTextColour(lblKrellvane, Qt::black);

  cmdClose = new ui::SkinButton("Close", suiForm1);
  cmdClose->setObjectName("cmdClose");
  cmdClose->setGeometry(kCloseRect);
  cmdClose->setFont(ui::SkinFont(ui::kVerdana, 8, true));
  connect(cmdClose, &QPushButton::clicked, this, [this] { cmdCloseClick(cmdClose); });

  FormCreate(this);
}

void TfrmKrellvaneMsgBox::FormCreate(QObject*) {
  // The block's texts are single-byte; Latin-1 maps every byte to one character.
  lblKrellvane->setText(QString::fromLatin1(ComposeInformationText(Block()).c_str()));
}

void TfrmKrellvaneMsgBox::cmdCloseClick(QObject*) {
  close();
}

void TfrmKrellvaneMsgBox::showEvent(QShowEvent* event) {
  if (const QWidget* owner = parentWidget()) {
    move(owner->window()->geometry().center() - rect().center());
  }
  QDialog::showEvent(event);
}

}  // namespace kv
