// Checks the Win32 platform classes against the real system (run under Wine).
// Usage: platform_selfcheck.exe [--link FOLDER-LINK] [--file-link FILE-LINK]
//                               [--trash FILE-IN-TRASH]
//   --link       a folder symbolic link planted from the Linux side
//   --file-link  a file symbolic link planted from the Linux side
//   --trash  a file in the recycle bin, gone after the bin is emptied
// Prints each failure and then "N passed, N failed"; exit code 1 on any failure.
// platform_selfcheck.exe --quit-erasing FOLDER: the child the exit checks
// start; it erases the files in FOLDER, then quits through the event loop.
// platform_selfcheck.exe --cut-erasing FOLDER: the child the cut checks start;
// it erases the files in FOLDER part of the way, then ends at once.
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "erasers/modUrlHistory.h"
#include "platform/win32/Win32Bundle.h"

#include <windows.h>

// The interfaces' member names, not the ANSI/Unicode macros.
#undef FindExecutable
#undef SendMessage

namespace nimbrel {
namespace {

int passed = 0, failed = 0;

void Check(bool ok, const std::string& what) {
  if (ok) {
    ++passed;
  } else {
    ++failed;
    std::printf("FAIL: %s\n", what.c_str());
  }
}

bool Exists(Files& files, const std::string& path) {
  return files.Attributes(path) != kInvalidAttributes;
}

// Sunday = 0, independent of the system's own calendar code.
int WeekdayOf(int y, int m, int d) {
  static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (m < 3) --y;
  return (y + y / 4 - y / 100 + y / 400 + offsets[m - 1] + d) % 7;
}

void RegistryChecks(Win32Registry& reg) {
  const RegRoot cu = RegRoot::CurrentUser;
  const std::string base = "Software\\NimbrelSelfCheck";
  for (const char* leftover : {"\\A\\B", "\\A", ""}) reg.DeleteKey(cu, base + leftover);

  Check(reg.OpenKey(cu, base) == 0, "registry: a missing key does not open");
  const RegKey b = reg.CreateKey(cu, base + "\\A\\B");
  Check(b != 0, "registry: CreateKey creates the key and its missing parents");
  reg.CloseKey(b);
  const RegKey a = reg.OpenKey(cu, "SOFTWARE\\nimbrelselfcheck\\a");
  Check(a != 0, "registry: key paths are case-insensitive");
  Check(reg.OpenKey(RegRoot::LocalMachine, base + "\\A") == 0,
        "registry: HKCU and HKLM are different roots");
  const RegKey users = reg.OpenKey(RegRoot::Users, ".Default");
  Check(users != 0, "registry: HKEY_USERS\\.Default opens");
  reg.CloseKey(users);

  std::uint32_t type = 0;
  std::string data;
  Check(reg.SetValue(a, "NoNul", kRegSz, "abc") && reg.QueryValue(a, "NoNul", type, data) &&
            type == kRegSz && data == "abc",
        "registry: REG_SZ stored without a NUL reads back as its 3 bytes");
  const std::string withNul("abc\0", 4);
  Check(reg.SetValue(a, "WithNul", kRegSz, withNul) && reg.QueryValue(a, "WithNul", type, data) &&
            data == withNul,
        "registry: REG_SZ with its NUL reads back as 4 bytes");
  const std::string dword("\x2a\0\0\x80", 4);
  Check(reg.SetValue(a, "Count", kRegDword, dword) && reg.QueryValue(a, "Count", type, data) &&
            type == kRegDword && data == dword,
        "registry: REG_DWORD round trip");
  std::string big(70000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i % 251);
  Check(reg.SetValue(a, "Big", kRegBinary, big) && reg.QueryValue(a, "Big", type, data) &&
            type == kRegBinary && data == big,
        "registry: 70000-byte REG_BINARY with zeros reads back exactly");
  Check(reg.SetValue(a, "Empty", kRegSz, "") && reg.QueryValue(a, "Empty", type, data) &&
            type == kRegSz && data.empty(),
        "registry: a zero-length REG_SZ reads back empty");
  Check(reg.SetValue(a, "", kRegSz, std::string("dflt\0", 5)) &&
            reg.QueryValue(a, "", type, data) && data == std::string("dflt\0", 5),
        "registry: the default value (empty name) is set and read");
  Check(reg.DeleteValue(a, "") && !reg.QueryValue(a, "", type, data),
        "registry: DeleteValue with an empty name removes the default value");
  Check(!reg.QueryValue(a, "Missing", type, data) && !reg.DeleteValue(a, "Missing"),
        "registry: a missing value neither reads nor deletes");
  const std::string longName(300, 'L');
  Check(reg.SetValue(a, longName, kRegSz, "x"), "registry: a 300-character value name is set");

  const std::set<std::string> expected{"NoNul", "WithNul", "Count", "Big", "Empty", longName};
  RegKeyInfo info;
  Check(reg.QueryInfo(a, info) && info.subKeys == 1 && info.maxSubKeyLen == 1 &&
            info.values == expected.size() && info.maxValueNameLen == longName.size(),
        "registry: QueryInfo counts sub-keys and values and their longest names");
  std::set<std::string> names;
  long rc = kRegSuccess;
  std::string name;
  for (std::uint32_t i = 0; (rc = reg.EnumValue(a, i, name)) == kRegSuccess && i < 20; ++i)
    names.insert(name);
  Check(names == expected && rc == kRegNoMoreItems,
        "registry: EnumValue lists every name, the long one too, then 259");
  Check(reg.EnumKey(a, 0, name) == kRegSuccess && name == "B" &&
            reg.EnumKey(a, 1, name) == kRegNoMoreItems,
        "registry: EnumKey lists the sub-key, then 259");
  Check(reg.EnumKey(0, 0, name) != kRegSuccess, "registry: enumerating no key fails");
  reg.CloseKey(a);

  Check(!reg.DeleteKey(cu, base + "\\A") && reg.OpenKey(cu, base + "\\A") != 0,
        "registry: DeleteKey refuses a key that has sub-keys");
  Check(!reg.DeleteKey(cu, "") && !reg.DeleteKey(cu, "\\"),
        "registry: DeleteKey refuses an empty path");
  Check(reg.DeleteKey(cu, base + "\\A\\B") && reg.DeleteKey(cu, base + "\\A") &&
            reg.DeleteKey(cu, base) && reg.OpenKey(cu, base) == 0,
        "registry: keys delete from the leaf up");
}

// Runs a command line to its end; its exit code (-1 when it could not start).
long RunToEnd(std::string command) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &child))
    return -1;
  DWORD code = 1;
  if (WaitForSingleObject(child.hProcess, 60000) == WAIT_OBJECT_0)
    GetExitCodeProcess(child.hProcess, &code);
  else
    TerminateProcess(child.hProcess, 1);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return static_cast<long>(code);
}

