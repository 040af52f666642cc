// Opera and Netscape/Mozilla profiles as users have them, planted in the fake
// file system for Windows XP: the caches and histories the browser rows erase
// beside the mail, bookmarks, passwords, certificates and settings they keep.
// Each file holds its own path, so a changed file shows.
#pragma once

#include <string>
#include <vector>

#include "fakes/FakeFiles.h"

namespace nimbrel {

struct PlantedBrowser {
  std::vector<std::string> cache, history, typed, cookies, kept;
};

const std::string kPlantedUser = "C:\\Documents and Settings\\user";
const std::string kPlantedOperaRoot = kPlantedUser + "\\Application Data\\Opera\\";
const std::string kPlantedOpera = kPlantedOperaRoot + "Opera\\";
const std::string kPlantedMozilla = kPlantedUser + "\\Application Data\\Mozilla\\Profiles\\";

inline void PlantAll(FakeFiles& files, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) files.AddFile(path, path);
}

// Opera 6 files in the profile folder itself, Opera 9's in its "profile"
// folder, an Opera 7 installation's beside it, and an installation folder
// that is a link to elsewhere.
inline PlantedBrowser PlantOpera(FakeFiles& files) {
  const std::string o6 = kPlantedOpera, o9 = kPlantedOpera + "profile\\",
                    o7 = kPlantedOperaRoot + "Opera7\\profile\\";
  PlantedBrowser b;
  b.cache = {o6 + "cache4\\dcache4.url", o6 + "cache4\\opr00001.htm",
             o9 + "cache4\\opr0000A.gif", o9 + "opcache\\opr0000B.tmp",
             o7 + "cache4\\dcache4.url", o7 + "cache4\\opr00003.jpg"};
  b.history = {o6 + "global.dat",          o6 + "vlink4.dat",         o6 + "opera.dir",
               o9 + "global_history.dat",  o9 + "typed_history.xml",  o9 + "vlink4.dat",
               o7 + "global.dat",          o7 + "vlink4.dat"};
  b.cookies = {o6 + "cookies4.dat", o9 + "cookies4.dat", o7 + "cookies4.dat"};
  b.kept = {kPlantedOperaRoot + "opera6.ini",
            o6 + "opera6.ini", o6 + "opera6.adr", o6 + "wand.dat", o6 + "opera.win",
            o6 + "download.dat", o6 + "mail\\Default\\inbox.mbs", o6 + "Skin\\standard.zip",
            o9 + "opera6.ini", o9 + "opera6.adr", o9 + "contacts.adr", o9 + "notes.adr",
            o9 + "wand.dat", o9 + "opcert6.dat", o9 + "opcacrt6.dat", o9 + "download.dat",
            o9 + "sessions\\autosave.win", kPlantedOpera + "mail\\index.ini",
            kPlantedOpera + "mail\\store\\account1\\2007\\01\\01\\1.mbs",
            o7 + "opera6.ini", o7 + "opera6.adr", o7 + "wand.dat",
            kPlantedOperaRoot + "Opera7\\mail\\accounts.ini",
            "C:\\Elsewhere\\Opera\\cache4\\opr0000C.htm", "C:\\Elsewhere\\Opera\\global.dat"};
  for (const auto* list : {&b.cache, &b.history, &b.cookies, &b.kept}) PlantAll(files, *list);
  files.AddFolderLink(kPlantedOperaRoot + "Linked", "C:\\Elsewhere\\Opera");
  return b;
}

// A Netscape 7 / Mozilla 1.x profile ("<name>\<random>.slt\"), a profile one
// level up as other builds keep it, and a profile folder that is a link.
inline PlantedBrowser PlantMozilla(FakeFiles& files) {
  const std::string ns = kPlantedMozilla + "default\\k1m2n3o4.slt\\",
                    one = kPlantedMozilla + "x.default\\";
  PlantedBrowser b;
  b.cache = {ns + "Cache\\_CACHE_MAP_", ns + "Cache\\_CACHE_001_", ns + "Cache\\0\\A3\\1B2C3d01",
             ns + "Cache.Trash\\_CACHE_002_", one + "Cache\\_CACHE_001_"};
  b.history = {ns + "history.dat", one + "history.dat"};
  b.typed = {ns + "localstore.rdf"};
  b.cookies = {ns + "cookies.txt", one + "cookies.txt", ns + "cookperm.txt"};
  b.kept = {kPlantedMozilla + "registry.dat", ns + "prefs.js", ns + "bookmarks.html",
            ns + "key3.db", ns + "cert8.db", ns + "secmod.db", ns + "signons.txt",
            ns + "a1b2c3d4.s", ns + "abook.mab", ns + "hostperm.1", ns + "formhistory.dat",
            ns + "downloads.rdf", ns + "panacea.dat", ns + "mimeTypes.rdf",
            ns + "chrome\\userChrome.css", ns + "Mail\\Local Folders\\Inbox",
            ns + "Mail\\Local Folders\\Inbox.msf", ns + "Mail\\pop.example.com\\Sent",
            ns + "ImapMail\\imap.example.com\\INBOX.msf", ns + "News\\news.example.com\\a.rc",
            one + "prefs.js", one + "bookmarks.html",
            "C:\\Elsewhere\\Mozilla\\Cache\\_CACHE_001_", "C:\\Elsewhere\\Mozilla\\history.dat"};
  for (const auto* list : {&b.cache, &b.history, &b.typed, &b.cookies, &b.kept})
    PlantAll(files, *list);
  files.AddFolderLink(kPlantedMozilla + "roaming", "C:\\Elsewhere\\Mozilla");
  return b;
}

}  // namespace nimbrel
