// What a cleaning definition asks to erase, in one form for the built-in
// definitions text and the community file alike, and the one eraser that
// carries it out under one set of rules:
//
//  - a folder's variables are resolved here (PathVariables), as each text
//    writes them;
//  - a files action that walks checks the folder it starts in (no drive
//    root, no protected folder or folder above one, nothing in the system
//    folders, no link on the way) and the walk checks each folder it enters;
//    links are never followed; a walk removes only the folders it emptied,
//    never one that kept a file;
//  - a registry action naming a root or a hive's top (HKCU, HKCU\Software,
//    HKLM\Software\Microsoft ...) is refused, and so is a key delete the
//    registry erasers refuse (RegKeyRefusal);
//  - an exclusion always wins.
//
// A refused action erases nothing; it is told as the progress line
// "  refused (WHY): WHAT", which the preview lists too. A file is told as
// "  PATH" (a walk tells each as it erases it, the other erases once it is
// gone), a removed folder as "  PATH\".
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Context.h"

namespace nimbrel {

// How a folder's text names its variables: "%Name%" anywhere (the community
// file's names, in any letter case), or one of the built-in text's macros
// ("%Program Files%", "%WindowsDirectory%", "%CurrentUser%", "%BootDirectory%",
// spelt exactly) at its start, the rest taken as written.
enum class VariableSyntax { Anywhere, LeadingMacro };

// How a files action erases in each folder it names.
enum class FilesErase {
  // Walked (with `recurse`, the sub-folders too): each matching file told and
  // erased, exclusions kept, the folder first checked and refused with why.
  EachMatch,
  // The folder's file name or pattern handed to EraseFile as it stands (one
  // named file in any folder; a pattern's ordinary files deleted), each file
  // told once it is gone.
  AsNamed,
  // The folder itself with all it holds (EraseFolder), told once gone.
  WholeFolder,
};

struct FilesAction {
  std::string line;    // the line as written, told with a refusal
  std::string folder;  // may hold variables and, walked, wildcards in any part
  std::vector<std::string> patterns;
  FilesErase erase = FilesErase::EachMatch;
  VariableSyntax variables = VariableSyntax::Anywhere;
  bool recurse = false;
  bool removeEmptied = false;  // walked: the folders the erase empties go too
};

struct KeyAction {
  std::string line;
  std::string key;                   // ROOT\path
  std::optional<std::string> value;  // a value of the key rather than the key
  // Exactly the key or value written, with one delete request counted whether
  // or not it is there (a key with sub-keys stays, as NT deletes keys);
  // otherwise all the line names here: HKCR as the user's and the machine's
  // classes, HKLM\Software in both views of a 64-bit program, the key with
  // all below it, and only what is there.
  bool asWritten = false;
};

enum class ExclusionKind { File, Path, Reg };

struct Exclusion {
  ExclusionKind kind;
  std::string where;  // a folder (without trailing backslash) or ROOT\key
  // File: the names kept in the folder; Path: the pattern kept in the folder
  // and below ("*" when none); Reg: the value kept, none for the whole key.
  std::vector<std::string> names;
};

// A folder's text with its variables replaced: several paths when a variable
// stands for two folders (%ProgramFiles% on 64-bit Windows), none when one
// stands for no folder here (%LocalLowAppData% on Windows XP), and `refused`
// set for a variable the program does not know or an unpaired "%".
struct ExpandedPaths {
  std::vector<std::string> paths;
  std::string refused;
};

// The variables of both texts as this machine answers them, read once.
class PathVariables {
 public:
  explicit PathVariables(Context& ctx);
  ExpandedPaths Expand(std::string_view text,
                       VariableSyntax syntax = VariableSyntax::Anywhere) const;

 private:
  // The community names upper-case, the built-in macros as spelt, "%" included.
  std::map<std::string, std::vector<std::string>> folders_;
};

// The existing folders (and, with `files`, files in the last part) that a
// path with wildcards in any of its parts names; never through a link.
std::vector<std::string> ResolveWildcards(Context& ctx, const std::string& path, bool files);
// Whether the key a line names is there, in any of the places it stands for.
bool NamedKeyExists(Context& ctx, std::string_view key);

// EraseFile, and a progress line for every file it removed.
void EraseFileListed(Context& ctx, const std::string& path);

// Erases actions; made for the actions of one section or entry, whose
// exclusions it keeps, with variables read once for a whole run.
class DefinitionEraser {
 public:
  DefinitionEraser(Context& ctx, const PathVariables& vars,
                   const std::vector<Exclusion>& exclusions = {});
  void Erase(const FilesAction& action) const;
  void Erase(const KeyAction& action) const;

 private:
  // The exclusions, their variables replaced.
  struct Excluded {
    struct Files {
      bool below;  // PATH: the folder and every folder below it
      std::vector<std::string> folder;
      std::vector<std::string> names;
    };
    struct Key {
      RegRoot root;
      std::string path;   // upper-case
      std::string value;  // upper-case; empty: the whole key
    };
    std::vector<Files> files;
    std::vector<Key> keys;

    bool ExcludesFile(const std::string& path) const;
    // The whole key is kept: it or a key above it is excluded.
    bool ExcludesKey(RegRoot root, const std::string& path) const;
    // Something in the key is kept: an excluded key or value lies in it or below.
    bool ExcludesInside(RegRoot root, const std::string& path) const;
    bool ExcludesValue(RegRoot root, const std::string& path, const std::string& value) const;
  };

  void EraseMatchesIn(const std::string& folder, const FilesAction& action) const;
  void DeleteKeyTree(RegRoot root, const std::string& path, int depth) const;

  Context& ctx_;
  const PathVariables& vars_;
  Excluded excluded_;
};

}  // namespace nimbrel
