// Erasing files and folders: a file is overwritten in place (once, or more
// often with secure erasing on) and deleted, a folder is removed with all it
// holds, a tree is walked for files matching a pattern. Every erased file and
// folder counts in FilesDeleted and its size adds to BytesErased, both told
// to the run's report. No operation reports failure.
//
// Safety, for every caller: an empty, relative or root base folder erases
// nothing; links (symbolic links, junctions, other reparse points) are left
// alone, never followed, overwritten or deleted; the data of a file with more
// than one hard link is never overwritten, only this name is deleted.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/Context.h"

namespace nimbrel {

// The overwrite pattern: each 2048-byte stretch gets block A, then block B.
constexpr std::size_t kOverwriteBlockSize = 2048;
constexpr char kBlockA = 0x42;
constexpr char kBlockB = 0x20;
// Extra passes beyond this (a hand-edited setting) are not made.
constexpr int kMaxExtraPasses = 10;

// Overwrites the file ("chkenablesecureerasing" and "cmboverwriteTracksFiles"
// give the passes: read once for a file under 1 MiB, whose passes the platform
// may still be writing when the call returns; re-read after each pass of a
// larger one), flushes every pass to the medium, counts it and deletes it
// after its last flush. A name with wildcards deletes the ordinary files that
// match, without overwriting, and counts once. No match: nothing at all.
void SecureEraseFile(Context& ctx, const std::string& path);
// SecureEraseFile, then the wildcard delete once more.
void EraseFile(Context& ctx, const std::string& path);
// Counts (also a missing folder), then removes the folder and everything in
// it, read-only items included. True when the folder is gone.
bool EraseFolder(Context& ctx, const std::string& path);
// Erases every file matching `pattern` in the folder and its sub-folders,
// adding a progress line for each; paths holding "index.dat" or "SKINS" are
// listed but kept. Folders stay.
void EraseFilesInTree(Context& ctx, const std::string& folder, const std::string& pattern);
// Adds the size of the file at `path` (0 for anything else) to BytesErased.
void AddToErasedSize(Context& ctx, const std::string& path);
// The text after the last "\" (all of it when there is none).
std::string FileNameOf(const std::string& path);
std::string EnsureTrailingBackslash(const std::string& path);
void EmptyRecycleBin(Context& ctx);

// A folder an eraser may work in, by its spelling: absolute ("X:\..." or
// "\\server\share\..."), at least one folder below the drive or share root,
// no "." or ".." parts, no wildcards.
bool IsSafeBaseFolder(std::string_view folder);
// The folder as the system resolves it (Files::CanonicalPath), when an eraser
// may work in it: a safe spelling that resolves to no drive or share root;
// to none of the Windows and program-files folders, the user's profile, the
// folder of profiles, the user's Documents, Desktop, Downloads, Pictures,
// Music and Videos, the roaming, local and LocalLow application-data folders,
// ProgramData, the public profile or a folder above any of them (folders
// below them are erasable); and to nothing inside the system folders (the
// 32-bit one too) or the Windows folder's system sub-folders (WinSxS, Fonts,
// Installer and the like; not Temp, Logs or Prefetch). Each protected folder
// is taken from the shell and from the environment alike. Empty otherwise.
std::string ErasableFolder(Context& ctx, const std::string& folder);
// The protected folders ErasableFolder refuses, as the system and the
// environment name them now. A run takes them once, at its start
// (Context::RunProtectedFolders).
ProtectedFolderList TakeProtectedFolders(Context& ctx);

}  // namespace nimbrel
