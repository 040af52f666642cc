// NimbrelDriver: drives Nimbrel's windows from another process, one command per run.
// Windows are found by name: each form (class "NimbrelForm") and control carries the
// property "NimbrelName" holding a global atom of its name; a form also carries
// "NimbrelMenu:<name>" holding an HMENU. Exit code 0 on success, 1 when a window is
// not found or a condition is false, 2 on bad usage.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <wininet.h>
#include <sddl.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "remote_thunk.h"

namespace {

constexpr int kDefaultTimeoutMs = 20000;
constexpr UINT kSendTimeoutMs = 5000;

using Args = std::vector<std::string>;

std::string NameOf(HWND h) {
  ATOM atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(h, "NimbrelName")));
  if (atom == 0) return {};
  char name[256] = {};
  return GlobalGetAtomNameA(atom, name, sizeof name) ? name : "";
}

std::string ClassOf(HWND h) {
  char cls[128] = {};
  GetClassNameA(h, cls, sizeof cls);
  return cls;
}

bool IsClass(HWND h, const char* cls) { return lstrcmpiA(ClassOf(h).c_str(), cls) == 0; }

// Global atoms ignore case and keep the first spelling registered, so a window's
// name reads back in whatever case another window of that name was given first.
bool HasName(HWND h, const std::string& name) {
  return lstrcmpiA(NameOf(h).c_str(), name.c_str()) == 0;
}

struct Search {
  const std::string* name;
  HWND found;
  HWND fallback;  // a hidden window of that name, if no visible one
};

constexpr const char* kClassPrefix = "class:";

bool ByClass(const std::string& name) { return name.rfind(kClassPrefix, 0) == 0; }

// A form by its name, or any top-level window by "class:CLASS".
bool IsWanted(HWND h, const std::string& name) {
  if (ByClass(name)) return IsClass(h, name.c_str() + std::strlen(kClassPrefix));
  return IsClass(h, "NimbrelForm") && HasName(h, name);
}

BOOL CALLBACK FormProc(HWND h, LPARAM p) {
  auto* s = reinterpret_cast<Search*>(p);
  if (!IsWanted(h, *s->name)) return TRUE;
  if (!IsWindowVisible(h)) {
    if (!s->fallback) s->fallback = h;
    return TRUE;
  }
  s->found = h;
  return FALSE;
}

// The form of that name (or top-level window of that class), preferring a visible one.
HWND FindForm(const std::string& name) {
  Search s{&name, nullptr, nullptr};
  EnumWindows(FormProc, reinterpret_cast<LPARAM>(&s));
  return s.found ? s.found : s.fallback;
}

BOOL CALLBACK ControlProc(HWND h, LPARAM p) {
  auto* s = reinterpret_cast<Search*>(p);
  if (!HasName(h, *s->name)) return TRUE;
  s->found = h;
  return FALSE;
}

