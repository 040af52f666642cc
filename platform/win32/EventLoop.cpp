// Implements platform/EventLoop.h for Win32: pumps messages, gives each form a
// top-level window with its controls, menus and timers, and runs modal loops.
#include <string>

#include "platform/win32/MessagePump.h"
#include "platform/win32/Win32Ui.h"

namespace nimbrel {

namespace {

int& Depth() {
  static int depth = 0;
  return depth;
}

constexpr int kFirstControlId = 100;
constexpr UINT kFirstMenuId = 1000;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

int Pixels(int twips) { return twips / kTwipsPerPixel; }

}  // namespace

HandlerScope::HandlerScope() { ++Depth(); }
HandlerScope::~HandlerScope() { --Depth(); }
bool HandlerScope::Idle() { return Depth() == 0; }

ATOM SetName(HWND window, const std::string& name) {
  const ATOM atom = GlobalAddAtomA(name.c_str());
  SetPropA(window, kNameProp, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)));
  return atom;
}

void RemoveName(HWND window, ATOM atom) {
  RemovePropA(window, kNameProp);
  if (atom) GlobalDeleteAtom(atom);
}

// Everything one form's window consists of.
struct Win32EventLoop::FormWindow {
  Form* form = nullptr;
  HWND hwnd = nullptr;
  ATOM atom = 0;
  bool dying = false;
  bool* modalDone = nullptr;   // set while a modal loop runs for it
  std::vector<HWND> disabled;  // what its modal loop disabled
  HWND previous = nullptr;     // active before the modal loop
  std::vector<std::unique_ptr<Win32View>> views;
  std::map<HWND, Win32View*> byWindow;
  std::vector<std::unique_ptr<ControlView>> others;  // the form's, timers' and menus' views
  std::map<UINT, Timer*> timers;
  std::map<UINT, MenuItem*> commands;
  std::map<MenuItem*, HMENU> popups;
  std::vector<HMENU> menus;  // the top-level ones
  std::vector<std::string> menuProps;
  UINT nextCommand = kFirstMenuId;

  Win32View* View(HWND child) const {
    const auto it = byWindow.find(child);
    return it == byWindow.end() ? nullptr : it->second;
  }
};

namespace {

using FormWindow = Win32EventLoop::FormWindow;

// The form's caption, place and minimised state on its window.
class FormView final : public ControlView {
 public:
  explicit FormView(FormWindow& w) : w_(w) {}
  void Update(Aspect aspect, int) override {
    const Form& f = *w_.form;
    switch (aspect) {
      case Aspect::Caption: SetWindowTextA(w_.hwnd, f.Caption().c_str()); break;
      case Aspect::Geometry:
        SetWindowPos(w_.hwnd, nullptr, Pixels(f.Left()), Pixels(f.Top()), Pixels(f.Width()),
                     Pixels(f.Height()), SWP_NOZORDER | SWP_NOACTIVATE);
        break;
      case Aspect::Value:
        if (f.State() == WindowState::Minimized)
          ShowWindow(w_.hwnd, SW_MINIMIZE);
        else if (IsIconic(w_.hwnd))
          ShowWindow(w_.hwnd, SW_RESTORE);
        break;
      default: break;
    }
  }

 private:
  FormWindow& w_;
};

class TimerView final : public ControlView {
 public:
  TimerView(HWND form, UINT id, Timer& timer) : form_(form), id_(id), timer_(timer) {}
  void Update(Aspect, int) override {
    if (timer_.Enabled() && timer_.Interval() > 0)
      SetTimer(form_, id_, static_cast<UINT>(timer_.Interval()), nullptr);
    else
      KillTimer(form_, id_);
  }

 private:
  HWND form_;
  UINT id_;
  Timer& timer_;
};

class MenuView final : public ControlView {
 public:
  MenuView(HMENU menu, UINT position, MenuItem& item)
      : menu_(menu), position_(position), item_(item) {}
  void Update(Aspect, int) override {
    EnableMenuItem(menu_, position_, MF_BYPOSITION | (item_.Enabled() ? MF_ENABLED : MF_GRAYED));
  }

