#include "app/FrmOptions.h"

#include <string>

#include "app/HomepageGuard.h"
#include "app/Scheduler.h"
#include "app/StartupEntry.h"
#include "dialogs/WindowChrome.h"
#include "erasers/TodaysBrowsers.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {

// Layout, in pixels: the title strip, a row of four page selectors, and the
// pages laid over one another below it, each with its save and close buttons
// at the bottom right.
constexpr int kWidth = 560, kHeight = 496, kTitle = 32;
constexpr int kTabTop = kTitle + 10, kTabWidth = 128, kTabHeight = 26;
constexpr int kPageTop = kTabTop + kTabHeight + 8, kPageLeft = 12;
constexpr int kPageWidth = kWidth - 2 * kPageLeft, kPageHeight = kHeight - kPageTop - 12;
constexpr int kIn = kPageLeft + 16, kInWidth = kPageWidth - 32;
constexpr int kIndent = kIn + 20;
constexpr int kFirstRow = kPageTop + 26, kBox = 20, kCombo = 22;
constexpr int kButton = 96, kButtonHeight = 28;
constexpr int kBottomRow = kPageTop + kPageHeight - kButtonHeight - 12;
constexpr int kCloseLeft = kPageLeft + kPageWidth - kButton - 12;
constexpr int kSaveLeft = kCloseLeft - kButton - 8;

// General page.
constexpr int kStealthRow = kFirstRow + 26, kStealthNote = kStealthRow + 24;
constexpr int kStealthKeyRow = kStealthNote + 38;
constexpr int kLogRow = kStealthKeyRow + 34, kCloseIeRow = kLogRow + 26;
constexpr int kCloseBrowsersRow = kCloseIeRow + 26;
constexpr int kSecurityTop = kCloseBrowsersRow + 32, kSecurityHeight = 118;
constexpr int kSecureRow = kSecurityTop + 24, kSecureNote = kSecureRow + 24;
constexpr int kPassesRow = kSecureNote + 40;

// Schedule page.
constexpr int kScheduleNote = kFirstRow, kScheduleHeading = kScheduleNote + 46;
constexpr int kScheduleRow = kScheduleHeading + 28;

// Hot Key page.
constexpr int kHotKeyHeading = kFirstRow + 46, kBossRow = kHotKeyHeading + 26;
constexpr int kActionHeading = kBossRow + 40, kActionTop = kActionHeading + 22;

constexpr int TabLeft(int i) { return kPageLeft + i * (kTabWidth + 4); }

constexpr const char* kLetters[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I",
                                    "J", "K", "L", "M", "N", "O", "P", "Q", "R",
                                    "S", "T", "U", "V", "W", "X", "Y", "Z"};
constexpr const char* kDays[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                 "Friday", "Saturday", "Sunday",    "Day"};
constexpr int kMostPasses = 10;
constexpr const char* kBlankPage = "about:blank";

// Selects the entry showing `text` (in any case); none when there is no such entry.
void SelectText(ComboBox& combo, const std::string& text) {
  int found = -1;
  for (int i = 0; i < combo.ListCount() && found < 0; ++i)
    if (EqualsNoCase(combo.List(i), text)) found = i;
  combo.SetListIndex(found);
}

// What a control stores: a check state, an entry or text as shown, or a flag.
std::string StoredText(const Control& control) {
  switch (control.Kind()) {
    case ControlKind::CheckBox: return static_cast<const CheckBox&>(control).Value() ? "1" : "0";
    case ControlKind::ComboBox: return static_cast<const ComboBox&>(control).Text();
    case ControlKind::TextBox: return static_cast<const TextBox&>(control).Text();
    case ControlKind::OptionButton:
      return static_cast<const OptionButton&>(control).Value() ? "True" : "False";
    default: return {};
  }
}

}  // namespace

