// The cleaning-definitions interpreter. The traces of the catalogue
// applications are described in a small line language, one named section per
// application:
//
//   [Section name]
//   deleteval=ROOT\key path\value name     deletes one registry value
//   deletekey=ROOT\key path                deletes one registry key
//   deletefiles=path\file name             erases one file, the files matching
//                                          a wildcard name, or with "*.*" the
//                                          whole folder
//
// ROOT is HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE or HKEY_USERS, in capitals; a
// path may start with %Program Files%, %WindowsDirectory%, %CurrentUser% or
// %BootDirectory%. Any other line is ignored.
//
// To erase an application, the whole definitions text is written, scrambled,
// to the file "WFView" in the temporary folder, the application's sections
// are executed from that file, and the file is erased again.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/Context.h"

namespace nimbrel {

// The definitions texts, written to the file in this order; lines end in CR LF.
using DefinitionTexts = std::span<const std::string_view>;

// Every character code raised (lowered) by 10, wrapping within a byte.
std::string ScrambleLine(std::string_view text);
std::string UnscrambleLine(std::string_view text);

// EraseFile, and a progress line for every file it removed.
void EraseFileListed(Context& ctx, const std::string& path);

// The temporary definitions file: TEMP + "\WFView"; empty when TEMP names no
// folder below a drive root (the file would land at a root or nowhere).
std::string DefinitionsFilePath(Context& ctx);

// Appends every line of the texts, scrambled and ended by CR LF, to the
// definitions file: one open-append-close and one yield per line.
void ThirdPartyPathsCreation(Context& ctx, DefinitionTexts texts);
// Cuts the definitions file to one empty line and erases it (once more when
// it is still there); counted in FilesDeleted like any erased file.
void DeleteThirdPartyFileCreated(Context& ctx);
// Executes the first section of the definitions file whose name is exactly
// `section` (letter case included), up to the next header; writes the file
// first when it is missing. Nothing is executed when there is no file.
void RunDefinitionSection(Context& ctx, DefinitionTexts texts, const std::string& section);

}  // namespace nimbrel
