// The world every fuzz target runs in: a TestWorld holding a Windows
// folder, a profile, program files and a temporary folder, each with files,
// and in each a folder link, a file link and a hard link to data in
// C:\Outside. Nothing an eraser does may change C:\Outside or the registry
// key HKCU\Software\Outside, nor remove a folder the erasers protect; every
// target checks that with Check() after its run.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fakes/TestWorld.h"
#include "platform/Text.h"

namespace nimbrel {

// Ends the fuzz run with a message: libFuzzer keeps the input as a crash.
[[noreturn]] inline void FuzzFail(const std::string& what) {
  std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
  std::abort();
}

inline void FuzzCheck(bool ok, const char* what) {
  if (!ok) FuzzFail(what);
}

struct FuzzWorld {
  static constexpr const char* kTemp = "C:\\Temp";
  static constexpr const char* kProgramFiles = "C:\\Program Files";
  static constexpr const char* kOutside = "C:\\Outside";
  static constexpr const char* kOutsideKey = "Software\\Outside";

  TestWorld w;
  std::string outsideFiles, outsideKeys;

  // A copy of the world built once: building it anew for every input would
  // take most of the fuzzing time.
  FuzzWorld() {
    static const FuzzWorld built{Build{}};
    w.files = built.w.files;
    w.registry = built.w.registry;
    w.ctx.ProgramFilesFolder = built.w.ctx.ProgramFilesFolder;
    outsideFiles = built.outsideFiles;
    outsideKeys = built.outsideKeys;
  }

 private:
  struct Build {};
  explicit FuzzWorld(Build) {
    FakeFiles& f = w.files;
    const std::string profile = w.system.env["USERPROFILE"];
    w.ctx.ProgramFilesFolder = kProgramFiles;
    f.AddFile("C:\\boot.ini", "boot");
    f.AddFile("C:\\WINDOWS\\win.ini", "win");
    f.AddFile("C:\\WINDOWS\\system32\\kernel32.dll", "dll");
    f.AddFile(profile + "\\ntuser.dat", "hive");
    f.AddFile(profile + "\\Application Data\\App\\history.dat", "history");
    f.AddFile(std::string(kProgramFiles) + "\\App\\Logs\\a.log", "log");
    f.AddFile(std::string(kProgramFiles) + "\\App\\b.IDX", "idx", kAttrHidden);
    f.AddFile(std::string(kProgramFiles) + "\\App\\ro.txt", "ro", kAttrReadOnly);
    f.AddFile(std::string(kTemp) + "\\a.tmp", std::string(3000, 'a'));
    f.AddFile(std::string(kTemp) + "\\Sub\\Deep\\b.tmp", "b");
    f.AddFile(std::string(kTemp) + "\\Sub\\index.dat", "index");
    f.AddFile(std::string(kOutside) + "\\secret.txt", "secret");
    f.AddFile(std::string(kOutside) + "\\hard.txt", "hard");
    f.AddFile(std::string(kOutside) + "\\Dir\\inner.txt", "inner");
    // Through the folder link, a path names the outside data itself: a target
    // that takes paths from its input drops those saying "outside". The file
    // and hard links may be named: erasing them must leave the data alone.
    for (const std::string& folder :
         {std::string(kTemp), std::string(kTemp) + "\\Sub", std::string(kProgramFiles) + "\\App",
          profile + "\\Application Data\\App"}) {
      f.AddFolderLink(folder + "\\LinkOutside", std::string(kOutside) + "\\Dir");
      f.AddFileLink(folder + "\\file-link.txt", std::string(kOutside) + "\\secret.txt");
      f.AddHardLink(std::string(kOutside) + "\\hard.txt", folder + "\\hard-link.txt");
    }
    w.registry.PutString(RegRoot::CurrentUser, kOutsideKey, "v", "kept");
    w.registry.PutString(RegRoot::CurrentUser, std::string(kOutsideKey) + "\\Sub", "w", "kept");
    w.registry.PutString(RegRoot::CurrentUser, "Software\\App\\Recent", "File1", "x");
    outsideFiles = f.Dump(kOutside);
    outsideKeys = w.registry.Dump(RegRoot::CurrentUser, kOutsideKey);
  }

 public:
  Context& ctx() { return w.ctx; }

  static bool NamesOutside(std::string_view text) {
    return FindNoCase(text, "outside") != std::string_view::npos;
  }

  // Nothing outside the target changed, and no protected folder is gone.
  void Check() {
    w.files.Finish();
    FuzzCheck(w.files.Dump(kOutside) == outsideFiles, "C:\\Outside changed");
    FuzzCheck(w.registry.Dump(RegRoot::CurrentUser, kOutsideKey) == outsideKeys,
              "HKCU\\Software\\Outside changed");
    const std::string profile = w.system.env["USERPROFILE"];
    for (const std::string& kept : {std::string("C:\\WINDOWS"), std::string("C:\\WINDOWS\\system32"),
                                    std::string(kProgramFiles), profile,
                                    std::string("C:\\Documents and Settings")})
      FuzzCheck(w.files.Attributes(kept) != kInvalidAttributes, "a protected folder is gone");
  }
};

}  // namespace nimbrel