// A watched key tells each change at or below it, made through any handle
// or by another program, once, and nothing without one.
void WatchChecks(Win32Registry& reg) {
  const RegRoot cu = RegRoot::CurrentUser;
  const std::string base = "Software\\NimbrelSelfCheckWatch";
  for (const char* leftover : {"\\Sub\\Deeper", "\\Sub", ""}) reg.DeleteKey(cu, base + leftover);
  const RegKey watched = reg.CreateKey(cu, base);
  const RegKey other = reg.OpenKey(cu, base);
  // The watch's thread tells a change at once; a second is plenty.
  const auto told = [&] {
    for (int i = 0; i < 100; ++i) {
      if (reg.KeyChanged(watched)) return true;
      Sleep(10);
    }
    return false;
  };
  const auto quiet = [&] {
    Sleep(200);
    return !reg.KeyChanged(watched);
  };
  Check(reg.KeyChanged(watched) && quiet(),
        "registry watch: the first question starts the watch, then nothing is told");
  Check(reg.SetValue(other, "Day", kRegSz, "3") && told() && quiet(),
        "registry watch: a value set through another handle is told once");
  Check(reg.DeleteValue(other, "Day") && told(), "registry watch: a value deleted is told");
  // One key made at a time: making two at once may be told once or twice, as the
  // second may come after the watch is armed again.
  const RegKey middle = reg.CreateKey(cu, base + "\\Sub");
  Check(middle != 0 && told() && quiet(), "registry watch: a key made below is told");
  reg.CloseKey(middle);
  const RegKey sub = reg.CreateKey(cu, base + "\\Sub\\Deeper");
  Check(sub != 0 && told() && quiet(), "registry watch: a key made two keys below is told");
  Check(reg.SetValue(sub, "Time", kRegSz, "22:15:00") && told() && quiet(),
        "registry watch: a value set two keys below is told");
  reg.CloseKey(sub);
  const long rc = RunToEnd("reg.exe add HKCU\\" + base + "\\Sub /v Time /d 22:16:00 /f");
  Check(rc == 0 && told() && quiet(),
        "registry watch: a value set by another program is told (reg.exe: " + std::to_string(rc) + ")");
  Check(reg.DeleteKey(cu, base + "\\Sub\\Deeper") && told() && quiet(),
        "registry watch: a key deleted below is told");
  reg.CloseKey(other);
  reg.CloseKey(watched);
  for (const char* leftover : {"\\Sub", ""}) reg.DeleteKey(cu, base + leftover);
}

// The hard-link count OpenForErase reports; 0 for a file it cannot open.
std::uint32_t LinkCount(Files& files, const std::string& path) {
  const ErasableFile opened = files.OpenForErase(path);
  files.Close(opened.handle);
  return opened.links;
}

