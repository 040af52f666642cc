#include "app/FrmMain.h"

#include "app/FrmPreview.h"
#include "app/FrmWipeFreeSpace.h"
#include "app/StartupEntry.h"
#include "app/WipeAndShred.h"
#include "cleaning/ActivityLog.h"
#include "dialogs/FrmAbout.h"
#include "dialogs/FrmEraseingSettings.h"
#include "dialogs/FrmMessage.h"
#include "dialogs/WebPages.h"
#include "dialogs/WindowChrome.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {


// Layout, in pixels: a 32-pixel title strip, a command column on the left,
// the two lists side by side, the counters and log buttons, the progress bar
// and a status strip along the bottom.
constexpr int kWidth = 785, kHeight = 513, kTitle = 32, kColumn = kBackdropColumnWidth,
              kStatus = kBackdropStatusHeight;
constexpr int kCommandTop = kTitle + 22, kCommandStep = 52;
// The Preview and Wipe Free Space commands take these places in the column;
// the others follow them.
constexpr int kPreviewSlot = 1, kPreviewTop = kCommandTop + kPreviewSlot * kCommandStep;
constexpr int kWipeTop = kPreviewTop + kCommandStep;
constexpr int kContent = kColumn + 16, kListsTop = kTitle + 40, kListsHeight = 300;
constexpr int kListWidth = 280, kProgressLeft = kContent + kListWidth + 12;
constexpr int kProgressWidth = kWidth - 16 - kProgressLeft;
constexpr int kCountersTop = kListsTop + kListsHeight + 14;
constexpr int kBarTop = kHeight - kStatus - 34;

int CommandTop(int i) { return kCommandTop + (i < kPreviewSlot ? i : i + 2) * kCommandStep; }

// The tray icon's mouse messages as the main window's mouse moves see them.
constexpr int kTrayLeftButtonUp = 0x202 * kTwipsPerPixel;   // 7710
constexpr int kTrayRightButtonUp = 0x205 * kTwipsPerPixel;  // 7755

}  // namespace

