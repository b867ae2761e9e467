// Lets a media check write into the main window's report memo.
#pragma once

#include "app/core/media_check.h"
#include "ui/text_encoding.h"
#include "ui/toolkit.h"

namespace kv {

class MemoReportSink : public ReportSink {
 public:
  MemoReportSink(ui::Memo& memo, ui::Toolkit& toolkit) : memo_(memo), toolkit_(toolkit) {}
  void Clear() override { memo_.Clear(); }
  void AppendLine(const std::string& line) override { memo_.AppendLine(ui::Latin1ToUtf8(line)); }
  // Paints the interim line; input stays queued (the window takes none during a check).
  void ProcessPendingMessages() override { toolkit_.ProcessPendingMessages(); }

 private:
  ui::Memo& memo_;
  ui::Toolkit& toolkit_;
};

}  // namespace kv
