// The preview window: what Start Erasing would erase, row by row of the
// to-be-erased list, with the totals, and the choice to erase exactly that now
// or to close.
#pragma once

#include <string>

#include "cleaning/CleaningRun.h"
#include "core/Context.h"
#include "dialogs/WindowChrome.h"
#include "platform/Controls.h"
#include "preview/Preview.h"

namespace nimbrel {

class FrmPreview : public Form {
 public:
  FrmPreview(Context& ctx, const RecordedRun& preview);

  TitleStrip strip;
  Label lblHeading;
  ListView lvwPreview;
  Label lblTotals;
  PictureButton cmdEraseNow;
  PictureButton cmdClose;

  // True once the user chose to erase.
  bool EraseChosen() const { return erase_; }

 private:
  void Fill(const RecordedRun& preview);
  bool erase_ = false;
};

// How a change shows in the preview window: its line (indented under its row)
// and its kind.
std::string PreviewLine(const Change& change);
std::string PreviewKind(ChangeKind kind);
// "Would erase 3 files (1200 bytes), 1 folder and 2 registry items."
std::string TotalsText(const ChangeTotals& totals);

// The Preview command: previews the rows the window lists, with the commands
// that could start a run disabled meanwhile, then shows the preview window.
// True when the user chose to erase exactly that now.
bool PreviewBeforeErasing(Context& ctx, const CleaningControls& window);

}  // namespace nimbrel
