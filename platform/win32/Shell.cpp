// Win32 implementation of platform/Shell.h.
#include "platform/win32/Win32Platform.h"

#include "platform/Controls.h"
#include "platform/win32/SystemLibrary.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#undef FindExecutable

namespace nimbrel {

namespace {

// An empty text is passed as no text, so the shell uses its default.
const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

// The known-folder ids (shlobj's FOLDERID_*), written out: they are only
// looked up at run time.
const GUID kDownloads = {
    0x374DE290, 0x123F, 0x4565, {0x91, 0x64, 0x39, 0xC4, 0x92, 0x5E, 0x46, 0x7B}};
const GUID kLocalAppDataLow = {
    0xA520A1A4, 0x1780, 0x4FF6, {0xBD, 0x18, 0x16, 0x73, 0x43, 0xC5, 0xAF, 0x16}};
const GUID kPublic = {
    0xDFDF76A2, 0xC82A, 0x4D63, {0x90, 0x6A, 0x56, 0x44, 0xAC, 0x45, 0x73, 0x85}};
const GUID kUserProfiles = {
    0x0762D272, 0xC50A, 0x4BB0, {0xA3, 0x82, 0x69, 0x7D, 0xCD, 0x72, 0x9B, 0x80}};

// KF_FLAG_DONT_VERIFY, which headers for Windows XP do not declare.
constexpr DWORD kDontVerify = 0x4000;

// SHGetKnownFolderPath (Windows Vista and later) without creating the folder,
// in the ANSI code page; empty where the function or the folder is unknown.
std::string KnownFolderById(const GUID& id) {
  using Api = HRESULT(WINAPI*)(const GUID&, DWORD, HANDLE, PWSTR*);
  static const auto api = reinterpret_cast<Api>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA("shell32.dll"), "SHGetKnownFolderPath")));
  PWSTR wide = nullptr;
  if (!api || FAILED(api(id, kDontVerify, nullptr, &wide)) || !wide) {
    CoTaskMemFree(wide);
    return std::string();
  }
  std::string out = NoThrow(std::string(), [&] {
    const int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text.data(), n, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(n - 1));
    return text;
  });
  CoTaskMemFree(wide);
  return out;
}

// "ProgramFilesDir" of the 64-bit registry view, which a 32-bit program on
// 64-bit Windows reaches only by asking for it; 32-bit Windows ignores the ask.
std::string NativeProgramFiles() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0,
                    KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
    return std::string();
  char buffer[MAX_PATH + 1] = {};
  DWORD type = 0, size = MAX_PATH;
  const LONG rc = RegQueryValueExA(key, "ProgramFilesDir", nullptr, &type,
                                   reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || type != REG_SZ) return std::string();
  return NoThrow(std::string(), [&] { return std::string(buffer); });
}

}  // namespace

bool Win32Shell::FlushDnsCache() {
  using Flush = BOOL(WINAPI*)();
  const auto flush = SystemFunction<Flush>("dnsapi.dll", "DnsFlushResolverCache");
  return flush && flush();
}

bool Win32Shell::EmptyRecycleBin(std::uintptr_t owner) {
  return SUCCEEDED(SHEmptyRecycleBinA(reinterpret_cast<HWND>(owner), nullptr,
                                      SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI));
}

std::uint64_t Win32Shell::RecycleBinItems() {
  SHQUERYRBINFO info{};
  info.cbSize = sizeof info;
  if (FAILED(SHQueryRecycleBinA(nullptr, &info)) || info.i64NumItems < 0) return 0;
  return static_cast<std::uint64_t>(info.i64NumItems);
}

std::string Win32Shell::SpecialFolder(int csidl) {
  char buffer[MAX_PATH + 1] = {};
  if (!SHGetSpecialFolderPathA(nullptr, buffer, csidl, FALSE)) return std::string();
  return NoThrow(std::string(), [&] { return std::string(buffer); });
}

std::string Win32Shell::KnownFolderPath(KnownFolder folder) {
  switch (folder) {
    case KnownFolder::Downloads:
      return KnownFolderById(kDownloads);
    case KnownFolder::LocalAppDataLow:
      return KnownFolderById(kLocalAppDataLow);
    case KnownFolder::Public:
      return KnownFolderById(kPublic);
    case KnownFolder::UserProfiles:
      return KnownFolderById(kUserProfiles);
    case KnownFolder::ProgramFilesNative:
      return NativeProgramFiles();
  }
  return std::string();
}

std::intptr_t Win32Shell::Execute(std::uintptr_t owner, const std::string& verb,
                                  const std::string& file, const std::string& parameters,
                                  const std::string& folder, int show) {
  HINSTANCE rc = ShellExecuteA(reinterpret_cast<HWND>(owner), OrNull(verb), file.c_str(),
                               OrNull(parameters), OrNull(folder), show);
  return reinterpret_cast<std::intptr_t>(rc);
}

std::intptr_t Win32Shell::FindExecutable(const std::string& file, std::string& program) {
  // The function writes up to MAX_PATH characters, whatever the caller expects.
  char buffer[MAX_PATH + 1] = {};
  HINSTANCE rc = FindExecutableA(file.c_str(), nullptr, buffer);
  const auto code = reinterpret_cast<std::intptr_t>(rc);
  buffer[MAX_PATH] = '\0';
  NoThrow(false, [&] {
    program = code > 32 ? std::string(buffer) : std::string();
    return true;
  });
  return code;
}

bool Win32Shell::NotifyIcon(NotifyIconAction action, std::uintptr_t window,
                            const std::string& tip) {
  const HWND hwnd = reinterpret_cast<HWND>(window);
  // The first form of the record, which every shell from Windows 95 on reads.
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = hwnd;
  data.uID = 1;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kNotifyIconMessage;
  data.hIcon = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0));
  if (!data.hIcon) data.hIcon = reinterpret_cast<HICON>(GetClassLongPtrA(hwnd, GCLP_HICONSM));
  if (!data.hIcon) data.hIcon = reinterpret_cast<HICON>(GetClassLongPtrA(hwnd, GCLP_HICON));
  // At most 63 characters, so the terminating NUL always fits the 64 bytes.
  lstrcpynA(data.szTip, tip.c_str(), sizeof data.szTip);
  return Shell_NotifyIconA(action == NotifyIconAction::Add ? NIM_ADD : NIM_DELETE, &data) != FALSE;
}

}  // namespace nimbrel