// A control of the form, at any depth (controls may sit in a container).
HWND FindControl(HWND form, const std::string& name) {
  Search s{&name, nullptr, nullptr};
  EnumChildWindows(form, ControlProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND FindWindowByNames(const std::string& form, const std::string& control) {
  HWND f = FindForm(form);
  if (!f || control.empty()) return f;
  return FindControl(f, control);
}

bool IsNumber(const std::string& s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

// Polls `ok` every 50 ms until it holds or the time is up.
template <typename F>
bool PollUntil(int timeoutMs, F ok) {
  DWORD start = GetTickCount();
  for (;;) {
    if (ok()) return true;
    if (static_cast<int>(GetTickCount() - start) >= timeoutMs) return false;
    Sleep(50);
  }
}

LRESULT Send(HWND h, UINT msg, WPARAM w, LPARAM l) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(h, msg, w, l, SMTO_NORMAL, kSendTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

LPARAM Point(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

POINT Centre(HWND h) {
  RECT r;
  GetClientRect(h, &r);
  return {r.right / 2, r.bottom / 2};
}

// Memory in the program's process, for messages whose pointers Windows does not carry
// across processes (the list view's).
class RemoteBuffer {
 public:
  RemoteBuffer(HWND owner, SIZE_T size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_)
      address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool Ok() const { return address_ != nullptr; }
  char* At(SIZE_T offset) const { return static_cast<char*>(address_) + offset; }
  LPARAM Param() const { return reinterpret_cast<LPARAM>(address_); }
  bool Write(SIZE_T offset, const void* data, SIZE_T n) const {
    return offset + n <= size_ && WriteProcessMemory(process_, At(offset), data, n, nullptr);
  }
  bool Read(SIZE_T offset, void* data, SIZE_T n) const {
    return offset + n <= size_ && ReadProcessMemory(process_, At(offset), data, n, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  SIZE_T size_;
};

constexpr SIZE_T kTextOffset = 512, kTextSize = 4096;

std::string ListViewText(HWND lv, const RemoteBuffer& buf, int item, int sub) {
  LVITEMA it{};
  it.iSubItem = sub;
  it.pszText = buf.At(kTextOffset);
  it.cchTextMax = kTextSize;
  std::vector<char> text(kTextSize + 1, '\0');
  if (!buf.Write(0, &it, sizeof it) || !buf.Write(kTextOffset, text.data(), 1)) return {};
  Send(lv, LVM_GETITEMTEXTA, item, buf.Param());
  buf.Read(kTextOffset, text.data(), kTextSize);
  return text.data();
}

int ListViewImage(HWND lv, const RemoteBuffer& buf, int item) {
  LVITEMA it{};
  it.mask = LVIF_IMAGE;
  it.iItem = item;
  if (!buf.Write(0, &it, sizeof it)) return -1;
  Send(lv, LVM_GETITEMA, 0, buf.Param());
  buf.Read(0, &it, sizeof it);
  return it.iImage;
}

std::string Ansi(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                      nullptr);
  return s;
}

// A combo box's entries, read with the W messages, which Wine carries
// across processes reliably.
int PrintStrings(HWND h, UINT countMsg, UINT lenMsg, UINT textMsg) {
  LRESULT count = SendMessageW(h, countMsg, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT len = SendMessageW(h, lenMsg, i, 0);
    if (len < 0) len = 0;
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    LRESULT got = SendMessageW(h, textMsg, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    std::printf("%s\n", Ansi(text).c_str());
  }
  return 0;
}

// A line the program's list box sends to the window LineReceiverProc serves.
struct ListLine {
  HWND list = nullptr;
  bool got = false;
  std::string text;
};

LRESULT CALLBACK LineReceiverProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg != WM_COPYDATA) return DefWindowProcA(h, msg, w, l);
  auto* line = reinterpret_cast<ListLine*>(GetWindowLongPtrA(h, GWLP_USERDATA));
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(l);
  if (!line || !data || reinterpret_cast<HWND>(w) != line->list) return FALSE;
  line->text.assign(static_cast<const char*>(data->lpData), data->lpData ? data->cbData : 0);
  line->got = true;
  return TRUE;
}

// The lines of one of the program's list boxes. They hold no text (the program draws
// each line), so each line is asked for with the program's registered message, and
// comes back in a WM_COPYDATA to a message-only window of ours.
int PrintListLines(HWND list) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = LineReceiverProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "NimbrelDriverLines";
  RegisterClassA(&wc);
  HWND receiver = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);
  if (!receiver) {
    std::fprintf(stderr, "no window to receive the lines\n");
    return 1;
  }
  ListLine line;
  line.list = list;
  SetWindowLongPtrA(receiver, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&line));
  const UINT ask = RegisterWindowMessageA("NimbrelSoft.Nimbrel.ListLine");
  const LRESULT count = Send(list, LB_GETCOUNT, 0, 0);
  int rc = 0;
  for (LRESULT i = 0; i < count; ++i) {
    line.got = false;
    Send(list, ask, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(receiver));
    if (!line.got) {
      std::fprintf(stderr, "line %d did not come\n", static_cast<int>(i));
      rc = 1;
      break;
    }
    std::printf("%s\n", line.text.c_str());
  }
  DestroyWindow(receiver);
  return rc;
}

// ---- Commands. Each gets the words after the command name. ----

HWND NeedWindow(const Args& a, size_t n) {
  HWND h = FindWindowByNames(a[0], n > 1 ? a[1] : "");
  if (!h) std::fprintf(stderr, "not found: %s%s%s\n", a[0].c_str(), n > 1 ? "." : "",
                       n > 1 ? a[1].c_str() : "");
  return h;
}

int CmdWait(const Args& a) {
  std::string control = a.size() > 1 && !IsNumber(a[1]) ? a[1] : "";
  int timeout =
      a.size() > 1 && IsNumber(a.back()) ? std::atoi(a.back().c_str()) : kDefaultTimeoutMs;
  bool ok = PollUntil(timeout, [&] {
    HWND h = FindWindowByNames(a[0], control);
    return h && IsWindowVisible(h);
  });
  if (!ok) std::fprintf(stderr, "timed out waiting for %s %s\n", a[0].c_str(), control.c_str());
  return ok ? 0 : 1;
}

int CmdGone(const Args& a) {
  int timeout = a.size() > 1 ? std::atoi(a[1].c_str()) : kDefaultTimeoutMs;
  if (PollUntil(timeout, [&] { return FindForm(a[0]) == nullptr; })) return 0;
  std::fprintf(stderr, "timed out waiting for %s to go\n", a[0].c_str());
  return 1;
}

int CmdExists(const Args& a) { return NeedWindow(a, 2) ? 0 : 1; }

BOOL CALLBACK CountProc(HWND h, LPARAM p) {
  auto* s = reinterpret_cast<std::pair<const std::string*, int>*>(p);
  if (IsClass(h, "NimbrelForm") && HasName(h, *s->first)) ++s->second;
  return TRUE;
}

// The forms of that name, shown or not, of every process.
int CmdCount(const Args& a) {
  std::pair<const std::string*, int> search{&a[0], 0};
  EnumWindows(CountProc, reinterpret_cast<LPARAM>(&search));
  std::printf("%d\n", search.second);
  return 0;
}

int CmdIconic(const Args& a) {
  HWND h = NeedWindow(a, 1);
  if (!h) return 1;
  std::printf("%d\n", IsIconic(h) ? 1 : 0);
  return 0;
}

int CmdForeground(const Args& a) {
  HWND h = NeedWindow(a, 1);
  if (!h) return 1;
  std::printf("%d\n", GetForegroundWindow() == h ? 1 : 0);
  return 0;
}

int CmdVisible(const Args& a) {
  HWND h = NeedWindow(a, 2);
  if (!h) return 1;
  std::printf("%d\n", IsWindowVisible(h) ? 1 : 0);
  return 0;
}

int CmdEnabled(const Args& a) {
  HWND h = NeedWindow(a, 2);
  if (!h) return 1;
  std::printf("%d\n", IsWindowEnabled(h) ? 1 : 0);
  return 0;
}

int CmdText(const Args& a) {
  HWND h = NeedWindow(a, 2);
  if (!h) return 1;
  std::vector<char> text(65536, '\0');
  Send(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  std::printf("%s\n", text.data());
  return 0;
}

int CmdRect(const Args& a) {
  HWND h = NeedWindow(a, a.size());
  if (!h) return 1;
  RECT r;
  GetWindowRect(h, &r);
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  return 0;
}

int CmdClient(const Args& a) {
  HWND h = NeedWindow(a, a.size());
  if (!h) return 1;
  RECT r;
  GetClientRect(h, &r);
  std::printf("%ld %ld\n", r.right, r.bottom);
  return 0;
}

int CmdClick(const Args& a) {
  HWND h = NeedWindow(a, 2);
  if (!h) return 1;
  if (IsClass(h, "Button")) {
    PostMessageA(h, BM_CLICK, 0, 0);
    return 0;
  }
  POINT c = Centre(h);
  PostMessageA(h, WM_MOUSEMOVE, 0, Point(c.x, c.y));
  PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, Point(c.x, c.y));
  PostMessageA(h, WM_LBUTTONUP, 0, Point(c.x, c.y));
  return 0;
}

// Clicks FORM.CTRL, then times until UNTIL_FORM shows, asking FORM every 100 ms
// meanwhile how long it takes to answer a message sent from outside.
int CmdTimeClick(const Args& a) {
  HWND form = FindForm(a[0]);
  if (!form || CmdClick({a[0], a[1]}) != 0) return 1;
  const int timeout = std::atoi(a[3].c_str());
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  const auto seconds = [&] {
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
  };
  std::vector<double> answers;
  for (;;) {
    HWND done = FindWindowByNames(a[2], "");
    if (done && IsWindowVisible(done)) break;
    if (seconds() * 1000 > timeout) {
      std::fprintf(stderr, "timed out waiting for %s\n", a[2].c_str());
      return 1;
    }
    const double before = seconds();
    DWORD_PTR result = 0;
    SendMessageTimeoutA(form, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
    answers.push_back((seconds() - before) * 1000);
    Sleep(100);
  }
  const double spent = seconds();
  std::vector<double> sorted = answers;
  std::sort(sorted.begin(), sorted.end());
  const double worst = sorted.empty() ? 0 : sorted.back();
  const double p99 = sorted.empty() ? 0 : sorted[(sorted.size() * 99) / 100 < sorted.size()
                                                      ? (sorted.size() * 99) / 100
                                                      : sorted.size() - 1];
  std::printf("seconds=%.3f worst_ms=%.1f p99_ms=%.1f probes=%zu\n", spent, worst, p99,
              answers.size());
  return 0;
}

int CmdHover(const Args& a) {
  HWND h = NeedWindow(a, 2);
  if (!h) return 1;
  POINT c = Centre(h);
  PostMessageA(h, WM_MOUSEMOVE, 0, Point(c.x, c.y));
  return 0;
}

// Presses at the control's centre and moves the pointer by (dx, dy) in steps. The
// program may move the window (and the control) after each step; every move is given
// relative to where the control is now, as a real pointer's would be.
int CmdDrag(const Args& a) {
  HWND h = NeedWindow(a, 2);
  if (!h) return 1;
  const int dx = std::atoi(a[2].c_str()), dy = std::atoi(a[3].c_str()), steps = 8;
  POINT start = Centre(h);
  ClientToScreen(h, &start);
  auto toClient = [h](POINT screen) {
    ScreenToClient(h, &screen);
    return Point(screen.x, screen.y);
  };
  auto where = [h] {
    RECT r;
    GetWindowRect(h, &r);
    return r;
  };
  // The real pointer goes along: the moves the system makes of it when the
  // window slides under it then agree with the posted ones.
  SetCursorPos(start.x, start.y);
  const RECT origin = where();
  PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, toClient(start));
  POINT pointer = start;
  for (int i = 1; i <= steps; ++i) {
    pointer = {start.x + dx * i / steps, start.y + dy * i / steps};
    RECT before = where();
    SetCursorPos(pointer.x, pointer.y);
    PostMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, toClient(pointer));
    // Wait for the program to follow, so the next move is relative to the new place.
    PollUntil(1000, [&] {
      RECT now = where();
      return now.left != before.left || now.top != before.top;
    });
  }
  // The system's own moves may arrive late, from a place passed on the way:
  // once they are in, the last place is given again before the button goes up.
  Sleep(300);
  PostMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, toClient(pointer));
  PollUntil(1000, [&] {
    RECT now = where();
    return now.left == origin.left + dx && now.top == origin.top + dy;
  });
  PostMessageA(h, WM_LBUTTONUP, 0, toClient(pointer));
  return 0;
}

