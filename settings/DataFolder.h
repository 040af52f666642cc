// Where the program keeps the files it writes for itself: the activity log
// and the keep lists (and any such file to come).
//
// A copy in a folder this process may write to (a portable copy, unpacked
// anywhere) keeps them beside the exe. One installed in Program Files and run
// without administrator rights may not write there: its files live in the
// user's application-data folder (the roaming one), under "Nimbrel". Files
// that an earlier copy left beside the exe are read from there until the
// program first saves a file in the new folder: making that folder copies
// them into it, and from then on only that folder is used, so a list emptied
// or a log cleared there stays so though the old files beside the exe remain.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/Platform.h"

namespace nimbrel {

inline constexpr const char* kLogFile = "Log.txt";
inline constexpr const char* kCookieKeepListFile = "Cookies.ini";
inline constexpr const char* kTypedAddressKeepListFile = "Backup.dat";
// The community cleaning file the user puts where the program's files are.
inline constexpr const char* kWinapp2File = "Winapp2.ini";
// The files the program keeps: those that making the application-data folder
// copies from beside the exe.
inline constexpr std::array<const char*, 4> kDataFiles = {kLogFile, kCookieKeepListFile,
                                                          kTypedAddressKeepListFile, kWinapp2File};
// The folder of the program's files below the application-data folder.
inline constexpr const char* kAppDataSubfolder = "Nimbrel";
// The file whose making and deleting tells whether the program folder may be
// written to.
inline constexpr const char* kWriteProbeFile = "Nimbrel write test.tmp";

class DataFolder {
 public:
  // The folder the files are saved in, without a trailing backslash. The
  // first call decides which, for as long as this object lives (the program's
  // context lives as long as the process): the program folder when a probe
  // file can be made and deleted in it through `p`, otherwise the
  // application-data folder's "Nimbrel" (the program folder still, when the
  // system names no application-data folder, or when that "Nimbrel" is a link
  // or a file).
  const std::string& SaveFolder(const Platform& p);
  // Where the file `name` is read: in the save folder, or beside the exe as
  // long as the save folder is elsewhere and has not been made yet.
  std::string PathToRead(const Platform& p, std::string_view name);
  // Where the file `name` is saved. A save folder that is missing is made
  // first, with copies of the files beside the exe in it; when one of them
  // cannot be copied, the folder and the copies go again, and the files are
  // still read from beside the exe.
  std::string PathToSave(const Platform& p, std::string_view name);
  // The application-data "Nimbrel" that SaveFolder refused as a link or a
  // file, once: the first call after the refusal returns it, every later one
  // "", so that the user is told of it a single time.
  std::string TakeRefusal() { return std::exchange(refused_, std::string()); }

 private:
  // Makes the save folder, when missing, with the files copied in (see PathToSave).
  void MakeSaveFolder(const Platform& p);

  std::optional<std::string> folder_;
  std::string refused_;
};

}  // namespace nimbrel
