// Lets a media check write into the main window's report memo.
#pragma once

#include <QCoreApplication>
#include <QEventLoop>

#include "app/core/media_check.h"
#include "ui/skin_controls.h"

namespace kv {

class MemoReportSink : public ReportSink {
 public:
  explicit MemoReportSink(ui::SkinMemo& memo) : memo_(memo) {}
  void Clear() override { memo_.clear(); }
  void AppendLine(const std::string& line) override {
    memo_.appendLine(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
  }
  // Paints the interim line; input stays queued (the window takes none during a check).
  void ProcessPendingMessages() override {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }

 private:
  ui::SkinMemo& memo_;
};

}  // namespace kv