FrmOptions::FrmOptions(Context& ctx, Timer& TmrScheduler)
    : Form(ctx.platform.loop, "FrmOptions", Px(kWidth), Px(kHeight)),
      strip(ctx, *this, {.titleName = "Label18", .caption = "Options", .closeName = "Image1"}),

      Label24(*this, "Label24", "General Settings", Px(TabLeft(0)), Px(kTabTop), Px(kTabWidth),
              Px(kTabHeight)),
      Image4(*this, "Image4", Picture::TitleBar, false, Px(TabLeft(0)), Px(kTabTop + kTabHeight),
             Px(kTabWidth), Px(3)),
      Label25(*this, "Label25", "Home Page", Px(TabLeft(1)), Px(kTabTop), Px(kTabWidth),
              Px(kTabHeight)),
      Image2(*this, "Image2", Picture::TitleBar, false, Px(TabLeft(1)), Px(kTabTop + kTabHeight),
             Px(kTabWidth), Px(3)),
      Label26(*this, "Label26", "Schedule", Px(TabLeft(2)), Px(kTabTop), Px(kTabWidth),
              Px(kTabHeight)),
      Image3(*this, "Image3", Picture::TitleBar, false, Px(TabLeft(2)), Px(kTabTop + kTabHeight),
             Px(kTabWidth), Px(3)),
      Label27(*this, "Label27", "Hot Key", Px(TabLeft(3)), Px(kTabTop), Px(kTabWidth),
              Px(kTabHeight)),
      Image5(*this, "Image5", Picture::TitleBar, false, Px(TabLeft(3)), Px(kTabTop + kTabHeight),
             Px(kTabWidth), Px(3)),

      Framegeneral(*this, "Framegeneral", "General Options", Px(kPageLeft), Px(kPageTop),
                   Px(kPageWidth), Px(kPageHeight)),
      chkStartup(*this, "chkStartup", "Load Nimbrel Automatically at windows startup", Px(kIn),
                 Px(kFirstRow), Px(kInWidth), Px(kBox), &Framegeneral),
      ChkRunInSteathmode(*this, "ChkRunInSteathmode", "Run in stealth mode", Px(kIn),
                         Px(kStealthRow), Px(kInWidth), Px(kBox), &Framegeneral),
      Label6(*this, "Label6",
             "Let Nimbrel Operate in an invisible mode. This will not show an icon in the system "
             "tray but it will continue running in background.",
             Px(kIndent), Px(kStealthNote), Px(kInWidth - 20), Px(32), &Framegeneral),
      Label8(*this, "Label8", "Shift + ", Px(kIndent), Px(kStealthKeyRow), Px(46), Px(kCombo),
             &Framegeneral),
      cmbinvisiblemmode(*this, "cmbinvisiblemmode", Px(kIndent + 48), Px(kStealthKeyRow), Px(52),
                        Px(kCombo), &Framegeneral),
      Label9(*this, "Label9", "shows or hides Nimbrel.", Px(kIndent + 108), Px(kStealthKeyRow),
             Px(260), Px(kCombo), &Framegeneral),
      ChkDontStoreLogFile(*this, "ChkDontStoreLogFile", "Don't Store Log File", Px(kIn),
                          Px(kLogRow), Px(kInWidth), Px(kBox), &Framegeneral),
      ChkCloseAllIE(*this, "ChkCloseAllIE", "Close Internet Explorer before erasing", Px(kIn),
                    Px(kCloseIeRow), Px(kInWidth), Px(kBox), &Framegeneral),
      ChkCloseBrowsers(*this, kCloseBrowsersKey, "Close today's browsers before erasing", Px(kIn),
                       Px(kCloseBrowsersRow), Px(kInWidth), Px(kBox), &Framegeneral),
      Frame3(*this, "Frame3", "Security Options", Px(kIn), Px(kSecurityTop), Px(kInWidth),
             Px(kSecurityHeight), &Framegeneral),
      chkenablesecureerasing(*this, "chkenablesecureerasing", "Enable Secure Erasing",
                             Px(kIn + 12), Px(kSecureRow), Px(kInWidth - 24), Px(kBox), &Frame3),
      Label10(*this, "Label10",
              "Securely erase tracks by overwriting files specified number of times, this will "
              "prevent others",
              Px(kIndent + 12), Px(kSecureNote), Px(kInWidth - 44), Px(16), &Frame3),
      Label11(*this, "Label11", "from recovering your files using recovery tools.",
              Px(kIndent + 12), Px(kSecureNote + 16), Px(kInWidth - 44), Px(16), &Frame3),
      Label12(*this, "Label12", "Overwrite Tracks File (s)", Px(kIndent + 12), Px(kPassesRow),
              Px(150), Px(kCombo), &Frame3),
      cmboverwriteTracksFiles(*this, "cmboverwriteTracksFiles", Px(kIndent + 166),
                              Px(kPassesRow), Px(52), Px(kCombo), &Frame3),
      Label13(*this, "Label13", "Time(s) Before Deleting it.", Px(kIndent + 226), Px(kPassesRow),
              Px(200), Px(kCombo), &Frame3),
      Command7(*this, "Command7", "OK", Px(kSaveLeft), Px(kBottomRow), Px(kButton),
               Px(kButtonHeight), &Framegeneral),
      Command5(*this, "Command5", "Cancel", Px(kCloseLeft), Px(kBottomRow), Px(kButton),
               Px(kButtonHeight), &Framegeneral),

      FrameProtectHomepage(*this, "FrameProtectHomepage", "Protect your IE Home Page Settings",
                           Px(kPageLeft), Px(kPageTop), Px(kPageWidth), Px(kPageHeight)),
      chkPreverntHomepage(*this, "chkPreverntHomepage",
                          "Prevent Home Page from Being changed by websites.", Px(kIn),
                          Px(kFirstRow), Px(kInWidth), Px(kBox), &FrameProtectHomepage),
      txtHomepage(*this, "txtHomepage", Px(kIndent), Px(kFirstRow + 34), Px(kInWidth - 150),
                  Px(24), &FrameProtectHomepage),
      cmdaboutblank(*this, "cmdaboutblank", "about:blank", Px(kIn + kInWidth - 120),
                    Px(kFirstRow + 32), Px(120), Px(kButtonHeight), &FrameProtectHomepage),
      lblHomepageNote(*this, "lblHomepageNote",
                      "Nimbrel looks at Internet Explorer's start page every 30 seconds. When "
                      "a program or a web site has changed it, you choose whether to keep the "
                      "new page or to put this one back. about:blank makes an empty page the "
                      "start page at once.",
                      Px(kIndent), Px(kFirstRow + 74), Px(kInWidth - 20), Px(48),
                      &FrameProtectHomepage),
      Command4(*this, "Command4", "OK", Px(kSaveLeft), Px(kBottomRow), Px(kButton),
               Px(kButtonHeight), &FrameProtectHomepage),
      Command3(*this, "Command3", "Cancel", Px(kCloseLeft), Px(kBottomRow), Px(kButton),
               Px(kButtonHeight), &FrameProtectHomepage),

      FrameSchedule(*this, "FrameSchedule", "Schedule", Px(kPageLeft), Px(kPageTop),
                    Px(kPageWidth), Px(kPageHeight)),
      Label22(*this, "Label22",
              "Please Select from the options below to specify  when this maintenance to be "
              "performed ...",
              Px(kIn), Px(kScheduleNote), Px(kInWidth), Px(34), &FrameSchedule),
      Label21(*this, "Label21", "Start Cleaning", Px(kIn), Px(kScheduleHeading), Px(kInWidth),
              Px(20), &FrameSchedule),
      chkSchedule(*this, "chkSchedule", "Clean every", Px(kIndent), Px(kScheduleRow + 1), Px(96),
                  Px(kBox), &FrameSchedule),
      cmbDays(*this, "cmbDays", Px(kIndent + 100), Px(kScheduleRow), Px(110), Px(kCombo),
              &FrameSchedule),
      lblAfterDays(*this, "lblAfterDays", "at", Px(kIndent + 218), Px(kScheduleRow), Px(20),
                   Px(kCombo), &FrameSchedule),
      dtpScheduleTime(*this, "dtpScheduleTime", Px(kIndent + 242), Px(kScheduleRow), Px(110),
                      Px(kCombo), &FrameSchedule),
      Command2(*this, "Command2", "OK", Px(kSaveLeft), Px(kBottomRow), Px(kButton),
               Px(kButtonHeight), &FrameSchedule),
      Command1(*this, "Command1", "Cancel", Px(kCloseLeft), Px(kBottomRow), Px(kButton),
               Px(kButtonHeight), &FrameSchedule),

      FrameHotkey(*this, "FrameHotkey", "Hot Key", Px(kPageLeft), Px(kPageTop), Px(kPageWidth),
                  Px(kPageHeight)),
      Label1(*this, "Label1",
             "Hot Key is a Keyboard shortcut combination. Pressing it will start specific "
             "action ...",
             Px(kIn), Px(kFirstRow), Px(kInWidth), Px(34), &FrameHotkey),
      Label3(*this, "Label3", "Hot Key", Px(kIn), Px(kHotKeyHeading), Px(kInWidth), Px(20),
             &FrameHotkey),
      Label4(*this, "Label4", "CTRL + SHIFT + ", Px(kIndent), Px(kBossRow), Px(100), Px(kCombo),
             &FrameHotkey),
      cmbbosskey(*this, "cmbbosskey", Px(kIndent + 104), Px(kBossRow), Px(52), Px(kCombo),
                 &FrameHotkey),
      Label5(*this, "Label5", "Action for Boss Key", Px(kIn), Px(kActionHeading), Px(kInWidth),
             Px(20), &FrameHotkey),
      Frame2(*this, "Frame2", "", Px(kIndent), Px(kActionTop), Px(kInWidth - 20), Px(72),
             &FrameHotkey),
      optCloseAllIE(*this, "optCloseAllIE", "Close all internet explorers", Px(kIndent + 14),
                    Px(kActionTop + 14), Px(kInWidth - 48), Px(kBox), &Frame2),
      optCloseAllIEAndStartErasing(*this, "optCloseAllIEAndStartErasing",
                                   "Close all internet explorers and start Background Erasing",
                                   Px(kIndent + 14), Px(kActionTop + 40), Px(kInWidth - 48),
                                   Px(kBox), &Frame2),
      cmdOK(*this, "cmdOK", "OK", Px(kSaveLeft), Px(kBottomRow), Px(kButton), Px(kButtonHeight),
            &FrameHotkey),
      Command6(*this, "Command6", "Cancel", Px(kCloseLeft), Px(kBottomRow), Px(kButton),
               Px(kButtonHeight), &FrameHotkey),
      ctx_(ctx),
      TmrScheduler_(TmrScheduler) {
  // Look.
  for (Frame* f : {&Framegeneral, &FrameProtectHomepage, &FrameSchedule, &FrameHotkey, &Frame3})
    f->SetLook(TextStyle::Bold, palette::kText, palette::kWindow);
  for (Label* l : {&Label6, &Label10, &Label11, &Label22, &Label1, &lblHomepageNote})
    l->SetLook(TextStyle::Normal, palette::kMutedText, palette::kWindow);
  for (Label* l : {&Label21, &Label3, &Label5})
    l->SetLook(TextStyle::Bold, palette::kText, palette::kWindow);

  // The lists' entries.
  for (const char* letter : kLetters) {
    cmbinvisiblemmode.AddItem(letter);
    cmbbosskey.AddItem(letter);
  }
  for (int passes = 0; passes <= kMostPasses; ++passes)
    cmboverwriteTracksFiles.AddItem(std::to_string(passes));
  for (const char* day : kDays) cmbDays.AddItem(day);
  // Hours 00 to 23: a 12-hour display would not tell morning from evening.
  dtpScheduleTime.CustomFormat = "HH:mm:ss";
  dtpScheduleTime.ShowCheckBox = true;

  // Page selectors.
  const auto selector = [this](Control& c, bool general, bool homepage, bool schedule,
                               bool hotkey) {
    c.Click = [=, this] { ShowOptionsPage(general, homepage, schedule, hotkey); };
  };
  selector(Image4, true, false, false, false);
  selector(Label24, true, false, false, false);
  selector(Image2, false, true, false, false);
  selector(Label25, false, true, false, false);
  selector(Image3, false, false, true, false);
  selector(Label26, false, false, true, false);
  selector(Image5, false, false, false, true);
  selector(Label27, false, false, false, true);

  // Enabling rules, on the user's clicks.
  ChkRunInSteathmode.Click = [this] { ApplyStealthRule(); };
  chkenablesecureerasing.Click = [this] { ApplySecureErasingRule(); };
  chkPreverntHomepage.Click = [this] { ApplyHomepageRule(); };
  chkSchedule.Click = [this] { ApplyScheduleRule(); };

  for (PictureButton* save : {&cmdOK, &Command2, &Command4, &Command7})
    save->Click = [this] {
      SaveOptions();
      Close();
    };
  for (Control* close : std::initializer_list<Control*>{&Command1, &Command3, &Command5,
                                                        &Command6})
    close->Click = [this] { Close(); };
  // At once, before any save: the text box keeps what it shows.
  cmdaboutblank.Click = [this] {
    WriteStartPage(ctx_, kBlankPage);
    ctx_.settings.WriteSetting(kOptions, kRememberedPageKey, kBlankPage);
  };
}