void FileChecks(Win32Files& files, const std::string& temp, const std::string& link,
                const std::string& fileLink) {
  const std::string w = temp + "nimbrel-selfcheck-" + std::to_string(GetCurrentProcessId());
  Check(files.CreateFolder(w) && !files.CreateFolder(w), "files: CreateFolder once only");
  Check((files.Attributes(w) & kAttrDirectory) && files.Attributes(w + "\\none") ==
                                                      kInvalidAttributes,
        "files: Attributes of a folder and of a missing path");

  const std::string a = w + "\\a.txt";
  const std::string bytes("one\r\n\0two\xff", 10);
  Check(files.WriteAll(a, bytes) && files.ReadAll(a) == bytes && files.Size(a) == 10u,
        "files: WriteAll/ReadAll/Size keep binary bytes");
  Check(files.WriteAll(a, "abcdef") && files.ReadAll(a) == "abcdef",
        "files: WriteAll truncates a longer file");
  Check(!files.Size(w) && !files.ReadAll(w) && !files.ReadAll(w + "\\none"),
        "files: a folder or a missing file has no size or content");

  ErasableFile opened = files.OpenForErase(a);
  FileHandle h = opened.handle;
  Check(h != 0 && !opened.link && opened.links == 1 && files.Write(h, "XY", 2) && files.Flush(h),
        "files: OpenForErase, write, flush");
  files.Close(h);
  Check(files.ReadAll(a) == "XYcdef",
        "files: OpenForErase writes from the start, no truncation");
  opened = files.OpenForErase(w + "\\none");
  Check(opened.handle == 0 && !opened.link && !Exists(files, w + "\\none"),
        "files: OpenForErase neither opens nor creates a missing file");
  Check(files.OpenForErase(w).handle == 0, "files: OpenForErase refuses a folder");
  Check(!files.Write(0, "x", 1) && !files.Flush(0) && !files.Seek(0, 0) &&
            !files.DeleteOnClose(0),
        "files: Write/Flush/Seek/DeleteOnClose without a file fail");
  h = files.OpenForErase(a).handle;
  Check(h != 0 && files.Write(h, "12", 2) && files.Seek(h, 1) && files.Write(h, "Q", 1),
        "files: Seek moves the write position");
  files.Close(h);
  Check(files.ReadAll(a) == "1Qcdef", "files: the write after Seek lands at that position");

  const std::string large = w + "\\large.bin";
  const std::string zeros(3 << 20, '\0');
  Check(files.WriteAll(large, std::string(3 << 20, 'Q')), "files: WriteAll of 3 MB");
  h = files.OpenForErase(large).handle;
  Check(h != 0 && files.Write(h, zeros.data(), zeros.size()), "files: one 3 MB Write");
  files.Close(h);
  Check(files.ReadAll(large) == zeros, "files: the 3 MB overwrite replaced every byte");

  const std::string log = w + "\\log.txt";
  Check(files.Append(log, "one\r\n") && files.Append(log, "two\r\n") &&
            files.ReadAll(log) == "one\r\ntwo\r\n",
        "files: Append creates the file, then appends");
  Check(!files.Append(w + "\\none\\log.txt", "x"), "files: Append into a missing folder fails");

  const std::string fresh = w + "\\new.tmp";
  Check(files.WriteAll(fresh, "new") && files.Replace(fresh, a) && files.ReadAll(a) == "new" &&
            !Exists(files, fresh),
        "files: Replace puts the new file in place of the old one");

  const std::string idx = w + "\\b.idx";
  Check(files.WriteAll(idx, "12345") && files.CreateFolder(w + "\\sub"), "files: set up find");
  const auto upper = files.Find(w + "\\*.IDX");
  Check(upper.size() == 1 && upper[0].name == "b.idx" && upper[0].size == 5,
        "files: *.IDX finds b.idx, named as stored, with its size");
  const auto exact = files.Find(idx);
  Check(exact.size() == 1 && exact[0].name == "b.idx", "files: an exact name finds one entry");
  std::set<std::string> all;
  bool subIsFolder = false;
  for (const FileEntry& e : files.Find(w + "\\*")) {
    all.insert(e.name);
    if (e.name == "sub") subIsFolder = (e.attributes & kAttrDirectory) != 0;
  }
  Check(all == std::set<std::string>{".", "..", "a.txt", "b.idx", "large.bin", "log.txt", "sub"} &&
            subIsFolder,
        "files: * lists . and .. and every entry in one pass");
  Check(files.Find(w + "\\none\\*").empty() && files.LastFailure() == FileFailure::None,
        "files: a missing folder finds nothing, and that is no failure");

  Check(files.SetAttributes(idx, kAttrHidden) && (files.Attributes(idx) & kAttrHidden) &&
            (files.Find(idx).at(0).attributes & kAttrHidden),
        "files: the hidden attribute is set and seen by Find");
  Check(files.SetAttributes(idx, kAttrReadOnly) && !files.Delete(idx) &&
            files.LastFailure() == FileFailure::AccessDenied && Exists(files, idx),
        "files: a read-only file is not deleted: access denied");
  opened = files.OpenForErase(idx);
  Check(opened.handle == 0 && !opened.link && !files.WriteAll(idx, "w") &&
            !files.Append(idx, "w") && files.WriteAll(fresh, "r") && !files.Replace(fresh, idx) &&
            files.ReadAll(idx) == "12345",
        "files: a read-only file is not overwritten, truncated, appended to or replaced");
  files.Delete(fresh);
  Check(files.SetAttributes(idx, kAttrNormal) && files.Delete(idx) &&
            files.LastFailure() == FileFailure::None && !Exists(files, idx) &&
            !files.Delete(idx) && files.LastFailure() == FileFailure::None,
        "files: a normal file deletes once; a missing one is no failure");

  HANDLE sharing = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
  opened = files.OpenForErase(log);
  Check(sharing != INVALID_HANDLE_VALUE && opened.handle == 0 && !opened.link &&
            files.LastFailure() == FileFailure::InUse,
        "files: a file in use, shared for writing but not for deleting, is not opened to erase");
  if (sharing != INVALID_HANDLE_VALUE) CloseHandle(sharing);
  Check(files.ReadAll(log) == "one\r\ntwo\r\n", "files: ... and stays whole");
  files.WriteAll(log, "one\r\ntwo\r\n");
  HANDLE busy = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  Check(busy != INVALID_HANDLE_VALUE && !files.Delete(log) &&
            files.LastFailure() == FileFailure::InUse && Exists(files, log),
        "files: a file in use is not deleted, and the failure says so");
  if (busy != INVALID_HANDLE_VALUE) CloseHandle(busy);

  const std::string link1 = w + "\\sub\\h1", link2 = w + "\\sub\\h2";
  Check(files.WriteAll(link1, "x") && LinkCount(files, link1) == 1,
        "files: an ordinary file has one link");
  Check(CreateHardLinkA(link2.c_str(), link1.c_str(), nullptr) && LinkCount(files, link1) == 2 &&
            LinkCount(files, link2) == 2,
        "files: both names of a hard link count 2");
  Check(!files.IsLink(link1) && !files.IsLink(link2) && !files.IsLink(w + "\\sub") &&
            !files.IsLink(w + "\\sub\\") && !files.IsLink(w + "\\none"),
        "files: files, hard links, folders and missing paths are no links");
  opened = files.OpenForErase(link2);
  Check(files.DeleteOnClose(opened.handle) && Exists(files, link2), "files: DeleteOnClose marks");
  files.Close(opened.handle);
  Check(!Exists(files, link2) && files.ReadAll(link1) == "x" && LinkCount(files, link1) == 1 &&
            LinkCount(files, link2) == 0,
        "files: closing removes the marked name only; the count drops; a missing file counts 0");
  // More files than the closing workers hold at once: each is written, flushed
  // and deleted, or only written when not marked; the next call sees them done.
  bool handled = true;
  for (int i = 0; i < 40; ++i) {
    const std::string name = w + "\\sub\\many" + std::to_string(i);
    handled = handled && files.WriteAll(name, "old");
    opened = files.OpenForErase(name);
    handled = handled && opened.handle != 0 && files.Write(opened.handle, "new", 3) &&
              (i % 2 == 1 || files.DeleteOnClose(opened.handle));
    files.Close(opened.handle);
  }
  int kept = 0;
  for (const FileEntry& e : files.Find(w + "\\sub\\many*")) {
    kept += files.ReadAll(w + "\\sub\\" + e.name) == "new" ? 1 : 0;
    files.Delete(w + "\\sub\\" + e.name);
  }
  Check(handled && kept == 20, "files: 40 files closed in the background, 20 deleted, 20 written");
  Check(!files.RemoveFolder(w + "\\sub") && files.Delete(link1) && files.RemoveFolder(w + "\\sub"),
        "files: RemoveFolder only removes an empty folder");

  // Passes handed over as data: each write at its own position, the passes in
  // order; a marked file is gone once the next call names a path.
  static const char ones[] = "1111", twos[] = "22";
  const std::vector<ErasePass> passes = {{{0, ones, 4}}, {{2, twos, 2}, {5, twos, 1}}};
  const std::string written = w + "\\passes1", gone = w + "\\passes2";
  bool handed = files.WriteAll(written, "abcd") && files.WriteAll(gone, "abcd");
  opened = files.OpenForErase(written);
  handed = handed && opened.handle != 0;
  files.OverwriteAndClose(opened.handle, passes);
  opened = files.OpenForErase(gone);
  handed = handed && opened.handle != 0 && files.DeleteOnClose(opened.handle);
  files.OverwriteAndClose(opened.handle, passes);
  Check(handed && files.ReadAll(written) == std::string("1122\0" "2", 6) && !Exists(files, gone),
        "files: OverwriteAndClose writes the passes in order, then deletes a marked file");
  files.Delete(written);

  if (!link.empty()) {
    const std::uint32_t attr = files.Attributes(link);
    Check(attr != kInvalidAttributes &&
              (attr & (kAttrDirectory | kAttrReparsePoint)) == (kAttrDirectory | kAttrReparsePoint),
          "files: a folder symlink shows DIRECTORY | REPARSE_POINT");
    const std::string parent = link.substr(0, link.rfind('\\'));
    const std::string leaf = link.substr(link.rfind('\\') + 1);
    bool listed = false;
    for (const FileEntry& e : files.Find(parent + "\\*"))
      if (e.name == leaf) listed = (e.attributes & kAttrReparsePoint) != 0;
    Check(listed, "files: Find lists the folder symlink as a reparse point");
    Check(files.IsLink(link) && files.IsLink(link + "\\"),
          "files: IsLink of a folder symlink, also named with a trailing backslash");
    const std::string inside = link + "\\inside.txt";
    Check(files.WriteAll(inside, "x") && !files.IsLink(inside) && files.Delete(inside),
          "files: a file inside a linked folder is no link itself");
  }
  if (!fileLink.empty()) {
    Check(files.IsLink(fileLink), "files: IsLink of a file symlink (attributes " +
                                      std::to_string(files.Attributes(fileLink)) + ")");
    opened = files.OpenForErase(fileLink);
    Check(opened.link && opened.handle == 0, "files: OpenForErase reports a file symlink");
  }

  for (const char* name : {"\\a.txt", "\\large.bin", "\\log.txt"}) files.Delete(w + name);
  Check(files.RemoveFolder(w), "files: the work folder is left empty and removed");
}

