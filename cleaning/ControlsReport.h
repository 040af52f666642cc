// A run's report shown on the controls the run drives: each progress line is
// added to the progress list as its last, selected line, and each counter's
// total goes to its label. The main window and the window-less runs both show
// their runs this way; a front end adds what it says at the run's end.
#pragma once

#include "cleaning/CleaningRun.h"
#include "core/RunReport.h"
#include "platform/EventLoop.h"

namespace nimbrel {

class ControlsReport : public RunReport {
 public:
  ControlsReport(const CleaningControls& controls, EventLoop& loop)
      : c_(controls), loop_(loop) {}

  void ProgressLine(const std::string& line) override;
  void RegistryItemsRemoved(std::int32_t total) override;
  void FilesDeleted(std::int32_t total) override;
  void BytesErased(std::uint64_t total) override;
  void DoEvents() override { loop_.DoEvents(); }

 private:
  CleaningControls c_;
  EventLoop& loop_;
};

}  // namespace nimbrel
