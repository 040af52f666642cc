#include "dialogs/FrmEraseingSettings.h"

#include "cleaning/ApplicationCatalogue.h"
#include "cleaning/TrackCategories.h"
#include "cleaning/Winapp2Erase.h"
#include "dialogs/FrmKeepList.h"
#include "dialogs/FrmMessage.h"
#include "dialogs/WindowChrome.h"
#include "erasers/BrowserProfiles.h"
#include "erasers/modOperaCache.h"
#include "platform/Text.h"
#include "settings/SettingsStore.h"

namespace nimbrel {

namespace {


// Layout, in pixels: the title strip, a row of three tabs, and the pages laid
// over one another below it. Every page has its Exit button at the bottom right.
constexpr int kWidth = 600, kHeight = 482, kTitle = 32;
constexpr int kTabTop = kTitle + 10, kTabWidth = 120, kTabHeight = 26;
constexpr int kPageTop = kTabTop + kTabHeight + 8, kPageLeft = 12;
constexpr int kPageWidth = kWidth - 2 * kPageLeft, kPageHeight = kHeight - kPageTop - 12;
constexpr int kGroupTop = kPageTop + 22, kRow = 26, kBoxHeight = 20;
constexpr int kButton = 96, kButtonHeight = 28, kSmallButtonHeight = 24;
constexpr int kBottomRow = kPageTop + kPageHeight - kButtonHeight - 12;
constexpr int kExitLeft = kPageLeft + kPageWidth - kButton - 12;

// Browser page: Internet Explorer on the left, Opera and Netscape on the right.
constexpr int kIeLeft = kPageLeft + 12, kIeWidth = 300, kIeBox = kIeLeft + 12;
constexpr int kIeKeepLeft = kIeLeft + kIeWidth - 12 - 90;
constexpr int kRightLeft = kIeLeft + kIeWidth + 12, kRightWidth = kWidth - 24 - kRightLeft;
constexpr int kRightBox = kRightLeft + 12, kScanWidth = 72;
constexpr int kFolderWidth = kRightWidth - 24 - kScanWidth - 6;
constexpr int kOperaTop = kGroupTop, kOperaHeight = 148;
constexpr int kNetscapeTop = kOperaTop + kOperaHeight + 10, kNetscapeHeight = 164;

// Today's Browsers page: a row per browser, its name and a box per category.
constexpr int kBrowserNameWidth = 124, kBrowserColumn = 78, kBrowserBoxWidth = 78;
constexpr int kBrowserBoxLeft = kIeBox + kBrowserNameWidth + 8;
constexpr int BrowserRow(int i) { return kGroupTop + 24 + i * kRow; }
constexpr int kBrowsersHeight = BrowserRow(6) + 46 - kGroupTop;
constexpr int kBrowsersNote = kGroupTop + kBrowsersHeight + 10;

constexpr int TabLeft(int i) { return kPageLeft + i * (kTabWidth + 4); }
constexpr int IeRow(int i) { return kGroupTop + 24 + i * kRow; }
constexpr int OperaRow(int i) { return kOperaTop + 22 + i * 24; }
constexpr int NetscapeRow(int i) { return kNetscapeTop + 22 + i * 24; }
constexpr int WindowsRow(int i) { return kGroupTop + 24 + i * kRow; }
// The Windows group's two columns: the six boxes, and today's seven beside them.
constexpr int kWindowsBoxWidth = 250, kWindowsTodayLeft = kIeBox + 262, kWindowsTodayWidth = 270;
constexpr int kWindowsButtons = WindowsRow(static_cast<int>(kWindowsTodayCategories.size())) + 6;

const char* CatKey(int i) { return kTrackCategories[static_cast<std::size_t>(i)].key; }
const char* CatCaption(int i) { return kTrackCategories[static_cast<std::size_t>(i)].caption; }
const char* CatGroup(int i) { return kTrackCategories[static_cast<std::size_t>(i)].group; }

constexpr int kIe = kInternetExplorerGroup.first, kWindows = kWindowsGroup.first;

}  // namespace

FrmEraseingSettings::FrmEraseingSettings(Context& ctx)
    : Form(ctx.platform.loop, "FrmEraseingSettings", Px(kWidth), Px(kHeight)),
      strip(ctx, *this, {.caption = "Erasing Settings ...", .closeName = "Image6"}),
      Label1(*this, "Label1", "Browser", Px(TabLeft(0)), Px(kTabTop), Px(kTabWidth),
             Px(kTabHeight)),
      Image1(*this, "Image1", Picture::TitleBar, false, Px(TabLeft(0)), Px(kTabTop + kTabHeight),
             Px(kTabWidth), Px(3)),
      Label3(*this, "Label3", "Windows", Px(TabLeft(1)), Px(kTabTop), Px(kTabWidth),
             Px(kTabHeight)),
      Image3(*this, "Image3", Picture::TitleBar, false, Px(TabLeft(1)), Px(kTabTop + kTabHeight),
             Px(kTabWidth), Px(3)),
      Label2(*this, "Label2", "Application", Px(TabLeft(2)), Px(kTabTop), Px(kTabWidth),
             Px(kTabHeight)),
      Image2(*this, "Image2", Picture::TitleBar, false, Px(TabLeft(2)), Px(kTabTop + kTabHeight),
             Px(kTabWidth), Px(3)),
      lblTodaysBrowsers(*this, "lblTodaysBrowsers", "Today's Browsers", Px(TabLeft(3)),
                        Px(kTabTop), Px(kTabWidth), Px(kTabHeight)),
      imgTodaysBrowsers(*this, "imgTodaysBrowsers", Picture::TitleBar, false, Px(TabLeft(3)),
                        Px(kTabTop + kTabHeight), Px(kTabWidth), Px(3)),

