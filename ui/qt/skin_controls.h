// The plain skinned controls: logo picture, pick-only drop-down, read-only memo, bevel frame.
#pragma once

#include <QComboBox>
#include <QFrame>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QWidget>

namespace kv::ui {

// A picture that takes no input; mouse events go to whatever lies below it.
class SkinPicture : public QWidget {
  Q_OBJECT

 public:
  SkinPicture(QPixmap picture, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap picture_;
};

// A drop-down list the user can only pick from, with a fixed item height.
class SkinComboBox : public QComboBox {
  Q_OBJECT

 public:
  SkinComboBox(int itemHeight, QWidget* parent);
  int itemHeight() const { return itemHeight_; }

 private:
  int itemHeight_;
};

// A read-only multi-line text box.
class SkinMemo : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit SkinMemo(QWidget* parent);
  void appendLine(const QString& line) { appendPlainText(line); }
  QStringList lines() const;
};

// A lowered box frame around other controls; takes no input.
class SkinBevel : public QFrame {
  Q_OBJECT

 public:
  explicit SkinBevel(QWidget* parent);
};

}  // namespace kv::ui
