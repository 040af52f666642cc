// Win32 implementation of platform/Registry.h.
#include <atomic>
#include <vector>

#include "platform/win32/Win32Platform.h"

#include <windows.h>

namespace nimbrel {

namespace {

HKEY RootKey(RegRoot root) {
  switch (root) {
    case RegRoot::LocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegRoot::Users:
      return HKEY_USERS;
    case RegRoot::CurrentUser:
      break;
  }
  return HKEY_CURRENT_USER;
}

HKEY ToHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }

const BYTE* Bytes(const std::string& data) { return reinterpret_cast<const BYTE*>(data.data()); }

// Names longer than this are enumerated again with the longest name size.
constexpr DWORD kShortName = 256;

}  // namespace

RegKey Win32Registry::OpenKey(RegRoot root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyA(RootKey(root), path.c_str(), &key) != ERROR_SUCCESS) return 0;
  return reinterpret_cast<RegKey>(key);
}

RegKey Win32Registry::OpenKeyEx(RegRoot root, const std::string& path, std::uint32_t access) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(RootKey(root), path.c_str(), 0, access, &key) != ERROR_SUCCESS) return 0;
  return reinterpret_cast<RegKey>(key);
}

RegKey Win32Registry::CreateKey(RegRoot root, const std::string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyA(RootKey(root), path.c_str(), &key) != ERROR_SUCCESS) return 0;
  return reinterpret_cast<RegKey>(key);
}

void Win32Registry::CloseKey(RegKey key) {
  Unwatch(key);
  if (key) RegCloseKey(ToHkey(key));
}

bool Win32Registry::QueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                               std::string& data) {
  return NoThrow(false, [&] {
    // Most values fit a small buffer: one call reads them. (NT may add a zero after a
    // text stored without one; the size returned does not count it.)
    char small[kShortName];
    DWORD kind = 0, got = sizeof small;
    const LONG first = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &kind,
                                        reinterpret_cast<BYTE*>(small), &got);
    if (first == ERROR_SUCCESS) {
      type = kind;
      data.assign(small, got < sizeof small ? got : sizeof small);
      return true;
    }
    if (first != ERROR_MORE_DATA) return false;
    // A larger value may grow between the size probe and the read: probe again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
      DWORD kind = 0, size = 0;
      if (RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &kind, nullptr, &size) !=
          ERROR_SUCCESS)
        return false;
      std::string buffer(size, '\0');
      DWORD got = size;
      const LONG rc = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &kind,
                                       reinterpret_cast<BYTE*>(buffer.data()), &got);
      if (rc == ERROR_MORE_DATA) continue;
      if (rc != ERROR_SUCCESS) return false;
      buffer.resize(got < size ? got : size);
      type = kind;
      data = std::move(buffer);
      return true;
    }
    return false;
  });
}

