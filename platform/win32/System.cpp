// Win32 implementation of platform/System.h, but for the run lock (RunLock.cpp).
#include "platform/Path.h"
#include "platform/win32/SystemTime.h"
#include "platform/win32/Win32Platform.h"

#include <windows.h>

namespace nimbrel {

namespace {

// Calls an API that fills a buffer and returns the length it wrote, or the
// size it needs (with the terminating zero) when the buffer is too small.
template <class F>
std::string Fetch(F&& api) {
  return NoThrow(std::string(), [&] {
    std::string buffer(MAX_PATH + 1, '\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
      const DWORD n = api(buffer.data(), static_cast<DWORD>(buffer.size()));
      if (n == 0) return std::string();
      if (n < buffer.size()) return buffer.substr(0, n);
      buffer.assign(n + 1, '\0');
    }
    return std::string();
  });
}

// GetModuleFileNameA fills the whole buffer without saying how much it needs.
std::string ExePath() {
  return NoThrow(std::string(), [] {
    std::string buffer(MAX_PATH + 1, '\0');
    for (;;) {
      const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
      if (n == 0) return std::string();
      if (n < buffer.size()) return buffer.substr(0, n);
      if (buffer.size() > 32768) return std::string();
      buffer.assign(buffer.size() * 2, '\0');
    }
  });
}

// GetDateFormatA / GetTimeFormatA: the first call asks for the size.
template <class F>
std::string Format(F&& api) {
  return NoThrow(std::string(), [&] {
    const int size = api(nullptr, 0);
    if (size <= 0) return std::string();
    std::string buffer(static_cast<std::size_t>(size), '\0');
    const int n = api(buffer.data(), size);
    if (n <= 0) return std::string();
    buffer.resize(static_cast<std::size_t>(n - 1));
    return buffer;
  });
}

}  // namespace

OsVersion Win32System::Version() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return {};
  return {info.dwMajorVersion, info.dwMinorVersion, info.dwPlatformId};
}

std::string Win32System::SystemDirectory() {
  return Fetch([](char* buffer, DWORD size) { return GetSystemDirectoryA(buffer, size); });
}

std::string Win32System::TempPath() {
  return Fetch([](char* buffer, DWORD size) { return GetTempPathA(size, buffer); });
}

std::string Win32System::Environment(const std::string& name) {
  return Fetch([&](char* buffer, DWORD size) {
    return GetEnvironmentVariableA(name.c_str(), buffer, size);
  });
}

std::optional<std::string> Win32System::AnsiOfUtf8(std::string_view utf8) {
  if (utf8.empty()) return std::string();
  return NoThrow(std::optional<std::string>(), [&]() -> std::optional<std::string> {
    const int size = static_cast<int>(utf8.size());
    const int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (wide <= 0) return std::nullopt;
    std::wstring w(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, w.data(), wide);
    BOOL lost = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), wide, nullptr, 0,
                                      nullptr, &lost);
    if (n <= 0 || lost) return std::nullopt;
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), wide, out.data(), n, nullptr, &lost);
    if (lost) return std::nullopt;
    return out;
  });
}

std::string Win32System::ProgramFolder() {
  return NoThrow(std::string(), [] {
    return ParentOf(ExePath());
  });
}

std::string Win32System::ExeBaseName() {
  return NoThrow(std::string(), [] {
    std::string name = FileNameOf(ExePath());
    const auto dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    return name;
  });
}

DateTime Win32System::Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return FromSystemTime(st);
}

void Win32System::Pause(unsigned milliseconds) { Sleep(milliseconds); }

std::string Win32System::GeneralDate(const DateTime& t) {
  return NoThrow(std::string(), [&] {
    const SYSTEMTIME st = ToSystemTime(t);
    const std::string date = Format([&](char* buffer, int size) {
      return GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, size);
    });
    const std::string time = Format([&](char* buffer, int size) {
      return GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer, size);
    });
    if (date.empty() || time.empty()) return date + time;
    return date + " " + time;
  });
}

std::string Win32System::LocalWeekdayName(const DateTime& t) {
  const SYSTEMTIME st = ToSystemTime(t);
  return Format([&](char* buffer, int size) {
    return GetDateFormatA(LOCALE_USER_DEFAULT, 0, &st, "dddd", buffer, size);
  });
}

}  // namespace nimbrel
