// The two keep-list files. The cookie keep list is the profile file
// Cookies.ini (section "Cookies": Cookie_Keep1 ... and Counter), the
// typed-address keep list the text file Backup.dat (one address a line, no
// file for an empty list); both where DataFolder keeps the program's files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "settings/DataFolder.h"

namespace nimbrel {

// The cookie keep list a Cookies.ini text holds: Counter entries (missing
// ones empty) from the section "Cookies", each as the profile functions read
// it back, at most 254 characters; none when Counter is not a whole number.
// A damaged file makes up no entries past the last Cookie_Keep key it holds.
std::vector<std::string> CookieKeepListOf(std::string_view text);
// The lines of a Backup.dat text, empty ones included.
std::vector<std::string> TypedAddressKeepListOf(std::string_view text);
// The Cookies.ini text that stores the entries.
std::string CookieKeepListText(const std::vector<std::string>& entries);

// The keep lists, each file read in one pass; a missing file is an empty list.
std::vector<std::string> ReadCookieKeepList(const Platform& p, DataFolder& data);
std::vector<std::string> ReadTypedAddressKeepList(const Platform& p, DataFolder& data);

// Writes `entries` as a complete cookie keep list into `file`, in one write.
// False when the write failed; the partial file is then gone.
bool WriteCookieKeepListFile(const Platform& p, const std::vector<std::string>& entries,
                             const std::string& file);
// Stores `entries` in Backup.dat; an empty list removes the file. The new
// file is written, in one write, beside the old one and put in place only
// once complete, so a failed save leaves the old list as it was.
void SaveTypedAddressKeepList(const Platform& p, DataFolder& data,
                              const std::vector<std::string>& entries);

// ---- What the keep lists keep: every eraser that spares something asks here ----

// Whether Internet Explorer's cookie file `name` is on the cookie keep list:
// an entry that is the name as the folder lists it.
bool CookieFileKept(const std::vector<std::string>& keepList, std::string_view name);
// Whether a typed address is on the typed-address keep list: an entry equal to
// it, case and outer blanks aside.
bool TypedAddressKept(const std::vector<std::string>& keepList, std::string_view address);

// A site on the cookie keep list is stored as the entry "site:NAME" beside
// Internet Explorer's cookie file names: ':' is in no file name, so no
// cookie file is ever taken for a site or a site for a file.
inline constexpr std::string_view kKeptSitePrefix = "site:";

// The sites among the keep list's entries: NAME trimmed, lower-case, without
// leading dots; empty ones passed over.
std::vector<std::string> KeptSites(const std::vector<std::string>& keepList);
// Whether a cookie's host belongs to a kept site: the site itself or any
// sub-domain of it, with or without a leading dot ("ample.com" is not kept
// by "example.com").
bool SiteKept(std::string_view host, const std::vector<std::string>& sites);

// The site a cookie host belongs to: lower-case, without leading dots or the
// trailing dot of a fully qualified name ("keep.example.").
std::string SiteOf(std::string_view host);

// Removes a file left at `path` by an interrupted save; false when it stays.
bool ClearStaleFile(const Platform& p, const std::string& path);

}  // namespace nimbrel