bool Win32Registry::SetValue(RegKey key, const std::string& name, std::uint32_t type,
                             const std::string& data) {
  return NoThrow(false, [&] {
    const auto set = [&](const std::string& bytes) {
      return RegSetValueExA(ToHkey(key), name.c_str(), 0, type, Bytes(bytes),
                            static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    };
    // For a text without its terminating zero, RegSetValueExA stores one more byte when
    // the byte after the data is zero, as a std::string's always is. A non-zero byte
    // there keeps the stored bytes exactly the given ones.
    const bool text = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
    if (text && !data.empty() && data.back() != '\0') return set(data + '\x01');
    return set(data);
  });
}

bool Win32Registry::DeleteValue(RegKey key, const std::string& name) {
  return RegDeleteValueA(ToHkey(key), name.c_str()) == ERROR_SUCCESS;
}

bool Win32Registry::DeleteKey(RegRoot root, const std::string& path) {
  // An empty path would name the root itself: never delete that.
  if (path.find_first_not_of('\\') == std::string::npos) return false;
  return RegDeleteKeyA(RootKey(root), path.c_str()) == ERROR_SUCCESS;
}

bool Win32Registry::QueryInfo(RegKey key, RegKeyInfo& info) {
  DWORD subKeys = 0, maxSubKeyLen = 0, values = 0, maxValueNameLen = 0;
  if (RegQueryInfoKeyA(ToHkey(key), nullptr, nullptr, nullptr, &subKeys, &maxSubKeyLen, nullptr,
                       &values, &maxValueNameLen, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  info = {subKeys, maxSubKeyLen, values, maxValueNameLen};
  return true;
}

long Win32Registry::EnumKey(RegKey key, std::uint32_t index, std::string& name) {
  return NoThrow(static_cast<long>(ERROR_OUTOFMEMORY), [&]() -> long {
    // Key names are at most 255 characters; a multi-byte code page may need twice the bytes.
    std::vector<char> buffer(2 * kShortName + 2);
    const LONG rc =
        RegEnumKeyA(ToHkey(key), index, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (rc == ERROR_SUCCESS) name = buffer.data();
    return rc;
  });
}

long Win32Registry::EnumValue(RegKey key, std::uint32_t index, std::string& name) {
  return NoThrow(static_cast<long>(ERROR_OUTOFMEMORY), [&]() -> long {
    DWORD capacity = kShortName;
    for (int attempt = 0; attempt < 2; ++attempt) {
      std::vector<char> buffer(capacity + 1);
      DWORD length = capacity + 1;
      const LONG rc = RegEnumValueA(ToHkey(key), index, buffer.data(), &length, nullptr, nullptr,
                                    nullptr, nullptr);
      if (rc == ERROR_SUCCESS) name.assign(buffer.data(), length);
      if (rc != ERROR_MORE_DATA) return rc;
      // A long name: size the buffer from the key's longest value name.
      RegKeyInfo info;
      if (!QueryInfo(key, info)) return rc;
      capacity = 2 * info.maxValueNameLen + 2;
    }
    return static_cast<long>(ERROR_MORE_DATA);
  });
}

// A watch of one key. RegNotifyChangeKeyValue signals an event once per
// change; a thread of the watch waits for it, arms the notification again and
// then raises a flag, which KeyChanged reads without calling the system.
// (Asking the event itself on every question would cost, under Wine, a
// server round trip each time, as much as the reads the watch saves.)
struct Win32Registry::Watch {
  HKEY key = nullptr;
  HANDLE notified = nullptr;  // auto-reset, signalled by the registry
  HANDLE stop = nullptr;      // manual-reset, signalled by Unwatch
  HANDLE thread = nullptr;
  std::atomic<bool> changed{false};
  std::atomic<bool> lost{false};  // not watched (any more): every question answers true

  ~Watch() {
    if (thread) {
      SetEvent(stop);
      WaitForSingleObject(thread, INFINITE);
      CloseHandle(thread);
    }
    for (HANDLE h : {notified, stop})
      if (h) CloseHandle(h);
  }

  // Asks for one notification of a change of a value or sub-key of the key
  // or of any key below it.
  bool Arm() {
    return RegNotifyChangeKeyValue(key, TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                                   notified, TRUE) == ERROR_SUCCESS;
  }

  static DWORD WINAPI Run(void* param) {
    Watch& w = *static_cast<Watch*>(param);
    const HANDLE events[] = {w.stop, w.notified};
    // Armed again before the change is told: one made after the reader's
    // next read is told once more.
    while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1 && w.Arm())
      w.changed = true;
    w.lost = true;  // stopped, or the watch failed
    return 0;
  }

  // Arms the first notification on the calling thread, so that no change
  // after this call goes untold, then starts the thread.
  void Start() {
    notified = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (notified && stop && Arm()) thread = CreateThread(nullptr, 64 * 1024, &Run, this, 0, nullptr);
    if (!thread) lost = true;
  }
};

Win32Registry::Win32Registry() = default;
Win32Registry::~Win32Registry() = default;

void Win32Registry::Unwatch(RegKey key) { watches_.erase(key); }

bool Win32Registry::KeyChanged(RegKey key) {
  if (!key) return true;
  if (const auto watch = watches_.find(key); watch != watches_.end())
    return watch->second->lost || watch->second->changed.exchange(false);
  NoThrow(false, [&] {
    auto watch = std::make_unique<Watch>();
    watch->key = ToHkey(key);
    watch->Start();
    return watches_.emplace(key, std::move(watch)).second;
  });
  return true;
}

}  // namespace nimbrel
