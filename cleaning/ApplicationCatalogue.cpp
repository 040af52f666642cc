#include "cleaning/ApplicationCatalogue.h"

#include <string_view>

#include "cleaning/PathDefs.h"
#include "erasers/DefinitionActions.h"
#include "erasers/modDefinitions.h"
#include "erasers/modFiles.h"

namespace nimbrel {

namespace {

// The history folder and state file that RealOne Player keeps in the profile.
void EraseRealOneHistory(Context& ctx) {
  const std::string profile = ctx.platform.system.Environment("USERPROFILE");
  // Unset, the paths would start at the root of the current drive.
  if (profile.empty()) return;
  const std::string player = profile + "\\Application Data\\Real\\RealOne Player";
  EraseFilesInTree(ctx, player + "\\History", "*.*");
  EraseFileListed(ctx, player + "\\realplayer.ste");
}

}  // namespace

const std::array<Application, 62> kApplications = {{
    {"ACDSee4", {"ACDSee 4.0", nullptr}, false},
    {"ACDSee5", {"ACDSee 5.0", nullptr}, false},
    {"ACDSee32", {"ACDSee 32", nullptr}, false},
    {"ACDSee6", {"ACDSee 6.0", nullptr}, false},
    {"Acrobat4", {"Acrobat Reader 4.0", nullptr}, false},
    {"Acrobat5", {"Acrobat Reader 5.0", nullptr}, false},
    {"Acrobat6", {"Acrobat Reader 6.0", nullptr}, false},
    {"Ad Adware 6", {"Ad-Aware 6", nullptr}, false},
    {"Agent NewsReader", {"Agent NewsReader", nullptr}, false},
    {"AOL Instant Messenger", {"AOL Instant Messenger", nullptr}, false},
    {"AOL6", {"AOL 6.0", nullptr}, false},
    {"AOL7", {"AOL 7.0", nullptr}, false},
    {"BearShare", {"BearShare", nullptr}, false},
    {"Cute FTP", {"Cute FTP", nullptr}, false},
    {"DivX Player", {"DivX Player", nullptr}, false},
    {"Download Accelerator", {"Download Accelerator", nullptr}, false},
    {"Gator", {"Gator", nullptr}, false},
    {"Get Right", {"GetRight", nullptr}, false},
    {"Google Toolbar", {"Google Tool Bar", nullptr}, false},
    {"ICQ 2000B", {"ICQ2000B", nullptr}, false},
    {"ICQ 2002A", {"ICQ2002A", nullptr}, false},
    {"ICQ 2003A", {"ICQ2003A", nullptr}, false},
    {"ICQ 2003B", {"ICQ2003B", nullptr}, false},
    {"iMesh", {"iMesh", nullptr}, false},
    {"Kazaa Media Desktop", {"KazaaMedia Desktop", nullptr}, false},
    {"Kazaa Lite", {"KazaaLite", nullptr}, false},
    {"LView Pro", {"LView Pro", nullptr}, false},
    {"Mass Downloader", {"MassDownloader", nullptr}, false},
    {"Macromedia Dreamweaver 4.0", {"Macromedia Dreamweaver 4.0", nullptr}, false},
    {"Macromedia DreamweaverMX 2004", {"Macromedia Dreamweaver MX 2004", nullptr}, false},
    {"Media Jukebox", {"Media Jukebox", nullptr}, false},
    {"Morpheus", {"Morpheus", nullptr}, false},
    {"Microsoft Imaging", {"Microsoft Imaging", nullptr}, false},
    {"Microsoft Netmeeting", {"Microsoft NetMeeting", nullptr}, false},
    {"Microsoft Paint", {"Microsoft Paint", nullptr}, false},
    {"Microsoft Photo Editor", {"Microsoft Photo Editor", nullptr}, false},
    {"MIRC", {"MIRC", nullptr}, false},
    {"MusicMatch Jukebox", {"MusicMatch Jukebox", nullptr}, false},
    {"Napster", {"Napster", nullptr}, false},
    {"Net Vampire 3.x", {"Net Vampire 3.x", nullptr}, false},
    {"Paint Shop Pro 7.0-8.0", {"Paint Shop Pro 7.0-8.0", nullptr}, false},
    {"Photo Impact 7", {"PhotoImpact 7.0", nullptr}, false},
    {"Photo Impact 8", {"PhotoImpact 8.0", nullptr}, false},
    {"PicoZip", {"PicoZip", nullptr}, false},
    {"PowerDVD", {"PowerDVD", nullptr}, false},
    {"Powerzip 6.0", {"Powerzip 6.0", nullptr}, false},
    {"Real Player 8", {"Real Player Real One Player", "Real Player 8"}, true},
    {"Real Player 10", {"Real Player 10", nullptr}, true},
    {"Save Now", {"Save Now", nullptr}, false},
    {"Sonique", {"Sonique", nullptr}, false},
    {"SWiSH", {"SWiSH", nullptr}, false},
    {"Trillain", {"Trillian", nullptr}, false},
    {"Ulead GIF Animator", {"Ulead GIF Animator", nullptr}, false},
    {"Windows Media Player", {"Windows Media Player", nullptr}, false},
    {"WinAce 2.0", {"WinAce 2.0", nullptr}, false},
    {"WinRar 3.x", {"WinRar 3.x", nullptr}, false},
    {"WinRar 2.x", {"WinRar 2.x", nullptr}, false},
    {"Winzip", {"Winzip", nullptr}, false},
    {"Wordpad", {"Wordpad", nullptr}, false},
    {"Xing MP3 Player", {"Xing MP3 Player", nullptr}, false},
    {"Yahoo Messenger", {"Yahoo! Messenger", nullptr}, false},
    {"Zone Alram Logs", {"Zone Alarm Logs", nullptr}, false},
}};

void EraseApplication(Context& ctx, const Application& app) {
  const std::string_view texts[] = {txtPathDefs1, txtPathDefs2};
  DeleteThirdPartyFileCreated(ctx);
  // Without a definitions file of its own making, the application is skipped.
  if (ThirdPartyPathsCreation(ctx, texts)) {
    for (const char* section : app.sections)
      if (section) RunDefinitionSection(ctx, texts, section);
    if (app.realOneHistory) EraseRealOneHistory(ctx);
  }
  DeleteThirdPartyFileCreated(ctx);
}

}  // namespace nimbrel
