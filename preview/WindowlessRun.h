// A cleaning run without a window, for the command line and the preview: the
// controls the run drives live on a form that is never shown, and the run's
// report is shown on them as the main window shows it on its own, so the
// log gets the same progress lines. No message is shown.
#pragma once

#include <string>
#include <vector>

#include <functional>

#include "cleaning/CleaningRun.h"
#include "cleaning/ControlsReport.h"
#include "core/Context.h"
#include "platform/Controls.h"

namespace nimbrel {

class WindowlessRun : public Form {
 public:
  // Reports to `ctx` from now until it is destroyed; `rowStarted`, when given,
  // hears each row as it starts (and the row count once all are done).
  explicit WindowlessRun(Context& ctx, std::function<void(int)> rowStarted = {});
  ~WindowlessRun() override;

  ListView lvwToBeErased;
  ListBox LstShowingTracksErasedProgress;
  ProgressBar PgbTemp;
  Label lblstatus, lblScannedRegKeys, lblFilesDelete, lblSize;
  PictureBox Picture1;
  MenuItem mnuMain, mnuEraseSetting, mnuOptions, mnuStartErasing;

  CleaningRun& Run() { return run_; }
  // The to-be-erased rows, as listed now.
  std::vector<std::string> Rows() const;
  // Lists exactly these rows, each with the mark of its kind.
  void ListRows(const std::vector<std::string>& rows);

 private:
  class Report final : public ControlsReport {
   public:
    Report(const CleaningControls& controls, EventLoop& loop, std::function<void(int)> rowStarted)
        : ControlsReport(controls, loop), rowStarted_(std::move(rowStarted)) {}
    void RowStarted(int row) override {
      if (rowStarted_) rowStarted_(row);
    }

   private:
    std::function<void(int)> rowStarted_;
  };

  Context& ctx_;
  CleaningControls controls_;
  Report report_;
  CleaningRun run_;
};

}  // namespace nimbrel