int CmdItems(const Args& a) {
  HWND h = NeedWindow(a, 2);
  if (!h) return 1;
  if (IsClass(h, "ListBox")) return PrintListLines(h);
  if (IsClass(h, "ComboBox")) return PrintStrings(h, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
  if (!IsClass(h, WC_LISTVIEWA)) {
    std::fprintf(stderr, "no items in a %s\n", ClassOf(h).c_str());
    return 1;
  }
  RemoteBuffer buf(h, kTextOffset + kTextSize + 1);
  if (!buf.Ok()) {
    std::fprintf(stderr, "cannot reach the program's memory\n");
    return 1;
  }
  LRESULT count = Send(h, LVM_GETITEMCOUNT, 0, 0);
  for (int i = 0; i < count; ++i) {
    LRESULT state = Send(h, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK);
    int checked = ((state & LVIS_STATEIMAGEMASK) >> 12) == 2 ? 1 : 0;
    std::printf("%s\t%s\t%d\t%d\n", ListViewText(h, buf, i, 0).c_str(),
                ListViewText(h, buf, i, 1).c_str(), checked, ListViewImage(h, buf, i));
  }
  return 0;
}

// A list box's selection as its window holds it: the lines, LB_GETCURSEL (the selected
// line of a single-selection list), LB_GETSELCOUNT (the selected lines of a multiple
// one), the caret's line, and 1 when that line lies wholly in sight.
int CmdSelection(const Args& a) {
  HWND h = NeedWindow(a, 2);
  if (!h) return 1;
  const int caret = static_cast<int>(Send(h, LB_GETCARETINDEX, 0, 0));
  RemoteBuffer buf(h, sizeof(RECT));
  RECT line{}, client{};
  GetClientRect(h, &client);
  const bool inSight = buf.Ok() && Send(h, LB_GETITEMRECT, caret, buf.Param()) != LB_ERR &&
                       buf.Read(0, &line, sizeof line) && line.top >= client.top &&
                       line.bottom <= client.bottom;
  std::printf("%d %d %d %d %d\n", static_cast<int>(Send(h, LB_GETCOUNT, 0, 0)),
              static_cast<int>(Send(h, LB_GETCURSEL, 0, 0)),
              static_cast<int>(Send(h, LB_GETSELCOUNT, 0, 0)), caret, inSight ? 1 : 0);
  return 0;
}

// Ticks or unticks a list-view item's box from outside, as the user's click does.
int CmdCheck(const Args& a) {
  HWND h = NeedWindow(a, 2);
  if (!h) return 1;
  RemoteBuffer buf(h, sizeof(LVITEMA));
  LVITEMA it{};
  it.stateMask = LVIS_STATEIMAGEMASK;
  it.state = INDEXTOSTATEIMAGEMASK(a[3] == "1" ? 2 : 1);
  const int index = std::atoi(a[2].c_str());
  // Scrolled into view first, as a user ticking it would see it.
  Send(h, LVM_ENSUREVISIBLE, index, FALSE);
  if (buf.Ok() && buf.Write(0, &it, sizeof it) && Send(h, LVM_SETITEMSTATE, index, buf.Param()))
    return 0;
  std::fprintf(stderr, "cannot set item %s of %s\n", a[2].c_str(), a[1].c_str());
  return 1;
}

int CmdChecked(const Args& a) {
  HWND h = NeedWindow(a, 2);
  if (!h) return 1;
  std::printf("%d\n", static_cast<int>(Send(h, BM_GETCHECK, 0, 0)));
  return 0;
}

int CmdProgress(const Args& a) {
  HWND h = NeedWindow(a, 2);
  if (!h) return 1;
  std::printf("%d %d %d\n", static_cast<int>(Send(h, PBM_GETPOS, 0, 0)),
              static_cast<int>(Send(h, PBM_GETRANGE, TRUE, 0)),
              static_cast<int>(Send(h, PBM_GETRANGE, FALSE, 0)));
  return 0;
}

// True when the process runs with the driver's bitness: both or neither under WOW64.
// IsWow64Process is in XP SP2 and later; without it every process is native.
bool SameBitness(HANDLE process) {
  using IsWow64 = BOOL(WINAPI*)(HANDLE, PBOOL);
  auto is_wow64 = reinterpret_cast<IsWow64>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
  BOOL ours = FALSE, theirs = FALSE;
  return !is_wow64 ||
         (is_wow64(GetCurrentProcess(), &ours) && is_wow64(process, &theirs) && ours == theirs);
}

// Wine keeps a menu's contents inside the process that made it, so GetMenuItemInfo on
// the program's HMENU fails from here. The menu is read by calling user32 inside the
// program: a remote thread runs a small thunk (remote_thunk.h) that calls
// fn(args[0..3]) and returns its result as the thread's exit code. System DLLs sit at
// the same address in both processes when both have the same bitness, which is why
// the 32-bit build's driver serves the 32-bit program; the thunk checks nothing, so
// the caller compares the code first.
class RemoteCaller {
 public:
  explicit RemoteCaller(HWND owner) {
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    process_ = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                               PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                           FALSE, pid);
    if (!process_) {
      error_ = "cannot open the program's process";
    } else if (!SameBitness(process_)) {
      error_ = sizeof(void*) == 8 ? "the program is 32-bit: use the driver of its build"
                                  : "the program is 64-bit: use the driver of its build";
    } else {
      memory_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, kSize,
                                                  MEM_COMMIT | MEM_RESERVE,
                                                  PAGE_EXECUTE_READWRITE));
      if (memory_ && !WriteProcessMemory(process_, memory_, kThunk, sizeof kThunk, nullptr)) {
        VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        memory_ = nullptr;
      }
      if (!memory_) error_ = "cannot place the call in the program";
    }
  }
  ~RemoteCaller() {
    if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteCaller(const RemoteCaller&) = delete;
  RemoteCaller& operator=(const RemoteCaller&) = delete;

  bool Ok() const { return memory_ != nullptr; }
  // Why the caller is not Ok, or why the last check failed.
  const char* Error() const { return error_; }
  // Scratch space in the program for the callee's buffers.
  char* Scratch() const { return memory_ + kScratch; }
  bool Put(const void* data, SIZE_T n) const {
    return n <= kSize - kScratch && WriteProcessMemory(process_, Scratch(), data, n, nullptr);
  }
  bool Get(void* data, SIZE_T n) const {
    return n <= kSize - kScratch && ReadProcessMemory(process_, Scratch(), data, n, nullptr);
  }
  // True when the program's copy of `fn` starts with the same bytes as ours.
  bool SameCode(FARPROC fn) {
    unsigned char theirs[32], ours[32];
    std::memcpy(ours, reinterpret_cast<void*>(fn), sizeof ours);
    if (ReadProcessMemory(process_, reinterpret_cast<void*>(fn), theirs, sizeof theirs,
                          nullptr) &&
        std::memcmp(theirs, ours, sizeof ours) == 0)
      return true;
    error_ = "the program's user32 differs from the driver's";
    return false;
  }
  // Calls fn(a0, a1, a2, a3) in the program; false if the call could not be made.
  bool Call(FARPROC fn, UINT_PTR a0, UINT_PTR a1, UINT_PTR a2, UINT_PTR a3, DWORD* result) {
    UINT_PTR block[5] = {a0, a1, a2, a3, reinterpret_cast<UINT_PTR>(fn)};
    error_ = "the remote call failed";
    if (!WriteProcessMemory(process_, memory_ + kArgs, block, sizeof block, nullptr)) return false;
    HANDLE thread = CreateRemoteThread(
        process_, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(memory_), memory_ + kArgs,
        0, nullptr);
    if (!thread) return false;
    bool ok = WaitForSingleObject(thread, kSendTimeoutMs) == WAIT_OBJECT_0 &&
              GetExitCodeThread(thread, result);
    CloseHandle(thread);
    return ok;
  }

 private:
#ifdef _WIN64
  static constexpr auto& kThunk = kRemoteThunkX64;
#else
  static constexpr auto& kThunk = kRemoteThunkX86;
#endif
  static constexpr SIZE_T kArgs = 64, kScratch = 128, kSize = 4096;
  HANDLE process_ = nullptr;
  char* memory_ = nullptr;
  const char* error_ = "";
};

