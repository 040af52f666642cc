#include "app/FrmPreview.h"

#include <map>
#include <vector>

#include "dialogs/FrmMessage.h"
#include "dialogs/WindowChrome.h"

namespace nimbrel {

namespace {

// Layout, in pixels: the title strip, a heading, the list, the totals and the
// two commands at the bottom right.
constexpr int kWidth = 640, kHeight = 480, kTitle = 32;
constexpr int kLeft = 20, kInner = kWidth - 2 * kLeft;
constexpr int kListTop = kTitle + 38, kListHeight = 320;
constexpr int kTotalsTop = kListTop + kListHeight + 10;
constexpr int kButton = 96, kButtonHeight = 28, kButtonsTop = kHeight - 20 - kButtonHeight;
constexpr int kKindWidth = 124, kSizeWidth = 84;

std::string Counted(std::uint64_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The windows a row asks to close, as one line per class.
std::string WindowsLine(const std::string& windowClass, int count) {
  if (windowClass == "IEFrame")
    return "  " + Counted(static_cast<std::uint64_t>(count), "Internet Explorer window",
                          "Internet Explorer windows") + " closed";
  return "  " + Counted(static_cast<std::uint64_t>(count), "window", "windows") + " of class \"" +
         windowClass + "\" closed";
}

}  // namespace

std::string PreviewLine(const Change& change) {
  switch (change.kind) {
    case ChangeKind::Folder: return "  " + change.item + "\\";
    case ChangeKind::RecycleBin:
      return "  the recycle bin: " + change.item + (change.item == "1" ? " item" : " items");
    case ChangeKind::Clipboard: return "  the clipboard";
    case ChangeKind::ClipboardHistory: return "  the clipboard history";
    case ChangeKind::DnsCache: return "  the DNS resolver cache";
    default: return "  " + change.item;
  }
}

std::string PreviewKind(ChangeKind kind) {
  switch (kind) {
    case ChangeKind::File: return "File";
    case ChangeKind::Folder: return "Folder";
    case ChangeKind::RegistryKey: return "Registry key";
    case ChangeKind::RegistryValue: return "Registry value";
    case ChangeKind::RegistryWrite: return "Registry written";
    case ChangeKind::RecycleBin: return "Recycle bin";
    case ChangeKind::Clipboard: return "Clipboard";
    case ChangeKind::ClipboardHistory: return "Clipboard history";
    case ChangeKind::DnsCache: return "DNS cache";
    case ChangeKind::Window: return "Windows";
    case ChangeKind::Modified: return "Changed, kept";
    case ChangeKind::Created: return "Written";
    case ChangeKind::Program: return "Program started";
    case ChangeKind::UrlCacheEntry: return "URL cache entry";
    case ChangeKind::UrlHistory: return "URL history";
    case ChangeKind::AtReboot: return "Deleted at the next start";
    case ChangeKind::DatabaseRows: return "Rows of a database";
    case ChangeKind::SiteData: return "Site data";
    case ChangeKind::Refused: return "Refused, kept";
  }
  return "";
}

std::string TotalsText(const ChangeTotals& t) {
  return "Would erase " + Counted(static_cast<std::uint64_t>(t.files), "file", "files") + " (" +
         Counted(t.bytes, "byte", "bytes") + "), " +
         Counted(static_cast<std::uint64_t>(t.folders), "folder", "folders") + " and " +
         Counted(static_cast<std::uint64_t>(t.registryItems), "registry item",
                 "registry items") +
         ".";
}

FrmPreview::FrmPreview(Context& ctx, const RecordedRun& preview)
    : Form(ctx.platform.loop, "FrmPreview", Px(kWidth), Px(kHeight)),
      strip(ctx, *this, {.caption = "Preview ...", .closeName = "Image1"}),
      lblHeading(*this, "lblHeading", "Start Erasing would erase exactly this, row by row:",
                 Px(kLeft), Px(kTitle + 14), Px(kInner), Px(18)),
      lvwPreview(*this, "lvwPreview", Px(kLeft), Px(kListTop), Px(kInner), Px(kListHeight)),
      lblTotals(*this, "lblTotals", "", Px(kLeft), Px(kTotalsTop), Px(kInner), Px(20)),
      cmdEraseNow(*this, "cmdEraseNow", "Erase Now", Px(kWidth - kLeft - 2 * kButton - 8),
                  Px(kButtonsTop), Px(kButton), Px(kButtonHeight)),
      cmdClose(*this, "cmdClose", "Close", Px(kWidth - kLeft - kButton), Px(kButtonsTop),
               Px(kButton), Px(kButtonHeight)) {
  lblHeading.SetLook(TextStyle::Heading, palette::kText, palette::kWindow);
  lblTotals.SetLook(TextStyle::Bold, palette::kText, palette::kWindow);
  lvwPreview.AddColumn("Would erase", Px(kInner - kKindWidth - kSizeWidth - 24));
  lvwPreview.AddColumn("Kind", Px(kKindWidth));
  lvwPreview.AddColumn("Bytes", Px(kSizeWidth));
  cmdEraseNow.Click = [this] {
    erase_ = true;
    Close();
  };
  cmdClose.Click = [this] { Close(); };
  Fill(preview);
}

void FrmPreview::Fill(const RecordedRun& preview) {
  const int rows = static_cast<int>(preview.rows.size());
  for (int row = kBeforeTheRows; row <= rows; ++row) {
    std::vector<const Change*> changes;
    for (const Change& c : preview.changes)
      if (c.row == row) changes.push_back(&c);
    const bool listRow = row >= 0 && row < rows;
    if (!listRow && changes.empty()) continue;
    lvwPreview.Add(RowLabel(preview, row),
                   listRow ? MarkOfRow(preview.rows[static_cast<std::size_t>(row)]) : RowMark::None);
    if (changes.empty()) lvwPreview.Add("  nothing to erase");
    std::map<std::string, int> windows;  // class -> windows it closes
    for (const Change* c : changes)
      if (c->kind == ChangeKind::Window) ++windows[c->item];
    for (const Change* c : changes) {
      if (c->kind == ChangeKind::Window) {
        // One line per class, where its first window comes.
        const auto it = windows.find(c->item);
        if (it == windows.end()) continue;
        const int i = lvwPreview.Add(WindowsLine(it->first, it->second));
        lvwPreview.SetSubItem(i, 1, PreviewKind(c->kind));
        windows.erase(it);
        continue;
      }
      const int i = lvwPreview.Add(PreviewLine(*c));
      lvwPreview.SetSubItem(i, 1, PreviewKind(c->kind));
      if (c->kind == ChangeKind::File || c->kind == ChangeKind::SiteData)
        lvwPreview.SetSubItem(i, 2, std::to_string(c->bytes));
    }
  }
  lblTotals.SetCaption(TotalsText(Totals(preview.changes)));
}

bool PreviewBeforeErasing(Context& ctx, const CleaningControls& window) {
  std::vector<std::string> rows;
  for (int i = 0; i < window.lvwToBeErased.Count(); ++i)
    rows.push_back(window.lvwToBeErased.Item(i).text);
  const RecordedRun preview = [&] {
    // Nothing may start a run of the window while the preview works.
    const RunCommandsHeld held(window, " Previewing ...");
    return RunRecorded(ctx, PreviewMode::Preview, rows);
  }();
  if (preview.busy) {
    ShowInformation(ctx, "Information",
                    "Another run of Nimbrel is still erasing. Please take the preview again "
                    "when it has finished.");
    return false;
  }
  FrmPreview dlg(ctx, preview);
  dlg.ShowModal();
  return dlg.EraseChosen();
}

}  // namespace nimbrel