FrmMain::FrmMain(Context& ctx)
    : Form(ctx.platform.loop, "FrmMain", Px(kWidth), Px(kHeight)),
      strip(ctx, *this, {.caption = "Nimbrel v3.0", .helpLeft = 88}),
      Image2(*this, "Image2", Picture::Minimize, false, Px(kWidth - 60), Px(4), Px(24), Px(24)),
      Image1(*this, "Image1", Picture::Close, false, Px(kWidth - 32), Px(4), Px(24), Px(24)),
      Picture1(*this, "Picture1", 0, Px(kTitle), Px(kWidth), Px(kHeight - kTitle)),
      ImgStartErasingNormal(*this, "ImgStartErasingNormal", Picture::StartErasing, false, Px(14),
                            Px(CommandTop(0)), Px(44), Px(44), &Picture1),
      ImgStartErasingMouseMove(*this, "ImgStartErasingMouseMove", Picture::StartErasing, true,
                               Px(14), Px(CommandTop(0)), Px(44), Px(44), &Picture1),
      Label2(*this, "Label2", "Start Erasing", Px(66), Px(CommandTop(0) + 13), Px(100), Px(18),
             &Picture1),
      ImgEraseSettingNormal(*this, "ImgEraseSettingNormal", Picture::EraseSettings, false, Px(14),
                            Px(CommandTop(1)), Px(44), Px(44), &Picture1),
      ImgEraseSettingMouseMove(*this, "ImgEraseSettingMouseMove", Picture::EraseSettings, true,
                               Px(14), Px(CommandTop(1)), Px(44), Px(44), &Picture1),
      Label7(*this, "Label7", "Erasing Settings", Px(66), Px(CommandTop(1) + 13), Px(100),
             Px(18), &Picture1),
      ImgOptionsNormal(*this, "ImgOptionsNormal", Picture::Options, false, Px(14),
                       Px(CommandTop(2)), Px(44), Px(44), &Picture1),
      ImgOptionsMouseMove(*this, "ImgOptionsMouseMove", Picture::Options, true, Px(14),
                          Px(CommandTop(2)), Px(44), Px(44), &Picture1),
      Label8(*this, "Label8", "Options", Px(66), Px(CommandTop(2) + 13), Px(100), Px(18),
             &Picture1),
      ImgAboutNormal(*this, "ImgAboutNormal", Picture::About, false, Px(14), Px(CommandTop(3)),
                     Px(44), Px(44), &Picture1),
      ImgAboutMouseMove(*this, "ImgAboutMouseMove", Picture::About, true, Px(14),
                        Px(CommandTop(3)), Px(44), Px(44), &Picture1),
      Label9(*this, "Label9", "About", Px(66), Px(CommandTop(3) + 13), Px(100), Px(18),
             &Picture1),
      ImgExitnormal(*this, "ImgExitnormal", Picture::Exit, false, Px(14), Px(CommandTop(5)),
                    Px(44), Px(44), &Picture1),
      ImgExitMouseMove(*this, "ImgExitMouseMove", Picture::Exit, true, Px(14), Px(CommandTop(5)),
                       Px(44), Px(44), &Picture1),
      Label10(*this, "Label10", "Exit", Px(66), Px(CommandTop(5) + 13), Px(100), Px(18),
              &Picture1),
      ImgPreviewNormal(*this, "ImgPreviewNormal", Picture::Preview, false, Px(14),
                       Px(kPreviewTop), Px(44), Px(44), &Picture1),
      ImgPreviewMouseMove(*this, "ImgPreviewMouseMove", Picture::Preview, true, Px(14),
                          Px(kPreviewTop), Px(44), Px(44), &Picture1),
      lblPreview(*this, "lblPreview", "Preview", Px(66), Px(kPreviewTop + 13), Px(100), Px(18),
                 &Picture1),
      ImgWipeFreeSpaceNormal(*this, "ImgWipeFreeSpaceNormal", Picture::WipeFreeSpace, false,
                             Px(14), Px(kWipeTop), Px(44), Px(44), &Picture1),
      ImgWipeFreeSpaceMouseMove(*this, "ImgWipeFreeSpaceMouseMove", Picture::WipeFreeSpace, true,
                                Px(14), Px(kWipeTop), Px(44), Px(44), &Picture1),
      lblWipeFreeSpace(*this, "lblWipeFreeSpace", "Wipe Free Space", Px(66), Px(kWipeTop + 13),
                       Px(100), Px(18), &Picture1),
      lblTracksHeading(*this, "lblTracksHeading", "Tracks to be erased", Px(kContent),
                       Px(kTitle + 16), Px(kListWidth), Px(18), &Picture1),
      lvwToBeErased(*this, "lvwToBeErased", Px(kContent), Px(kListsTop), Px(kListWidth),
                    Px(kListsHeight), &Picture1),
      lblProgressHeading(*this, "lblProgressHeading", "Erasing progress", Px(kProgressLeft),
                         Px(kTitle + 16), Px(kProgressWidth), Px(18), &Picture1),
      LstShowingTracksErasedProgress(*this, "LstShowingTracksErasedProgress", Px(kProgressLeft),
                                     Px(kListsTop), Px(kProgressWidth), Px(kListsHeight),
                                     &Picture1),
      lblRegKeysCaption(*this, "lblRegKeysCaption", "Registry items removed:", Px(kContent),
                        Px(kCountersTop), Px(150), Px(18), &Picture1),
      lblScannedRegKeys(*this, "lblScannedRegKeys", "0", Px(kContent + 150), Px(kCountersTop),
                        Px(110), Px(18), &Picture1),
      lblFilesCaption(*this, "lblFilesCaption", "Files deleted:", Px(kContent),
                      Px(kCountersTop + 22), Px(150), Px(18), &Picture1),
      lblFilesDelete(*this, "lblFilesDelete", "0", Px(kContent + 150), Px(kCountersTop + 22),
                     Px(110), Px(18), &Picture1),
      lblSizeCaption(*this, "lblSizeCaption", "Bytes erased:", Px(kContent),
                     Px(kCountersTop + 44), Px(150), Px(18), &Picture1),
      lblSize(*this, "lblSize", "0", Px(kContent + 150), Px(kCountersTop + 44), Px(110), Px(18),
              &Picture1),
      Command8(*this, "Command8", "Clear Log", Px(kWidth - 16 - 196), Px(kCountersTop + 20),
               Px(96), Px(28), &Picture1),
      Command9(*this, "Command9", "View Log", Px(kWidth - 16 - 96), Px(kCountersTop + 20),
               Px(96), Px(28), &Picture1),
      PgbTemp(*this, "PgbTemp", Px(kContent), Px(kBarTop), Px(kWidth - 16 - kContent), Px(18),
              &Picture1),
      lblstatus(*this, "lblstatus", kIdleStatus, Px(8), Px(kHeight - kStatus + 4),
                Px(kWidth - 16), Px(16), &Picture1),
      mnuMain(*this, "mnuMain", "Menu"),
      mnuVisit(*this, "mnuVisit", "Visit Nimbrel WebSite", &mnuMain),
      mnuHelp(*this, "mnuHelp", "Help", &mnuMain),
      mnuSep1(*this, "mnuSep1", "-", &mnuMain),
      mnuRestore(*this, "mnuRestore", "Restore", &mnuMain),
      mnuStartErasing(*this, "mnuStartErasing", "Start Erasing", &mnuMain),
      mnuSep2(*this, "mnuSep2", "-", &mnuMain),
      mnuOptions(*this, "mnuOptions", "Options", &mnuMain),
      mnuEraseSetting(*this, "mnuEraseSetting", "Erase Settings", &mnuMain),
      mnuWipeFreeSpace(*this, "mnuWipeFreeSpace", "Wipe Free Space", &mnuMain),
      mnuSep3(*this, "mnuSep3", "-", &mnuMain),
      mnuExit(*this, "mnuExit", "Exit", &mnuMain),
      TmrScheduler(*this, "TmrScheduler", 10),
      tmrCheckSettings(*this, "tmrCheckSettings", 30000),
      tmrHotKeys(*this, "tmrHotKeys", 100),
      ctx_(ctx),
      controls_{lvwToBeErased, LstShowingTracksErasedProgress, PgbTemp, lblstatus,
                lblScannedRegKeys, lblFilesDelete, lblSize, Picture1,
                mnuEraseSetting, mnuOptions, mnuStartErasing},
      report_(*this, controls_),
      run_(ctx, controls_),
      scheduler_(ctx, SchedulerControls{TmrScheduler, run_}),
      homepageGuard_(ctx, HomepageGuardControls{tmrCheckSettings}),
      options_(ctx, TmrScheduler),

      tray_(ctx.platform.shell),
      hotKeys_(ctx, HotKeyControls{*this, tmrHotKeys}, run_) {
  ctx_.SetReport(&report_);

  // Look.
  Picture1.SetLook(TextStyle::Normal, palette::kText, palette::kWindow);
  Picture1.Backdrop = Picture::Background;
  for (Command c : Commands()) {
    c.label.SetLook(TextStyle::Sidebar, palette::kSidebarText, palette::kSidebar);
    c.hot.SetVisible(false);
  }
  for (Label* l : {&lblTracksHeading, &lblProgressHeading})
    l->SetLook(TextStyle::Heading, palette::kText, palette::kWindow);
  for (Label* l : {&lblRegKeysCaption, &lblFilesCaption, &lblSizeCaption})
    l->SetLook(TextStyle::Normal, palette::kMutedText, palette::kWindow);
  for (Label* l : {&lblScannedRegKeys, &lblFilesDelete, &lblSize})
    l->SetLook(TextStyle::Counter, palette::kText, palette::kWindow);
  lblstatus.SetLook(TextStyle::Small, palette::kTitleText, palette::kTitle);

  lvwToBeErased.AddColumn("Track", Px(kListWidth - 100));
  lvwToBeErased.AddColumn("Status", Px(80));

  // The command column.
  WireCommand(Commands()[0], [this] { run_.StartCleanning(); });
  const auto eraseSettings = [this] {
    FrmEraseingSettings settings(ctx_);
    settings.ShowModal();
    run_.FillToBeErasedList();
  };
  WireCommand(Commands()[1], eraseSettings);
  mnuEraseSetting.Click = [this, eraseSettings] {
    ResetButtons();
    eraseSettings();
  };
  WireCommand(Commands()[2], [this] { options_.Open(); });
  mnuOptions.Click = [this] {
    ResetButtons();
    options_.Open();
  };
  TmrScheduler.Tick = [this] { scheduler_.Tick(); };
  tmrCheckSettings.Tick = [this] { homepageGuard_.Tick(); };
  WireCommand(Commands()[3], [this] {
    FrmAbout about(ctx_);
    about.ShowModal();
  });
  WireCommand(Commands()[4], [this] { Loop().Quit(); });
  WireCommand(Commands()[5], [this] {
    if (PreviewBeforeErasing(ctx_, run_.Controls())) run_.StartCleanning();
  });
  const auto wipeFreeSpace = [this] {
    if (!drives_) return;
    FrmWipeFreeSpace wipe(ctx_, *drives_);
    wipe.ShowModal();
  };
  WireCommand(Commands()[6], wipeFreeSpace);
  mnuWipeFreeSpace.Click = [this, wipeFreeSpace] {
    ResetButtons();
    wipeFreeSpace();
  };
  // Files and folders dragged onto the window from Explorer are shredded.
  FilesDropped = [this](const std::vector<std::string>& paths) {
    if (drives_) ShredFromWindow(ctx_, *drives_, paths);
  };
  // Another start of the program brings this window forward instead.
  ComeForward = [this] {
    SetWindowState(WindowState::Normal);
    Show();
  };
  Picture1.MouseMove = [this](const MouseEvent&) { ResetButtons(); };
  mnuHelp.Click = [this] { OpenUrlInBrowser(ctx_, Handle(), kSupportPage, "htm"); };
  mnuVisit.Click = [this] { OpenUrlInBrowser(ctx_, Handle(), kHomePage, "htm"); };
  Image1.Click = [this] { Loop().Quit(); };
  Image2.Click = [this] { SetWindowState(WindowState::Minimized); };
  mnuStartErasing.Click = [this] { run_.StartCleanning(); };
  Command8.Click = [this] {
    ShowInformation(ctx_, "Information", ClearLogFile(ctx_)
                                             ? "Log File has been cleared sucessfully."
                                             : "There are no Log files to be cleared.");
  };
  Command9.Click = [this] { ViewLogFile(ctx_, Handle()); };
  mnuRestore.Click = [this] {
    SetWindowState(WindowState::Normal);
    tray_.RemoveIcon(*this);
    Show();
    Resize(Px(kWidth), Px(kHeight));
  };
  mnuExit.Click = [this] {
    tray_.RemoveIcon(*this);
    for (int i = 0; i < 999; ++i) Loop().DoEvents();
    Loop().Quit();
  };

  // The tray: either button released over the icon opens the tray menu.
  Resized = [this] { OnResized(); };
  MouseMove = [this](const MouseEvent& e) {
    if (e.x == kTrayLeftButtonUp || e.x == kTrayRightButtonUp) Loop().PopupMenu(*this, mnuMain);
  };
  // A restarted shell has lost the icon.
  TaskbarCreated = [this] {
    if (tray_.bRunningInTray) tray_.ShowIcon(*this);
  };
  tmrHotKeys.Tick = [this] { hotKeys_.Tick(); };
}

