// Profile (INI) text, read and written in one pass with the meaning that
// GetPrivateProfileStringA and WritePrivateProfileStringA give it. Asking the
// system for one key at a time re-reads the whole file for each key; a large
// keep-list file would take minutes.
//
// Reading: lines end at LF; blanks (space, tab, CR, the other white space and
// Ctrl-Z) around a line, around a key's name and before its value are dropped.
// A line starting with "[" and holding a "]" opens the section named by what
// lies between the "[" and the last "]"; any other line is a key, named by
// what precedes its first "=" (all of it when there is none, the value then
// being empty). A name or value ends at a NUL. Only the first section of a
// name counts (names compare without regard to case), and in it the first
// key of a name. A UTF-8 byte-order mark at the start is skipped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

// What the system gives of a value read with a 255-character buffer.
constexpr std::size_t kProfileValueMax = 254;

struct ProfileKey {
  std::string name;
  std::string value;
  bool operator==(const ProfileKey&) const = default;
};

// The keys of the first section called `section` (blanks around it ignored),
// in file order, each value as the system reads it back (ProfileValue).
// Empty when there is no such section.
std::vector<ProfileKey> ReadProfileSection(std::string_view text, std::string_view section);

// A stored value as read back: blanks trimmed, one pair of surrounding
// quotes (" or ') removed, cut to kProfileValueMax characters.
std::string ProfileValue(std::string_view stored);

// The text of a new profile file after WritePrivateProfileStringA wrote these
// keys into `section`, one after the other: the section line, then
// "name=value" per key, every line ended by CR LF.
std::string ProfileSectionText(std::string_view section, const std::vector<ProfileKey>& keys);

}  // namespace nimbrel
