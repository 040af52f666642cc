// The options dialog: every choice that is not what to erase, on four pages
// (General, Home Page, Schedule, Hot Key). It fills its controls from the
// store when it loads and writes all of them back when the user saves.
#pragma once

#include <array>
#include <memory>

#include "core/Context.h"
#include "dialogs/WindowChrome.h"
#include "platform/Controls.h"

namespace nimbrel {

class FrmOptions : public Form {
 public:
  // `TmrScheduler` is the main window's timer, switched by a save.
  FrmOptions(Context& ctx, Timer& TmrScheduler);

  TitleStrip strip;

  // Page selectors: a label each, over a strip image.
  Label Label24;
  Image Image4;
  Label Label25;
  Image Image2;
  Label Label26;
  Image Image3;
  Label Label27;
  Image Image5;

  // General page.
  Frame Framegeneral;
  CheckBox chkStartup;
  CheckBox ChkRunInSteathmode;
  Label Label6;
  Label Label8;
  ComboBox cmbinvisiblemmode;
  Label Label9;
  CheckBox ChkDontStoreLogFile;
  CheckBox ChkCloseAllIE;
  CheckBox ChkCloseBrowsers;
  Frame Frame3;
  CheckBox chkenablesecureerasing;
  Label Label10;
  Label Label11;
  Label Label12;
  ComboBox cmboverwriteTracksFiles;
  Label Label13;
  PictureButton Command7;
  PictureButton Command5;

  // Home Page page.
  Frame FrameProtectHomepage;
  CheckBox chkPreverntHomepage;
  TextBox txtHomepage;
  PictureButton cmdaboutblank;
  Label lblHomepageNote;
  PictureButton Command4;
  PictureButton Command3;

  // Schedule page.
  Frame FrameSchedule;
  Label Label22;
  Label Label21;
  CheckBox chkSchedule;
  ComboBox cmbDays;
  Label lblAfterDays;
  DateTimePicker dtpScheduleTime;
  PictureButton Command2;
  PictureButton Command1;

  // Hot Key page.
  Frame FrameHotkey;
  Label Label1;
  Label Label3;
  Label Label4;
  ComboBox cmbbosskey;
  Label Label5;
  Frame Frame2;  // the boss key's two actions, which exclude each other
  OptionButton optCloseAllIE;
  OptionButton optCloseAllIEAndStartErasing;
  PictureButton cmdOK;
  PictureButton Command6;

  // Shows the pages given true and hides the others.
  void ShowOptionsPage(bool general, bool homepage, bool schedule, bool hotkey);
  // Stores every page, then brings the start-with-Windows value and the
  // scheduler's timer in line with what was stored.
  void SaveOptions();
  // Fills the day list and the time picker from the stored schedule; loads
  // the dialog first if it is not loaded.
  void LoadScheduleControls();

 protected:
  void OnLoad() override;

 private:
  // The controls of section "Options", in the order they are loaded and stored.
  std::array<Control*, 13> StoredOptions();
  void LoadOption(Control& control);
  void SaveOption(Control& control);
  void ApplyStealthRule();
  void ApplySecureErasingRule();
  void ApplyHomepageRule();
  void LockHomepage(bool locked);
  void ApplyScheduleRule();

  Context& ctx_;
  Timer& TmrScheduler_;
};

// The options dialog as the main window keeps it: loaded hidden at start-up,
// shown modally on the Options command, unloaded when closed and loaded
// afresh at the next opening.
class OptionsDialog {
 public:
  OptionsDialog(Context& ctx, Timer& TmrScheduler);
  ~OptionsDialog();
  // Start-up: the dialog is loaded hidden and its schedule controls filled.
  void LoadAtStartup();
  // Shows the dialog modally; afterwards the scheduler's timer runs when
  // chkSchedule holds a number other than 0.
  void Open();
  // The dialog while it is loaded, else null.
  FrmOptions* Current() { return form_.get(); }

 private:
  FrmOptions& Ensure();
  Context& ctx_;
  Timer& TmrScheduler_;
  std::unique_ptr<FrmOptions> form_;
  bool open_ = false;
};

}  // namespace nimbrel
