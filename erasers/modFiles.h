// Erasing files and folders: a file is overwritten in place (once, or more
// often with secure erasing on) and deleted, a folder is removed with all it
// holds, a tree is walked for files matching a pattern. Every file and folder
// erased and gone counts once in FilesDeleted and its size adds to
// BytesErased, both told to the run's report. What an operation meant to
// erase and left is told as left (Context::Left) with the reason: "in use",
// "access denied", "refused: link", "refused: drive root", "refused:
// protected folder"; what a walk keeps on purpose (index.dat, SKINS) is not.
//
// Safety, for every caller: an empty, relative or root base folder erases
// nothing, nor does one that is a link or lies below one; links (symbolic
// links, junctions, other reparse points) are left alone, never followed,
// overwritten or deleted; the data of a file with more than one hard link is
// never overwritten, only this name is deleted.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/Context.h"
#include "erasers/FolderWalk.h"
#include "erasers/ProtectedFolders.h"
#include "erasers/SecureOverwrite.h"
#include "platform/Path.h"

namespace nimbrel {

// Overwrites the file ("chkenablesecureerasing" and "cmboverwriteTracksFiles"
// give the passes: read once for a file under 1 MiB, whose passes the platform
// may still be writing when the call returns; re-read after each pass of a
// larger one), flushes every pass to the medium and deletes it after its last
// flush; counted when it is deleted. A name with wildcards deletes the
// ordinary files that match, without overwriting, each counted. No match:
// nothing at all.
void SecureEraseFile(Context& ctx, const std::string& path);
// SecureEraseFile, then the wildcard delete once more.
void EraseFile(Context& ctx, const std::string& path);
// Removes the folder and everything in it, read-only items included; counted
// once when it is gone. True when the folder is gone.
bool EraseFolder(Context& ctx, const std::string& path);
// Erases every file matching `pattern` in the folder and its sub-folders,
// adding a progress line for each; paths holding "index.dat" or "SKINS" are
// listed but kept. Folders stay, and sub-folders named in `notEntered` are
// never entered. A file `spare` answers true for stays, with no line of the
// walk's: `spare` tells its own.
using SpareFile = std::function<bool(const std::string& path)>;
void EraseFilesInTree(Context& ctx, const std::string& folder, const std::string& pattern,
                      const std::vector<std::string>& notEntered = {},
                      const SpareFile& spare = {});
// The folder and all it holds, as a browser's store of one web site is
// erased: every file below it overwritten and deleted as EraseFile does
// (counted, what stays told as left), without a progress line of its own, and
// then the folder and its emptied sub-folders removed (the folder counted
// once, as EraseFolder counts it). Nothing is spared by name. The bytes of the
// files that went are returned; 0 for a folder that is not there or refused.
std::uint64_t EraseTreeQuietly(Context& ctx, const std::string& folder);
// Each sub-folder of `parent` (no link) whose name `erase` chooses, erased as
// EraseTreeQuietly erases one, `parent` checked once for them all: the
// folders of many web sites in one browser's store. The names of those gone,
// with their bytes.
std::map<std::string, std::uint64_t> EraseSubFoldersQuietly(
    Context& ctx, const std::string& parent, const std::function<bool(const std::string&)>& erase);
// The file goes at the next start of the system; a link is left alone.
void DeleteAtNextStart(Files& files, const std::string& path);
// Adds the size of the file at `path` (0 for anything else) to BytesErased.
void AddToErasedSize(Context& ctx, const std::string& path);
void EmptyRecycleBin(Context& ctx);

}  // namespace nimbrel
