# The settings keys and row labels the end-to-end tests plant and expect, in
# catalogue order. Sourced by the tests.
OPTIONS='HKCU\Software\NimbrelSoft\Nimbrel\Options'
KEYS=(chkLocationBarHistory chkCookies chkTemporaryInternetfiles chkInternetHistory chkIndex
  ChkOperaCookies ChkOperaLocationBarHistory ChkOperaCache ChkNetscapeCache
  ChkNetscapeLocationBarHistory ChkNetscapeCookies ChkNetscapeHistoryFile
  chkWindowsRecentHistory chkWindowsSearchHistory chkWindowsRunHistory chkWindowsTemp
  chkWindowsRecycleBin chkWindowsClipboard)
CATEGORIES=("Location Bar History" "Cookies" "Temporary Internet files" "Internet History"
  "Index" "Opera Cookies" "Opera Location Bar History" "Opera Cache" "Netscape Cache"
  "Netscape Location Bar History" "Netscape Cookies" "Netscape History File"
  "Windows Recent History" "Windows Search History" "Windows Run History"
  "Windows Temp Files" "Windows Recycle Bin" "Windows Clipboard")
# The kinds of trace of today's Windows, listed after the eighteen; a fresh profile
# ticks all of them but the folder views.
TODAY_KEYS=(chkWindowsJumpLists chkWindowsExplorerHistory chkWindowsProgramUsage
  chkWindowsThumbnailCache chkWindowsErrorReports chkWindowsFolderViews chkWindowsDnsCache)
TODAY=("Windows Jump Lists" "Windows Explorer History" "Windows Program Usage"
  "Windows Thumbnail Cache" "Windows Error Reports" "Windows Folder Views" "Windows DNS Cache")
TODAY_FRESH=("Windows Jump Lists" "Windows Explorer History" "Windows Program Usage"
  "Windows Thumbnail Cache" "Windows Error Reports" "Windows DNS Cache")
APPS=("ACDSee4" "ACDSee5" "ACDSee32" "ACDSee6" "Acrobat4" "Acrobat5" "Acrobat6" "Ad Adware 6"
  "Agent NewsReader" "AOL Instant Messenger" "AOL6" "AOL7" "BearShare" "Cute FTP"
  "DivX Player" "Download Accelerator" "Gator" "Get Right" "Google Toolbar" "ICQ 2000B"
  "ICQ 2002A" "ICQ 2003A" "ICQ 2003B" "iMesh" "Kazaa Media Desktop" "Kazaa Lite" "LView Pro"
  "Mass Downloader" "Macromedia Dreamweaver 4.0" "Macromedia DreamweaverMX 2004"
  "Media Jukebox" "Morpheus" "Microsoft Imaging" "Microsoft Netmeeting" "Microsoft Paint"
  "Microsoft Photo Editor" "MIRC" "MusicMatch Jukebox" "Napster" "Net Vampire 3.x"
  "Paint Shop Pro 7.0-8.0" "Photo Impact 7" "Photo Impact 8" "PicoZip" "PowerDVD"
  "Powerzip 6.0" "Real Player 8" "Real Player 10" "Save Now" "Sonique" "SWiSH" "Trillain"
  "Ulead GIF Animator" "Windows Media Player" "WinAce 2.0" "WinRar 3.x" "WinRar 2.x"
  "Winzip" "Wordpad" "Xing MP3 Player" "Yahoo Messenger" "Zone Alram Logs")

# choose KEY...: stores "1" for the named category keys, "0" for the other
# categories and "False" for every application, in one registry import.
choose() {
  local reg="$WINEPREFIX/drive_c/choose.reg" k v
  {
    printf 'REGEDIT4\r\n\r\n[%s]\r\n' 'HKEY_CURRENT_USER\Software\NimbrelSoft\Nimbrel\Options'
    for k in "${KEYS[@]}" "${TODAY_KEYS[@]}"; do
      v=0
      [[ " $* " == *" $k "* ]] && v=1
      printf '"%s"="%s"\r\n' "$k" "$v"
    done
    for k in "${APPS[@]}"; do printf '"%s"="False"\r\n' "$k"; done
  } >"$reg"
  reg_import choose.reg "importing the choices"
}

# tick APP...: stores "True" for the named applications, in one registry import.
tick() {
  local reg="$WINEPREFIX/drive_c/tick.reg" app
  {
    printf 'REGEDIT4\r\n\r\n[%s]\r\n' 'HKEY_CURRENT_USER\Software\NimbrelSoft\Nimbrel\Options'
    for app in "$@"; do printf '"%s"="True"\r\n' "$app"; done
  } >"$reg"
  reg_import tick.reg "ticking the applications"
}
