// The title-less "Querying Device ..." box shown while the drives are questioned at start.
#pragma once

#include <QLabel>
#include <QWidget>

#include "ui/sui_form.h"

namespace kv {

class TfrmSplash : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmSplash(QWidget* owner);

  ui::SuiForm* suiForm1;
  QLabel* Label1;
};

}  // namespace kv