int CmdMenu(const Args& a) {
  HWND form = NeedWindow(a, 1);
  if (!form) return 1;
  auto menu = reinterpret_cast<UINT_PTR>(GetPropA(form, ("NimbrelMenu:" + a[1]).c_str()));
  HMODULE user32 = GetModuleHandleA("user32.dll");
  FARPROC count = GetProcAddress(user32, "GetMenuItemCount");
  FARPROC info = GetProcAddress(user32, "GetMenuItemInfoA");
  RemoteCaller remote(form);
  DWORD n = 0;
  if (!menu || !remote.Ok() || !remote.SameCode(count) || !remote.SameCode(info) ||
      !remote.Call(count, menu, 0, 0, 0, &n) || static_cast<int>(n) < 0) {
    std::fprintf(stderr, "cannot read menu %s: %s\n", a[1].c_str(),
                 menu ? remote.Error() : "the form has no such menu");
    return 1;
  }
  // The item info with its caption buffer right behind it, in the scratch space.
  struct Probe {
    MENUITEMINFOA mi;
    char caption[512];
  };
  for (DWORD i = 0; i < n; ++i) {
    Probe p{};
    p.mi.cbSize = sizeof p.mi;
    p.mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
    p.mi.dwTypeData = remote.Scratch() + offsetof(Probe, caption);
    p.mi.cch = sizeof p.caption - 1;
    DWORD ok = 0;
    if (!remote.Put(&p, sizeof p) ||
        !remote.Call(info, menu, i, TRUE, reinterpret_cast<UINT_PTR>(remote.Scratch()), &ok) ||
        !ok || !remote.Get(&p, sizeof p)) {
      std::fprintf(stderr, "cannot read item %d of menu %s\n", static_cast<int>(i), a[1].c_str());
      return 1;
    }
    p.caption[sizeof p.caption - 1] = '\0';
    if (p.mi.fType & MFT_SEPARATOR)
      std::printf("-\n");
    else
      std::printf("%s\t%d\n", p.caption, (p.mi.fState & (MFS_DISABLED | MFS_GRAYED)) ? 0 : 1);
  }
  return 0;
}

