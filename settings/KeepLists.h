// The two keep lists and what they are chosen from. The cookie keep list is
// the profile file Cookies.ini (section "Cookies": Cookie_Keep1 ... and
// Counter), the typed-address keep list the text file Backup.dat (one
// address a line, no file for an empty list); both in the program folder.
// A save writes the new file beside the old one and puts it in place only
// once it is complete, so a failed save leaves the old list as it was.
#pragma once

#include <string>
#include <vector>

#include "erasers/Context.h"
#include "platform/Controls.h"

namespace nimbrel {

std::string CookieKeepListPath(Context& ctx);
std::string TypedAddressKeepListPath(Context& ctx);

// Profile strings through the platform; the read gives at most 254 characters.
std::string ReadIniString(Context& ctx, const std::string& section, const std::string& key,
                          const std::string& file);
bool WriteIniString(Context& ctx, const std::string& section, const std::string& key,
                    const std::string& value, const std::string& file);

// True when an entry equals `text`, both trimmed, regardless of letter case.
bool ListContains(const ListBox& list, const std::string& text);

// The files of the Cookies folder but index.dat (hidden and system ones
// too), in the order the folder gives them.
std::vector<std::string> ListCurrentCookies(Context& ctx);
// The values url1, url2 ... of Internet Explorer's TypedURLs key, up to the
// first missing or empty one; values of blanks only are passed over.
std::vector<std::string> ListCurrentTypedAddresses(Context& ctx);

// The kept entries as stored: Counter entries (missing ones empty), bounded
// by what the file can hold; none when Counter is not a whole number.
std::vector<std::string> ReadCookieKeepList(Context& ctx);
// Every line of Backup.dat, empty ones included.
std::vector<std::string> ReadTypedAddressKeepList(Context& ctx);

// Erases the old Cookies.ini (a counted erase) and stores `entries` in its place.
void SaveCookieKeepList(Context& ctx, const std::vector<std::string>& entries);
// Stores `entries` in Backup.dat; an empty list removes the file.
void SaveTypedAddressKeepList(Context& ctx, const std::vector<std::string>& entries);

}  // namespace nimbrel