      FrameBrowser(*this, "FrameBrowser", "Browser", Px(kPageLeft), Px(kPageTop), Px(kPageWidth),
                   Px(kPageHeight)),
      Frame2(*this, "Frame2", CatGroup(kIe), Px(kIeLeft), Px(kGroupTop), Px(kIeWidth), Px(214),
             &FrameBrowser),
      chkLocationBarHistory(*this, CatKey(0), CatCaption(0), Px(kIeBox), Px(IeRow(0)), Px(180),
                            Px(kBoxHeight), &Frame2),
      CmdKeepListOfLocationBar(*this, "CmdKeepListOfLocationBar", "View Keep", Px(kIeKeepLeft),
                               Px(IeRow(0) - 2), Px(90), Px(kSmallButtonHeight), &Frame2),
      chkCookies(*this, CatKey(1), CatCaption(1), Px(kIeBox), Px(IeRow(1)), Px(180), Px(kBoxHeight),
                 &Frame2),
      CmdKeepListOfCookies(*this, "CmdKeepListOfCookies", "View Keep", Px(kIeKeepLeft),
                           Px(IeRow(1) - 2), Px(90), Px(kSmallButtonHeight), &Frame2),
      chkTemporaryInternetfiles(*this, CatKey(2), CatCaption(2), Px(kIeBox), Px(IeRow(2)),
                                Px(kIeWidth - 24), Px(kBoxHeight), &Frame2),
      chkInternetHistory(*this, CatKey(3), CatCaption(3), Px(kIeBox), Px(IeRow(3)),
                         Px(kIeWidth - 24), Px(kBoxHeight), &Frame2),
      chkIndex(*this, CatKey(4), CatCaption(4), Px(kIeBox), Px(IeRow(4)), Px(kIeWidth - 24),
               Px(kBoxHeight), &Frame2),
      cmdSelectAll(*this, "cmdSelectAll", "Select All", Px(kIeBox), Px(IeRow(5) + 6), Px(kButton),
                   Px(kButtonHeight), &Frame2),
      CmdSelectNon(*this, "CmdSelectNon", "Select Non", Px(kIeBox + kButton + 8), Px(IeRow(5) + 6),
                   Px(kButton), Px(kButtonHeight), &Frame2),
      Frame3(*this, "Frame3", CatGroup(kOperaGroup.first), Px(kRightLeft), Px(kOperaTop), Px(kRightWidth),
             Px(kOperaHeight), &FrameBrowser),
      ChkOperaCookies(*this, CatKey(5), CatCaption(5), Px(kRightBox), Px(OperaRow(0)),
                      Px(kRightWidth - 24), Px(kBoxHeight), &Frame3),
      ChkOperaLocationBarHistory(*this, CatKey(6), CatCaption(6), Px(kRightBox), Px(OperaRow(1)),
                                 Px(kRightWidth - 24), Px(kBoxHeight), &Frame3),
      ChkOperaCache(*this, CatKey(7), CatCaption(7), Px(kRightBox), Px(OperaRow(2)),
                    Px(kRightWidth - 24), Px(kBoxHeight), &Frame3),
      txtOpera(*this, "txtOpera", Px(kRightBox), Px(OperaRow(3) + 8), Px(kFolderWidth),
               Px(kSmallButtonHeight), &Frame3),
      cmdAutoScanOperaCache(*this, "cmdAutoScanOperaCache", "Auto Scan",
                            Px(kRightBox + kFolderWidth + 6), Px(OperaRow(3) + 8), Px(kScanWidth),
                            Px(kSmallButtonHeight), &Frame3),
      Frame4(*this, "Frame4", CatGroup(kNetscapeGroup.first), Px(kRightLeft), Px(kNetscapeTop), Px(kRightWidth),
             Px(kNetscapeHeight), &FrameBrowser),
      ChkNetscapeCache(*this, CatKey(8), CatCaption(8), Px(kRightBox), Px(NetscapeRow(0)),
                       Px(kRightWidth - 24), Px(kBoxHeight), &Frame4),
      ChkNetscapeLocationBarHistory(*this, CatKey(9), CatCaption(9), Px(kRightBox),
                                    Px(NetscapeRow(1)), Px(kRightWidth - 24), Px(kBoxHeight),
                                    &Frame4),
      ChkNetscapeCookies(*this, CatKey(10), CatCaption(10), Px(kRightBox), Px(NetscapeRow(2)),
                         Px(kRightWidth - 24), Px(kBoxHeight), &Frame4),
      ChkNetscapeHistoryFile(*this, CatKey(11), CatCaption(11), Px(kRightBox), Px(NetscapeRow(3)),
                             Px(kRightWidth - 24), Px(kBoxHeight), &Frame4),
      txtSearchNetscapeCasche(*this, "txtSearchNetscapeCasche", Px(kRightBox),
                              Px(NetscapeRow(4) + 8), Px(kFolderWidth), Px(kSmallButtonHeight),
                              &Frame4),
      cmdAutoScanNescapeCache(*this, "cmdAutoScanNescapeCache", "Auto Scan",
                              Px(kRightBox + kFolderWidth + 6), Px(NetscapeRow(4) + 8),
                              Px(kScanWidth), Px(kSmallButtonHeight), &Frame4),
      Command1(*this, "Command1", "Exit", Px(kExitLeft), Px(kBottomRow), Px(kButton),
               Px(kButtonHeight), &FrameBrowser),