// Selects entry INDEX of a combo box as the user's pick does: the selection, then
// CBN_SELCHANGE to the form.
int CmdSelect(const Args& a) {
  HWND h = NeedWindow(a, 2);
  if (!h) return 1;
  const int index = std::atoi(a[2].c_str());
  if (IsClass(h, "ListBox")) {
    // A line added to the selection of a list box of several (or made the one
    // selected line), then LBN_SELCHANGE, as the user's ctrl+click does.
    const bool several = (GetWindowLongA(h, GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) != 0;
    if ((several ? Send(h, LB_SETSEL, TRUE, index) : Send(h, LB_SETCURSEL, index, 0)) == LB_ERR) {
      std::fprintf(stderr, "cannot select line %s of %s\n", a[2].c_str(), a[1].c_str());
      return 1;
    }
    Send(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), LBN_SELCHANGE),
         reinterpret_cast<LPARAM>(h));
    return 0;
  }
  if (!IsClass(h, "ComboBox") || Send(h, CB_SETCURSEL, index, 0) != index) {
    std::fprintf(stderr, "cannot select entry %s of %s\n", a[2].c_str(), a[1].c_str());
    return 1;
  }
  Send(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), CBN_SELCHANGE),
       reinterpret_cast<LPARAM>(h));
  return 0;
}

// Sets a date-time picker to today at HH:MM:SS, or switches its box off ("none"), as
// the user's change does: the new value, then DTN_DATETIMECHANGE to the form. Neither
// message carries its pointer across processes, so both are sent from inside the
// program, through a remote thread.
int CmdSetTime(const Args& a) {
  HWND h = NeedWindow(a, 2);
  if (!h) return 1;
  NMDATETIMECHANGE change{};
  change.nmhdr.hwndFrom = h;
  change.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(h));
  change.nmhdr.code = DTN_DATETIMECHANGE;
  GetLocalTime(&change.st);  // a valid time even for "none"
  change.dwFlags = GDT_NONE;
  if (a[2] != "none") {
    int hh = -1, mm = -1, ss = -1;
    if (std::sscanf(a[2].c_str(), "%d:%d:%d", &hh, &mm, &ss) != 3 || hh < 0 || hh > 23 ||
        mm < 0 || mm > 59 || ss < 0 || ss > 59) {
      std::fprintf(stderr, "not a time: %s\n", a[2].c_str());
      return 2;
    }
    change.st.wHour = static_cast<WORD>(hh);
    change.st.wMinute = static_cast<WORD>(mm);
    change.st.wSecond = static_cast<WORD>(ss);
    change.st.wMilliseconds = 0;
    change.dwFlags = GDT_VALID;
  }
  FARPROC send = GetProcAddress(GetModuleHandleA("user32.dll"), "SendMessageA");
  RemoteCaller remote(h);
  const auto at = reinterpret_cast<UINT_PTR>(remote.Scratch());
  DWORD ignored = 0;
  if (!IsClass(h, DATETIMEPICK_CLASSA) || !remote.Ok() || !remote.SameCode(send) ||
      !remote.Put(&change, sizeof change) ||
      !remote.Call(send, reinterpret_cast<UINT_PTR>(h), DTM_SETSYSTEMTIME, change.dwFlags,
                   at + offsetof(NMDATETIMECHANGE, st), &ignored) ||
      !remote.Call(send, reinterpret_cast<UINT_PTR>(GetParent(h)), WM_NOTIFY,
                   change.nmhdr.idFrom, at, &ignored)) {
    std::fprintf(stderr, "cannot set the time of %s: %s\n", a[1].c_str(), remote.Error());
    return 1;
  }
  return 0;
}

