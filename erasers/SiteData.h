// What web sites keep of themselves in today's browsers beside their cookies:
// Local Storage, Session Storage, IndexedDB, service workers, the file system
// API's files, WebSQL, and the stores Chromium keeps of sites for advertising.
// A site that wants to know a visitor again keeps its identifier there too,
// and a site the user stays signed in to often keeps its token there.
//
// The sites on the cookie keep list ("site:example.com", with its
// sub-domains) keep all of it in every browser. Where a browser keeps one
// folder per site, the other sites' folders go whole; where it keeps one
// database for all sites, the other sites' entries go through the database's
// own library: LevelDB for Chromium's Local Storage, Session Storage, the
// service workers' registrations and the file system's origins, SQLite for
// the rest. A database that no kept site has an entry in goes whole with its
// folder. Extensions' storage is no web site's and always stays.
//
// A database another program holds, that is not what it should be or is
// damaged is left as it is, with the line "  left (REASON): PATH". Each
// profile whose sites lost data gets the line "  PROFILE: site data of N
// sites" and a line per site ("    example.net: 1,234 bytes": its entries'
// and files' bytes), and each site is told to the platform (SiteDataGone),
// which the preview and the journal list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Context.h"
#include "erasers/BrowserProfiles.h"

namespace nimbrel {

// The site data of every profile of the browser, but the kept sites'.
//  - Chromium: "Local Storage", "Session Storage", "IndexedDB", "Service
//    Worker" (its Database, CacheStorage and ScriptCache), "File System",
//    "WebStorage", "databases", and the advertising stores "SharedStorage"
//    (its rows), "InterestGroups", "Conversions" (Attribution Reporting) and
//    "Trust Tokens" (in the profile or its Network folder), where they exist.
//  - Firefox: the web sites' folders ("http+++…", "https+++…") of
//    "storage\default" and "storage\temporary", never an add-on's
//    ("moz-extension+++…"); the rows of "webappsstore.sqlite" and of its
//    archived copy "storage\ls-archive.sqlite"; the service workers'
//    registrations in "serviceworker.txt".
void EraseSiteData(Context& ctx, TodaysBrowser browser, const BrowserFolders& folders,
                   const std::vector<std::string>& keptSites);

// The host a web origin names, lower-case: "https://Www.Example.com:8443/"
// -> "www.example.com"; a storage key's first origin
// ("https://a.com/^0https://b.com" -> "a.com"). Empty for any scheme but http
// and https (an extension's, a file's).
std::string HostOfOrigin(std::string_view origin);
// The same from Chromium's origin identifiers, as its per-site folders and
// WebSQL's rows spell them: "https_www.example.com_0" -> "www.example.com".
std::string HostOfOriginIdentifier(std::string_view identifier);
// The same from Firefox's per-site folders: "https+++www.example.com+8443^
// userContextId=1" -> "www.example.com"; empty for "moz-extension+++…".
std::string HostOfFirefoxFolder(std::string_view name);
// The same from webappsstore.sqlite's origin keys, the host spelt backwards:
// "moc.elpmaxe.www.:https:443" -> "www.example.com".
std::string HostOfReversedOrigin(std::string_view key);

// Firefox's serviceworker.txt without the registrations of the sites no kept
// site holds: the version line, then each registration's lines up to its
// "#" line, as Firefox writes them; `goneBytes` gets the bytes of the
// registrations that went, by site.
std::string KeptServiceWorkers(std::string_view text, const std::vector<std::string>& keptSites,
                               std::vector<std::pair<std::string, std::uint64_t>>& goneBytes);

}  // namespace nimbrel
