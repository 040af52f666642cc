// The two keep-list files. The cookie keep list is the profile file
// Cookies.ini (section "Cookies": Cookie_Keep1 ... and Counter), the
// typed-address keep list the text file Backup.dat (one address a line, no
// file for an empty list); both in the program folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace nimbrel {

std::string CookieKeepListPath(const Platform& p);
std::string TypedAddressKeepListPath(const Platform& p);

// Profile strings through the platform; the read gives at most 254 characters.
std::string ReadIniString(const Platform& p, const std::string& section, const std::string& key,
                          const std::string& file);
bool WriteIniString(const Platform& p, const std::string& section, const std::string& key,
                    const std::string& value, const std::string& file);

// The number of entries "Counter" of the cookie keep list `file` asks for,
// bounded by what the file can hold; 0 when it is not a whole number.
std::uint64_t CookieKeepListCount(const Platform& p, const std::string& file);
// The kept entries as stored: Counter entries (missing ones empty), bounded
// by what the file can hold; none when Counter is not a whole number.
std::vector<std::string> ReadCookieKeepList(const Platform& p);
// Every line of Backup.dat, empty ones included.
std::vector<std::string> ReadTypedAddressKeepList(const Platform& p);

// Writes `entries` as a complete cookie keep list into `file`, which must
// not exist yet. False when a write failed; the partial file is then gone.
bool WriteCookieKeepListFile(const Platform& p, const std::vector<std::string>& entries,
                             const std::string& file);
// Stores `entries` in Backup.dat; an empty list removes the file. The new
// file is written beside the old one and put in place only once complete,
// so a failed save leaves the old list as it was.
void SaveTypedAddressKeepList(const Platform& p, const std::vector<std::string>& entries);

// Removes a file left at `path` by an interrupted save; false when it stays.
bool ClearStaleFile(const Platform& p, const std::string& path);

}  // namespace nimbrel
