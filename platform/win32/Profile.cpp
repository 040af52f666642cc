// Win32 implementation of platform/Profile.h.
#include <windows.h>

#include "platform/win32/Win32Platform.h"

namespace nimbrel {

namespace {
constexpr DWORD kBufferSize = 255;
}

std::string Win32Profile::ReadString(const std::string& section, const std::string& key,
                                     const std::string& file) {
  return NoThrow(std::string(), [&] {
    char buffer[kBufferSize] = {};
    const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, kBufferSize,
                                             file.c_str());
    return std::string(buffer, n < kBufferSize ? n : kBufferSize - 1);
  });
}

bool Win32Profile::WriteString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != 0;
}

}  // namespace nimbrel
