// A link label: blue and underlined, red while the mouse is over it, a hand cursor; a click
// opens the maker's web page in the default browser.
#pragma once

#include <QLabel>
#include <QUrl>

#include <functional>

#include "ui/skin_look.h"

namespace kv::ui {

class SkinLinkLabel : public QLabel {
  Q_OBJECT

 public:
  using Opener = std::function<bool(const QUrl&)>;

  explicit SkinLinkLabel(QWidget* parent);
  QUrl url() const { return url_; }
  void setUrl(const QUrl& url) { url_ = url; }
  // Replaces the browser call (QDesktopServices::openUrl); tests record the address instead.
  void setOpener(Opener opener) { opener_ = std::move(opener); }
  bool isHighlighted() const { return highlighted_; }

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void setHighlighted(bool on);

  QUrl url_;
  Opener opener_;
  bool highlighted_ = false;
};

}  // namespace kv::ui