// Writes the form's screen area as a 24-bit bottom-up BMP. The form is repainted first,
// and the screen read until two reads 100 ms apart agree, so the picture is settled.
int CmdShot(const Args& a) {
  HWND form = NeedWindow(a, 1);
  if (!form) return 1;
  RedrawWindow(form, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT r;
  GetWindowRect(form, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int stride = (w * 3 + 3) & ~3;
  BITMAPINFOHEADER bih{};
  bih.biSize = sizeof bih;
  bih.biWidth = w;
  bih.biHeight = h;
  bih.biPlanes = 1;
  bih.biBitCount = 24;
  bih.biCompression = BI_RGB;
  bih.biSizeImage = static_cast<DWORD>(stride * h);
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS,
                                 &bits, nullptr, 0);
  bool ok = bmp != nullptr;
  if (ok) {
    HGDIOBJ old = SelectObject(mem, bmp);
    std::string previous;
    for (int tries = 0; ok && tries < 20; ++tries) {
      ok = BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) != 0;
      GdiFlush();
      std::string now(static_cast<const char*>(bits), bih.biSizeImage);
      if (now == previous) break;
      previous = std::move(now);
      Sleep(100);
    }
    SelectObject(mem, old);
  }
  if (ok) {
    BITMAPFILEHEADER bfh{};
    bfh.bfType = 0x4D42;
    bfh.bfOffBits = sizeof bfh + sizeof bih;
    bfh.bfSize = bfh.bfOffBits + bih.biSizeImage;
    FILE* f = std::fopen(a[1].c_str(), "wb");
    ok = f && std::fwrite(&bfh, sizeof bfh, 1, f) == 1 &&
         std::fwrite(&bih, sizeof bih, 1, f) == 1 &&
         std::fwrite(bits, bih.biSizeImage, 1, f) == 1;
    if (f) ok = std::fclose(f) == 0 && ok;
  }
  if (bmp) DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  if (!ok) std::fprintf(stderr, "cannot write %s\n", a[1].c_str());
  return ok ? 0 : 1;
}

// ---- The keyboard, the tray and other windows ----

// A key's virtual-key code: a letter or digit, or one of the names below.
int VirtualKey(const std::string& name) {
  static const struct {
    const char* name;
    int key;
  } kNamed[] = {{"ctrl", VK_CONTROL}, {"shift", VK_SHIFT}, {"alt", VK_MENU},
                {"down", VK_DOWN},    {"up", VK_UP},       {"return", VK_RETURN},
                {"escape", VK_ESCAPE}, {"end", VK_END}};
  for (const auto& k : kNamed)
    if (lstrcmpiA(name.c_str(), k.name) == 0) return k.key;
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
    return std::toupper(static_cast<unsigned char>(name[0]));
  return 0;
}

void SendKey(int key, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = static_cast<WORD>(key);
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(static_cast<UINT>(key), 0));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
}

// Presses the keys of COMBO ("ctrl+shift+b") in order, holds them, and lets
// them go in the reverse order, as a person does.
int CmdKeys(const Args& a) {
  std::vector<int> keys;
  for (size_t start = 0; start <= a[0].size();) {
    size_t end = a[0].find('+', start);
    if (end == std::string::npos) end = a[0].size();
    const int key = VirtualKey(a[0].substr(start, end - start));
    if (!key) {
      std::fprintf(stderr, "no such key in %s\n", a[0].c_str());
      return 2;
    }
    keys.push_back(key);
    start = end + 1;
  }
  const int hold = a.size() > 1 ? std::atoi(a[1].c_str()) : 100;
  for (int key : keys) SendKey(key, false);
  Sleep(static_cast<DWORD>(hold));
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) SendKey(*it, true);
  return 0;
}

LRESULT CALLBACK BrowserProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(h, msg, w, l);
}

// Shows a window of the browser's frame class "IEFrame" and returns once it has been
// closed (0), or when the time is up with it still open (1).
int CmdBrowserWindow(const Args& a) {
  const int timeout = a.empty() ? 60000 : std::atoi(a[0].c_str());
  WNDCLASSA wc{};
  wc.lpfnWndProc = BrowserProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "IEFrame";
  RegisterClassA(&wc);
  HWND h = CreateWindowExA(0, wc.lpszClassName, "Fake browser", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                           10, 10, 200, 120, nullptr, nullptr, wc.hInstance, nullptr);
  if (!h) {
    std::fprintf(stderr, "cannot create the IEFrame window\n");
    return 1;
  }
  const UINT_PTR timer = SetTimer(nullptr, 0, static_cast<UINT>(timeout), nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == timer) {
      std::fprintf(stderr, "the IEFrame window was not closed within %d ms\n", timeout);
      return 1;
    }
    DispatchMessageA(&msg);
  }
  std::printf("closed\n");
  return 0;
}

BOOL CALLBACK ClassCountProc(HWND h, LPARAM p) {
  auto* s = reinterpret_cast<std::pair<const std::string*, int>*>(p);
  if (IsClass(h, s->first->c_str())) ++s->second;
  return TRUE;
}

int CmdWindows(const Args& a) {
  std::pair<const std::string*, int> search{&a[0], 0};
  EnumWindows(ClassCountProc, reinterpret_cast<LPARAM>(&search));
  std::printf("%d\n", search.second);
  return 0;
}

BOOL CALLBACK ListProc(HWND h, LPARAM depth) {
  char title[128] = {};
  GetWindowTextA(h, title, sizeof title);
  RECT r;
  GetWindowRect(h, &r);
  std::printf("%*s%p\t%s\t%s\t%d\t%ld %ld %ld %ld\n", static_cast<int>(depth) * 2, "",
              static_cast<void*>(h), ClassOf(h).c_str(), title, IsWindowVisible(h) ? 1 : 0,
              r.left, r.top, r.right - r.left, r.bottom - r.top);
  if (depth == 0) EnumChildWindows(h, ListProc, 1);
  return TRUE;
}

// Every top-level window and its descendants: handle, class, title, visible, rect.
int CmdList(const Args&) {
  EnumWindows(ListProc, 0);
  return 0;
}

// The form's notify icon (id 1), as the program adds it.
NOTIFYICONDATAA IconOf(HWND form) {
  NOTIFYICONDATAA nid{};
  nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
  nid.hWnd = form;
  nid.uID = 1;
  return nid;
}

// 1 when the form has its notify icon: only an existing icon can be modified.
int CmdTray(const Args& a) {
  HWND form = NeedWindow(a, 1);
  if (!form) return 1;
  NOTIFYICONDATAA nid = IconOf(form);
  std::printf("%d\n", Shell_NotifyIconA(NIM_MODIFY, &nid) ? 1 : 0);
  return 0;
}