// Whether a Win32System of another thread takes the run lock within 100 ms.
DWORD WINAPI TryRunLock(LPVOID result) {
  Win32System other;
  *static_cast<bool*>(result) = other.LockRun(100);
  return 0;
}

bool RunLockTakenElsewhere() {
  bool taken = false;
  HANDLE thread = CreateThread(nullptr, 0, TryRunLock, &taken, 0, nullptr);
  if (!thread) return false;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return taken;
}

// A tree whose deepest paths are far longer than MAX_PATH (260): every file
// call reaches down there by the ordinary spelling of the path.
void LongPathChecks(Win32Files& files, const std::string& temp) {
  const std::string top = temp + "nimbrel-longpath-" + std::to_string(GetCurrentProcessId());
  std::vector<std::string> folders{top};
  bool made = files.CreateFolder(top);
  for (int level = 0; level < 6; ++level) {
    folders.push_back(folders.back() + "\\" + std::string(60, static_cast<char>('a' + level)));
    made = made && files.CreateFolder(folders.back());
  }
  const std::string deep = folders.back();
  const std::string file = deep + "\\deep file.txt";
  Check(made && file.size() > 400 && (files.Attributes(deep) & kAttrDirectory),
        "long paths: folders made " + std::to_string(file.size()) + " characters deep");
  Check(files.WriteAll(file, "deep") && files.Append(file, "er") && files.ReadAll(file) == "deeper" &&
            files.Size(file) == 6u,
        "long paths: a file written, appended to, read and sized");
  const auto found = files.Find(deep + "\\*.txt");
  Check(found.size() == 1 && found[0].name == "deep file.txt" && found[0].size == 6,
        "long paths: Find lists the file");
  Check(EqualsNoCase(files.CanonicalPath(deep), deep) &&
            EqualsNoCase(files.CanonicalPath(deep + "\\.\\x\\..\\"), deep) &&
            EqualsNoCase(files.CanonicalPath("\\\\?\\" + deep), deep),
        "long paths: CanonicalPath of the deep folder however spelt");
  Check(!files.IsLink(file) && !files.IsLink(deep), "long paths: neither is a link");
  ErasableFile opened = files.OpenForErase(file);
  Check(opened.handle != 0 && !opened.link && opened.links == 1 &&
            files.IsUnder(opened.handle, top) && files.IsUnder(opened.handle, deep) &&
            !files.IsUnder(opened.handle, folders[1] + "x"),
        "long paths: OpenForErase opens the file, IsUnder places it");
  const bool erased = files.Write(opened.handle, "XXXXXX", 6) && files.DeleteOnClose(opened.handle);
  files.Close(opened.handle);
  Check(erased && files.Attributes(file) == kInvalidAttributes,
        "long paths: the file is overwritten and deleted");
  const std::string fresh = deep + "\\new.tmp", kept = deep + "\\kept.txt";
  Check(files.WriteAll(fresh, "new") && files.WriteAll(kept, "old") && files.Replace(fresh, kept) &&
            files.ReadAll(kept) == "new" && files.SetAttributes(kept, kAttrHidden) &&
            (files.Attributes(kept) & kAttrHidden) && files.Delete(kept),
        "long paths: Replace, SetAttributes and Delete");
  // A name the ANSI code page cannot spell is listed by its 8.3 name, which opens.
  const std::wstring wideName = std::wstring(L"\x4E2D\x6587 name.txt");
  const std::string wideDeep = deep + "\\";
  HANDLE created = CreateFileW((L"\\\\?\\" + std::wstring(wideDeep.begin(), wideDeep.end()) + wideName).c_str(),
                               GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  if (created != INVALID_HANDLE_VALUE) CloseHandle(created);
  const auto unspellable = files.Find(deep + "\\*name.txt");
  opened = unspellable.size() == 1 ? files.OpenForErase(deep + "\\" + unspellable[0].name) : ErasableFile{};
  const bool wideErased = opened.handle != 0 && files.DeleteOnClose(opened.handle);
  files.Close(opened.handle);
  Check(created != INVALID_HANDLE_VALUE && unspellable.size() == 1 &&
            unspellable[0].name.find('?') == std::string::npos && wideErased &&
            files.Find(deep + "\\*name.txt").empty(),
        "long paths: a name the code page cannot spell is listed by its 8.3 name and erased (" +
            (unspellable.empty() ? std::string("none") : unspellable[0].name) + ")");
  bool removed = true;
  for (auto f = folders.rbegin(); f != folders.rend(); ++f) removed = files.RemoveFolder(*f) && removed;
  Check(removed && files.Attributes(top) == kInvalidAttributes, "long paths: the folders removed");
}

void SystemChecks(Win32System& sys, Win32Files& files) {
  Check(sys.LockRun(0) && sys.RunLocked(), "system: the run lock is taken");
  Check(!sys.LockRun(0), "system: a process takes the run lock once");
  Check(!RunLockTakenElsewhere(), "system: another holder waits for the run lock, then gives up");
  sys.UnlockRun();
  Check(!sys.RunLocked() && RunLockTakenElsewhere(),
        "system: the run lock, let go, is another holder's");

  const std::string temp = sys.TempPath();
  Check(!temp.empty() && temp.back() == '\\' && (files.Attributes(temp) & kAttrDirectory),
        "system: TempPath is a folder ending in a backslash");
  const std::string sysdir = sys.SystemDirectory();
  Check(!sysdir.empty() && sysdir.back() != '\\' && (files.Attributes(sysdir) & kAttrDirectory),
        "system: SystemDirectory is a folder");
  const OsVersion v = sys.Version();
  std::printf("version %u.%u platform %u\n", static_cast<unsigned>(v.major),
              static_cast<unsigned>(v.minor), static_cast<unsigned>(v.platformId));
  const OsVersion again = sys.Version();
  Check(v.major >= 4 && v.platformId == 2 && again.major == v.major && again.minor == v.minor,
        "system: Version reports an NT version, the same each call");

  const std::string longValue(1000, 'v');
  SetEnvironmentVariableA("NIMBREL_SELFCHECK", longValue.c_str());
  Check(sys.Environment("NIMBREL_SELFCHECK") == longValue,
        "system: a 1000-character environment value is read whole");
  SetEnvironmentVariableA("NIMBREL_SELFCHECK", nullptr);
  Check(sys.Environment("NIMBREL_SELFCHECK").empty() && !sys.Environment("WINDIR").empty(),
        "system: an unset variable is empty, WINDIR is not");

  const std::string folder = sys.ProgramFolder(), base = sys.ExeBaseName();
  Check(!folder.empty() && folder.back() != '\\' && base == "platform_selfcheck" &&
            Exists(files, folder + "\\" + base + ".exe"),
        "system: ProgramFolder + \\ + ExeBaseName + .exe is this program");

  const DateTime now = sys.Now();
  Check(now.year >= 2024 && now.year < 2100 && now.month >= 1 && now.month <= 12 &&
            now.weekday == WeekdayOf(now.year, now.month, now.day),
        "system: Now is a plausible local time with the right weekday");
  const DateTime tuesday{2026, 12, 8, 14, 5, 9, 2};
  const std::string general = sys.GeneralDate(tuesday);
  std::printf("general date of 2026-12-08 14:05:09: \"%s\"\n", general.c_str());
  Check(general.find("26") != std::string::npos && general.find("05:09") != std::string::npos &&
            general.find(' ') != std::string::npos &&
            general.find("26") < general.find("05:09"),
        "system: GeneralDate is the short date, a blank, then the time");
  const std::string weekday = sys.LocalWeekdayName(tuesday);
  const bool english = PRIMARYLANGID(GetUserDefaultLangID()) == LANG_ENGLISH;
  Check(english ? weekday == "Tuesday" : !weekday.empty(),
        "system: LocalWeekdayName of 2026-12-08 is the full name (\"" + weekday + "\")");
  Check(sys.LocalWeekdayName({2026, 12, 7, 0, 0, 0, 1}) != weekday,
        "system: another day has another name");
}

void ShellChecks(Win32Shell& shell, Win32Files& files, const std::string& temp,
                 const std::string& trash) {
  const std::string history = shell.SpecialFolder(kCsidlHistory);
  Check(!history.empty() && (files.Attributes(history) & kAttrDirectory),
        "shell: the History folder exists");
  Check(shell.SpecialFolder(0xFE).empty(), "shell: an unknown folder is empty");
  // The folders without a CSIDL, and the 64-bit program-files folder even for a
  // 32-bit program.
  const std::string profile = shell.SpecialFolder(kCsidlProfile);
  Check(!profile.empty() &&
            EqualsNoCase(shell.KnownFolderPath(KnownFolder::Downloads), profile + "\\Downloads"),
        "shell: the Downloads folder is the profile's (" +
            shell.KnownFolderPath(KnownFolder::Downloads) + ")");
  Check(EqualsNoCase(shell.KnownFolderPath(KnownFolder::LocalAppDataLow),
                     profile + "\\AppData\\LocalLow"),
        "shell: the LocalLow folder is the profile's");
  Check(EqualsNoCase(shell.KnownFolderPath(KnownFolder::ProgramFilesNative), "C:\\Program Files"),
        "shell: the system's own program-files folder is C:\\Program Files (" +
            shell.KnownFolderPath(KnownFolder::ProgramFilesNative) + ")");
  Check(!shell.KnownFolderPath(KnownFolder::Public).empty() &&
            !shell.KnownFolderPath(KnownFolder::UserProfiles).empty(),
        "shell: the public profile and the folder of profiles are known");

  // An association of this check's own, so the result does not hang on the
  // prefix's browser set-up.
  const std::string command = "C:\\windows\\system32\\notepad.exe \"%1\"";
  const char* const kKeys[] = {"NimbrelCheck.File\\shell\\open\\command",
                               "NimbrelCheck.File\\shell\\open", "NimbrelCheck.File\\shell",
                               "NimbrelCheck.File", ".nimbrelcheck"};
  RegSetValueA(HKEY_CLASSES_ROOT, ".nimbrelcheck", REG_SZ, "NimbrelCheck.File", 17);
  RegSetValueA(HKEY_CLASSES_ROOT, kKeys[0], REG_SZ, command.c_str(),
               static_cast<DWORD>(command.size()));
  const std::string page = temp + "nimbrel-selfcheck.nimbrelcheck";
  const std::string other = temp + "nimbrel-selfcheck.nimbrelzz";
  files.WriteAll(page, "x");
  files.WriteAll(other, "x");
  std::string program = "stale";
  const std::intptr_t rc = shell.FindExecutable(page, program);
  Check(rc > 32 && FindNoCase(program, "notepad.exe") != std::string::npos,
        "shell: FindExecutable finds the associated program (" + program + ")");
  program = "stale";
  Check(shell.FindExecutable(other, program) <= 32 && program.empty(),
        "shell: an unassociated extension finds no program");
  files.Delete(page);
  files.Delete(other);
  for (const char* key : kKeys) RegDeleteKeyA(HKEY_CLASSES_ROOT, key);

  Check(shell.Execute(0, "open", "cmd.exe", "/c exit", "", SW_HIDE) > 32,
        "shell: Execute starts a program");
  Check(shell.Execute(0, "open", temp + "nimbrel-missing.exe", "", "", SW_HIDE) <= 32,
        "shell: Execute of a missing file fails");

  if (!trash.empty()) Check(shell.RecycleBinItems() >= 1, "shell: the recycle bin's file counts");
  Check(shell.EmptyRecycleBin(0), "shell: EmptyRecycleBin succeeds");
  if (!trash.empty()) Check(!Exists(files, trash), "shell: the recycle bin's file is gone");
  Check(shell.RecycleBinItems() == 0, "shell: the emptied recycle bin has no items");
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

void Key(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
  Sleep(50);
}

void DesktopChecks(Win32Desktop& desktop, Win32Shell& shell) {
  Check(desktop.ClaimInstance() && desktop.ClaimInstance(),
        "desktop: the first claim of the instance holds");
  Win32Desktop second;
  Check(!second.ClaimInstance(), "desktop: another claim in the session is refused");

  const char* cls = "NimbrelSelfCheckWnd";
  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = cls;
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, cls, "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                wc.hInstance, nullptr);
  Check(window != nullptr, "desktop: a test window is created (needs a display)");
  if (!window) return;
  const auto handle = reinterpret_cast<WindowHandle>(window);

  const auto found = desktop.WindowsOfClass(cls);
  Check(found.size() == 1 && found[0] == handle, "desktop: WindowsOfClass finds the window");
  Check(desktop.WindowsOfClass("nimbrelselfcheckwnd").empty() &&
            desktop.WindowsOfClass("NimbrelSelfCheck").empty(),
        "desktop: the class name must match exactly");
  bool listed = false;
  for (const TopLevelWindow& w : desktop.TopLevelWindows())
    listed = listed || (w.handle == handle && w.className == cls);
  Check(listed, "desktop: TopLevelWindows lists the window with its class name");

  Check(shell.NotifyIcon(NotifyIconAction::Add, handle, "Nimbrel self-check"),
        "shell: the window's notify icon is added");
  Check(!shell.NotifyIcon(NotifyIconAction::Add, handle, "Nimbrel self-check"),
        "shell: a second icon for the window is refused");
  Check(shell.NotifyIcon(NotifyIconAction::Delete, handle, "") &&
            !shell.NotifyIcon(NotifyIconAction::Delete, handle, ""),
        "shell: the notify icon is deleted, once");

  Check(!desktop.KeyDown(VK_F24), "desktop: a key nobody holds is up");
  // Pressed and released since the last query: only "down now" counts.
  Key(VK_F24, false);
  Key(VK_F24, true);
  Check(!desktop.KeyDown(VK_F24), "desktop: a key pressed and released is up again");
  Key(VK_F24, false);
  Check(desktop.KeyDown(VK_F24), "desktop: a key held down is down");
  Key(VK_F24, true);

  bool placed = false;
  if (OpenClipboard(window)) {
    ::EmptyClipboard();
    if (HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 7)) {
      std::memcpy(GlobalLock(mem), "secret", 7);
      GlobalUnlock(mem);
      placed = SetClipboardData(CF_TEXT, mem) != nullptr;
    }
    CloseClipboard();
  }
  Check(placed && IsClipboardFormatAvailable(CF_TEXT), "desktop: text placed on the clipboard");
  Check(desktop.EmptyClipboard(handle) && !IsClipboardFormatAvailable(CF_TEXT) &&
            GetClipboardOwner() == window,
        "desktop: EmptyClipboard clears it, opened for the owner given");

  desktop.PostClose(handle);
  const DWORD start = GetTickCount();
  MSG msg;
  while (IsWindow(window) && GetTickCount() - start < 5000) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(10);
  }
  Check(!IsWindow(window) && desktop.WindowsOfClass(cls).empty(),
        "desktop: PostClose closes the window");
}