      FrameWindows(*this, "FrameWindows", "Windows", Px(kPageLeft), Px(kPageTop), Px(kPageWidth),
                   Px(kPageHeight)),
      fraWindowsTracks(*this, "fraWindowsTracks", CatGroup(kWindows), Px(kIeLeft), Px(kGroupTop),
                       Px(kPageWidth - 24), Px(kWindowsButtons + 40 - kGroupTop), &FrameWindows),
      chkWindowsRecentHistory(*this, CatKey(12), CatCaption(12), Px(kIeBox), Px(WindowsRow(0)),
                              Px(kWindowsBoxWidth), Px(kBoxHeight), &fraWindowsTracks),
      chkWindowsSearchHistory(*this, CatKey(13), CatCaption(13), Px(kIeBox), Px(WindowsRow(1)),
                              Px(kWindowsBoxWidth), Px(kBoxHeight), &fraWindowsTracks),
      chkWindowsRunHistory(*this, CatKey(14), CatCaption(14), Px(kIeBox), Px(WindowsRow(2)),
                           Px(kWindowsBoxWidth), Px(kBoxHeight), &fraWindowsTracks),
      chkWindowsTemp(*this, CatKey(15), CatCaption(15), Px(kIeBox), Px(WindowsRow(3)), Px(kWindowsBoxWidth),
                     Px(kBoxHeight), &fraWindowsTracks),
      chkWindowsRecycleBin(*this, CatKey(16), CatCaption(16), Px(kIeBox), Px(WindowsRow(4)),
                           Px(kWindowsBoxWidth), Px(kBoxHeight), &fraWindowsTracks),
      chkWindowsClipboard(*this, CatKey(17), CatCaption(17), Px(kIeBox), Px(WindowsRow(5)), Px(kWindowsBoxWidth),
                          Px(kBoxHeight), &fraWindowsTracks),
      cmdWindowsSelectNon(*this, "cmdWindowsSelectNon", "Select All", Px(kIeBox),
                          Px(kWindowsButtons), Px(kButton), Px(kButtonHeight), &fraWindowsTracks),
      cmdWindowsSelectAll(*this, "cmdWindowsSelectAll", "Select Non", Px(kIeBox + kButton + 8),
                          Px(kWindowsButtons), Px(kButton), Px(kButtonHeight), &fraWindowsTracks),
      cmdexit(*this, "cmdexit", "Exit", Px(kExitLeft), Px(kBottomRow), Px(kButton),
              Px(kButtonHeight), &FrameWindows),