// What a restarted shell does: the icons are gone, and every window is told the
// taskbar is there again.
int CmdTaskbarRestart(const Args& a) {
  HWND form = NeedWindow(a, 1);
  if (!form) return 1;
  NOTIFYICONDATAA nid = IconOf(form);
  Shell_NotifyIconA(NIM_DELETE, &nid);
  PostMessageA(form, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  return 0;
}

// An icon in Wine's own tray window, which stands in when X has no tray: drawn by
// the X11 driver (Wine 8) or by explorer (later Wine).
BOOL CALLBACK TrayIconProc(HWND h, LPARAM p) {
  if ((IsClass(h, "__winex11_tray_icon") || IsClass(h, "__wine_tray_icon")) &&
      IsWindowVisible(h)) {
    *reinterpret_cast<HWND*>(p) = h;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK TrayProc(HWND h, LPARAM p) {
  if (IsWindowVisible(h)) EnumChildWindows(h, TrayIconProc, p);
  return *reinterpret_cast<HWND*>(p) == nullptr;
}

// A real click, with the left or right button, on the one icon in Wine's tray window.
int CmdClickTray(const Args& a) {
  HWND icon = nullptr;
  EnumWindows(TrayProc, reinterpret_cast<LPARAM>(&icon));
  if (!icon) {
    std::fprintf(stderr, "no icon in the tray\n");
    return 1;
  }
  RECT r;
  GetWindowRect(icon, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  Sleep(100);
  const bool right = a[0] == "right";
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof in[0]);
  return 0;
}

// With TEXT: puts it on the clipboard as CF_TEXT, owned by a window of the
// driver's (the clipboard takes no data without an owner). Without: prints the
// CF_TEXT on the clipboard, nothing when it holds none.
int CmdClipboard(const Args& a) {
  HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                               nullptr);
  bool ok = false;
  for (int tries = 0; !ok && tries < 50; ++tries) {
    ok = OpenClipboard(owner) != 0;  // another program may hold it a moment
    if (!ok) Sleep(100);
  }
  if (!ok) {
    std::fprintf(stderr, "cannot open the clipboard\n");
  } else if (a.empty()) {
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
      if (const char* text = static_cast<const char*>(GlobalLock(data))) {
        std::printf("%s", text);
        GlobalUnlock(data);
      }
    }
    CloseClipboard();
  } else {
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, a[0].size() + 1);
    ok = data != nullptr;
    if (ok) {
      std::memcpy(GlobalLock(data), a[0].c_str(), a[0].size() + 1);
      GlobalUnlock(data);
      ok = SetClipboardData(CF_TEXT, data) != nullptr;
      if (!ok) GlobalFree(data);
    }
    CloseClipboard();
    if (!ok) std::fprintf(stderr, "cannot put the text on the clipboard\n");
  }
  if (owner) DestroyWindow(owner);
  return ok ? 0 : 1;
}

// Plants a URL cache entry of type "normal", "cookie" or "history" and prints its
// local file; with "nofile" the entry has none.
int CmdCacheAdd(const Args& a) {
  DWORD type = NORMAL_CACHE_ENTRY;
  if (a[1] == "cookie")
    type = COOKIE_CACHE_ENTRY;
  else if (a[1] == "history")
    type = URLHISTORY_CACHE_ENTRY;
  else if (a[1] != "normal") {
    std::fprintf(stderr, "unknown entry type %s\n", a[1].c_str());
    return 2;
  }
  const bool withFile = a.size() < 3 || a[2] != "nofile";
  char file[MAX_PATH] = {};
  if (withFile) {
    if (!CreateUrlCacheEntryA(a[0].c_str(), 0, "htm", file, 0)) {
      std::fprintf(stderr, "CreateUrlCacheEntryA failed: %lu\n", GetLastError());
      return 1;
    }
    HANDLE h = CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    DWORD written = 0;
    const bool ok = h != INVALID_HANDLE_VALUE &&
                    WriteFile(h, a[0].c_str(), static_cast<DWORD>(a[0].size()), &written, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    if (!ok) {
      std::fprintf(stderr, "cannot write %s\n", file);
      return 1;
    }
  }
  FILETIME none{};
  if (!CommitUrlCacheEntryA(a[0].c_str(), withFile ? file : nullptr, none, none, type, nullptr,
                            0, nullptr, nullptr)) {
    std::fprintf(stderr, "CommitUrlCacheEntryA failed: %lu\n", GetLastError());
    return 1;
  }
  std::printf("%s\n", file);
  return 0;
}

// Every URL cache entry, as the program enumerates them: url<TAB>type in hex<TAB>file.
int CmdCacheList(const Args&) {
  std::vector<char> buffer(4096);
  HANDLE find = nullptr;
  // Fetches the first entry, or the next, growing the buffer as asked.
  const auto fetch = [&]() {
    for (;;) {
      DWORD size = static_cast<DWORD>(buffer.size());
      auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
      const bool ok = find ? FindNextUrlCacheEntryA(find, entry, &size) != 0
                           : (find = FindFirstUrlCacheEntryA(nullptr, entry, &size)) != nullptr;
      if (ok) return true;
      if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
      buffer.resize(size);
    }
  };
  for (bool more = fetch(); more; more = fetch()) {
    const auto* entry = reinterpret_cast<const INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
    std::printf("%s\t%lx\t%s\n", entry->lpszSourceUrlName, entry->CacheEntryType,
                entry->lpszLocalFileName ? entry->lpszLocalFileName : "");
  }
  if (find) FindCloseUrlCache(find);
  return 0;
}

// Holds FILE open without sharing (as a program that keeps it to itself) for MS
// milliseconds; prints "held" once it is open.
int CmdHold(const Args& a) {
  const HANDLE h = CreateFileA(a[0].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "cannot open %s (error %lu)\n", a[0].c_str(), GetLastError());
    return 1;
  }
  std::printf("held\n");
  std::fflush(stdout);
  Sleep(static_cast<DWORD>(std::strtoul(a[1].c_str(), nullptr, 10)));
  CloseHandle(h);
  return 0;
}

