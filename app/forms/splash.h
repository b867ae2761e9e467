// The title-less "Querying Device ..." box shown while the drives are questioned at start.
#pragma once

#include <QLabel>
#include <QWidget>

#include <chrono>

#include "ui/sui_form.h"

namespace kv {

class TfrmSplash : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmSplash(QWidget* owner);

  ui::SuiForm* suiForm1;
  QLabel* Label1;

  // Shows the box and returns once its text has been painted on the screen, or after `bound`
  // (a display that never exposes the box must not hold the start-up). True when painted.
  bool ShowPainted(std::chrono::milliseconds bound);
  // The text has been painted into the exposed window.
  bool TextPainted() const { return textPainted_; }

 signals:
  void textPaintedOnScreen();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool textPainted_ = false;
};

}  // namespace kv
