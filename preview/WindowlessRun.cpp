#include "preview/WindowlessRun.h"

namespace nimbrel {

namespace {
// The form is never shown: its size and the controls' places do not matter.
constexpr int kSize = Px(100);
}  // namespace

WindowlessRun::WindowlessRun(Context& ctx, std::function<void(int)> rowStarted)
    : Form(ctx.platform.loop, "WindowlessRun", kSize, kSize),
      lvwToBeErased(*this, "lvwToBeErased", 0, 0, kSize, kSize),
      LstShowingTracksErasedProgress(*this, "LstShowingTracksErasedProgress", 0, 0, kSize, kSize),
      PgbTemp(*this, "PgbTemp", 0, 0, kSize, kSize),
      lblstatus(*this, "lblstatus", kIdleStatus, 0, 0, kSize, kSize),
      lblScannedRegKeys(*this, "lblScannedRegKeys", "0", 0, 0, kSize, kSize),
      lblFilesDelete(*this, "lblFilesDelete", "0", 0, 0, kSize, kSize),
      lblSize(*this, "lblSize", "0", 0, 0, kSize, kSize),
      Picture1(*this, "Picture1", 0, 0, kSize, kSize),
      mnuMain(*this, "mnuMain", "Menu"),
      mnuEraseSetting(*this, "mnuEraseSetting", "Erase Settings", &mnuMain),
      mnuOptions(*this, "mnuOptions", "Options", &mnuMain),
      mnuStartErasing(*this, "mnuStartErasing", "Start Erasing", &mnuMain),
      ctx_(ctx),
      controls_{lvwToBeErased, LstShowingTracksErasedProgress, PgbTemp, lblstatus,
                lblScannedRegKeys, lblFilesDelete, lblSize, Picture1,
                mnuEraseSetting, mnuOptions, mnuStartErasing},
      report_(controls_, Loop(), std::move(rowStarted)),
      run_(ctx, controls_) {
  ctx_.SetReport(&report_);
}

WindowlessRun::~WindowlessRun() { ctx_.SetReport(nullptr); }

std::vector<std::string> WindowlessRun::Rows() const {
  std::vector<std::string> rows;
  for (int i = 0; i < lvwToBeErased.Count(); ++i) rows.push_back(lvwToBeErased.Item(i).text);
  return rows;
}

void WindowlessRun::ListRows(const std::vector<std::string>& rows) {
  lvwToBeErased.Clear();
  for (const std::string& row : rows) lvwToBeErased.Add(row, MarkOfRow(row));
}

}  // namespace nimbrel