std::array<Control*, 13> FrmOptions::StoredOptions() {
  return {&chkStartup,       &ChkRunInSteathmode,      &ChkDontStoreLogFile,
          &ChkCloseAllIE,    &ChkCloseBrowsers,        &cmbinvisiblemmode,
          &chkenablesecureerasing, &cmboverwriteTracksFiles, &chkPreverntHomepage,
          &txtHomepage,      &cmbbosskey,              &optCloseAllIEAndStartErasing,
          &optCloseAllIE};
}

void FrmOptions::LoadOption(Control& control) {
  std::string fallback = "0";
  // The guard is on while its key is missing, so its box shows ticked then.
  if (&control == &chkStartup || &control == &chkPreverntHomepage)
    fallback = "1";
  else if (&control == &txtHomepage)
    fallback = ReadStartPage(ctx_);
  else if (&control == &cmbinvisiblemmode || &control == &cmbbosskey)
    fallback = "A";
  else if (control.Kind() == ControlKind::OptionButton)
    fallback = "False";
  const std::string value = ctx_.settings.ReadSetting(kOptions, control.Name(), fallback);
  switch (control.Kind()) {
    case ControlKind::CheckBox: static_cast<CheckBox&>(control).SetValue(IsOne(value)); break;
    case ControlKind::ComboBox: SelectText(static_cast<ComboBox&>(control), value); break;
    case ControlKind::TextBox: static_cast<TextBox&>(control).SetText(value); break;
    case ControlKind::OptionButton:
      static_cast<OptionButton&>(control).SetValue(AsBoolean(value).value_or(false));
      break;
    default: break;
  }
}

