#include "cleaning/CleaningRun.h"

#include <algorithm>
#include <array>
#include <set>

#include "cleaning/ActivityLog.h"
#include "cleaning/Catalogue.h"
#include "cleaning/Winapp2Erase.h"
#include "erasers/CloseAllInternetExplorers.h"
#include "erasers/modDefinitions.h"
#include "erasers/modFiles.h"
#include "erasers/modIECache.h"
#include "erasers/modRegistry.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {

constexpr int kSettleYields = 2000;

}  // namespace

std::string StatusAfterRun(std::int32_t itemsLeft) {
  if (itemsLeft <= 0) return kIdleStatus;
  // Appended piece by piece: GCC 12 warns wrongly about " " + std::string.
  std::string status(" ");
  status += std::to_string(itemsLeft);
  status += itemsLeft == 1 ? " item" : " items";
  status += " could not be erased";
  return status;
}

RowMark MarkOfRow(const std::string& row) {
  const Track* track = FindBuiltInTrack(row);
  return track && (track->kind == TrackKind::Category || track->kind == TrackKind::Browser)
             ? RowMark::Category
             : RowMark::Application;
}

CleaningRun::CleaningRun(Context& ctx, const CleaningControls& controls)
    : ctx_(ctx), c_(controls) {}

void CleaningRun::ColourProgressBar() {
  c_.PgbTemp.SetColours(kProgressBarColour, kProgressBackColour);
}

void CleaningRun::ReadFolderVariables() {
  ctx_.HistoryFolder = ReadRegString(ctx_, RegRoot::CurrentUser, kShellFolders, "History");
  ctx_.CacheFolder = ReadRegString(ctx_, RegRoot::CurrentUser, kShellFolders, "Cache");
  ctx_.CookiesFolder = ReadRegString(ctx_, RegRoot::CurrentUser, kShellFolders, "Cookies");
  // The program-files folder: an old value some set-ups leave, else the one
  // Windows writes. A 64-bit program also gets the folder of 32-bit programs.
  const std::string cv = "Software\\Microsoft\\Windows\\CurrentVersion";
  ctx_.ProgramFilesFolder = ReadRegString(ctx_, RegRoot::LocalMachine, cv, "PROG_FILES_DIR");
  if (ctx_.ProgramFilesFolder.empty())
    ctx_.ProgramFilesFolder = ReadRegString(ctx_, RegRoot::LocalMachine, cv, "ProgramFilesDir");
  ctx_.ProgramFilesX86Folder =
      ReadRegString(ctx_, RegRoot::LocalMachine, cv, "ProgramFilesDir (x86)");
}

void CleaningRun::FillToBeErasedList() {
  ListView& list = c_.lvwToBeErased;
  list.Clear();
  // Each browser is looked for once, at its first selected row.
  std::array<int, kTodaysBrowsers.size()> installed{};  // 0 not looked for, 1 yes, 2 no
  std::set<std::string> listed;  // every row, upper-case
  const auto add = [&list, &listed](const std::string& label, RowMark mark) {
    list.Add(label, mark);
    listed.insert(ToUpper(label));
  };
  for (const Track& track : Tracks(ctx_)) {
    // Messages get through after each application's tick is read, as long
    // lists of them have always let the window keep pace.
    const bool application = track.kind == TrackKind::Application || track.kind == TrackKind::Community;
    const bool ticked = Ticked(ctx_, track);
    if (application) ctx_.platform.loop.DoEvents();
    if (!ticked) continue;
    switch (track.kind) {
      case TrackKind::Category: add(track.label, RowMark::Category); break;
      case TrackKind::Browser: {
        int& found = installed[static_cast<std::size_t>(track.browser->browser)];
        if (found == 0) found = BrowserInstalled(ctx_, track.browser->browser) ? 1 : 2;
        if (found == 1) add(track.label, RowMark::Category);
        break;
      }
      case TrackKind::Application:
      case TrackKind::Community: {
        // As the list's own prefix search would answer, but in one look-up
        // rather than a pass over every row listed so far.
        const std::string label = ToUpper(track.label);
        const auto next = listed.lower_bound(label);
        if (next == listed.end() || !next->starts_with(label)) add(track.label, RowMark::Application);
        break;
      }
    }
  }
}

RunCommandsHeld::RunCommandsHeld(const CleaningControls& controls, const std::string& status)
    : c_(controls),
      status_(controls.lblstatus.Caption()),
      enabled_{controls.Picture1.Enabled(), controls.mnuEraseSetting.Enabled(),
               controls.mnuOptions.Enabled(), controls.mnuStartErasing.Enabled()} {
  c_.Picture1.SetEnabled(false);
  c_.mnuEraseSetting.SetEnabled(false);
  c_.mnuOptions.SetEnabled(false);
  c_.mnuStartErasing.SetEnabled(false);
  c_.lblstatus.SetCaption(status);
}

RunCommandsHeld::~RunCommandsHeld() {
  c_.lblstatus.SetCaption(status_);
  c_.Picture1.SetEnabled(enabled_[0]);
  c_.mnuEraseSetting.SetEnabled(enabled_[1]);
  c_.mnuOptions.SetEnabled(enabled_[2]);
  c_.mnuStartErasing.SetEnabled(enabled_[3]);
}

bool CleaningRun::TakeRunLock() {
  System& system = ctx_.platform.system;
  if (system.LockRun(0)) return true;
  const RunCommandsHeld held(c_, " Waiting for another run of Nimbrel to end ...");
  for (unsigned waited = 0; waited < kRunLockWait; waited += kRunLockStep) {
    if (system.LockRun(kRunLockStep)) return true;
    ctx_.DoEvents();
  }
  return false;
}