// The URL history object: none without COM on the thread; in a
// single-threaded apartment it is created, asked to clear and released, and
// ClearUrlHistory returns whatever the object answers (Wine's ClearHistory
// is a stub returning E_NOTIMPL).
void UrlHistoryChecks(Win32Bundle& win32) {
  SettingsStore settings(win32.registry);
  Context ctx(win32.AsPlatform(), settings);
  Win32UrlHistory& history = win32.urlHistory;
  const UrlHistoryObject early = history.Create();
  Check(early == 0, "url history: no object while COM is not initialised on the thread");
  history.Release(early);
  ClearUrlHistory(ctx);

  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  Check(com, "url history: COM initialised as a single-threaded apartment");
  const UrlHistoryObject object = history.Create();
  Check(object != 0, "url history: the object is created in the apartment");
  history.ClearHistory(object);
  history.Release(object);
  ClearUrlHistory(ctx);
  Check(ctx.RegistryItemsRemoved == 0 && ctx.FilesDeleted == 0,
        "url history: ClearUrlHistory returns, counting nothing");
  if (com) CoUninitialize();
}

// Large enough that the workers are still flushing the last ones when the
// erasure hands them over.
constexpr std::size_t kErasedSize = 1 << 20;

// Creates `folder` with `count` files of kErasedSize bytes; returns their paths.
std::vector<std::string> PlantFiles(Files& files, const std::string& folder, int count) {
  std::vector<std::string> names;
  files.CreateFolder(folder);
  for (int i = 0; i < count; ++i) {
    names.push_back(folder + "\\erased" + std::to_string(i));
    files.WriteAll(names.back(), std::string(kErasedSize, 'o'));
  }
  return names;
}