void FrmOptions::SaveOption(Control& control) {
  ctx_.settings.WriteSetting(kOptions, control.Name(), StoredText(control));
}

void FrmOptions::OnLoad() {
  ShowOptionsPage(true, false, false, false);
  // The text box starts editable whatever the guard's box shows.
  LockHomepage(false);
  for (Control* c : StoredOptions()) LoadOption(*c);
  chkSchedule.SetValue(IsOne(ctx_.settings.ReadSetting(kSettings, kScheduleSwitchKey, "0")));
  ApplyStealthRule();
  ApplySecureErasingRule();
  ApplyScheduleRule();
  LoadScheduleControls();
}

void FrmOptions::LoadScheduleControls() {
  Load();
  SettingsStore& store = ctx_.settings;
  if (store.ReadSetting(kSettings, kScheduleDayKey, "None") == "None") {
    cmbDays.SetListIndex(kEveryDay);
    return;
  }
  DateTime shown = ctx_.platform.system.Now();
  if (const auto at = AsTimeOfDay(store.ReadSetting(kSettings, kScheduleTimeKey, kNoTime))) {
    shown.hour = at->hour;
    shown.minute = at->minute;
    shown.second = at->second;
    dtpScheduleTime.SetValue(shown);
  } else {
    // No time chosen: the picker shows the time now, switched off.
    dtpScheduleTime.SetValue(shown);
    dtpScheduleTime.SetValue(std::nullopt);
  }
  const auto day = AsInt32(store.ReadSetting(kSettings, kScheduleDayKey, "7"));
  cmbDays.SetListIndex(day.value_or(-1));
}

