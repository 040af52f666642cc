// A cleaning run without a window, for the command line and the preview: the
// controls the run drives live on a form that is never shown, and the run's
// report is shown on them as the main window shows it on its own, so the
// log gets the same progress lines. No message is shown.
#pragma once

#include <string>
#include <vector>

#include "cleaning/CleaningRun.h"
#include "erasers/Context.h"
#include "erasers/RunReport.h"
#include "platform/Controls.h"

namespace nimbrel {

class WindowlessRun : public Form, public RunReport {
 public:
  // Reports to `ctx` from now until it is destroyed.
  WindowlessRun(Context& ctx, TickedApplications ticked);
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

  // RunReport, on the controls above.
  void ProgressLine(const std::string& line) override;
  void RegistryItemsRemoved(std::int32_t total) override;
  void FilesDeleted(std::int32_t total) override;
  void BytesErased(std::uint64_t total) override;
  void DoEvents() override;
  WindowHandle Owner() override { return 0; }

 private:
  Context& ctx_;
  CleaningRun run_;
};

}  // namespace nimbrel
