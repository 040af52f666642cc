// A system with a settable version, folders, environment and clock.
#pragma once

#include <functional>
#include <map>

#include "platform/System.h"

namespace nimbrel {

class FakeSystem final : public System {
 public:
  OsVersion version{5, 1, 2};
  int versionCalls = 0;
  std::string systemDirectory = "C:\\WINDOWS\\system32";
  std::string tempPath = "C:\\Temp\\";
  std::map<std::string, std::string> env{{"TEMP", "C:\\Temp"},
                                         {"USERPROFILE", "C:\\Documents and Settings\\user"},
                                         {"WINDIR", "C:\\WINDOWS"}};
  std::string programFolder = "C:\\Program Files\\Nimbrel";
  std::string exeBaseName = "Nimbrel";
  DateTime now{2026, 12, 8, 14, 5, 9, 2};
  // Weekday names of the user's locale, Sunday first.
  std::vector<std::string> weekdays{"Sunday", "Monday", "Tuesday", "Wednesday",
                                    "Thursday", "Friday", "Saturday"};

  OsVersion Version() override {
    ++versionCalls;
    return version;
  }
  std::string SystemDirectory() override { return systemDirectory; }
  std::string TempPath() override { return tempPath; }
  std::string Environment(const std::string& name) override {
    const auto it = env.find(name);
    return it == env.end() ? std::string() : it->second;
  }
  std::string ProgramFolder() override { return programFolder; }
  std::string ExeBaseName() override { return exeBaseName; }
  DateTime Now() override { return now; }
  // The milliseconds paused in all; `onPause` is called after each pause.
  unsigned paused = 0;
  std::function<void()> onPause;
  void Pause(unsigned milliseconds) override {
    paused += milliseconds;
    if (onPause) onPause();
  }
  std::string GeneralDate(const DateTime& t) override {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %s", t.day, t.month, t.year,
                  FormatHms(t).c_str());
    return buf;
  }
  std::string LocalWeekdayName(const DateTime& t) override {
    return weekdays.at(static_cast<std::size_t>(t.weekday));
  }
  // The ANSI code page is Latin-1 here: U+0000 to U+00FF, one byte each.
  std::optional<std::string> AnsiOfUtf8(std::string_view utf8) override {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
      const auto b = static_cast<unsigned char>(utf8[i]);
      if (b < 0x80) {
        out += static_cast<char>(b);
      } else if ((b == 0xC2 || b == 0xC3) && i + 1 < utf8.size() &&
                 (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
        out += static_cast<char>(((b & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
      } else {
        return std::nullopt;
      }
    }
    return out;
  }

  // Another process's run holds the run lock: every take waits, then fails.
  bool runLockedElsewhere = false;
  bool runLocked = false;
  unsigned runLockWaited = 0;  // milliseconds spent waiting for it
  std::function<void()> onRunLockWait;  // called at each wait
  bool LockRun(unsigned milliseconds) override {
    if (runLocked) return false;
    if (runLockedElsewhere) {
      runLockWaited += milliseconds;
      if (onRunLockWait) onRunLockWait();
      if (runLockedElsewhere) return false;
    }
    return runLocked = true;
  }
  void UnlockRun() override { runLocked = false; }
  bool RunLocked() override { return runLocked; }
};

}  // namespace nimbrel