// Overwrites each file once, marks it for deletion and hands it to Close: the
// last ones are still being flushed and closed by the workers on return.
bool EraseInBackground(Files& files, const std::vector<std::string>& names) {
  const std::string pass(kErasedSize, '\0');
  bool handled = true;
  for (const std::string& name : names) {
    const ErasableFile opened = files.OpenForErase(name);
    handled = handled && opened.handle != 0 &&
              files.Write(opened.handle, pass.data(), pass.size()) &&
              files.DeleteOnClose(opened.handle);
    files.Close(opened.handle);
  }
  return handled;
}

// Looked at past Files, whose own calls would wait for the closes first.
int FilesLeft(const std::vector<std::string>& names) {
  int left = 0;
  for (const std::string& name : names)
    if (GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES) ++left;
  return left;
}

// Erased files still with the closing workers when the program ends: the
// loop's exit preparation waits for them, so none is cut off unflushed.
void ExitChecks(Win32Bundle& win32, const std::string& temp) {
  const std::string folder = temp + "nimbrel-exitcheck-" + std::to_string(GetCurrentProcessId());
  std::vector<std::string> names = PlantFiles(win32.files, folder, 40);
  const bool handled = EraseInBackground(win32.files, names);
  std::string steps;
  win32.loop.AtExit([&] { steps += "first "; });
  win32.loop.AtExit([&] { steps += "last "; });
  const DWORD start = GetTickCount();
  win32.loop.PrepareExit();
  const DWORD spent = GetTickCount() - start;
  const int left = FilesLeft(names);
  Check(handled && left == 0 && spent < 5000,
        "exit: the 40 files being closed are gone once the loop is ready to exit (" +
            std::to_string(left) + " left, " + std::to_string(spent) + " ms)");
  win32.loop.PrepareExit();
  Check(steps == "last first ", "exit: the exit steps ran once, last given first: " + steps);
  win32.files.RemoveFolder(folder);

  // The same through Quit in a process of its own: it ends with exit code 0
  // well within the wait's bound, and every file is gone.
  names = PlantFiles(win32.files, folder, 40);
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string command = "\"" + std::string(exe) + "\" --quit-erasing \"" + folder + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  DWORD code = 1;
  if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &child)) {
    if (WaitForSingleObject(child.hProcess, 5000) == WAIT_OBJECT_0)
      GetExitCodeProcess(child.hProcess, &code);
    else
      TerminateProcess(child.hProcess, 1);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
  }
  Check(code == 0 && FilesLeft(names) == 0,
        "exit: Quit ends the process (code " + std::to_string(code) + ") with every file gone");
  for (const std::string& name : names) win32.files.Delete(name);
  win32.files.RemoveFolder(folder);
}

