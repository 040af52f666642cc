#include "settings/SettingsStore.h"

namespace nimbrel {

const std::array<CategoryKey, 18> kCategoryKeys = {{
    {"chkLocationBarHistory", "Internet Explorer", "Location Bar History"},
    {"chkCookies", "Internet Explorer", "Cookies"},
    {"chkTemporaryInternetfiles", "Internet Explorer", "Temporary Internet Files ( Cache )"},
    {"chkInternetHistory", "Internet Explorer", "Internet History ( Need IE browsers Close First )"},
    {"chkIndex", "Internet Explorer", "Index.dat"},
    {"ChkOperaCookies", "Opera Settings", "Cookies"},
    {"ChkOperaLocationBarHistory", "Opera Settings", "Loation Bar History"},
    {"ChkOperaCache", "Opera Settings", "Cache and History"},
    {"ChkNetscapeCache", "Netscape Settings", "Cache"},
    {"ChkNetscapeLocationBarHistory", "Netscape Settings", "Location Bar History"},
    {"ChkNetscapeCookies", "Netscape Settings", "Cookies"},
    {"ChkNetscapeHistoryFile", "Netscape Settings", "History File"},
    {"chkWindowsRecentHistory", "Windows", "Recent Documents History"},
    {"chkWindowsSearchHistory", "Windows", "Start Menu Search History"},
    {"chkWindowsRunHistory", "Windows", "Start Menu Run History"},
    {"chkWindowsTemp", "Windows", "Windows Temp"},
    {"chkWindowsRecycleBin", "Windows", "Recycle Bin"},
    {"chkWindowsClipboard", "Windows", "Clipboard"},
}};

const std::array<OptionKey, 17> kOptionKeys = {{
    {kOptions, "chkStartup", ValueForm::CheckState},
    {kOptions, "ChkRunInSteathmode", ValueForm::CheckState},
    {kOptions, "ChkDontStoreLogFile", ValueForm::CheckState},
    {kOptions, "ChkCloseAllIE", ValueForm::CheckState},
    {kOptions, "cmbinvisiblemmode", ValueForm::Letter},
    {kOptions, "chkenablesecureerasing", ValueForm::CheckState},
    {kOptions, "cmboverwriteTracksFiles", ValueForm::Count},
    {kOptions, "chkPreverntHomepage", ValueForm::CheckState},
    {kOptions, "txtHomepage", ValueForm::Text},
    {kOptions, "cmbbosskey", ValueForm::Letter},
    {kOptions, "optCloseAllIEAndStartErasing", ValueForm::Flag},
    {kOptions, "optCloseAllIE", ValueForm::Flag},
    {kSettings, "chkSchedule", ValueForm::CheckState},
    {kSettings, "Day", ValueForm::Count},
    {kSettings, "Time", ValueForm::Time},
    {kOptions, "txtOpera", ValueForm::Text},
    {kOptions, "txtSearchNetscapeCasche", ValueForm::Text},
}};

const std::array<const char*, 62> kApplicationKeys = {
    "ACDSee4", "ACDSee5", "ACDSee32", "ACDSee6", "Acrobat4", "Acrobat5", "Acrobat6",
    "Ad Adware 6", "Agent NewsReader", "AOL Instant Messenger", "AOL6", "AOL7", "BearShare",
    "Cute FTP", "DivX Player", "Download Accelerator", "Gator", "Get Right", "Google Toolbar",
    "ICQ 2000B", "ICQ 2002A", "ICQ 2003A", "ICQ 2003B", "iMesh", "Kazaa Media Desktop",
    "Kazaa Lite", "LView Pro", "Mass Downloader", "Macromedia Dreamweaver 4.0",
    "Macromedia DreamweaverMX 2004", "Media Jukebox", "Morpheus", "Microsoft Imaging",
    "Microsoft Netmeeting", "Microsoft Paint", "Microsoft Photo Editor", "MIRC",
    "MusicMatch Jukebox", "Napster", "Net Vampire 3.x", "Paint Shop Pro 7.0-8.0",
    "Photo Impact 7", "Photo Impact 8", "PicoZip", "PowerDVD", "Powerzip 6.0", "Real Player 8",
    "Real Player 10", "Save Now", "Sonique", "SWiSH", "Trillain", "Ulead GIF Animator",
    "Windows Media Player", "WinAce 2.0", "WinRar 3.x", "WinRar 2.x", "Winzip", "Wordpad",
    "Xing MP3 Player", "Yahoo Messenger", "Zone Alram Logs",
};

namespace {
std::string SectionPath(const std::string& section) {
  return std::string(kSettingsRoot) + "\\" + section;
}
}  // namespace

std::string SettingsStore::ReadSetting(const std::string& section, const std::string& key,
                                       const std::string& defaultText) {
  const RegKey k = registry_.OpenKey(RegRoot::CurrentUser, SectionPath(section));
  if (!k) return defaultText;
  std::uint32_t type = 0;
  std::string data;
  const bool found = registry_.QueryValue(k, key, type, data);
  registry_.CloseKey(k);
  if (!found || type != kRegSz) return defaultText;
  if (const auto nul = data.find('\0'); nul != std::string::npos) data.resize(nul);
  return data;
}

void SettingsStore::WriteSetting(const std::string& section, const std::string& key,
                                 const std::string& text) {
  const RegKey k = registry_.CreateKey(RegRoot::CurrentUser, SectionPath(section));
  if (!k) return;
  registry_.SetValue(k, key, kRegSz, text + '\0');
  registry_.CloseKey(k);
}

}  // namespace nimbrel
