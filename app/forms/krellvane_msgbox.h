// The information box of the "KRELL-VANE" button: release date, version, drive models and
// remarks of the property block.
#pragma once

#include <QDialog>
#include <QLabel>

#include "ui/skin_button.h"
#include "ui/skin_controls.h"
#include "ui/sui_form.h"

namespace kv {

class TfrmKrellvaneMsgBox : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmKrellvaneMsgBox(QWidget* owner);

  ui::SuiForm* suiForm1;
  ui::SkinButton* cmdClose;
  QLabel* lblKrellvane;
  ui::SkinBevel* Bevel1;

  void FormCreate(QObject* sender);
  void cmdCloseClick(QObject* sender);

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace kv
