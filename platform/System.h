// The system: version, folders, environment, program location and the clock
// with the user's regional date and time texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Text.h"

namespace nimbrel {

struct OsVersion {
  std::uint32_t major = 0, minor = 0;
  std::uint32_t platformId = 2;  // 1 = Windows 9x, 2 = NT
};

class System {
 public:
  virtual ~System() = default;
  // GetVersionExA, probed afresh on every call.
  virtual OsVersion Version() = 0;
  virtual std::string SystemDirectory() = 0;
  // GetTempPathA, with its trailing backslash; empty when it fails.
  virtual std::string TempPath() = 0;
  // An environment variable of this process; empty when unset.
  virtual std::string Environment(const std::string& name) = 0;
  // The folder the executable was started from, without a trailing backslash.
  virtual std::string ProgramFolder() = 0;
  // The executable's base name without extension ("Nimbrel").
  virtual std::string ExeBaseName() = 0;

  virtual DateTime Now() = 0;
  // Sleep: the program does nothing for that long.
  virtual void Pause(unsigned milliseconds) = 0;
  // The system's general date format: short date and long time.
  virtual std::string GeneralDate(const DateTime& t) = 0;
  // The full weekday name in the user's locale (pattern "dddd").
  virtual std::string LocalWeekdayName(const DateTime& t) = 0;
  // UTF-8 text in the ANSI code page that the file and registry functions
  // take; none when a character has no place in it (no best fit is made).
  virtual std::optional<std::string> AnsiOfUtf8(std::string_view utf8) = 0;

  // The run lock, a named mutex of the user's session held from a run's start
  // to its end, so that no two runs, in one process or two, erase at once.
  // Taking it waits at most `milliseconds` while another process holds it and
  // is refused at once while this process holds it; true once taken.
  virtual bool LockRun(unsigned milliseconds) = 0;
  virtual void UnlockRun() = 0;
  // True while this process holds the run lock.
  virtual bool RunLocked() = 0;
};

}  // namespace nimbrel
