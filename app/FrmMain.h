// The main window: the command column, the to-be-erased and progress lists,
// the counters, the progress bar, the tray menu and the three timers.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/FrmOptions.h"
#include "app/HomepageGuard.h"
#include "app/HotKeys.h"
#include "app/Scheduler.h"
#include "app/clsMakeTrayIcon.h"
#include "cleaning/CleaningRun.h"
#include "cleaning/ControlsReport.h"
#include "core/Context.h"
#include "dialogs/WindowChrome.h"
#include "platform/Controls.h"
#include "platform/Drives.h"

namespace nimbrel {

inline constexpr const char* kAppTitle = "Nimbrel";

// The main window is also where a run reports: its progress list, counters
// and size label show what the erasers tell.
class FrmMain : public Form {
 public:
  explicit FrmMain(Context& ctx);
  ~FrmMain() override;

  // Title strip, then its minimise and quit images.
  TitleStrip strip;
  Image Image2;
  Image Image1;

  // Background; the command column lies on it.
  PictureBox Picture1;
  Image ImgStartErasingNormal, ImgStartErasingMouseMove;
  Label Label2;
  Image ImgEraseSettingNormal, ImgEraseSettingMouseMove;
  Label Label7;
  Image ImgOptionsNormal, ImgOptionsMouseMove;
  Label Label8;
  Image ImgAboutNormal, ImgAboutMouseMove;
  Label Label9;
  Image ImgExitnormal, ImgExitMouseMove;
  Label Label10;
  // Preview, right below Start Erasing: what a run would erase, before it does.
  Image ImgPreviewNormal, ImgPreviewMouseMove;
  Label lblPreview;
  // Wipe Free Space, below Preview.
  Image ImgWipeFreeSpaceNormal, ImgWipeFreeSpaceMouseMove;
  Label lblWipeFreeSpace;

  // The run's controls.
  Label lblTracksHeading;
  ListView lvwToBeErased;
  Label lblProgressHeading;
  ListBox LstShowingTracksErasedProgress;
  Label lblRegKeysCaption;
  Label lblScannedRegKeys;
  Label lblFilesCaption;
  Label lblFilesDelete;
  Label lblSizeCaption;
  Label lblSize;
  PictureButton Command8;
  PictureButton Command9;
  ProgressBar PgbTemp;
  Label lblstatus;

  // The tray menu, in its order.
  MenuItem mnuMain;
  MenuItem mnuVisit, mnuHelp, mnuSep1, mnuRestore, mnuStartErasing, mnuSep2, mnuOptions,
      mnuEraseSetting, mnuWipeFreeSpace, mnuSep3, mnuExit;

  Timer TmrScheduler;
  Timer tmrCheckSettings;
  Timer tmrHotKeys;

  CleaningRun& Run() { return run_; }
  RunReport& Report() { return report_; }
  OptionsDialog& Options() { return options_; }
  // Shows every command's normal look (the pointer over the background).
  void ResetButtons();
  // The drives the free-space wipe and the shredder work on; at its load the
  // window removes what an unfinished wipe left on them, and says so.
  void UseDrives(Drives& drives) { drives_ = &drives; }
  // Closing the main window from outside ends the program, as Exit does.
  void UserClose() override { Loop().Quit(); }

 protected:
  void OnLoad() override;

 private:
  struct Command {
    Image& normal;
    Image& hot;
    Label& label;
  };
  std::array<Command, 7> Commands();
  // Minimised: hidden, with the tray icon unless in stealth mode; otherwise
  // shown at the fixed size without the icon.
  void OnResized();
  bool StealthMode();
  void WireCommand(Command c, std::function<void()> action);

  // The run's report on the window's controls; the window's run also says
  // when it is over or could not start.
  class WindowReport final : public ControlsReport {
   public:
    WindowReport(FrmMain& window, const CleaningControls& controls);
    WindowHandle Owner() override;
    void RunFinished() override;
    void RunLockBusy() override;

   private:
    FrmMain& window_;
  };

  Context& ctx_;
  CleaningControls controls_;
  WindowReport report_;
  CleaningRun run_;
  Scheduler scheduler_;
  HomepageGuard homepageGuard_;
  OptionsDialog options_;
  clsMakeTrayIcon tray_;
  HotKeys hotKeys_;
  Drives* drives_ = nullptr;
};

}  // namespace nimbrel
