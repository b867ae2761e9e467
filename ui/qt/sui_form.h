// The drawn frame of a skinned window: a 1-pixel black border, an optional deep-blue title bar
// with the caption and its buttons, and the light client area on which the controls sit.
// Controls are children of the frame, placed relative to its top left corner. A frame that fills
// its window follows the window's size; the maximise button shows "restore" while the window is
// maximised.
#pragma once

#include <QAbstractButton>
#include <QPoint>
#include <QString>
#include <QWidget>

namespace kv::ui {

// A minimise, maximise or close button of the title bar.
class TitleBarButton : public QAbstractButton {
  Q_OBJECT

 public:
  enum class Glyph { Minimize, Maximize, Restore, Close };
  TitleBarButton(Glyph glyph, QWidget* parent);
  QSize sizeHint() const override;
  Glyph glyph() const { return glyph_; }
  void setGlyph(Glyph glyph);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  Glyph glyph_;
};

class SuiForm : public QWidget {
  Q_OBJECT

 public:
  enum TitleButton : int { kNoButtons = 0, kMinimize = 1, kMaximize = 2, kClose = 4 };
  static constexpr int kAllButtons = kMinimize | kMaximize | kClose;

  // buttons: an OR of TitleButton values; ignored without a title bar.
  SuiForm(QWidget* parent, bool hasTitleBar, int buttons);

  // Makes the frame cover its parent window now and after every resize of the window.
  void fillWindow();
  bool fillsWindow() const { return fillsWindow_; }

  void setCaption(const QString& caption);
  QString caption() const { return caption_; }
  bool hasTitleBar() const { return hasTitleBar_; }
  QRect titleBarRect() const;
  // Null for a button the frame does not have.
  TitleBarButton* titleButton(TitleButton which) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void placeButtons();
  void toggleMaximized();
  void showWindowState();

  bool hasTitleBar_;
  bool fillsWindow_ = false;
  QString caption_;
  TitleBarButton* minimize_ = nullptr;
  TitleBarButton* maximize_ = nullptr;
  TitleBarButton* close_ = nullptr;
  // A press on the title bar becomes a move only once the mouse travels, so that the second
  // press of a double-click still reaches the frame.
  bool movePending_ = false;
  QPoint pressPosition_;
  bool dragging_ = false;
  QPoint dragOffset_;
};

}  // namespace kv::ui
