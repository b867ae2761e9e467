// A skinned window as a Qt top-level widget (QDialog for the modal roles) with a SuiForm frame.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

#include "ui/qt/qt_controls.h"
#include "ui/qt/sui_form.h"
#include "ui/window.h"

namespace kv::ui::qt {

class QtWindow : public QObject, public Window {
  Q_OBJECT

 public:
  QtWindow(const WindowSetup& setup, QWidget* owner);
  ~QtWindow() override;

  QWidget* widget() const { return top_; }
  SuiForm* frame() const { return frame_; }

  const char* Name() const override { return name_; }
  std::string Title() const override;
  void SetCaption(const std::string& caption) override;
  std::string Caption() const override;

  Size GetSize() const override;
  void Resize(Size size) override;
  Rect FrameBounds() const override;
  bool IsMaximized() const override;
  Size NormalSize() const override;
  void Maximize() override;
  void Restore() override;

  void Show() override;
  void Hide() override;
  void Close() override;
  bool IsVisible() const override;
  bool ShowPainted(std::chrono::milliseconds bound) override;
  bool PaintedOnScreen() const override { return painted_; }
  int RunModal() override;

  Label& AddLabel(const ControlSetup& setup, const std::string& text, bool wordWrap) override;
  LinkLabel& AddLinkLabel(const ControlSetup& setup) override;
  Edit& AddEdit(const ControlSetup& setup) override;
  PushButton& AddPushButton(const ControlSetup& setup, const std::string& text) override;
  PictureButton& AddPictureButton(const ControlSetup& setup, PictureKind picture) override;
  DropDown& AddDropDown(const ControlSetup& setup, int itemHeight) override;
  Memo& AddMemo(const ControlSetup& setup) override;
  Bevel& AddBevel(const ControlSetup& setup) override;
  Picture& AddPicture(const ControlSetup& setup, PictureKind picture) override;

  void SetTabOrder(const std::vector<Control*>& order) override;
  void AddKeyPress(Key key, PictureButton& button) override;
  std::unique_ptr<Busy> BeginBusy() override;

 signals:
  void paintedOnScreen();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Names, places, fonts and colours the new widget, and watches its paints.
  void Prepare(QWidget* widget, const ControlSetup& setup);
  template <class Adapter, class WidgetType>
  Adapter& Keep(WidgetType* widget);

  const char* name_;
  bool modal_;
  // The adapters go after the widgets they point to (members are destroyed in reverse order).
  std::vector<std::unique_ptr<QtControlBase>> controls_;
  QPointer<QWidget> top_;
  SuiForm* frame_ = nullptr;
  bool painted_ = false;
};

}  // namespace kv::ui::qt
