// Paths as Windows spells them, taken apart at their backslashes: written
// once here so that every caller cuts a path the same way. Registry paths
// ("Software\Key\Value") are cut by the same rules.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Files.h"

namespace nimbrel {

// The text after the last "\" (all of it when there is none): the file name.
std::string FileNameOf(std::string_view path);
// The text before the last "\" ("" when there is none): the parent folder,
// without a trailing backslash ("C:" for "C:\a.txt").
std::string ParentOf(std::string_view path);
// The text up to and including the last "\" ("" when there is none): the
// parent folder with its trailing backslash, ready for a name.
std::string FolderPartOf(std::string_view path);
// The parts between the backslashes, empty ones left out ("\a\\b\" is a, b).
std::vector<std::string> PartsOf(std::string_view path);
// The path with one trailing "\" (an empty path becomes "\").
std::string EnsureTrailingBackslash(std::string_view path);
// The path without trailing backslashes, but for a drive root's own ("C:\").
std::string WithoutTrailingBackslash(std::string_view path);
// Every "/" made a "\", as the system reads it.
std::string WithBackslashes(std::string_view path);
// "." or "..": the entries a folder's listing holds for itself and its parent.
bool IsDots(std::string_view name);
// Whether the text holds a "*" or "?".
bool HasWildcards(std::string_view text);
// Whether `ancestor` is `path` or a folder above it; both spelt alike (as a
// rule canonical and upper-case).
bool IsAtOrAbove(const std::string& ancestor, const std::string& path);
// Adds a folder to the list once, letter case and trailing backslashes aside.
void AddFolderOnce(std::vector<std::string>& list, std::string folder);

// Whether anything (a file or a folder) is at the path.
bool Exists(Files& files, const std::string& path);
// Whether a file (not a folder) is at the path.
bool IsFile(Files& files, const std::string& path);
// Whether the path holds nothing, or a plain file of one name: what the program
// may write, replace or delete as its own file (a link, or a second name of a
// user's file, planted at the name would have that file changed instead).
bool IsOwnFile(Files& files, const std::string& path);

}  // namespace nimbrel
