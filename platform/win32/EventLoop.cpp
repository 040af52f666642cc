// Implements platform/EventLoop.h for Win32: pumps messages, gives each form a
// window (FormWindow.h) when it is first shown, runs modal loops, and finishes
// the files before the process ends.
#include "platform/win32/FormWindow.h"
#include "platform/win32/MessagePump.h"

namespace nimbrel {

namespace {

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

// GetMessageA, once the views show what their models hold: the queue is
// empty, so nothing more is on its way that a catch-up could save. With no
// view waiting the queue is not looked at twice (a server call under Wine).
BOOL NextMessage(MSG& msg) {
  if (ViewsWaiting() && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) CatchUpViews(true);
  return GetMessageA(&msg, nullptr, 0, 0);
}

}  // namespace

Win32EventLoop::Win32EventLoop(Files& files) : files_(files) { FormWindow::RegisterClasses(); }

Win32EventLoop::~Win32EventLoop() {
  // Forms outliving the loop are past their end; their models are not touched.
  while (!windows_.empty()) Destroy(*windows_.begin()->first, false);
}

FormWindow& Win32EventLoop::EnsureWindow(Form& form) {
  if (const auto it = windows_.find(&form); it != windows_.end()) return *it->second;
  // Known before it is created: what creating it sends may show the form.
  FormWindow& w = *(windows_[&form] = std::make_unique<FormWindow>(form));
  w.Create();
  return w;
}

void Win32EventLoop::Destroy(Form& form, bool detachModel) {
  const auto it = windows_.find(&form);
  if (it == windows_.end()) return;
  std::unique_ptr<FormWindow> w = std::move(it->second);
  windows_.erase(it);
  w->Silence();
  if (w->modalDone) {
    *w->modalDone = true;
    w->modalDone = nullptr;
    EndModal(*w);
  }
  w->Destroy(detachModel);
  closed_.push_back(std::move(w));
  FreeClosed();
}

void Win32EventLoop::FreeClosed() {
  if (HandlerScope::Idle()) closed_.clear();
}

void Win32EventLoop::DoEvents() {
  CatchUpViews(false);
  DispatchPendingMessages();
  FreeClosed();
}

void Win32EventLoop::Show(Form& form) {
  CatchUpViews(true);
  const HWND hwnd = EnsureWindow(form).Window();
  const bool wasVisible = IsWindowVisible(hwnd) != 0;
  const bool minimized = form.State() == WindowState::Minimized;
  ShowWindow(hwnd, minimized ? SW_SHOWMINNOACTIVE : SW_SHOW);
  if (!wasVisible && !minimized) SetForegroundWindow(hwnd);
  UpdateWindow(hwnd);
}

void Win32EventLoop::ShowModal(Form& form) {
  FormWindow& w = EnsureWindow(form);
  if (w.modalDone) return;
  w.previous = GetActiveWindow();
  EnumThreadWindows(GetCurrentThreadId(), &CollectEnabled, reinterpret_cast<LPARAM>(&w.disabled));
  std::erase(w.disabled, w.Window());
  for (HWND h : w.disabled) EnableWindow(h, FALSE);
  bool done = false;
  w.modalDone = &done;
  Show(form);
  while (!done) {
    MSG msg;
    const BOOL got = NextMessage(msg);
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
    ShowWindow(it->second->Window(), SW_HIDE);
}

void Win32EventLoop::Close(Form& form) { Destroy(form, true); }

void Win32EventLoop::Forget(Form& form) { Destroy(form, false); }

void Win32EventLoop::PopupMenu(Form& form, MenuItem& menu) {
  FormWindow& w = EnsureWindow(form);
  const HMENU popup = w.Popup(menu);
  if (!popup) return;
  const HWND owner = w.Window();
  POINT at;
  GetCursorPos(&at);
  // Without the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(owner);
  TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
  PostMessageA(owner, WM_NULL, 0, 0);
}

void Win32EventLoop::PrepareExit() {
  files_.Finish();
  while (!exitSteps_.empty()) {
    const std::function<void()> step = std::move(exitSteps_.back());
    exitSteps_.pop_back();
    step();
  }
}

void Win32EventLoop::AtExit(std::function<void()> step) { exitSteps_.push_back(std::move(step)); }

void Win32EventLoop::Quit() {
  PrepareExit();
  ExitProcess(0);
}

int Win32EventLoop::Run() {
  MSG msg{};
  while (NextMessage(msg) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    FreeClosed();
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace nimbrel