void FrmOptions::SaveOptions() {
  for (Control* c : StoredOptions()) SaveOption(*c);
  ApplyStartupSetting(ctx_);
  SettingsStore& store = ctx_.settings;
  store.WriteSetting(kSettings, kScheduleSwitchKey, chkSchedule.Value() ? "1" : "0");
  store.WriteSetting(kSettings, kScheduleDayKey, std::to_string(cmbDays.ListIndex()));
  const auto& time = dtpScheduleTime.Value();
  store.WriteSetting(kSettings, kScheduleTimeKey, time ? FormatHms(*time) : kNoTime);
  TmrScheduler_.SetEnabled(ScheduleSwitchedOn(ctx_));
}

void FrmOptions::ShowOptionsPage(bool general, bool homepage, bool schedule, bool hotkey) {
  const struct {
    Frame& page;
    Label& selector;
    bool shown;
  } pages[] = {{Framegeneral, Label24, general},
               {FrameProtectHomepage, Label25, homepage},
               {FrameSchedule, Label26, schedule},
               {FrameHotkey, Label27, hotkey}};
  for (const auto& p : pages) {
    p.page.SetVisible(p.shown);
    ShowPageSelector(p.selector, p.shown);
  }
}

void FrmOptions::ApplyStealthRule() { cmbinvisiblemmode.SetEnabled(ChkRunInSteathmode.Value()); }