// Lets everyone read the key HKCU\PATH but change none of its values.
int CmdLockKey(const Args& a) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, a[0].c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) {
    std::fprintf(stderr, "cannot open HKCU\\%s\n", a[0].c_str());
    return 1;
  }
  PSECURITY_DESCRIPTOR sd = nullptr;
  const char* failed = nullptr;
  LONG error = ERROR_SUCCESS;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1,
                                                            &sd, nullptr)) {
    failed = "the security descriptor was not made";
    error = static_cast<LONG>(GetLastError());
  } else if ((error = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd)) != ERROR_SUCCESS) {
    failed = "RegSetKeySecurity failed";
  }
  if (sd) LocalFree(sd);
  RegCloseKey(key);
  HKEY check;
  // Wine still lets the owner open the key with DELETE access, and so delete it,
  // whatever the list says: the lock holds for its values.
  if (!failed &&
      RegOpenKeyExA(HKEY_CURRENT_USER, a[0].c_str(), 0, KEY_SET_VALUE, &check) == ERROR_SUCCESS) {
    RegCloseKey(check);
    failed = "its values can still be changed";
  }
  if (failed)
    std::fprintf(stderr, "HKCU\\%s could not be locked: %s (%ld)\n", a[0].c_str(), failed, error);
  return failed ? 1 : 0;
}

// Prints the 8.3 form of an existing path.
int CmdShortName(const Args& a) {
  char path[32768];
  const DWORD n = GetShortPathNameA(a[0].c_str(), path, sizeof path);
  if (n == 0 || n >= sizeof path) {
    std::fprintf(stderr, "no short name for %s\n", a[0].c_str());
    return 1;
  }
  std::printf("%s\n", path);
  return 0;
}

struct Command {
  const char* name;
  size_t minArgs, maxArgs;
  int (*run)(const Args&);
  const char* usage;
};

const Command kCommands[] = {
    {"wait", 1, 3, CmdWait, "FORM [CTRL] [timeout-ms]   until it is visible"},
    {"gone", 1, 2, CmdGone, "FORM [timeout-ms]          until no such form"},
    {"exists", 2, 2, CmdExists, "FORM CTRL"},
    {"count", 1, 1, CmdCount, "FORM                       forms of that name, shown or not"},
    {"iconic", 1, 1, CmdIconic, "FORM                       prints 1/0 (minimised)"},
    {"foreground", 1, 1, CmdForeground, "FORM                       prints 1/0"},
    {"visible", 2, 2, CmdVisible, "FORM CTRL                  prints 1/0"},
    {"enabled", 2, 2, CmdEnabled, "FORM CTRL                  prints 1/0"},
    {"text", 2, 2, CmdText, "FORM CTRL"},
    {"rect", 1, 2, CmdRect, "FORM [CTRL]                screen rect: x y w h"},
    {"client", 1, 2, CmdClient, "FORM [CTRL]                client size: w h"},
    {"click", 2, 2, CmdClick, "FORM CTRL"},
    {"hover", 2, 2, CmdHover, "FORM CTRL"},
    {"timeclick", 4, 4, CmdTimeClick, "FORM CTRL UNTIL_FORM timeout-ms  seconds, answer times"},
    {"drag", 4, 4, CmdDrag, "FORM CTRL DX DY"},
    {"items", 2, 2, CmdItems, "FORM CTRL                  list view, list box, combo"},
    {"selection", 2, 2, CmdSelection, "FORM CTRL                  lines cursel selcount caret"},
    {"check", 4, 4, CmdCheck, "FORM CTRL INDEX 0|1        a list-view item's box, scrolled to"},
    {"select", 3, 3, CmdSelect, "FORM CTRL INDEX            a combo box's entry, a list box's line"},
    {"settime", 3, 3, CmdSetTime, "FORM CTRL HH:MM:SS|none    a date-time picker"},
    {"checked", 2, 2, CmdChecked, "FORM CTRL                  BM_GETCHECK"},
    {"progress", 2, 2, CmdProgress, "FORM CTRL                  pos min max"},
    {"menu", 2, 2, CmdMenu, "FORM MENU                  caption<TAB>enabled, \"-\""},
    {"shot", 2, 2, CmdShot, "FORM FILE.bmp"},
    {"keys", 1, 2, CmdKeys, "COMBO [hold-ms]            e.g. ctrl+shift+b, down, return"},
    {"ieframe", 0, 1, CmdBrowserWindow, "[timeout-ms]          an IEFrame window until closed"},
    {"list", 0, 0, CmdList, "                           every window: class, title, rect"},
    {"windows", 1, 1, CmdWindows, "CLASS                      top-level windows of it"},
    {"tray", 1, 1, CmdTray, "FORM                       1/0: its notify icon is there"},
    {"taskbar-restart", 1, 1, CmdTaskbarRestart, "FORM            icon lost, TaskbarCreated"},
    {"click-tray", 1, 1, CmdClickTray, "left|right                 a click on the tray icon"},
    {"clipboard", 0, 1, CmdClipboard, "[TEXT]                     sets TEXT, or prints it"},
    {"cache-add", 2, 3, CmdCacheAdd, "URL normal|cookie|history [nofile]"},
    {"cache-list", 0, 0, CmdCacheList, "                           url<TAB>type<TAB>file"},
    {"hold", 2, 2, CmdHold, "FILE MS                    open, unshared, for MS ms"},
    {"shortname", 1, 1, CmdShortName, "PATH                       its 8.3 form"},
    {"lockkey", 1, 1, CmdLockKey, "PATH                       HKCU\\PATH read-only"},
};

int Usage() {
  std::fprintf(stderr, "usage: NimbrelDriver COMMAND ARGS\n");
  for (const Command& c : kCommands) std::fprintf(stderr, "  %-10s %s\n", c.name, c.usage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  _setmode(_fileno(stdout), _O_BINARY);  // "\n", not "\r\n", for the shell
  Args args(argv + 2, argv + argc);
  for (const Command& c : kCommands) {
    if (std::strcmp(argv[1], c.name) != 0) continue;
    if (args.size() < c.minArgs || args.size() > c.maxArgs) return Usage();
    int rc = c.run(args);
    std::fflush(stdout);
    return rc;
  }
  return Usage();
}
