#include "cleaning/WindowlessRun.h"

namespace nimbrel {

namespace {
// The form is never shown: its size and the controls' places do not matter.
constexpr int kSize = Px(100);
}  // namespace

WindowlessRun::WindowlessRun(Context& ctx, TickedApplications ticked)
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
      run_(ctx, CleaningControls{lvwToBeErased, LstShowingTracksErasedProgress, PgbTemp, lblstatus,
                                 lblScannedRegKeys, lblFilesDelete, lblSize, Picture1,
                                 mnuEraseSetting, mnuOptions, mnuStartErasing},
           std::move(ticked)) {
  run_.ShowMessages = false;
  ctx_.SetReport(this);
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

void WindowlessRun::ProgressLine(const std::string& line) {
  LstShowingTracksErasedProgress.AddItem(line);
  LstShowingTracksErasedProgress.SetListIndex(LstShowingTracksErasedProgress.ListCount() - 1);
}

void WindowlessRun::RegistryItemsRemoved(std::int32_t total) {
  lblScannedRegKeys.SetCaption(std::to_string(total));
}

void WindowlessRun::FilesDeleted(std::int32_t total) {
  lblFilesDelete.SetCaption(std::to_string(total));
}

void WindowlessRun::BytesErased(std::uint64_t total) { lblSize.SetCaption(std::to_string(total)); }

void WindowlessRun::DoEvents() { Loop().DoEvents(); }

}  // namespace nimbrel