      FrameApplication(*this, "FrameApplication", "Application", Px(kPageLeft), Px(kPageTop),
                       Px(kPageWidth), Px(kPageHeight)),
      lvwThirdpartyControls(*this, "lvwThirdpartyControls", Px(kIeLeft), Px(kGroupTop),
                            Px(kPageWidth - 24), Px(kBottomRow - 12 - kGroupTop),
                            &FrameApplication),
      cmdThirdPartySelectAll(*this, "cmdThirdPartySelectAll", "Select All", Px(kIeLeft),
                             Px(kBottomRow), Px(kButton), Px(kButtonHeight), &FrameApplication),
      CmdUnSelectThirdParty(*this, "CmdUnSelectThirdParty", "Select Non", Px(kIeLeft + kButton + 8),
                            Px(kBottomRow), Px(kButton), Px(kButtonHeight), &FrameApplication),
      Command1_1(*this, "Command1_1", "Exit", Px(kExitLeft), Px(kBottomRow), Px(kButton),
                 Px(kButtonHeight), &FrameApplication),

      FrameTodaysBrowsers(*this, "FrameTodaysBrowsers", "Today's Browsers", Px(kPageLeft),
                          Px(kPageTop), Px(kPageWidth), Px(kPageHeight)),
      fraTodaysBrowsers(*this, "fraTodaysBrowsers", "Chrome, Edge, Brave, Vivaldi, Opera, Firefox",
                        Px(kIeLeft), Px(kGroupTop), Px(kPageWidth - 24), Px(kBrowsersHeight),
                        &FrameTodaysBrowsers),
      cmdBrowsersSelectAll(*this, "cmdBrowsersSelectAll", "Select All", Px(kIeBox),
                           Px(BrowserRow(6) + 6), Px(kButton), Px(kButtonHeight),
                           &fraTodaysBrowsers),
      cmdBrowsersSelectNon(*this, "cmdBrowsersSelectNon", "Select Non", Px(kIeBox + kButton + 8),
                           Px(BrowserRow(6) + 6), Px(kButton), Px(kButtonHeight),
                           &fraTodaysBrowsers),
      lblTodaysBrowsersNote(*this, "lblTodaysBrowsersNote",
                            "Erasing Cookies or Site Data signs you out of web sites (the sites "
                            "on the cookie keep list keep both), erasing Sessions loses the tabs "
                            "you left open. A browser that is running is left as it is: close "
                            "it first, or have Nimbrel close it (Options, General).",
                            Px(kIeLeft), Px(kBrowsersNote), Px(kPageWidth - 24), Px(48),
                            &FrameTodaysBrowsers),
      cmdBrowsersExit(*this, "cmdBrowsersExit", "Exit", Px(kExitLeft), Px(kBottomRow), Px(kButton),
                      Px(kButtonHeight), &FrameTodaysBrowsers),
      ctx_(ctx) {
  for (std::size_t b = 0; b < kTodaysBrowsers.size(); ++b) {
    const int row = BrowserRow(static_cast<int>(b));
    BrowserLabels.push_back(std::make_unique<Label>(
        *this, std::string("lbl") + kTodaysBrowsers[b].key, kTodaysBrowsers[b].name, Px(kIeBox),
        Px(row), Px(kBrowserNameWidth), Px(kBoxHeight), &fraTodaysBrowsers));
  }
  for (std::size_t i = 0; i < kWindowsTodayCategories.size(); ++i)
    WindowsTodayBoxes.push_back(std::make_unique<CheckBox>(
        *this, kWindowsTodayCategories[i].key, kWindowsTodayCategories[i].caption,
        Px(kWindowsTodayLeft), Px(WindowsRow(static_cast<int>(i))), Px(kWindowsTodayWidth),
        Px(kBoxHeight), &fraWindowsTracks));
  for (const BrowserTrack& track : BrowserTracks()) {
    const int column = static_cast<int>(track.category);
    BrowserBoxes.push_back(std::make_unique<CheckBox>(
        *this, track.key, CategoryName(track.category),
        Px(kBrowserBoxLeft + column * kBrowserColumn),
        Px(BrowserRow(static_cast<int>(track.browser))), Px(kBrowserBoxWidth), Px(kBoxHeight),
        &fraTodaysBrowsers));
  }
  // Look.
  for (Frame* f : {&FrameBrowser, &FrameWindows, &FrameApplication, &Frame2, &Frame3, &Frame4,
                   &fraWindowsTracks, &FrameTodaysBrowsers, &fraTodaysBrowsers})
    f->SetLook(TextStyle::Bold, palette::kText, palette::kWindow);
  for (const auto& label : BrowserLabels)
    label->SetLook(TextStyle::Bold, palette::kText, palette::kWindow);
  lblTodaysBrowsersNote.SetLook(TextStyle::Normal, palette::kMutedText, palette::kWindow);
  lvwThirdpartyControls.Checkboxes = true;
  lvwThirdpartyControls.AddColumn("Application", Px(kPageWidth - 24 - 30));

  // Every box writes its key whenever its state changes.
  for (CheckBox* box : CategoryBoxes())
    box->Change = [this, box] {
      if (!resetting_) ctx_.settings.WriteSetting(kOptions, box->Name(), box->Value() ? "1" : "0");
    };
  for (const auto& box : BrowserBoxes)
    box->Change = [this, b = box.get()] {
      if (!resetting_) ctx_.settings.WriteSetting(kOptions, b->Name(), b->Value() ? "1" : "0");
    };
  for (const auto& box : WindowsTodayBoxes)
    box->Change = [this, b = box.get()] {
      if (resetting_) return;
      if (b->Name() == kFolderViewsKey) ConfirmFolderViews(*b);
      ctx_.settings.WriteSetting(kOptions, b->Name(), b->Value() ? "1" : "0");
    };
  cmdBrowsersSelectAll.Click = [this] { SelectBrowsers(true); };
  cmdBrowsersSelectNon.Click = [this] { SelectBrowsers(false); };
  cmdSelectAll.Click = [this] { SelectGroup(kInternetExplorerGroup, true); };
  CmdSelectNon.Click = [this] { SelectGroup(kInternetExplorerGroup, false); };
  // The Windows pair: each button does what its words say, not what its name says.
  cmdWindowsSelectNon.Click = [this] { SelectWindows(true); };
  cmdWindowsSelectAll.Click = [this] { SelectWindows(false); };

  lvwThirdpartyControls.ItemCheck = [this](int index) {
    ConfirmWarning(index);
    SaveApplicationChecks();
  };
  lvwThirdpartyControls.ItemClick = [this](int) { SaveApplicationChecks(); };
  cmdThirdPartySelectAll.Click = [this] { SelectApplications(true); };
  CmdUnSelectThirdParty.Click = [this] { SelectApplications(false); };

  cmdAutoScanOperaCache.Click = [this] {
    txtOpera.SetText("");
    const std::string folder = OperaFolder(ctx_);
    txtOpera.SetText(ctx_.settings.ReadSetting(kOptions, "txtOpera", folder));
  };
  cmdAutoScanNescapeCache.Click = [this] {
    const std::string folder = MozillaProfilesFolder(ctx_);
    txtSearchNetscapeCasche.SetText("");
    txtSearchNetscapeCasche.SetText(
        ctx_.settings.ReadSetting(kOptions, "txtSearchNetscapeCasche", folder));
  };
  CmdKeepListOfCookies.Click = [this] { OpenCookieKeepList(ctx_); };
  CmdKeepListOfLocationBar.Click = [this] { OpenTypedAddressKeepList(ctx_); };

  const auto tab = [this](Control& c, Page page) { c.Click = [this, page] { ShowPage(page); }; };
  tab(Image1, Page::Browser);
  tab(Label1, Page::Browser);
  tab(Image3, Page::Windows);
  tab(Label3, Page::Windows);
  tab(Image2, Page::Application);
  tab(Label2, Page::Application);
  tab(imgTodaysBrowsers, Page::TodaysBrowsers);
  tab(lblTodaysBrowsers, Page::TodaysBrowsers);
  for (Control* c : {static_cast<Control*>(&Command1), static_cast<Control*>(&Command1_1),
                     static_cast<Control*>(&cmdexit), static_cast<Control*>(&cmdBrowsersExit)})
    c->Click = [this] { Close(); };
  ShowPage(Page::Browser);
}

std::array<CheckBox*, 18> FrmEraseingSettings::CategoryBoxes() {
  return {&chkLocationBarHistory,
          &chkCookies,
          &chkTemporaryInternetfiles,
          &chkInternetHistory,
          &chkIndex,
          &ChkOperaCookies,
          &ChkOperaLocationBarHistory,
          &ChkOperaCache,
          &ChkNetscapeCache,
          &ChkNetscapeLocationBarHistory,
          &ChkNetscapeCookies,
          &ChkNetscapeHistoryFile,
          &chkWindowsRecentHistory,
          &chkWindowsSearchHistory,
          &chkWindowsRunHistory,
          &chkWindowsTemp,
          &chkWindowsRecycleBin,
          &chkWindowsClipboard};
}

void FrmEraseingSettings::OnLoad() {
  // Each load starts from unchecked boxes, as a newly created dialog does.
  resetting_ = true;
  for (CheckBox* box : CategoryBoxes()) box->SetValue(0);
  for (const auto& box : BrowserBoxes) box->SetValue(0);
  for (const auto& box : WindowsTodayBoxes) box->SetValue(0);
  resetting_ = false;
  LoadSettings();
}

void FrmEraseingSettings::LoadBox(CheckBox& box) {
  // A stored value is shown and never written over; one of a type that reads
  // as no text shows unticked, as the run takes it (an absent key was stored
  // "1" before the load).
  resetting_ = true;
  box.SetValue(AsInt32(ctx_.settings.ReadSetting(kOptions, box.Name(), "0")) == 1);
  resetting_ = false;
}

void FrmEraseingSettings::LoadSettings() {
  const auto installed = StoreDefaultTicks(ctx_);
  ShowPage(Page::Browser);
  const auto boxes = CategoryBoxes();
  for (int i = 0; i < kWindows; ++i) LoadBox(*boxes[static_cast<std::size_t>(i)]);
  txtOpera.SetText(ctx_.settings.ReadSetting(kOptions, "txtOpera", OperaFolder(ctx_)));
  txtSearchNetscapeCasche.SetText(
      ctx_.settings.ReadSetting(kOptions, "txtSearchNetscapeCasche", MozillaProfilesFolder(ctx_)));
  for (int i = kWindows; i < kWindows + kWindowsGroup.count; ++i)
    LoadBox(*boxes[static_cast<std::size_t>(i)]);
  for (const auto& box : WindowsTodayBoxes) LoadBox(*box);
  LoadBrowserBoxes(installed);

  ListView& list = lvwThirdpartyControls;
  list.Clear();
  // The detected entries of the community file follow in a group of their
  // own; with none, the catalogue is listed alone, without headings.
  const std::vector<Track> tracks = Tracks(ctx_);
  const bool anyCommunity = !tracks.empty() && tracks.back().kind == TrackKind::Community;
  const int builtIn = anyCommunity ? list.AddGroup("Applications") : -1;
  const int community = anyCommunity ? list.AddGroup(kWinapp2File) : -1;
  // The community file's entries, each unticked until the user ticks it.
  community_.clear();
  for (const Track& track : tracks) {
    if (track.kind != TrackKind::Application && track.kind != TrackKind::Community) continue;
    const bool isCommunity = track.kind == TrackKind::Community;
    const int i = list.Add(track.label, RowMark::ApplicationItem, isCommunity ? community : builtIn);
    if (isCommunity) community_.push_back({track.key, track.community->warning});
    list.SetChecked(i, Ticked(ctx_, track));
    ctx_.platform.loop.DoEvents();
  }
}

void FrmEraseingSettings::ConfirmWarning(int index) {
  ListView& list = lvwThirdpartyControls;
  const int c = index - static_cast<int>(kApplications.size());
  if (c < 0 || c >= static_cast<int>(community_.size()) || !list.Item(index).checked) return;
  const std::string& warning = community_[static_cast<std::size_t>(c)].warning;
  if (warning.empty()) return;
  if (!AskQuestion(ctx_, "Erasing Settings",
                   list.Item(index).text + "\r\n\r\n" + warning + "\r\n\r\nErase it on every run?"))
    list.SetChecked(index, false);
}

void FrmEraseingSettings::ShowPage(Page page) {
  const struct {
    Page page;
    Frame& frame;
    Label& tab;
  } pages[] = {{Page::Browser, FrameBrowser, Label1},
               {Page::Windows, FrameWindows, Label3},
               {Page::Application, FrameApplication, Label2},
               {Page::TodaysBrowsers, FrameTodaysBrowsers, lblTodaysBrowsers}};
  for (const auto& p : pages) {
    const bool chosen = p.page == page;
    p.frame.SetVisible(chosen);
    ShowPageSelector(p.tab, chosen);
  }
}

void FrmEraseingSettings::SaveApplicationChecks() {
  ListView& list = lvwThirdpartyControls;
  const int builtIn = static_cast<int>(kApplications.size());
  for (int i = 0; i < list.Count(); ++i) {
    const char* ticked = list.Item(i).checked ? "True" : "False";
    if (i < builtIn)
      ctx_.settings.WriteSetting(kOptions, list.Item(i).text, ticked);
    else if (i - builtIn < static_cast<int>(community_.size()))
      ctx_.settings.WriteSetting(kWinapp2Section, community_[static_cast<std::size_t>(i - builtIn)].key,
                                 ticked);
    ctx_.platform.loop.DoEvents();
  }
}

void FrmEraseingSettings::SelectGroup(CategoryGroup group, bool checked) {
  const auto boxes = CategoryBoxes();
  const int end = group.first + group.count;
  for (int i = group.first; i < end; ++i) boxes[static_cast<std::size_t>(i)]->SetValue(checked);
  // Once more through every handler, so each key is written even when unchanged.
  for (int i = group.first; i < end; ++i) boxes[static_cast<std::size_t>(i)]->Change();
}

void FrmEraseingSettings::SelectWindows(bool checked) {
  SelectGroup(kWindowsGroup, checked);
  for (const auto& box : WindowsTodayBoxes) box->SetValue(checked);
  for (const auto& box : WindowsTodayBoxes) box->Change();
}

void FrmEraseingSettings::ConfirmFolderViews(CheckBox& box) {
  if (!box.Value() || ctx_.OptionSelected(box.Name())) return;
  if (!AskQuestion(ctx_, "Erasing Settings",
                   "Folder windows will forget their size, view and sort order: Windows keeps "
                   "them in the folder views.\r\n\r\nErase the folder views on every run?")) {
    resetting_ = true;
    box.SetValue(0);
    resetting_ = false;
  }
}

void FrmEraseingSettings::LoadBrowserBoxes(const std::array<bool, kTodaysBrowsers.size()>& installed) {
  for (std::size_t b = 0; b < kTodaysBrowsers.size(); ++b) {
    Label& label = *BrowserLabels[b];
    label.SetCaption(std::string(kTodaysBrowsers[b].name) + (installed[b] ? "" : " (not found)"));
    label.SetEnabled(installed[b]);
  }
  const std::vector<BrowserTrack>& tracks = BrowserTracks();
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    CheckBox& box = *BrowserBoxes[i];
    const bool found = installed[static_cast<std::size_t>(tracks[i].browser)];
    box.SetEnabled(found);
    // What an installed browser shows ticked was stored before the load; a
    // browser not found keeps its stored choice as it is, unwritten.
    resetting_ = true;
    const char* byDefault = TickedByDefault(tracks[i], found) ? "1" : "0";
    box.SetValue(AsInt32(ctx_.settings.ReadSetting(kOptions, box.Name(), byDefault)) == 1);
    resetting_ = false;
  }
}

void FrmEraseingSettings::SelectBrowsers(bool checked) {
  for (const auto& box : BrowserBoxes)
    if (box->Enabled()) box->SetValue(checked);
  // Once more through every handler, so each key is written even when unchanged.
  for (const auto& box : BrowserBoxes)
    if (box->Enabled()) box->Change();
}

void FrmEraseingSettings::SelectApplications(bool checked) {
  ListView& list = lvwThirdpartyControls;
  const int builtIn = static_cast<int>(kApplications.size());
  for (int i = 0; i < list.Count(); ++i) {
    // An entry with a warning is ticked only by the user, who is asked first.
    const int c = i - builtIn;
    if (checked && c >= 0 && c < static_cast<int>(community_.size()) &&
        !community_[static_cast<std::size_t>(c)].warning.empty())
      continue;
    list.SetChecked(i, checked);
    ctx_.platform.loop.DoEvents();
  }
  SaveApplicationChecks();
}

}  // namespace nimbrel
