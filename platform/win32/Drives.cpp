// Win32 implementation of platform/Drives.h.
#include <windows.h>
// After windows.h, which it needs.
#include <winioctl.h>

#include "platform/win32/Win32Drives.h"

namespace nimbrel {

namespace {

HANDLE ToHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

bool Wine() {
  static const bool wine =
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

// Windows 7 and later answer the seek-penalty query.
bool AsksSeekPenalty() {
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof v;
  return GetVersionExA(&v) && (v.dwMajorVersion > 6 || (v.dwMajorVersion == 6 && v.dwMinorVersion >= 1));
}

// IOCTL_STORAGE_QUERY_PROPERTY's seek-penalty answer, as winioctl.h of
// Windows 7 gives it.
constexpr int kSeekPenaltyProperty = 7;
struct SeekPenalty {
  DWORD version, size;
  BOOLEAN incursSeekPenalty;
};

std::optional<bool> SolidState(const std::string& root) {
  if (!AsksSeekPenalty() || root.size() < 2) return std::nullopt;
  using Control = BOOL(WINAPI*)(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
  static const auto control = reinterpret_cast<Control>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "DeviceIoControl")));
  if (!control) return std::nullopt;
  // No access asked: any user may query the volume so.
  const std::string volume = "\\\\.\\" + root.substr(0, 2);
  const HANDLE h = CreateFileA(volume.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  STORAGE_PROPERTY_QUERY query{};
  query.PropertyId = static_cast<STORAGE_PROPERTY_ID>(kSeekPenaltyProperty);
  query.QueryType = PropertyStandardQuery;
  SeekPenalty answer{};
  DWORD got = 0;
  const BOOL ok = control(h, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, &answer,
                          sizeof answer, &got, nullptr);
  CloseHandle(h);
  if (!ok || got < sizeof answer) return std::nullopt;
  return !answer.incursSeekPenalty;
}

}  // namespace

std::vector<std::string> Win32Drives::FixedDrives() {
  std::vector<std::string> out;
  const DWORD mask = GetLogicalDrives();
  for (int i = 2; i < 26; ++i) {  // floppies (A:, B:) never
    if (!(mask & (1u << i))) continue;
    const std::string root = std::string(1, static_cast<char>('A' + i)) + ":\\";
    if (GetDriveTypeA(root.c_str()) == DRIVE_FIXED) out.push_back(root);
  }
  return out;
}

std::optional<DriveSpace> Win32Drives::Space(const std::string& root) {
  ULARGE_INTEGER free{}, total{}, totalFree{};
  if (!GetDiskFreeSpaceExA(root.c_str(), &free, &total, &totalFree)) return std::nullopt;
  return DriveSpace{free.QuadPart, total.QuadPart};
}

DriveKind Win32Drives::Kind(const std::string& root) {
  DriveKind kind;
  char fileSystem[MAX_PATH + 1] = {};
  DWORD serial = 0, longest = 0, flags = 0;
  if (GetVolumeInformationA(root.c_str(), nullptr, 0, &serial, &longest, &flags, fileSystem,
                            sizeof fileSystem)) {
    kind.fileSystem = fileSystem;
    kind.readOnly = (flags & FILE_READ_ONLY_VOLUME) != 0;
  }
  kind.solidState = SolidState(root);
  return kind;
}

FileHandle Win32Drives::CreateNew(const std::string& path) {
  const HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  return h == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<FileHandle>(h);
}

bool Win32Drives::CreateFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

std::size_t Win32Drives::WriteAt(FileHandle file, std::uint64_t position, const char* bytes,
                                 std::size_t size) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(position);
  at.OffsetHigh = static_cast<DWORD>(position >> 32);
  DWORD written = 0;
  const DWORD n = static_cast<DWORD>(size < (1u << 30) ? size : (1u << 30));
  if (!WriteFile(ToHandle(file), bytes, n, &written, &at)) return written;
  return written;
}

bool Win32Drives::Flush(FileHandle file) { return FlushFileBuffers(ToHandle(file)) != 0; }

void Win32Drives::Close(FileHandle file) {
  if (file) CloseHandle(ToHandle(file));
}

bool Win32Drives::RemoveLink(const std::string& path) {
  // Wine deletes what a link leads to instead of the link.
  if (Wine()) return false;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return false;
  // Asked once more of the name itself, as the delete will take it.
  const HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool link = GetFileInformationByHandle(h, &info) &&
                    (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
  CloseHandle(h);
  if (!link) return false;
  // Windows removes a link itself, never its target, by these two calls.
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryA(path.c_str()) != 0
                                                 : DeleteFileA(path.c_str()) != 0;
}

}  // namespace nimbrel