 private:
  HMENU menu_;
  UINT position_;
  MenuItem& item_;
};

HMENU BuildMenu(FormWindow& w, MenuItem& menu) {
  HMENU popup = CreatePopupMenu();
  w.popups[&menu] = popup;
  UINT position = 0;
  for (MenuItem* child : menu.Children()) {
    const UINT grey = child->Enabled() ? 0 : MF_GRAYED;
    if (child->Separator()) {
      AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    } else if (!child->Children().empty()) {
      AppendMenuA(popup, MF_POPUP | grey, reinterpret_cast<UINT_PTR>(BuildMenu(w, *child)),
                  child->Caption().c_str());
    } else {
      const UINT id = w.nextCommand++;
      w.commands[id] = child;
      AppendMenuA(popup, MF_STRING | grey, id, child->Caption().c_str());
    }
    auto view = std::make_unique<MenuView>(popup, position++, *child);
    child->Attach(view.get());
    w.others.push_back(std::move(view));
  }
  return popup;
}

void DetachMenu(MenuItem& menu) {
  menu.Attach(nullptr);
  for (MenuItem* child : menu.Children()) DetachMenu(*child);
}

template <class F>
void PaintBuffered(HWND hwnd, F paint) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  const RECT& rc = ps.rcPaint;
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  if (w > 0 && h > 0) {
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    SetViewportOrgEx(mem, -rc.left, -rc.top, nullptr);
    RECT client;
    GetClientRect(hwnd, &client);
    paint(mem, client);
    SetViewportOrgEx(mem, 0, 0, nullptr);
    BitBlt(dc, rc.left, rc.top, w, h, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
  }
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrA(
        hwnd, GWLP_USERDATA,
        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
  auto* w = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!w || w->dying || w->hwnd != hwnd) {
    if (msg == WM_PAINT) ValidateRect(hwnd, nullptr);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  HandlerScope scope;
  // Whatever reaches the model may close this window: nothing of `w` is
  // touched after a model call.
  switch (msg) {
    case WM_COMMAND:
      if (lParam) {
        if (Win32View* v = w->View(reinterpret_cast<HWND>(lParam))) v->OnCommand(HIWORD(wParam));
      } else if (HIWORD(wParam) == 0) {
        const auto it = w->commands.find(LOWORD(wParam));
        if (it != w->commands.end()) it->second->UserClick();
      }
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (Win32View* v = w->View(header->hwndFrom)) return v->OnNotify(*header);
      return 0;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (Win32View* v = w->View(item->hwndItem)) v->OnDrawItem(*item);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      if (Win32View* v = w->View(reinterpret_cast<HWND>(lParam)))
        return reinterpret_cast<LRESULT>(v->OnColour(reinterpret_cast<HDC>(wParam)));
      break;
    case WM_TIMER: {
      const auto it = w->timers.find(static_cast<UINT>(wParam));
      if (it != w->timers.end()) it->second->Fire();
      return 0;
    }
    case WM_SIZE: {
      Form& form = *w->form;
      if (wParam == SIZE_MINIMIZED && form.State() != WindowState::Minimized)
        form.SetStateFromWindow(WindowState::Minimized);
      else if (wParam == SIZE_RESTORED && form.State() == WindowState::Minimized)
        form.SetStateFromWindow(WindowState::Normal);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      const Form& form = *w->form;
      PaintBuffered(hwnd, [&form](HDC dc, const RECT& rc) { PaintFormBackground(dc, rc, form); });
      return 0;
    }
    case WM_CLOSE: w->form->UserClose(); return 0;
    default: break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

BOOL CALLBACK CollectEnabled(HWND hwnd, LPARAM param) {
  auto* found = reinterpret_cast<std::vector<HWND>*>(param);
  if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) found->push_back(hwnd);
  return TRUE;
}

// Gives back what a modal loop took: the other windows, and the activation.
void EndModal(FormWindow& w) {
  for (HWND h : w.disabled)
    if (IsWindow(h)) EnableWindow(h, TRUE);
  w.disabled.clear();
  if (w.previous && IsWindow(w.previous) && IsWindowVisible(w.previous))
    SetForegroundWindow(w.previous);
  w.previous = nullptr;
}

}  // namespace

Win32EventLoop::Win32EventLoop() {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &FormProc;
  wc.hInstance = Instance();
  wc.hIcon = LoadIconA(Instance(), MAKEINTRESOURCEA(kAppIconId));
  wc.hIconSm = static_cast<HICON>(
      LoadImageA(Instance(), MAKEINTRESOURCEA(kAppIconId), IMAGE_ICON, 16, 16, 0));
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kFormClass;
  RegisterClassExA(&wc);
  RegisterControlClasses(Instance());
}

Win32EventLoop::~Win32EventLoop() {
  // Forms outliving the loop are past their end; their models are not touched.
  while (!windows_.empty()) Destroy(*windows_.begin()->first, false);
}

Win32EventLoop::FormWindow& Win32EventLoop::EnsureWindow(Form& form) {
  if (const auto it = windows_.find(&form); it != windows_.end()) return *it->second;
  auto owned = std::make_unique<FormWindow>();
  FormWindow& w = *owned;
  windows_[&form] = std::move(owned);
  w.form = &form;

  const int width = Pixels(form.Width()), height = Pixels(form.Height());
  int x = Pixels(form.Left()), y = Pixels(form.Top());
  const bool centre = form.Centered;
  if (centre) {
    x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  }
  w.hwnd = CreateWindowExA(0, kFormClass, form.Caption().c_str(),
                           WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_SYSMENU, x, y, width,
                           height, nullptr, nullptr, Instance(), &w);
  w.atom = SetName(w.hwnd, form.Name());
  auto formView = std::make_unique<FormView>(w);
  form.Attach(formView.get(), reinterpret_cast<WindowHandle>(w.hwnd));
  w.others.push_back(std::move(formView));

  int id = kFirstControlId;
  for (Control* c : form.Controls()) {
    w.views.push_back(CreateControlView(*c, w.hwnd, id++));
    w.byWindow[w.views.back()->Window()] = w.views.back().get();
  }
  // Later controls lie above earlier ones.
  for (const auto& v : w.views)
    SetWindowPos(v->Window(), HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);

  for (MenuItem* menu : form.Menus()) {
    HMENU h = BuildMenu(w, *menu);
    w.menus.push_back(h);
    w.menuProps.push_back(kMenuPropPrefix + menu->Name());
    SetPropA(w.hwnd, w.menuProps.back().c_str(), h);
  }

  UINT timerId = 1;
  for (Timer* t : form.Timers()) {
    auto view = std::make_unique<TimerView>(w.hwnd, timerId, *t);
    w.timers[timerId++] = t;
    t->Attach(view.get());
    view->Update(Aspect::Enabled, -1);
    w.others.push_back(std::move(view));
  }

  // The model learns where the window went, so moving it by code starts there.
  if (centre) form.MoveTo(x * kTwipsPerPixel, y * kTwipsPerPixel);
  return w;
}

void Win32EventLoop::Destroy(Form& form, bool detachModel) {
  const auto it = windows_.find(&form);
  if (it == windows_.end()) return;
  std::unique_ptr<FormWindow> w = std::move(it->second);
  windows_.erase(it);
  w->dying = true;
  if (w->modalDone) {
    *w->modalDone = true;
    w->modalDone = nullptr;
    EndModal(*w);
  }
  if (detachModel) {
    for (Control* c : form.Controls()) c->Attach(nullptr, 0);
    for (Timer* t : form.Timers()) t->Attach(nullptr);
    for (MenuItem* m : form.Menus()) DetachMenu(*m);
    form.Attach(nullptr, 0);
  }
  for (const auto& v : w->views) v->Release();
  for (const auto& [id, timer] : w->timers) KillTimer(w->hwnd, id);
  for (const std::string& prop : w->menuProps) RemovePropA(w->hwnd, prop.c_str());
  RemoveName(w->hwnd, w->atom);
  DestroyWindow(w->hwnd);
  for (HMENU m : w->menus) DestroyMenu(m);
  closed_.push_back(std::move(w));
  FreeClosed();
}

void Win32EventLoop::FreeClosed() {
  if (HandlerScope::Idle()) closed_.clear();
}

void Win32EventLoop::DoEvents() {
  DispatchPendingMessages();
  FreeClosed();
}

void Win32EventLoop::Show(Form& form) {
  FormWindow& w = EnsureWindow(form);
  const bool wasVisible = IsWindowVisible(w.hwnd) != 0;
  const bool minimized = form.State() == WindowState::Minimized;
  ShowWindow(w.hwnd, minimized ? SW_SHOWMINNOACTIVE : SW_SHOW);
  if (!wasVisible && !minimized) SetForegroundWindow(w.hwnd);
  UpdateWindow(w.hwnd);
}

void Win32EventLoop::ShowModal(Form& form) {
  FormWindow& w = EnsureWindow(form);
  if (w.modalDone) return;
  w.previous = GetActiveWindow();
  EnumThreadWindows(GetCurrentThreadId(), &CollectEnabled, reinterpret_cast<LPARAM>(&w.disabled));
  std::erase(w.disabled, w.hwnd);
  for (HWND h : w.disabled) EnableWindow(h, FALSE);
  bool done = false;
  w.modalDone = &done;
  Show(form);
  while (!done) {
    MSG msg;
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    FreeClosed();
  }
  // Closing ended the loop and gave everything back; only WM_QUIT leaves it open.
  if (!done) {
    w.modalDone = nullptr;
    EndModal(w);
  }
}

void Win32EventLoop::Hide(Form& form) {
  if (const auto it = windows_.find(&form); it != windows_.end())
    ShowWindow(it->second->hwnd, SW_HIDE);
}

void Win32EventLoop::Close(Form& form) { Destroy(form, true); }

void Win32EventLoop::Forget(Form& form) { Destroy(form, false); }

void Win32EventLoop::PopupMenu(Form& form, MenuItem& menu) {
  FormWindow& w = EnsureWindow(form);
  const auto it = w.popups.find(&menu);
  if (it == w.popups.end()) return;
  const HWND owner = w.hwnd;
  const HMENU popup = it->second;
  POINT at;
  GetCursorPos(&at);
  // Without the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(owner);
  TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
  PostMessageA(owner, WM_NULL, 0, 0);
}

void Win32EventLoop::Quit() { ExitProcess(0); }

int Win32EventLoop::Run() {
  MSG msg{};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    FreeClosed();
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace nimbrel