void CleaningRun::StartCleanning() {
  // A tick or click served during the run's yields must not start a second
  // run, nor may one start beside a preview of this process.
  if (running_ || ctx_.platform.system.RunLocked()) return;
  running_ = true;
  busyElsewhere_ = !TakeRunLock();
  if (busyElsewhere_) {
    ctx_.Report().RunLockBusy();
    running_ = false;
    return;
  }
  ListView& list = c_.lvwToBeErased;

  c_.mnuEraseSetting.SetEnabled(false);
  c_.mnuOptions.SetEnabled(false);
  c_.mnuStartErasing.SetEnabled(false);
  c_.PgbTemp.SetValue(0);
  browsers_.Begin(RunBrowsers());
  if (ctx_.OptionSelected("ChkCloseAllIE")) CloseAllInternetExplorers(ctx_);
  c_.Picture1.SetEnabled(false);
  ReadFolderVariables();
  // Taken once for the run: each check would ask the system for every folder.
  ctx_.RunProtectedFolders = TakeProtectedFolders(ctx_);
  community_.emplace(ctx_);
  ColourProgressBar();

  int i = 1;
  for (; i <= list.Count(); ++i) {
    list.SetSubItem(i - 1, 1, "");
    ctx_.DoEvents();
  }
  // Settle pause: the row counter goes on up to 2000, yielding on the way.
  while (i < kSettleYields) {
    ++i;
    if (i < kSettleYields) ctx_.DoEvents();
  }

  c_.lblstatus.SetLeft(45);
  c_.lblstatus.SetCaption(" Cleaning ...");
  ctx_.ResetRunCounters();
  const int rows = list.Count();
  if (rows > 0) c_.PgbTemp.SetMax(rows);
  c_.lblScannedRegKeys.SetCaption("0");
  c_.lblFilesDelete.SetCaption("0");
  c_.lblSize.SetCaption("0");
  c_.LstShowingTracksErasedProgress.Clear();
  DeleteThirdPartyFileCreated(ctx_);  // one left over from a run that broke off
  if (rows > 0)
    ctx_.AddProgressLine(" Cleaning Started  at : " +
                         ctx_.platform.system.GeneralDate(ctx_.platform.system.Now()));

  // The list can only shrink under us through code served in a yield.
  for (int row = 0; row < rows && row < list.Count(); ++row) RowStep(row);
  ctx_.Report().RowStarted(rows);

  WriteLogFile(ctx_, c_.LstShowingTracksErasedProgress, c_.PgbTemp);
  ctx_.RunProtectedFolders.reset();
  community_.reset();
  // The erasing is over: a run waiting elsewhere need not wait for the message.
  ctx_.platform.system.UnlockRun();
  c_.Picture1.SetEnabled(true);
  c_.PgbTemp.SetValue(0);
  ctx_.Report().RunFinished();
  c_.mnuEraseSetting.SetEnabled(true);
  c_.mnuOptions.SetEnabled(true);
  c_.mnuStartErasing.SetEnabled(true);
  c_.lblstatus.SetCaption(StatusAfterRun(ctx_.ItemsLeft));
  running_ = false;
}

void CleaningRun::RowStep(int index) {
  ListView& list = c_.lvwToBeErased;
  ctx_.Report().RowStarted(index);
  c_.PgbTemp.SetValue(index + 1);
  list.Select(index);
  list.EnsureVisible(index);
  list.SetSmallIcon(index, RowMark::Reached);
  c_.lblScannedRegKeys.SetCaption(std::to_string(ctx_.RegistryItemsRemoved));
  c_.lblFilesDelete.SetCaption(std::to_string(ctx_.FilesDeleted));
  ctx_.AddProgressLine("Cleaning " + list.Item(index).text + " <OK>");
  // An application's row removes its definitions file itself, before and after.
  Dispatch(index);
  ctx_.DoEvents();
}

std::vector<TodaysBrowser> CleaningRun::RunBrowsers() const {
  std::vector<TodaysBrowser> browsers;
  const ListView& list = c_.lvwToBeErased;
  for (int i = 0; i < list.Count(); ++i) {
    // Only built-in rows are looked up: the community file is not read again here.
    const Track* track = FindBuiltInTrack(list.Item(i).text);
    if (!track || track->kind != TrackKind::Browser || !Ticked(ctx_, *track)) continue;
    const TodaysBrowser browser = track->browser->browser;
    if (std::find(browsers.begin(), browsers.end(), browser) == browsers.end())
      browsers.push_back(browser);
  }
  return browsers;
}

void CleaningRun::Dispatch(int index) {
  ListView& list = c_.lvwToBeErased;
  const std::optional<Track> track = FindTrack(*community_, list.Item(index).text);
  if (!track) return;
  // A category or a browser row erases only while its key still says so: the
  // user may have changed it after the list was built.
  const bool rereadTick = track->kind == TrackKind::Category || track->kind == TrackKind::Browser;
  if (rereadTick && !Ticked(ctx_, *track)) return;
  list.SetSubItem(index, 1, "Erasing...");
  switch (track->kind) {
    case TrackKind::Category:
      if (track->category->erase) track->category->erase(ctx_);
      break;
    case TrackKind::Browser:
      browsers_.EraseRow(ctx_, track->browser->browser, track->browser->category);
      break;
    case TrackKind::Application: EraseApplication(ctx_, *track->application); break;
    case TrackKind::Community: community_->Erase(*track->community); break;
  }
  list.SetSubItem(index, 1, "Done");
}

}  // namespace nimbrel