FrmMain::~FrmMain() { ctx_.SetReport(nullptr); }

FrmMain::WindowReport::WindowReport(FrmMain& window, const CleaningControls& controls)
    : ControlsReport(controls, window.Loop()), window_(window) {}

WindowHandle FrmMain::WindowReport::Owner() { return window_.Handle(); }

void FrmMain::WindowReport::RunFinished() {
  ShowInformation(window_.ctx_, "Information", " All selected tracks were erased sucessfully.");
}

void FrmMain::WindowReport::RunLockBusy() {
  ShowInformation(window_.ctx_, "Information",
                  "Another run of Nimbrel is still erasing. Nothing was erased; please try "
                  "again when it has finished.");
}

std::array<FrmMain::Command, 7> FrmMain::Commands() {
  return {Command{ImgStartErasingNormal, ImgStartErasingMouseMove, Label2},
          Command{ImgEraseSettingNormal, ImgEraseSettingMouseMove, Label7},
          Command{ImgOptionsNormal, ImgOptionsMouseMove, Label8},
          Command{ImgAboutNormal, ImgAboutMouseMove, Label9},
          Command{ImgExitnormal, ImgExitMouseMove, Label10},
          Command{ImgPreviewNormal, ImgPreviewMouseMove, lblPreview},
          Command{ImgWipeFreeSpaceNormal, ImgWipeFreeSpaceMouseMove, lblWipeFreeSpace}};
}

