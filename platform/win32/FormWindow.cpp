// The window of one form (FormWindow.h): its creation with the windows of its
// controls, menus and timers, its window procedure, and its end.
#include "platform/win32/FormWindow.h"

#include <shellapi.h>

namespace nimbrel {

namespace {

constexpr int kFirstControlId = 100;
constexpr UINT kFirstMenuId = 1000;

// The form's caption, place and minimised state on its window.
class FormView final : public ControlView {
 public:
  explicit FormView(FormWindow& w) : w_(w) {}
  void Update(Aspect aspect, int) override {
    const Form& f = w_.Model();
    const HWND hwnd = w_.Window();
    switch (aspect) {
      case Aspect::Caption: SetWindowTextA(hwnd, f.Caption().c_str()); break;
      case Aspect::Geometry:
        SetWindowPos(hwnd, nullptr, Pixels(f.Left()), Pixels(f.Top()), Pixels(f.Width()),
                     Pixels(f.Height()), SWP_NOZORDER | SWP_NOACTIVATE);
        break;
      case Aspect::Value:
        if (f.State() == WindowState::Minimized)
          ShowWindow(hwnd, SW_MINIMIZE);
        else if (IsIconic(hwnd))
          ShowWindow(hwnd, SW_RESTORE);
        break;
      default: break;
    }
  }

 private:
  FormWindow& w_;
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

void DetachMenu(MenuItem& menu) {
  menu.Attach(nullptr);
  for (MenuItem* child : menu.Children()) DetachMenu(*child);
}

// What a notify icon of the window reports: x carries the mouse message in
// twips, so that x / 15 is its number.
MouseEvent NotifyIconArgs(LPARAM mouseMessage) {
  MouseEvent e;
  e.button = 0;
  e.x = static_cast<int>(mouseMessage) * kTwipsPerPixel;
  return e;
}

// The message the shell sends every top-level window when its taskbar starts.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageA("TaskbarCreated");
  return message;
}

}  // namespace

// A timer's window timer. Switching a timer off only marks it: its next
// WM_TIMER, which the model ignores while off, kills the window timer. A timer
// switched off and on again within its own tick (as the scheduler's is, on
// every tick) then costs no server round trip under Wine.
class TimerView final : public ControlView {
 public:
  TimerView(HWND form, UINT id, Timer& timer) : form_(form), id_(id), timer_(timer) {}
  void Update(Aspect, int) override {
    if (timer_.Enabled() && timer_.Interval() > 0 && !running_)
      running_ = SetTimer(form_, id_, static_cast<UINT>(timer_.Interval()), nullptr) != 0;
  }
  void Fire() {
    if (!timer_.Enabled()) {
      KillTimer(form_, id_);
      running_ = false;
      return;
    }
    timer_.Fire();
  }

