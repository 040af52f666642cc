// The short most-recently-used lists that Windows and Internet Explorer keep
// in the current user's registry: the documents opened lately, the searches
// for files, the commands typed into Run and the addresses typed into the
// address bar. Every delete request counts in RegistryItemsRemoved.
#pragma once

#include <string>

#include "core/Context.h"

namespace nimbrel {

// Under HKEY_CURRENT_USER. An "MRUList" value names the list's entries, one
// character a value, most recent first.
inline constexpr const char* kRecentDocsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";
inline constexpr const char* kDocFindSpecMRUKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Doc Find Spec MRU";
inline constexpr const char* kFilesNamedMRUKey =
    "Software\\Microsoft\\Internet Explorer\\Explorer Bars\\"
    "{C4EE31F3-4768-11D2-BE5C-00A0C9A83DA1}\\FilesNamedMRU";
inline constexpr const char* kSearchAssistantMRUKey =
    "Software\\Microsoft\\Search Assistant\\ACMru\\5603";
inline constexpr const char* kRunMRUKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
// Values url1, url2 ... each holding one typed address.
inline constexpr const char* kTypedURLsKey = "Software\\Microsoft\\Internet Explorer\\TypedURLs";

// Windows XP and every later version, which order the list with the binary
// "MRUListEx": the per-extension sub-keys, then the RecentDocs key, then its
// "MRUListEx". Windows 95 to 2000: the values its "MRUList" names, then
// "MRUList". No progress lines.
void EraseRecentDocsList(Context& ctx);
// The file-search list (a progress line per entry), then the whole keys of
// the Internet Explorer search bar's file names and the search assistant.
void EraseSearchMRU(Context& ctx);
// The Run dialog's list, a progress line per entry.
void EraseRunMRU(Context& ctx);
// url1, url2 ... up to the first missing or empty value, a progress line per
// address; an address on the keep list stays under its name, the others go.
// Nothing is renumbered.
void EraseTypedURLs(Context& ctx);
// True when Backup.dat, read afresh, holds the address: compared trimmed of
// blanks and without regard to letter case.
bool IsKeptURL(Context& ctx, const std::string& address);

}  // namespace nimbrel