// The files of CutChecks: one pass written and flushed, a second under way;
// a first pass half written.
struct CutFiles {
  std::vector<std::string> flushed, unfinished;
};
constexpr std::size_t kCutSize = 4 << 20;

CutFiles CutFilesIn(const std::string& folder) {
  CutFiles f;
  for (int i = 0; i < 4; ++i) f.flushed.push_back(folder + "\\flushed" + std::to_string(i));
  for (int i = 0; i < 2; ++i) f.unfinished.push_back(folder + "\\unfinished" + std::to_string(i));
  return f;
}

// A program that ends at once while it erases (the exit's bounded wait run
// out, or the process ended from outside): a file with one whole pass flushed
// is gone, whatever its passes still to come; a file whose first pass never
// reached the disk stays, since its delete would let the system drop those bytes.
void CutChecks(Win32Bundle& win32, const std::string& temp) {
  Files& files = win32.files;
  const std::string folder = temp + "nimbrel-cutcheck-" + std::to_string(GetCurrentProcessId());
  files.CreateFolder(folder);
  const CutFiles f = CutFilesIn(folder);
  for (const auto* group : {&f.flushed, &f.unfinished})
    for (const std::string& path : *group) files.WriteAll(path, std::string(kCutSize, 'o'));
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  const long code = RunToEnd("\"" + std::string(exe) + "\" --cut-erasing \"" + folder + "\"");
  int gone = 0, stayed = 0;
  for (const std::string& path : f.flushed) gone += !Exists(files, path);
  for (const std::string& path : f.unfinished) {
    const auto data = files.ReadAll(path);
    stayed += data && data->size() == kCutSize && data->back() == 'o';
  }
  Check(code == 0 && gone == 4 && stayed == 2,
        "exit cut short: " + std::to_string(gone) + " of 4 files with a pass flushed gone, " +
            std::to_string(stayed) + " of 2 with their first pass unfinished left (exit code " +
            std::to_string(code) + ")");
  for (const auto* group : {&f.flushed, &f.unfinished})
    for (const std::string& path : *group) files.Delete(path);
  files.RemoveFolder(folder);
}