void FrmMain::WireCommand(Command c, std::function<void()> action) {
  auto highlight = [c](const MouseEvent&) {
    c.normal.SetVisible(false);
    c.hot.SetVisible(true);
  };
  c.normal.MouseMove = highlight;
  c.label.MouseMove = highlight;
  auto command = [this, action] {
    ResetButtons();
    action();
  };
  c.hot.Click = command;
  c.label.Click = command;
}

void FrmMain::ResetButtons() {
  for (Command c : Commands()) {
    c.normal.SetVisible(true);
    c.hot.SetVisible(false);
  }
}

void FrmMain::OnResized() {
  if (State() == WindowState::Minimized) {
    SetCaption(kAppTitle);
    Hide();
    if (!StealthMode()) {
      tray_.RemoveIcon(*this);
      tray_.ShowIcon(*this);
    }
  } else {
    SetCaption("");
    Resize(Px(kWidth), Px(kHeight));
    tray_.RemoveIcon(*this);
  }
}

bool FrmMain::StealthMode() {
  return AsNumber(ctx_.settings.ReadSetting(kOptions, "ChkRunInSteathmode", "0")).value_or(0) != 0;
}

void FrmMain::OnLoad() {
  tmrHotKeys.SetEnabled(false);
  ApplyStartupSetting(ctx_);
  run_.ReadFolderVariables();
  options_.LoadAtStartup();
  // The switch holds from the start, not only once the options are saved: an
  // unticked schedule starts no run after a restart.
  TmrScheduler.SetEnabled(ScheduleSwitchedOn(ctx_));
  {
    // Its load writes "1" for every absent category key; it is not shown.
    FrmEraseingSettings settings(ctx_);
    settings.Load();
  }
  run_.FillToBeErasedList();
  Show();
  run_.ColourProgressBar();
  ResetButtons();
  tmrHotKeys.SetEnabled(true);
  if (drives_) TellWipeLeftoversRemoved(ctx_, *drives_);
}

}  // namespace nimbrel
