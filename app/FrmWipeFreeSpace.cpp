#include "app/FrmWipeFreeSpace.h"

#include "app/WipeAndShred.h"
#include "erasers/SecureOverwrite.h"

namespace nimbrel {

namespace {

// Layout, in pixels.
constexpr int kWidth = 600, kHeight = 468, kTitle = 32, kLeft = 20, kInner = kWidth - 2 * kLeft;
constexpr int kIntroTop = kTitle + 14, kListTop = kIntroTop + 62, kListHeight = 116;
constexpr int kNotesTop = kListTop + kListHeight + 12, kBarTop = kNotesTop + 82;
constexpr int kButton = 96, kButtonHeight = 28, kButtonsTop = kHeight - 20 - kButtonHeight;
// What a drive writes in a second, for the time a wipe takes before it starts.
constexpr std::uint64_t kDiskRate = 100ull << 20, kSolidStateRate = 300ull << 20;

constexpr const char* kIntro =
    "Files deleted by Windows or by any program stay on the disk, in its free space, "
    "until something is written over them. The wipe fills the drive's free space with files "
    "in a folder of its own, written with the passes of Secure Erasing (Options), then fills "
    "the file table with small files, and deletes all it made: the free space is as before.";
constexpr const char* kShadowCopies =
    "System Restore's shadow copies keep older copies of files, which no wipe reaches.";
constexpr const char* kSolidState =
    "This is a solid-state drive: its wear levelling keeps copies that no wipe reaches, and "
    "the drive's own TRIM clears deleted data. ";

int SecondsOfDay(const DateTime& t) { return t.hour * 3600 + t.minute * 60 + t.second; }

}  // namespace

std::string SizeText(std::uint64_t bytes) {
  constexpr const char* kUnits[] = {"bytes", "KB", "MB", "GB", "TB"};
  double n = static_cast<double>(bytes);
  int unit = 0;
  while (n >= 1024 && unit < 4) {
    n /= 1024;
    ++unit;
  }
  if (unit == 0) return GroupedNumber(bytes) + " bytes";
  const auto tenths = static_cast<std::uint64_t>(n * 10 + 0.5);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " " + kUnits[unit];
}

std::string DurationText(std::uint64_t bytes, std::uint64_t bytesPerSecond) {
  const std::uint64_t seconds = bytesPerSecond ? bytes / bytesPerSecond : 0;
  if (seconds < 60) return "less than a minute";
  const std::uint64_t minutes = (seconds + 30) / 60;
  if (minutes < 120) return "about " + std::to_string(minutes) + (minutes == 1 ? " minute" : " minutes");
  return "about " + std::to_string((minutes + 30) / 60) + " hours";
}

FrmWipeFreeSpace::FrmWipeFreeSpace(Context& ctx, Drives& drives)
    : Form(ctx.platform.loop, "FrmWipeFreeSpace", Px(kWidth), Px(kHeight)),
      strip(ctx, *this, {.caption = "Wipe Free Space ...", .closeName = "Image1"}),
      lblIntro(*this, "lblIntro", kIntro, Px(kLeft), Px(kIntroTop), Px(kInner - 12), Px(56)),
      lvwDrives(*this, "lvwDrives", Px(kLeft), Px(kListTop), Px(kInner), Px(kListHeight)),
      lblNotes(*this, "lblNotes", kShadowCopies, Px(kLeft), Px(kNotesTop), Px(kInner), Px(72)),
      PgbWipe(*this, "PgbWipe", Px(kLeft), Px(kBarTop), Px(kInner), Px(18)),
      lblProgress(*this, "lblProgress", "", Px(kLeft), Px(kBarTop + 26), Px(kInner), Px(36)),
      cmdStart(*this, "cmdStart", "Start", Px(kWidth - kLeft - 2 * kButton - 8), Px(kButtonsTop),
               Px(kButton), Px(kButtonHeight)),
      cmdCancel(*this, "cmdCancel", "Cancel", Px(kWidth - kLeft - kButton), Px(kButtonsTop),
                Px(kButton), Px(kButtonHeight)),
      ctx_(ctx),
      drives_(drives) {
  for (Label* l : {&lblIntro, &lblNotes, &lblProgress})
    l->SetLook(TextStyle::Normal, palette::kText, palette::kWindow);
  lvwDrives.AddColumn("Drive", Px(70));
  lvwDrives.AddColumn("File system", Px(100));
  lvwDrives.AddColumn("Free space", Px(110));
  lvwDrives.AddColumn("Wiping it takes", Px(kInner - 70 - 100 - 110 - 24));
  PgbWipe.SetMax(1000);
  const std::uint64_t passes = static_cast<std::uint64_t>(PassesChosen(ctx_));
  for (const std::string& root : WipeableDrives(drives_)) {
    const DriveKind kind = drives_.Kind(root);
    const std::uint64_t free = drives_.Space(root).value_or(DriveSpace{}).freeBytes;
    const int i = lvwDrives.Add(root);
    lvwDrives.SetSubItem(i, 1, kind.fileSystem);
    lvwDrives.SetSubItem(i, 2, SizeText(free));
    lvwDrives.SetSubItem(i, 3, DurationText(free * passes, kind.solidState.value_or(false)
                                                               ? kSolidStateRate
                                                               : kDiskRate));
    roots_.push_back(root);
  }
  lvwDrives.ItemClick = [this](int index) { ShowDrive(index); };
  if (!roots_.empty()) {
    lvwDrives.Select(0);
    ShowDrive(0);
  } else {
    lblProgress.SetCaption("There is no fixed drive that takes writes.");
    cmdStart.SetEnabled(false);
  }
  cmdStart.Click = [this] { Start(); };
  cmdCancel.Click = [this] { UserClose(); };
}

void FrmWipeFreeSpace::ShowDrive(int index) {
  if (index < 0 || index >= static_cast<int>(roots_.size())) return;
  const bool solid = drives_.Kind(roots_[static_cast<std::size_t>(index)]).solidState.value_or(false);
  lblNotes.SetCaption(std::string(solid ? kSolidState : "") + kShadowCopies);
}

void FrmWipeFreeSpace::UserClose() {
  if (!wiping_) return Close();
  cancelled_ = closeAfter_ = true;
  lblProgress.SetCaption("Cancelling: removing what the wipe wrote ...");
}

bool FrmWipeFreeSpace::Step(const WipeStatus& status) {
  const int now = SecondsOfDay(ctx_.platform.system.Now());
  if (now != lastShown_) {
    lastShown_ = now;
    const int elapsed = (now - startedAt_ + 86400) % 86400;
    const std::uint64_t total = std::max(status.total, status.written);
    PgbWipe.SetValue(total ? static_cast<int>(status.written * 1000 / total) : 0);
    std::string text;
    if (status.phase == WipePhase::Filling) {
      text = "Pass " + std::to_string(status.pass) + " of " + std::to_string(status.passes) +
             ": " + SizeText(status.written) + " of " + SizeText(total) + " written";
      if (status.written > 0 && elapsed > 0) {
        const double rate = static_cast<double>(status.written) / elapsed;
        text += ", " + DurationText(total - status.written, static_cast<std::uint64_t>(rate)) + " left";
      }
    } else if (status.phase == WipePhase::FileTable) {
      text = "Filling the file table: " + GroupedNumber(status.tableFiles) + " small files";
    } else {
      text = "Removing what the wipe wrote ...";
    }
    if (!cancelled_) lblProgress.SetCaption(text);
  }
  ctx_.DoEvents();
  return !cancelled_;
}

void FrmWipeFreeSpace::Start() {
  const int index = lvwDrives.SelectedIndex();
  if (index < 0 || index >= static_cast<int>(roots_.size()) || wiping_) return;
  const std::string root = roots_[static_cast<std::size_t>(index)];
  wiping_ = true;
  cancelled_ = false;
  cmdStart.SetEnabled(false);
  lvwDrives.SetEnabled(false);
  startedAt_ = SecondsOfDay(ctx_.platform.system.Now());
  const WipeResult r = WipeFreeSpace(ctx_, drives_, root,
                                     [this](const WipeStatus& s) { return Step(s); });
  wiping_ = false;
  if (closeAfter_) return Close();
  PgbWipe.SetValue(r.outcome == WipeOutcome::Done ? 1000 : 0);
  std::string text;
  switch (r.outcome) {
    case WipeOutcome::Done:
      text = "The free space of " + root + " is wiped: " + SizeText(r.written) + " written and " +
             GroupedNumber(r.tableFiles) + " small files made, all deleted again.";
      break;
    case WipeOutcome::Cancelled:
      text = "Cancelled: everything the wipe wrote on " + root + " is deleted.";
      break;
    case WipeOutcome::DriveGone:
      text = "Drive " + root + " went away. What the wipe wrote is removed at the next start.";
      break;
    default:
      text = "The free space of " + root + " could not be wiped: its folder could not be made.";
      break;
  }
  if (r.leftoverRemoved) text += " An unfinished wipe's folder was removed first.";
  lblProgress.SetCaption(text);
  cmdStart.SetEnabled(true);
  lvwDrives.SetEnabled(true);
}

}  // namespace nimbrel