void FrmOptions::ApplySecureErasingRule() {
  cmboverwriteTracksFiles.SetEnabled(chkenablesecureerasing.Value());
}

void FrmOptions::ApplyHomepageRule() { LockHomepage(!chkPreverntHomepage.Value()); }

void FrmOptions::LockHomepage(bool locked) {
  txtHomepage.SetLocked(locked);
  // A locked box looks like the page it lies on.
  txtHomepage.SetLook(TextStyle::Normal, palette::kText, locked ? palette::kWindow : palette::kPanel);
}

void FrmOptions::ApplyScheduleRule() {
  cmbDays.SetEnabled(chkSchedule.Value());
  dtpScheduleTime.SetEnabled(chkSchedule.Value());
}

// ---- The main window's dialog ------------------------------------------------

OptionsDialog::OptionsDialog(Context& ctx, Timer& TmrScheduler)
    : ctx_(ctx), TmrScheduler_(TmrScheduler) {}

OptionsDialog::~OptionsDialog() = default;

FrmOptions& OptionsDialog::Ensure() {
  if (!form_) form_ = std::make_unique<FrmOptions>(ctx_, TmrScheduler_);
  return *form_;
}

void OptionsDialog::LoadAtStartup() { Ensure().LoadScheduleControls(); }

void OptionsDialog::Open() {
  // Already open (the tray menu reaches it past the modal dialog): that one stays.
  if (open_) return;
  open_ = true;
  Ensure().ShowModal();
  form_.reset();
  open_ = false;
  const auto on = AsNumber(ctx_.settings.ReadSetting(kSettings, kScheduleSwitchKey, "0"));
  TmrScheduler_.SetEnabled(on && *on != 0);
}

}  // namespace nimbrel