// The child of CutChecks: erases as the program does, then ends at once.
[[noreturn]] void CutErasing(Win32Bundle& win32, const std::string& folder) {
  Win32Files& files = win32.files;
  const CutFiles f = CutFilesIn(folder);
  static const std::string a(kCutSize, 'A'), b(kCutSize, 'B');
  const auto open = [&files](const std::string& path) {
    const ErasableFile opened = files.OpenForErase(path);
    if (!opened.handle || !files.DeleteOnClose(opened.handle)) ExitProcess(2);
    return opened.handle;
  };
  for (const std::string& path : f.unfinished) files.Write(open(path), a.data(), kCutSize / 2);
  for (const std::string& path : f.flushed) {
    const FileHandle h = open(path);
    files.Write(h, a.data(), kCutSize);
    files.Flush(h);
    files.Seek(h, 0);
    files.Write(h, b.data(), kCutSize / 2);
  }
  ExitProcess(0);
}

// The child of ExitChecks.
[[noreturn]] void QuitErasing(Win32Bundle& win32, const std::string& folder) {
  std::vector<std::string> names;
  for (const FileEntry& e : win32.files.Find(folder + "\\erased*"))
    names.push_back(folder + "\\" + e.name);
  if (!EraseInBackground(win32.files, names)) ExitProcess(2);
  win32.loop.Quit();
}

}  // namespace
}  // namespace nimbrel

int main(int argc, char** argv) {
  using namespace nimbrel;
  std::string link, fileLink, trash, quitErasing, cutErasing;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--link") link = argv[i + 1];
    if (option == "--file-link") fileLink = argv[i + 1];
    if (option == "--trash") trash = argv[i + 1];
    if (option == "--quit-erasing") quitErasing = argv[i + 1];
    if (option == "--cut-erasing") cutErasing = argv[i + 1];
  }
  Win32Bundle win32;
  if (!quitErasing.empty()) QuitErasing(win32, quitErasing);
  if (!cutErasing.empty()) CutErasing(win32, cutErasing);
  const std::string temp = win32.system.TempPath();

  RegistryChecks(win32.registry);
  WatchChecks(win32.registry);
  FileChecks(win32.files, temp, link, fileLink);
  LongPathChecks(win32.files, temp);
  SystemChecks(win32.system, win32.files);
  ShellChecks(win32.shell, win32.files, temp, trash);
  DesktopChecks(win32.desktop, win32.shell);
  UrlHistoryChecks(win32);
  ExitChecks(win32, temp);
  CutChecks(win32, temp);

  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
