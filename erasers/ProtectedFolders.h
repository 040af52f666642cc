// Where an eraser may work: a base folder's spelling, the folders the system
// and the user keep (never erased, nor any folder above them), and the
// refusal told when an eraser was aimed at one of them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/Context.h"
#include "platform/Path.h"

namespace nimbrel {

// Length of the drive or share root ("C:\", "\\server\share\"); 0 when the
// path is not absolute.
std::size_t RootLength(std::string_view p);
// An absolute file path; with wildcards in its name only inside a folder an
// eraser may work in.
bool IsErasableFilePath(Context& ctx, const std::string& path);
// The path as the system resolves it, upper-case; empty for an empty path.
std::string CanonicalUpper(Files& files, const std::string& path);
// Whether the folder, or a folder above it below its drive or share root, is
// a link: what lies below one is elsewhere than its spelling says.
bool IsOrBelowLink(Files& files, std::string_view folder);

// A folder an eraser may work in, by its spelling: absolute ("X:\..." or
// "\\server\share\..."), at least one folder below the drive or share root,
// no "." or ".." parts, no wildcards.
bool IsSafeBaseFolder(std::string_view folder);
// The folder as the system resolves it (Files::CanonicalPath), when an eraser
// may work in it: a safe spelling, neither a link nor below one, that
// resolves to no drive or share root;
// to none of the Windows and program-files folders, the user's profile, the
// folder of profiles, the user's Documents, Desktop, Downloads, Pictures,
// Music and Videos, the roaming, local and LocalLow application-data folders,
// ProgramData, the public profile or a folder above any of them (folders
// below them are erasable); and to nothing inside the system folders (the
// 32-bit one too) or the Windows folder's system sub-folders (WinSxS, Fonts,
// Installer and the like; not Temp, Logs or Prefetch). Each protected folder
// is taken from the shell and from the environment alike. Empty otherwise.
std::string ErasableFolder(Context& ctx, const std::string& folder);
// Tells the folder as left when ErasableFolder refuses it and it is there
// ("refused: drive root", "refused: protected folder", "refused: unsafe
// path"); nothing for a folder it allows, a missing one, and an empty or
// relative path (an unset variable: nothing was aimed at).
void LeftIfRefused(Context& ctx, const std::string& folder);
// The protected folders ErasableFolder refuses, as the system and the
// environment name them now. A run takes them once, at its start
// (Context::RunProtectedFolders).
ProtectedFolderList TakeProtectedFolders(Context& ctx);

}  // namespace nimbrel