 private:
  HWND form_;
  UINT id_;
  Timer& timer_;
  bool running_ = false;
};

void FormWindow::RegisterClasses() {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &FormWindow::Proc;
  wc.hInstance = Instance();
  wc.hIcon = LoadIconA(Instance(), MAKEINTRESOURCEA(kAppIconId));
  wc.hIconSm = static_cast<HICON>(
      LoadImageA(Instance(), MAKEINTRESOURCEA(kAppIconId), IMAGE_ICON, 16, 16, 0));
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kFormClass;
  RegisterClassExA(&wc);
  RegisterControlClasses(Instance());
}

FormWindow::FormWindow(Form& form) : form_(form), nextCommand_(kFirstMenuId) {}

void FormWindow::Create() {
  Form& form = form_;
  const int width = Pixels(form.Width()), height = Pixels(form.Height());
  int x = Pixels(form.Left()), y = Pixels(form.Top());
  const bool centre = form.Centered;
  if (centre) {
    x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  }
  hwnd_ = CreateWindowExA(form.FilesDropped ? WS_EX_ACCEPTFILES : 0, kFormClass,
                          form.Caption().c_str(),
                          WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_SYSMENU, x, y, width,
                          height, nullptr, nullptr, Instance(), this);
  atom_ = SetName(hwnd_, form.Name());
  auto formView = std::make_unique<FormView>(*this);
  form.Attach(formView.get(), reinterpret_cast<WindowHandle>(hwnd_));
  others_.push_back(std::move(formView));

  int id = kFirstControlId;
  for (Control* c : form.Controls()) {
    views_.push_back(CreateControlView(*c, hwnd_, id++));
    byWindow_[views_.back()->Window()] = views_.back().get();
  }
  // Later controls lie above earlier ones.
  for (const auto& v : views_)
    SetWindowPos(v->Window(), HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);

  for (MenuItem* menu : form.Menus()) {
    HMENU h = BuildMenu(*menu);
    menus_.push_back(h);
    menuProps_.push_back(kMenuPropPrefix + menu->Name());
    SetPropA(hwnd_, menuProps_.back().c_str(), h);
  }

  UINT timerId = 1;
  for (Timer* t : form.Timers()) {
    auto view = std::make_unique<TimerView>(hwnd_, timerId, *t);
    timers_[timerId++] = view.get();
    t->Attach(view.get());
    view->Update(Aspect::Enabled, -1);
    others_.push_back(std::move(view));
  }

  // The model learns where the window went, so moving it by code starts there.
  if (centre) form.MoveTo(x * kTwipsPerPixel, y * kTwipsPerPixel);
}

void FormWindow::Destroy(bool detachModel) {
  Silence();
  if (detachModel) {
    for (Control* c : form_.Controls()) c->Attach(nullptr, 0);
    for (Timer* t : form_.Timers()) t->Attach(nullptr);
    for (MenuItem* m : form_.Menus()) DetachMenu(*m);
    form_.Attach(nullptr, 0);
  }
  for (const auto& v : views_) v->Release();
  for (const auto& [id, timer] : timers_) KillTimer(hwnd_, id);
  for (const std::string& prop : menuProps_) RemovePropA(hwnd_, prop.c_str());
  RemoveName(hwnd_, atom_);
  DestroyWindow(hwnd_);
  for (HMENU m : menus_) DestroyMenu(m);
}

HMENU FormWindow::Popup(MenuItem& menu) const {
  const auto it = popups_.find(&menu);
  return it == popups_.end() ? nullptr : it->second;
}

Win32View* FormWindow::View(HWND child) const {
  const auto it = byWindow_.find(child);
  return it == byWindow_.end() ? nullptr : it->second;
}

HMENU FormWindow::BuildMenu(MenuItem& menu) {
  HMENU popup = CreatePopupMenu();
  popups_[&menu] = popup;
  UINT position = 0;
  for (MenuItem* child : menu.Children()) {
    const UINT grey = child->Enabled() ? 0 : MF_GRAYED;
    if (child->Separator()) {
      AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    } else if (!child->Children().empty()) {
      AppendMenuA(popup, MF_POPUP | grey, reinterpret_cast<UINT_PTR>(BuildMenu(*child)),
                  child->Caption().c_str());
    } else {
      const UINT id = nextCommand_++;
      commands_[id] = child;
      AppendMenuA(popup, MF_STRING | grey, id, child->Caption().c_str());
    }
    auto view = std::make_unique<MenuView>(popup, position++, *child);
    child->Attach(view.get());
    others_.push_back(std::move(view));
  }
  return popup;
}

LRESULT CALLBACK FormWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* w = static_cast<FormWindow*>(CreatedFor(hwnd, msg, lParam));
  if (!w || w->dying_ || w->hwnd_ != hwnd) {
    if (msg == WM_PAINT) ValidateRect(hwnd, nullptr);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  HandlerScope scope;
  return w->Handle(msg, wParam, lParam);
}

// Whatever reaches the model may close this window: nothing of this object is
// touched after a model call.
LRESULT FormWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  const HWND hwnd = hwnd_;
  if (msg == ComeForwardMessage()) {
    form_.UserComeForward();
    if (IsWindow(hwnd) && IsWindowVisible(hwnd)) SetForegroundWindow(hwnd);
    return 0;
  }
  if (msg != 0 && msg == TaskbarCreatedMessage()) {
    if (form_.TaskbarCreated) form_.TaskbarCreated();
    return 0;
  }
  switch (msg) {
    case WM_COMMAND:
      if (lParam) {
        if (Win32View* v = View(reinterpret_cast<HWND>(lParam))) v->OnCommand(HIWORD(wParam));
      } else if (HIWORD(wParam) == 0) {
        const auto it = commands_.find(LOWORD(wParam));
        if (it != commands_.end()) it->second->UserClick();
      }
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (Win32View* v = View(header->hwndFrom)) return v->OnNotify(*header);
      return 0;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (Win32View* v = View(item->hwndItem)) v->OnDrawItem(*item);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      if (Win32View* v = View(reinterpret_cast<HWND>(lParam)))
        return reinterpret_cast<LRESULT>(v->OnColour(reinterpret_cast<HDC>(wParam)));
      break;
    case WM_TIMER: {
      const auto it = timers_.find(static_cast<UINT>(wParam));
      if (it != timers_.end()) it->second->Fire();
      return 0;
    }
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED && form_.State() != WindowState::Minimized)
        form_.SetStateFromWindow(WindowState::Minimized);
      else if (wParam == SIZE_RESTORED && form_.State() == WindowState::Minimized)
        form_.SetStateFromWindow(WindowState::Normal);
      return 0;
    case WM_MOUSEMOVE:
      form_.UserMouseMove(MouseArgs(ButtonsDown(wParam), wParam, lParam));
      return 0;
    case kNotifyIconMessage: form_.UserMouseMove(NotifyIconArgs(lParam)); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      const Form& form = form_;
      PaintBuffered(hwnd, [&form](HDC dc, const RECT& rc) { PaintFormBackground(dc, rc, form); });
      return 0;
    }
    case WM_CLOSE: form_.UserClose(); return 0;
    case WM_DROPFILES: {
      const auto drop = reinterpret_cast<HDROP>(wParam);
      std::vector<std::string> paths;
      const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
      for (UINT i = 0; i < count; ++i) {
        std::string path(DragQueryFileA(drop, i, nullptr, 0) + 1, '\0');
        path.resize(DragQueryFileA(drop, i, path.data(), static_cast<UINT>(path.size())));
        if (!path.empty()) paths.push_back(path);
      }
      DragFinish(drop);
      form_.UserDropFiles(paths);
      return 0;
    }
    default: break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace nimbrel
