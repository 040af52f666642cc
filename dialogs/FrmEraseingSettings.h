// The erase-settings dialog: the eighteen track categories as check boxes on
// the Browser and Windows pages, the catalogue applications as a checked list
// on the Application page followed by the detected entries of the community
// file (Winapp2.ini; their ticks in the settings section "Winapp2", an entry
// with a warning ticked only once the user said yes to it), today's browsers as a row of boxes each on the
// Today's Browsers page. Every change is written to the store at once;
// there is no OK. Loading it turns the stored choices into check states.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "cleaning/Catalogue.h"
#include "core/Context.h"
#include "dialogs/WindowChrome.h"
#include "platform/Controls.h"

namespace nimbrel {

class FrmEraseingSettings : public Form {
 public:
  explicit FrmEraseingSettings(Context& ctx);

  TitleStrip strip;

  // Tabs: a caption label each, over a strip image.
  Label Label1;
  Image Image1;
  Label Label3;
  Image Image3;
  Label Label2;
  Image Image2;
  Label lblTodaysBrowsers;
  Image imgTodaysBrowsers;

  // Browser page.
  Frame FrameBrowser;
  Frame Frame2;
  CheckBox chkLocationBarHistory;
  PictureButton CmdKeepListOfLocationBar;
  CheckBox chkCookies;
  PictureButton CmdKeepListOfCookies;
  CheckBox chkTemporaryInternetfiles;
  CheckBox chkInternetHistory;
  CheckBox chkIndex;
  PictureButton cmdSelectAll;
  PictureButton CmdSelectNon;
  Frame Frame3;
  CheckBox ChkOperaCookies;
  CheckBox ChkOperaLocationBarHistory;
  CheckBox ChkOperaCache;
  TextBox txtOpera;
  PictureButton cmdAutoScanOperaCache;
  Frame Frame4;
  CheckBox ChkNetscapeCache;
  CheckBox ChkNetscapeLocationBarHistory;
  CheckBox ChkNetscapeCookies;
  CheckBox ChkNetscapeHistoryFile;
  TextBox txtSearchNetscapeCasche;
  PictureButton cmdAutoScanNescapeCache;
  PictureButton Command1;  // Exit, first member of the Command1 pair

  // Windows page.
  Frame FrameWindows;
  Frame fraWindowsTracks;
  CheckBox chkWindowsRecentHistory;
  CheckBox chkWindowsSearchHistory;
  CheckBox chkWindowsRunHistory;
  CheckBox chkWindowsTemp;
  CheckBox chkWindowsRecycleBin;
  CheckBox chkWindowsClipboard;
  // Beside them, a box per kind of trace of today's Windows, named by its
  // settings key, in the order of their rows.
  std::vector<std::unique_ptr<CheckBox>> WindowsTodayBoxes;
  PictureButton cmdWindowsSelectNon;  // shows Select All and checks
  PictureButton cmdWindowsSelectAll;  // shows Select Non and unchecks
  PictureButton cmdexit;

  // Application page.
  Frame FrameApplication;
  ListView lvwThirdpartyControls;
  PictureButton cmdThirdPartySelectAll;
  PictureButton CmdUnSelectThirdParty;
  PictureButton Command1_1;  // Exit, second member of the Command1 pair

  // Today's Browsers page: per browser a label ("lblChrome") and a box per
  // category named by its settings key ("chkChromeCache"), in the order of
  // BrowserTracks(); a browser that is not installed shows "(not found)" and
  // its boxes are disabled.
  Frame FrameTodaysBrowsers;
  Frame fraTodaysBrowsers;
  std::vector<std::unique_ptr<Label>> BrowserLabels;
  std::vector<std::unique_ptr<CheckBox>> BrowserBoxes;
  PictureButton cmdBrowsersSelectAll;
  PictureButton cmdBrowsersSelectNon;
  Label lblTodaysBrowsersNote;
  PictureButton cmdBrowsersExit;

  // The eighteen boxes in the order of the category catalogue.
  std::array<CheckBox*, 18> CategoryBoxes();

  void LoadSettings();
  enum class Page { Browser, Windows, Application, TodaysBrowsers };
  void ShowPage(Page page);
  // Writes every application's check, "True" or "False".
  void SaveApplicationChecks();

 protected:
  void OnLoad() override;

 private:
  void LoadBox(CheckBox& box);
  void SelectGroup(CategoryGroup group, bool checked);
  // The Windows group's boxes and those beside them.
  void SelectWindows(bool checked);
  // After the user ticked the folder views: they stay ticked only on Yes.
  void ConfirmFolderViews(CheckBox& box);
  void SelectApplications(bool checked);
  // After the user ticked the row: an entry of the community file with a
  // warning is shown it and stays ticked only on Yes.
  void ConfirmWarning(int index);
  void LoadBrowserBoxes(const std::array<bool, kTodaysBrowsers.size()>& installed);
  void SelectBrowsers(bool checked);

  Context& ctx_;
  bool resetting_ = false;
  // The community entries listed after the catalogue's, in list order.
  struct CommunityRow {
    std::string key, warning;
  };
  std::vector<CommunityRow> community_;
};

}  // namespace nimbrel
