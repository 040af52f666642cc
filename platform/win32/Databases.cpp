#include <windows.h>

#include "platform/win32/Win32Platform.h"

namespace nimbrel {

std::string Win32Databases::FileName(const std::string& path) {
  return NoThrow(std::string(), [&] {
    // ANSI code page -> UTF-16 -> UTF-8; a path that does not convert names
    // no file, and SQLite then opens none.
    const int size = static_cast<int>(path.size());
    const int wide = path.empty() ? 0 : MultiByteToWideChar(CP_ACP, 0, path.data(), size, nullptr, 0);
    if (wide <= 0) return std::string();
    std::wstring w(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.data(), size, w.data(), wide);
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, out.data(), n, nullptr, nullptr);
    return out;
  });
}

}  // namespace nimbrel
