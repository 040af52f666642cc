#include "cleaning/PathDefs.h"

#include <string_view>

namespace nimbrel {

namespace {

// The texts below are written with plain line breaks; the definitions file
// has CR LF.
std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (const char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace

// Recent-file lists, search and folder histories of the image viewers and
// readers, download managers' histories and temporary folders, the
// messengers' received files, caches and logs.
const std::string txtPathDefs1 = WithCrLf(R"defs([ACDSee 4.0]
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\ImageDB
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\LastFolder
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\LastFile
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\LastFolder
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory0
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory1
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory2
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory3
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory4
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Viewer\LastImage
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Viewer\SlideShowFolder
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Find\LastSearch
[ACDSee 5.0]
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\ImageDB
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\LastFolder
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\LastFile
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\LastFolder
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory0
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory1
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory2
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory3
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory4
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory5
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory6
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory7
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory8
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory9
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Viewer\LastImage
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Viewer\SlideShowFolder
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Find\LastSearch
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Find\SearchHistory0
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Find\SearchHistory1
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Find\SearchHistory2
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Find\SearchHistory3
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Convert\LastFolder
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Favorites\LastFavorite
deletefiles=%WindowsDirectory%\Application Data\ACD Systems\ACDSee\ACDSeeCache.tdb
deletefiles=%WindowsDirectory%\Application Data\ACD Systems\ACDSee\*.tmp
[ACDSee 32]
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\ImageDB
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\LastFolder
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\LastFile
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\openfolder
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\LastFolder
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory0
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory1
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory2
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory3
deleteval=HKEY_USERS\.default\Software\ACD Systems\ACDSee\openfolder
deleteval=HKEY_USERS\.default\Software\ACD Systems\ACDSee\LastFolder
deleteval=HKEY_Users\.default\Software\ACD Systems\ACDSee\openfolder
deleteval=HKEY_Users\.default\Software\ACD Systems\ACDSee\LastFolder
deleteval=HKEY_USERS\Software\ACD Systems\ACDSee\openfolder
deleteval=HKEY_USERS\Software\ACD Systems\ACDSee\LastFolder
deleteval=HKEY_Users\Software\ACD Systems\ACDSee\openfolder
deleteval=HKEY_Users\Software\ACD Systems\ACDSee\LastFolder
deletefiles=%WindowsDirectory%\Application Data\ACD Systems\ACDSee\ACDSeeCache.tdb
deletefiles=%WindowsDirectory%\Application Data\ACD Systems\ACDSee\*.tmp
[ACDSee 6.0]
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\ImageDB
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\LastFolder
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\LastFile
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\openfolder
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\LastFolder
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory0
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory1
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory2
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory3
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory4
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory5
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory6
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Browser\FolderHistory7
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Viewer\LastImage
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Viewer\SlideShowFolder
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Find\LastSearch
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Find\SearchHistory0
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Find\SearchHistory1
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Find\SearchHistory2
deleteval=HKEY_CURRENT_USER\Software\ACD Systems\ACDSee\Print\LastFolder
deleteval=HKEY_USERS\.default\Software\ACD Systems\ACDSee\openfolder
deleteval=HKEY_USERS\.default\Software\ACD Systems\ACDSee\LastFolder
deleteval=HKEY_Users\.default\Software\ACD Systems\ACDSee\openfolder
deleteval=HKEY_Users\.default\Software\ACD Systems\ACDSee\LastFolder
deleteval=HKEY_USERS\Software\ACD Systems\ACDSee\openfolder
deleteval=HKEY_USERS\Software\ACD Systems\ACDSee\LastFolder
deleteval=HKey_Users\Software\ACD Systems\ACDSee\openfolder
deleteval=HKey_Users\Software\ACD Systems\ACDSee\LastFolder
deletefiles=%WindowsDirectory%\Application Data\ACD Systems\ACDSee\ACDSeeCache.tdb
deletefiles=%WindowsDirectory%\Application Data\ACD Systems\ACDSee\*.tmp
[Acrobat Reader 4.0]
deleteval=HKEY_CURRENT_USER\Software\Adobe\Acrobat Reader\4.0\AdobeViewer\RecentFile1
deleteval=HKEY_CURRENT_USER\Software\Adobe\Acrobat Reader\4.0\AdobeViewer\RecentFile2
deleteval=HKEY_CURRENT_USER\Software\Adobe\Acrobat Reader\4.0\AdobeViewer\RecentFile3
deleteval=HKEY_CURRENT_USER\Software\Adobe\Acrobat Reader\4.0\AdobeViewer\RecentFile4
[Acrobat Reader 5.0]
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat\5.0\AVGeneral\cRecentFiles\c1
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat\5.0\AVGeneral\cRecentFiles\c2
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat\5.0\AVGeneral\cRecentFiles\c3
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat\5.0\AVGeneral\cRecentFiles\c4
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat\5.0\AVGeneral\cRecentFiles\c5
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat\5.0\AVGeneral\cRecentFiles
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat Reader\5.0\AVGeneral\cRecentFiles\c1
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat Reader\5.0\AVGeneral\cRecentFiles\c2
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat Reader\5.0\AVGeneral\cRecentFiles\c3
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat Reader\5.0\AVGeneral\cRecentFiles\c4
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat Reader\5.0\AVGeneral\cRecentFiles\c5
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat Reader\5.0\AVGeneral\cRecentFiles
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat Reader\5.0\AVGeneral\cRecentFolders
deletekey=HKEY_CURRENT_USER\Software\Adobe\Adobe Acrobat\5.0\AVGeneral\cRecentFiles\c1
deletekey=HKEY_CURRENT_USER\Software\Adobe\Adobe Acrobat\5.0\AVGeneral\cRecentFiles\c2
deletekey=HKEY_CURRENT_USER\Software\Adobe\Adobe Acrobat\5.0\AVGeneral\cRecentFiles\c3
deletekey=HKEY_CURRENT_USER\Software\Adobe\Adobe Acrobat\5.0\AVGeneral\cRecentFiles\c4
deletekey=HKEY_CURRENT_USER\Software\Adobe\Adobe Acrobat\5.0\AVGeneral\cRecentFiles\c5
deletekey=HKEY_CURRENT_USER\Software\Adobe\Adobe Acrobat\5.0\AVGeneral\cRecentFiles
[Acrobat Reader 6.0]
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat\6.0\AVGeneral\cRecentFiles\c1
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat\6.0\AVGeneral\cRecentFiles\c2
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat\6.0\AVGeneral\cRecentFiles\c3
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat\6.0\AVGeneral\cRecentFiles\c4
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat\6.0\AVGeneral\cRecentFiles\c5
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat\6.0\AVGeneral\cRecentFiles
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat Reader\6.0\AVGeneral\cRecentFiles\c1
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat Reader\6.0\AVGeneral\cRecentFiles\c2
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat Reader\6.0\AVGeneral\cRecentFiles\c3
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat Reader\6.0\AVGeneral\cRecentFiles\c4
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat Reader\6.0\AVGeneral\cRecentFiles\c5
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat Reader\6.0\AVGeneral\cRecentFiles
deletekey=HKEY_CURRENT_USER\Software\Adobe\Acrobat Reader\6.0\AVGeneral\cRecentFolders
deletekey=HKEY_CURRENT_USER\Software\Adobe\Adobe Acrobat\6.0\AVGeneral\cRecentFiles\c1
deletekey=HKEY_CURRENT_USER\Software\Adobe\Adobe Acrobat\6.0\AVGeneral\cRecentFiles\c2
deletekey=HKEY_CURRENT_USER\Software\Adobe\Adobe Acrobat\6.0\AVGeneral\cRecentFiles\c3
deletekey=HKEY_CURRENT_USER\Software\Adobe\Adobe Acrobat\6.0\AVGeneral\cRecentFiles\c4
deletekey=HKEY_CURRENT_USER\Software\Adobe\Adobe Acrobat\6.0\AVGeneral\cRecentFiles\c5
deletekey=HKEY_CURRENT_USER\Software\Adobe\Adobe Acrobat\6.0\AVGeneral\cRecentFiles
[Ad-Aware 6]
deletefiles=%Program Files%\Lavasoft\Ad-Aware 6\Logs\*.*
[Agent NewsReader]
deletefiles=%Program Files%\Agent\Data\*.IDX
deletefiles=%Program Files%\Agent\Data\*.DAT
deletefiles=%Program Files%\Agent\Data\*.BAK
[AOL Instant Messenger]
deletefiles=%WindowsDirectory%\aim95\*.log
deletefiles=%WindowsDirectory%\aim95\*.tmp
deletefiles=%WindowsDirectory%\aim96\*.log
deletefiles=%WindowsDirectory%\aim96\*.tmp
[AOL 6.0]
deletefiles=%BootDirectory%\America Online 6.0\AOLTEMP\*.*
deletefiles=%Program Files%\America Online 6.0\download\*.*
[AOL 7.0]
deletefiles=%BootDirectory%\America Online 7.0\AOLTEMP\*.*
deletefiles=%Program Files%\America Online 7.0\download\*.*
[BearShare]
deletefiles=%Program Files%\BearShare\db\*.*
[Cute FTP]
deletefiles=%Program Files%\GlobalSCAPE\CuteFTP\cuteftp.log
deletefiles=%Program Files%\GlobalSCAPE\CuteFTP\quickconnect.dat
deletefiles=%Program Files%\GlobalSCAPE\CuteFTP\Log\*.log
deletefiles=%Program Files%\GlobalSCAPE\CuteFTP\Log\*.txt
[DivX Player]
deleteval=HKEY_CURRENT_USER\Software\DivXNetworks\DivX Player\Recent\File1
deleteval=HKEY_CURRENT_USER\Software\DivXNetworks\DivX Player\Recent\File2
deleteval=HKEY_CURRENT_USER\Software\DivXNetworks\DivX Player\Recent\File3
deleteval=HKEY_CURRENT_USER\Software\DivXNetworks\DivX Player\Recent\File4
deleteval=HKEY_CURRENT_USER\Software\DivXNetworks\DivX Player\Settings\LastOpenDir
deletefiles=%Program Files%\DivX\DivX Player\playlist.m3u
[Download Accelerator]
deletekey=HKEY_CURRENT_USER\Software\SpeedBit\Download Accelerator\History
deletekey=HKEY_LOCAL_MACHINE\SOFTWARE\SpeedBit\Download Accelerator\History
deletekey=HKEY_LOCAL_MACHINE\Software\SpeedBit\Download Accelerator\DownloadList
deleteval=HKEY_CURRENT_USER\Software\SpeedBit\DownloadAccelerator\LastSaveDir
deletefiles=%Program Files%\DAP\Ads\*.*
deletefiles=%Program Files%\DAP\Temp\*.*
[Gator]
deletefiles=%WindowsDirectory%\gator.log
deletefiles=%Program Files%\Gator\gator\history.dat
deletefiles=%Program Files%\Gator\gator\*.log
deletefiles=%Program Files%\Gator\gator\Banners\*.*
deletefiles=%Program Files%\Gator\gator\Scripts\*.*
deletefiles=%Program Files%\Gator\gator\formdata.dat
[GetRight]
deletekey=HKEY_CURRENT_USER\Software\Headlight\GetRight\Recent
deletekey=HKEY_CURRENT_USER\Software\Headlight\GetRight\Browse\History
deletekey=HKEY_CURRENT_USER\Software\Headlight\GetRight\Search\History
deletefiles=%Program Files%\GetRight\GetRight.log
[Google Tool Bar]
deletekey=HKEY_CURRENT_USER\Software\Google\NavClient\1.1\History
deletekey=HKEY_CURRENT_USER\Software\Google\NavClient\1.0\History
[ICQ2000B]
deletefiles=%Program Files%\ICQ\2000b\*.log
deletefiles=%Program Files%\ICQ\Bookmark\*.*
deletefiles=%Program Files%\ICQ\ICQFiles\*.*
deletefiles=%Program Files%\ICQ\Pictures\*.*
deletefiles=%Program Files%\ICQ\Received Files\*.*
[ICQ2002A]
deletefiles=%Program Files%\ICQ\2002a\*.log
deletefiles=%Program Files%\ICQ\Bookmark\*.*
deletefiles=%Program Files%\ICQ\ICQFiles\*.*
deletefiles=%Program Files%\ICQ\Pictures\*.*
deletefiles=%Program Files%\ICQ\Received Files\*.*
[ICQ2003A]
deletefiles=%Program Files%\ICQ\2003a\*.log
deletefiles=%Program Files%\ICQ\Bookmark\*.*
deletefiles=%Program Files%\ICQ\ICQFiles\*.*
deletefiles=%Program Files%\ICQ\Pictures\*.*
deletefiles=%Program Files%\ICQ\Received Files\*.*
deletefiles=%Program Files%\ICQ\Plugins\ExtContacts\*.dat
deletefiles=%Program Files%\ICQ\Plugins\Info\*.dat
deletefiles=%Program Files%\ICQ\Plugins\Status\*.log
deletefiles=%Program Files%\ICQ\AteBrowser\*.*
deletefiles=%Program Files%\ICQ\Plugins\VoiceMessage\*.wav
[ICQ2003B]
deletefiles=%Program Files%\ICQ\2003b\*.log
deletefiles=%Program Files%\ICQ\Bookmark\*.*
deletefiles=%Program Files%\ICQ\ICQFiles\*.*
deletefiles=%Program Files%\ICQ\Pictures\*.*
deletefiles=%Program Files%\ICQ\Received Files\*.*
deletefiles=%Program Files%\ICQ\Plugins\ExtContacts\*.dat
deletefiles=%Program Files%\ICQ\Plugins\Info\*.dat
deletefiles=%Program Files%\ICQ\Plugins\Status\*.log
deletefiles=%Program Files%\ICQ\AteBrowser\*.*
deletefiles=%Program Files%\ICQ\Plugins\VoiceMessage\*.wav)defs");

// File-sharing clients' databases and partial downloads, editors' and
// archivers' recent-file lists, players' clip, URL and playlist histories,
// and logs.
const std::string txtPathDefs2 = WithCrLf(R"defs([iMesh]
deleteval=HKEY_LOCAL_MACHINE\SOFTWARE\iMesh\Client\Search\LastSearch
deleteval=HKEY_LOCAL_MACHINE\SOFTWARE\iMesh\Client\Download\LastDownloadDir
deletefiles=%Program Files%\iMesh\Client\Partial\*.*
deletefiles=%Program Files%\iMesh\Client\PlayLists\*.m3u
deletefiles=%Program Files%\iMesh\Client\DB\*.*
deletefiles=%Program Files%\iMesh\Client\*.log
deletefiles=%Program Files%\iMesh\Client\history.dat
[KazaaMedia Desktop]
deletekey=HKEY_CURRENT_USER\Software\Kazaa\KaZaA Media Desktop\History
deletekey=HKEY_CURRENT_USER\Software\Kazaa\Search\History
deletefiles=%Program Files%\KaZaA\Db\*.dbb
deletefiles=%Program Files%\KaZaA\My Shared Folder\Download*.dat
[KazaaLite]
deletekey=HKEY_CURRENT_USER\Software\Kazaa\KaZaA Lite\History
deletekey=HKEY_CURRENT_USER\Software\Kazaa\Search\History
deletefiles=%Program Files%\KaZaA Lite\Db\*.dbb
deletefiles=%Program Files%\KaZaA Lite\My Shared Folder\Download*.dat
[LView Pro]
deletekey=HKEY_CURRENT_USER\Software\MMedia Research Corp\LView Pro Image Processor\Recent File List
deletekey=HKEY_CURRENT_USER\Software\MMedia Research Corp\LView Pro 2004\Recent File List
[MassDownloader]
deletefiles=%Program Files%\Mass Downloader\INDEX\*.*
deletefiles=%Program Files%\Mass Downloader\*.log
deletefiles=%Program Files%\Mass Downloader\history.dat
deletefiles=%Program Files%\Mass Downloader\*.tmp
[Macromedia Dreamweaver 4.0]
deletekey=HKEY_CURRENT_USER\Software\Macromedia\Dreamweaver 4\Recent File List
deletekey=HKEY_CURRENT_USER\Software\Macromedia\Dreamweaver 4\Recent Folder List
[Macromedia Dreamweaver MX 2004]
deletekey=HKEY_CURRENT_USER\Software\Macromedia\Dreamweaver 6\Recent File List
deletekey=HKEY_CURRENT_USER\Software\Macromedia\Dreamweaver MX 2004\Recent File List
[Media Jukebox]
deletefiles=%Program Files%\J River\Media JukeBox\Data\*.*
[Morpheus]
deletekey=HKEY_CURRENT_USER\Software\Morpheus\Morpheus\History
deletekey=HKEY_LOCAL_MACHINE\SOFTWARE\Morpheus\SearchRecent
deletefiles=%Program Files%\Morpheus\Db\*.dbb
deletefiles=%Program Files%\Morpheus\My Shared Folder\Download*.dat
deletefiles=%Program Files%\Streamcast\Morpheus\Db\*.dbb
deletefiles=%Program Files%\Streamcast\Morpheus\My Shared Folder\Download*.dat
deletefiles=%Program Files%\StreamCast\Morpheus\Downloads\*.dat
[Microsoft Imaging]
deletekey=HKEY_CURRENT_USER\Software\Kodak\Imaging\MRU
[Microsoft NetMeeting]
deletekey=HKEY_CURRENT_USER\Software\Microsoft\Conferencing\UI\CallMRU
deletefiles=%Program Files%\NetMeeting\CallLog.txt
deletefiles=%Program Files%\NetMeeting\Received Files\*.*
[Microsoft Paint]
deletekey=HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Applets\Paint\Recent File List
[Microsoft Photo Editor]
deleteval=HKEY_CURRENT_USER\Software\Microsoft\Photo Editor\3.0\PhotoEd\Recent File List\File1
deleteval=HKEY_CURRENT_USER\Software\Microsoft\Photo Editor\3.0\PhotoEd\Recent File List\File2
[MIRC]
deletefiles=%BootDirectory%\mirc\download\*.*
deletefiles=%Program Files%\mirc\download\*.*
[MusicMatch Jukebox]
deletefiles=%Program Files%\MUSICMATCH\MUSICMATCH Jukebox\Cache\*.*
deletefiles=%Program Files%\MUSICMATCH\MUSICMATCH Jukebox\Library\*.ldb
deletefiles=%Program Files%\MUSICMATCH\MUSICMATCH Jukebox\Playlist\*.m3u
deletefiles=%Program Files%\MUSICMATCH\MUSICMATCH Jukebox\Playlist\default\*.*
deletefiles=%Program Files%\MUSICMATCH\MUSICMATCH Jukebox\TEMP\*.*
deletefiles=%Program Files%\MUSICMATCH\MUSICMATCH Jukebox\*.log
deletefiles=%Program Files%\MUSICMATCH\MUSICMATCH Jukebox\recent.dat
[Napster]
deletefiles=%BootDirectory%\napster.log
deletefiles=%BootDirectory%\napster.dbg
deletefiles=%BootDirectory%\napster.txt
deletefiles=%Program Files%\napster.log
deletefiles=%Program Files%\napster.dbg
deletefiles=%Program Files%\napster.txt
[Net Vampire 3.x]
deletefiles=%Program Files%\Net Vampire\Data\Jobs\*.*
deletefiles=%Program Files%\Net Vampire\Data\Sites\*.*
deletefiles=%Program Files%\Net Vampire\Data\State\*.*
[Paint Shop Pro 7.0-8.0]
deletekey=HKEY_CURRENT_USER\Software\Jasc\Paint Shop Pro 7\Recent File List
deletekey=HKEY_CURRENT_USER\Software\Jasc\Paint Shop Pro 8\Recent File List
[PhotoImpact 7.0]
deletekey=HKEY_CURRENT_USER\Software\Ulead Systems\Ulead PhotoImpact\7.0\Recent File List
[PhotoImpact 8.0]
deletekey=HKEY_CURRENT_USER\Software\Ulead Systems\Ulead PhotoImpact\8.0\Recent File List
[PicoZip]
deletekey=HKEY_CURRENT_USER\Software\PicoZip\MRU Items
deletekey=HKEY_CURRENT_USER\Software\PicoZip\MRUExtract
[PowerDVD]
deletefiles=%Program Files%\CyberLink\PowerDVD\*.log
deletefiles=%Program Files%\CyberLink\PowerDVD\Bookmark.dat
[Powerzip 6.0]
deletekey=HKEY_CURRENT_USER\Software\Trident Software\PowerZip\Recent File List
[Real Player Real One Player]
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips1
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips2
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips3
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips4
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips5
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips6
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips7
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips8
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips9
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips10
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips11
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips12
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\RecentURLs
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\LastSearch
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips1
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips2
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips3
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips4
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips5
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips6
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips7
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips8
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips9
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips10
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips11
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips12
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\RecentURLs
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\LastSearch
[Real Player 8]
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips1
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips2
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips3
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips4
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips5
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips6
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips7
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips8
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips9
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips10
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentURL1
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentURL2
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentURL3
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentURL4
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\OpenDir
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\SaveDir
deletekey=HKEY_LOCAL_MACHINE\SOFTWARE\Classes\SOFTWARE\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips1
deletekey=HKEY_LOCAL_MACHINE\SOFTWARE\Classes\SOFTWARE\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips2
deletekey=HKEY_LOCAL_MACHINE\SOFTWARE\Classes\SOFTWARE\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips3
deletekey=HKEY_LOCAL_MACHINE\SOFTWARE\Classes\SOFTWARE\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips4
deletekey=HKEY_LOCAL_MACHINE\SOFTWARE\Classes\SOFTWARE\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips5
deletekey=HKEY_LOCAL_MACHINE\SOFTWARE\Classes\SOFTWARE\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips6
deletekey=HKEY_LOCAL_MACHINE\SOFTWARE\Classes\SOFTWARE\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips7
deletekey=HKEY_LOCAL_MACHINE\SOFTWARE\Classes\SOFTWARE\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips8
deletekey=HKEY_LOCAL_MACHINE\SOFTWARE\Classes\SOFTWARE\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips9
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips1
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips2
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips3
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips4
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips5
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips6
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips7
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips8
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips9
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips10
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentURL1
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentURL2
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentURL3
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentURL4
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\OpenDir
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\SaveDir
[Real Player 10]
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips1
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips2
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips3
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips4
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips5
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips6
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips7
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips8
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips9
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips10
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips11
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips12
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\RecentURLs
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\LastSearch
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\OpenDir
deletekey=HKEY_CURRENT_USER\Software\RealNetworks\RealPlayer\6.0\Preferences\SaveDir
deletekey=HKEY_LOCAL_MACHINE\SOFTWARE\Classes\SOFTWARE\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips1
deletekey=HKEY_LOCAL_MACHINE\SOFTWARE\Classes\SOFTWARE\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips2
deletekey=HKEY_LOCAL_MACHINE\SOFTWARE\Classes\SOFTWARE\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips3
deletekey=HKEY_LOCAL_MACHINE\SOFTWARE\Classes\SOFTWARE\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips4
deletekey=HKEY_LOCAL_MACHINE\SOFTWARE\Classes\SOFTWARE\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips5
deletekey=HKEY_LOCAL_MACHINE\SOFTWARE\Classes\SOFTWARE\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips6
deletekey=HKEY_LOCAL_MACHINE\SOFTWARE\Classes\SOFTWARE\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips7
deletekey=HKEY_LOCAL_MACHINE\SOFTWARE\Classes\SOFTWARE\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips8
deletekey=HKEY_LOCAL_MACHINE\SOFTWARE\Classes\SOFTWARE\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips9
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips1
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips2
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips3
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips4
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips5
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips6
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips7
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips8
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips9
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips10
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips11
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\MostRecentClips12
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\RecentURLs
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\LastSearch
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\OpenDir
deletekey=HKEY_USERS\Software\RealNetworks\RealPlayer\6.0\Preferences\SaveDir
deletefiles=%CurrentUser%\Real\RealPlayer\history.rpl
deletefiles=%CurrentUser%\Real\RealPlayer\*.log
deletefiles=%Program Files%\Real\RealPlayer\*.log
deletefiles=%Program Files%\Real\RealPlayer\rpdebug.txt
deletefiles=%WindowsDirectory%\rpupgrade.log
deletefiles=%BootDirectory%\rpinstall.log
[Save Now]
deletefiles=%Program Files%\Save\*.log
[Sonique]
deleteval=HKEY_CURRENT_USER\Software\MediaScience\Sonique\General Preferences 0.80\LoadPlaylist
deleteval=HKEY_USERS\Software\MediaScience\Sonique\General Preferences 0.80\LoadPlaylist
deletekey=HKEY_CURRENT_USER\Software\MediaScience\Sonique\PLAY_HISTORY
deletekey=HKEY_CURRENT_USER\Software\MediaScience\Sonique\URL_HISTORY
deletekey=HKEY_USERS\Software\MediaScience\Sonique\PLAY_HISTORY
deletefiles=%Program Files%\Sonique\*.pls
[SWiSH]
deletekey=HKEY_CURRENT_USER\Software\DJJ Holdings\SWiSH\Recent File List
deletekey=HKEY_CURRENT_USER\Software\SWiSHzone.com\SWiSH\Recent File List
[Trillian]
deletefiles=%Program Files%\Trillian\users\default\cache\*.dat
deletefiles=%Program Files%\Trillian\users\default\cache\msn\*.*
deletefiles=%Program Files%\Trillian\users\default\logs\*.log
deletefiles=%Program Files%\Trillian\users\default\logs\msn\*.log
[Ulead GIF Animator]
deletekey=HKEY_CURRENT_USER\Software\Ulead Systems\Ulead GIF Animator\Recent File List
deletekey=HKEY_CURRENT_USER\Software\Ulead Systems\Ulead GIF Animator\5.0\Recent File List
[Windows Media Player]
deletekey=HKEY_CURRENT_USER\Software\Microsoft\MediaPlayer\Player\RecentFileList
deletekey=HKEY_CURRENT_USER\Software\Microsoft\MediaPlayer\Player\RecentURLList
deletefiles=%WindowsDirectory%\wmplibrary_v_0_12.db
deletefiles=%WindowsDirectory%\wmplibrary_v_0_12.lrd
deletefiles=%WindowsDirectory%\All Users\Application Data\Microsoft\Media Index\*.*
[WinAce 2.0]
deletekey=HKEY_CURRENT_USER\Software\e-merge\WinAce\ArcHistory
deletekey=HKEY_CURRENT_USER\Software\e-merge\WinAce\ExtractHistory
deletekey=HKEY_CURRENT_USER\Software\e-merge\WinAce\AddHistory
[WinRar 3.x]
deletekey=HKEY_CURRENT_USER\Software\WinRAR\DialogEditHistory\ArcName
[WinRar 2.x]
deletekey=HKEY_CURRENT_USER\Software\WinRAR\ArcHistory
[Winzip]
deletekey=HKEY_CURRENT_USER\Software\Nico Mak Computing\Winzip\filemenu
deletekey=HKEY_CURRENT_USER\Software\Nico Mak Computing\Winzip\extract
deleteval=HKEY_CURRENT_USER\Software\Nico Mak Computing\WinZip\directories\DefDir
deleteval=HKEY_CURRENT_USER\Software\Nico Mak Computing\WinZip\directories\ExtractTo
[Wordpad]
deletekey=HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Applets\Wordpad\Recent File List
[Xing MP3 Player]
deleteval=HKEY_CURRENT_USER\Software\Xing Technology Corp.\XingMP3 Player\Recent\File1
deleteval=HKEY_CURRENT_USER\Software\Xing Technology Corp.\XingMP3 Player\Recent\File2
deleteval=HKEY_CURRENT_USER\Software\Xing Technology Corp.\XingMP3 Player\Recent\File3
deleteval=HKEY_CURRENT_USER\Software\Xing Technology Corp.\XingMP3 Player\Recent\File4
deleteval=HKEY_CURRENT_USER\Software\Xing Technology Corp.\XingMP3 Player\Playlist\LastPlaylist
deletefiles=%Program Files%\Xing\XingMP3 Player\Default.m3u
[Yahoo! Messenger]
deletefiles=%Program Files%\Yahoo!\Messenger\*.log
deletefiles=%Program Files%\Yahoo!\Messenger\IMVCache\*.*
deletefiles=%Program Files%\Yahoo!\Messenger\Profiles\*.*
[Zone Alarm Logs]
deletefiles=%WindowsDirectory%\Internet Logs\ZALog.txt)defs");

}  // namespace nimbrel
