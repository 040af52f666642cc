// The built-in cleaning definitions. The traces of the catalogue applications
// are described in a small line language, one named section per application,
// whose lines are read into the actions of erasers/DefinitionActions.h:
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
// to the file "WFView" in the temporary folder, made afresh; the
// application's sections are executed from the text in memory (never read
// back from the file, which another may have put there), and the file is
// erased again.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/Context.h"

namespace nimbrel {

// The definitions texts, written to the file in this order; lines end in CR LF.
using DefinitionTexts = std::span<const std::string_view>;

// Every character code raised by 10, wrapping within a byte.
std::string ScrambleLine(std::string_view text);

// The temporary definitions file: TEMP + "\WFView"; empty when TEMP names no
// absolute folder (a drive root is one).
std::string DefinitionsFilePath(Context& ctx);

// Writes the definitions file afresh: a file of that name is removed first
// (only this name: a hard link's data stays with its other names), then
// every line of the texts, scrambled and ended by CR LF, is written, with
// one yield per line and one open-append-close for all. A link there is neither
// written nor removed. False, and the application is not erased, when the
// file could not be made so.
bool ThirdPartyPathsCreation(Context& ctx, DefinitionTexts texts);
// Cuts the definitions file to one empty line (when its data is its own) and
// erases it (once more when it is still there); counted in FilesDeleted like
// any erased file.
void DeleteThirdPartyFileCreated(Context& ctx);
// Executes the first section of the texts whose name is exactly `section`
// (letter case included), up to the next header, with a yield per line
// passed over or executed. The definitions file is written first when it is
// missing; nothing is executed when it cannot be, nor when a link is there.
void RunDefinitionSection(Context& ctx, DefinitionTexts texts, const std::string& section);

}  // namespace nimbrel
