// Implements the views of platform/Controls.h for Win32: a real child window
// per control model, kept in step with the model both ways.
#include <windowsx.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Text.h"
#include "platform/win32/SystemTime.h"
#include "platform/win32/Win32Ui.h"

namespace nimbrel {

namespace {

std::string WindowText(HWND hwnd) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

LRESULT Send(HWND hwnd, UINT message, WPARAM w = 0, LPARAM l = 0) {
  return SendMessageA(hwnd, message, w, l);
}

template <class T>
LPARAM Ptr(T* p) {
  return reinterpret_cast<LPARAM>(p);
}

// Sets a flag for as long as the view itself writes to its window, so the
// notifications that writing causes are not taken for the user's.
class Writing {
 public:
  explicit Writing(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
  ~Writing() { flag_ = was_; }
  Writing(const Writing&) = delete;
  Writing& operator=(const Writing&) = delete;

 private:
  bool& flag_;
  bool was_;
};

// Puts `proc` in front of the procedure of a window of a system class, with
// `view` in the window's user data; returns the class's own procedure.
WNDPROC Subclass(HWND hwnd, void* view, WNDPROC proc) {
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
  return reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

// Passes a message on to the class's own procedure, which gets its window
// back as the window goes.
LRESULT CallBase(WNDPROC base, HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_NCDESTROY) SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
  return CallWindowProcA(base, hwnd, msg, w, l);
}

void TrackLeave(HWND hwnd) {
  TRACKMOUSEEVENT t{};
  t.cbSize = sizeof t;
  t.dwFlags = TME_LEAVE;
  t.hwndTrack = hwnd;
  TrackMouseEvent(&t);
}

}  // namespace

// ---- The common part ---------------------------------------------------------

namespace {

// The views with noted aspects, in the order they first noted one.
std::vector<Win32View*>& Noting() {
  static std::vector<Win32View*> views;
  return views;
}

}  // namespace

bool ViewsWaiting() { return !Noting().empty(); }

void CatchUpViews(bool now) {
  static DWORD last = GetTickCount();
  if (Noting().empty() || (!now && GetTickCount() - last < kCatchUpInterval)) return;
  last = GetTickCount();
  // Showing may change other models (a window's notification): take the list first.
  std::vector<Win32View*> views;
  views.swap(Noting());
  for (Win32View* view : views) view->CatchUp();
}

Win32View::~Win32View() {
  Release();
  std::erase(Noting(), this);
}

void Win32View::Release() {
  if (released_) return;
  released_ = true;
  noted_ = 0;
  if (hwnd_) RemoveName(hwnd_, atom_);
  atom_ = 0;
}

void Win32View::CreateWindowFor(HWND form, int id, const char* windowClass, DWORD style,
                                DWORD exStyle, void* createParam) {
  const RECT b = Bounds();
  // Every control starts its own group, so an auto radio button never clears
  // the option buttons of another container: the model does that.
  style |= WS_CHILD | WS_CLIPSIBLINGS | WS_GROUP;
  if (model_.Shown()) style |= WS_VISIBLE;
  if (!model_.Enabled()) style |= WS_DISABLED;
  hwnd_ =
      CreateWindowExA(exStyle, windowClass, model_.Caption().c_str(), style, b.left, b.top,
                      b.right - b.left, WindowHeight(), form,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), createParam);
  shownAt_ = b;
  Send(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(SkinFont(model_.Style())), FALSE);
  atom_ = SetName(hwnd_, model_.Name());
  model_.Attach(this, reinterpret_cast<WindowHandle>(hwnd_));
}

int Win32View::WindowHeight() const { return Pixels(model_.Height()); }

RECT Win32View::Bounds() const {
  const int x = Pixels(model_.Left()), y = Pixels(model_.Top());
  return {x, y, x + Pixels(model_.Width()), y + Pixels(model_.Height())};
}

void Win32View::InvalidateBorder(const RECT& bounds) const {
  if (!HasSkinBorder(model_)) return;
  RECT ring = bounds;
  InflateRect(&ring, 1, 1);
  RedrawWindow(GetParent(hwnd_), &ring, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

bool Win32View::MayDefer(Aspect, int) const { return false; }

void Win32View::ShowNoted(unsigned aspects) {
  for (Aspect aspect : {Aspect::Caption, Aspect::Value, Aspect::ItemAdded, Aspect::Selection})
    if (aspects & Bit(aspect)) Refresh(aspect, -1);
}

void Win32View::CatchUp() {
  const unsigned aspects = noted_;
  noted_ = 0;
  std::erase(Noting(), this);
  if (aspects && !released_ && hwnd_) ShowNoted(aspects);
}

void Win32View::Update(Aspect aspect, int index) {
  if (released_ || !hwnd_) return;
  if (MayDefer(aspect, index)) {
    if (!noted_) Noting().push_back(this);
    noted_ |= Bit(aspect);
    return;
  }
  CatchUp();
  switch (aspect) {
    case Aspect::Geometry: {
      const RECT b = Bounds();
      InvalidateBorder(shownAt_);
      MoveWindow(hwnd_, b.left, b.top, b.right - b.left, WindowHeight(), TRUE);
      shownAt_ = b;
      InvalidateBorder(b);
      break;
    }
    case Aspect::Visible:
      ShowWindow(hwnd_, model_.Shown() ? SW_SHOWNA : SW_HIDE);
      InvalidateBorder(shownAt_);
      break;
    case Aspect::Enabled:
      EnableWindow(hwnd_, model_.Enabled());
      InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    default: Refresh(aspect, index); break;
  }
}

void Win32View::ShowCaption() {
  if (WindowText(hwnd_) != model_.Caption()) SetWindowTextA(hwnd_, model_.Caption().c_str());
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32View::ShowLook() {
  Send(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(SkinFont(model_.Style())), TRUE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

HBRUSH Win32View::OnColour(HDC dc) {
  SetTextColor(dc, model_.Enabled() ? SkinTextColour(model_) : GetSysColor(COLOR_GRAYTEXT));
  SetBkColor(dc, model_.BackColour());
  return SkinBrush(model_.BackColour());
}

namespace {

// ---- Windows of our own classes: labels, images, panels, frames -------------

// Passes the pointer to the model; a left press and release on the window
// is a click. The button held down captures the pointer, so drags go on.
class OwnView : public Win32View {
 public:
  using Win32View::Win32View;
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);

 protected:
  virtual void Paint(HDC dc, const RECT& rc) = 0;
  // Pictures that light up under the pointer repaint on entering and leaving.
  virtual bool LitOnHover() const { return false; }
  bool Hot() const { return hot_ && Model().Enabled(); }
  // Labels show counters and paths that change with every file of a run.
  bool MayDefer(Aspect aspect, int) const override { return aspect == Aspect::Caption; }
  void Refresh(Aspect aspect, int) override {
    if (aspect == Aspect::Caption)
      ShowCaption();
    else
      InvalidateRect(Window(), nullptr, FALSE);
  }

 private:
  LRESULT Handle(UINT msg, WPARAM w, LPARAM l);
  bool hot_ = false;
  bool pressed_ = false;
};

LRESULT CALLBACK OwnView::Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  auto* view = static_cast<OwnView*>(CreatedFor(hwnd, msg, l));
  if (!view || view->Released() || view->Window() != hwnd) {
    if (msg == WM_PAINT || msg == WM_ERASEBKGND) ValidateRect(hwnd, nullptr);
    return DefWindowProcA(hwnd, msg, w, l);
  }
  HandlerScope scope;
  return view->Handle(msg, w, l);
}

LRESULT OwnView::Handle(UINT msg, WPARAM w, LPARAM l) {
  const HWND hwnd = Window();
  Control& model = Model();
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: PaintBuffered(hwnd, [this](HDC dc, const RECT& rc) { Paint(dc, rc); }); return 0;
    case WM_SETCURSOR:
      if (LOWORD(l) == HTCLIENT && model.Click && model.Enabled()) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE:
      if (!hot_) {
        hot_ = true;
        TrackLeave(hwnd);
        if (LitOnHover()) InvalidateRect(hwnd, nullptr, FALSE);
      }
      model.UserMouseMove(MouseArgs(ButtonsDown(w), w, l));
      return 0;
    case WM_MOUSELEAVE:
      hot_ = false;
      if (LitOnHover()) InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      const int button = msg == WM_LBUTTONDOWN ? 1 : msg == WM_RBUTTONDOWN ? 2 : 4;
      if (button == 1) pressed_ = true;
      SetCapture(hwnd);
      model.UserMouseDown(MouseArgs(button, w, l));
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const int button = msg == WM_LBUTTONUP ? 1 : msg == WM_RBUTTONUP ? 2 : 4;
      RECT rc;
      GetClientRect(hwnd, &rc);
      const POINT at{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      const bool click = button == 1 && pressed_ && PtInRect(&rc, at);
      if (button == 1) pressed_ = false;
      if (!(w & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && GetCapture() == hwnd) ReleaseCapture();
      model.UserMouseUp(MouseArgs(button, w, l));
      // The handler may have closed the window; the view then stays quiet.
      if (click && !Released()) model.UserClick();
      return 0;
    }
    default: break;
  }
  return DefWindowProcA(hwnd, msg, w, l);
}

class LabelView final : public OwnView {
 public:
  explicit LabelView(Label& label) : OwnView(label) {}
  void Create(HWND form, int id) override { CreateWindowFor(form, id, kLabelClass, 0, 0, this); }

 private:
  void Paint(HDC dc, const RECT& rc) override { PaintLabel(dc, rc, Model()); }
};

class ImageView final : public OwnView {
 public:
  explicit ImageView(Image& image) : OwnView(image), image_(image) {}
  void Create(HWND form, int id) override { CreateWindowFor(form, id, kImageClass, 0, 0, this); }

 private:
  void Paint(HDC dc, const RECT& rc) override { PaintImage(dc, rc, image_, Hot()); }
  bool LitOnHover() const override {
    const Picture p = image_.Shows();
    return p == Picture::Close || p == Picture::Minimize || p == Picture::Help;
  }
  Image& image_;
};

class PanelView final : public OwnView {
 public:
  explicit PanelView(PictureBox& panel) : OwnView(panel), panel_(panel) {}
  void Create(HWND form, int id) override { CreateWindowFor(form, id, kPanelClass, 0, 0, this); }

 private:
  void Paint(HDC dc, const RECT& rc) override { PaintPanel(dc, rc, panel_); }
  PictureBox& panel_;
};

class FrameView final : public OwnView {
 public:
  explicit FrameView(Frame& frame) : OwnView(frame), frame_(frame) {}
  void Create(HWND form, int id) override { CreateWindowFor(form, id, kFrameClass, 0, 0, this); }

 private:
  void Paint(HDC dc, const RECT& rc) override { PaintFrame(dc, rc, frame_); }
  Frame& frame_;
};

// ---- Buttons -------------------------------------------------------------------

class CheckBoxView final : public Win32View {
 public:
  explicit CheckBoxView(CheckBox& box) : Win32View(box), box_(box) {}
  void Create(HWND form, int id) override {
    CreateWindowFor(form, id, "BUTTON", BS_AUTOCHECKBOX, 0);
    Refresh(Aspect::Value, -1);
  }
  void OnCommand(int code) override {
    if (code != BN_CLICKED) return;
    box_.SetValue(Send(Window(), BM_GETCHECK) == BST_CHECKED ? 1 : 0);
    if (!Released()) box_.UserClick();
  }

 private:
  void Refresh(Aspect aspect, int) override {
    if (aspect == Aspect::Value)
      Send(Window(), BM_SETCHECK, box_.Value() ? BST_CHECKED : BST_UNCHECKED);
    else if (aspect == Aspect::Caption)
      ShowCaption();
    else if (aspect == Aspect::Look)
      ShowLook();
  }
  CheckBox& box_;
};

class OptionButtonView final : public Win32View {
 public:
  explicit OptionButtonView(OptionButton& option) : Win32View(option), option_(option) {}
  void Create(HWND form, int id) override {
    CreateWindowFor(form, id, "BUTTON", BS_AUTORADIOBUTTON, 0);
    Refresh(Aspect::Value, -1);
  }
  void OnCommand(int code) override {
    if (code != BN_CLICKED) return;
    option_.SetValue(true);
    if (!Released()) option_.UserClick();
  }

 private:
  void Refresh(Aspect aspect, int) override {
    if (aspect == Aspect::Value)
      Send(Window(), BM_SETCHECK, option_.Value() ? BST_CHECKED : BST_UNCHECKED);
    else if (aspect == Aspect::Caption)
      ShowCaption();
    else if (aspect == Aspect::Look)
      ShowLook();
  }
  OptionButton& option_;
};

// An owner-drawn push button that lights up while the pointer is over it.
class PictureButtonView final : public Win32View {
 public:
  explicit PictureButtonView(PictureButton& button) : Win32View(button) {}
  void Create(HWND form, int id) override {
    CreateWindowFor(form, id, "BUTTON", BS_OWNERDRAW, 0);
    base_ = Subclass(Window(), this, &Proc);
  }
  void OnCommand(int code) override {
    if (code == BN_CLICKED || code == BN_DOUBLECLICKED) Model().UserClick();
  }
  void OnDrawItem(const DRAWITEMSTRUCT& item) override {
    const RECT rc = item.rcItem;
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    HDC mem = CreateCompatibleDC(item.hDC);
    HBITMAP bmp = CreateCompatibleBitmap(item.hDC, w > 0 ? w : 1, h > 0 ? h : 1);
    HGDIOBJ old = SelectObject(mem, bmp);
    const RECT local{0, 0, w, h};
    PaintPictureButton(mem, local, Model(), hot_, (item.itemState & ODS_SELECTED) != 0);
    BitBlt(item.hDC, rc.left, rc.top, w, h, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    auto* view = reinterpret_cast<PictureButtonView*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    const WNDPROC base = view->base_;
    if (!view->Released()) {
      if (msg == WM_MOUSEMOVE && !view->hot_) {
        view->hot_ = true;
        TrackLeave(hwnd);
        InvalidateRect(hwnd, nullptr, FALSE);
      } else if (msg == WM_MOUSELEAVE) {
        view->hot_ = false;
        InvalidateRect(hwnd, nullptr, FALSE);
      } else if (msg == WM_SETCURSOR && LOWORD(l) == HTCLIENT) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
      } else if (msg == WM_ERASEBKGND) {
        return 1;
      }
    }
    return CallBase(base, hwnd, msg, w, l);
  }
  void Refresh(Aspect aspect, int) override {
    if (aspect == Aspect::Caption)
      ShowCaption();
    else
      InvalidateRect(Window(), nullptr, FALSE);
  }
  WNDPROC base_ = nullptr;
  bool hot_ = false;
};

// ---- Text and lists --------------------------------------------------------------

class TextBoxView final : public Win32View {
 public:
  explicit TextBoxView(TextBox& box) : Win32View(box), box_(box) {}
  void Create(HWND form, int id) override {
    DWORD style = ES_AUTOHSCROLL;
    if (box_.MultiLine) style = ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL;
    if (box_.Locked()) style |= ES_READONLY;
    Writing w(writing_);
    CreateWindowFor(form, id, "EDIT", style, 0);
    Send(Window(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(3, 3));
  }
  void OnCommand(int code) override {
    if (code == EN_CHANGE && !writing_) box_.SetText(WindowText(Window()));
  }

 private:
  void Refresh(Aspect aspect, int) override {
    if (aspect == Aspect::Caption) {
      Writing w(writing_);
      ShowCaption();
    } else if (aspect == Aspect::Look) {
      ShowLook();
    } else if (aspect == Aspect::ReadOnly) {
      Send(Window(), EM_SETREADONLY, box_.Locked() ? TRUE : FALSE);
    }
  }
  TextBox& box_;
  bool writing_ = false;
};

class ComboBoxView final : public Win32View {
 public:
  explicit ComboBoxView(ComboBox& combo) : Win32View(combo), combo_(combo) {}
  void Create(HWND form, int id) override {
    CreateWindowFor(form, id, "COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 0);
    Refresh(Aspect::Items, -1);
  }
  void OnCommand(int code) override {
    if (code == CBN_SELCHANGE) combo_.SetListIndex(static_cast<int>(Send(Window(), CB_GETCURSEL)));
  }

 private:
  int WindowHeight() const override { return Win32View::WindowHeight() + 200; }
  void Refresh(Aspect aspect, int index) override {
    const HWND h = Window();
    switch (aspect) {
      case Aspect::Items:
        Send(h, CB_RESETCONTENT);
        for (int i = 0; i < combo_.ListCount(); ++i)
          Send(h, CB_ADDSTRING, 0, Ptr(combo_.List(i).c_str()));
        Send(h, CB_SETCURSEL, static_cast<WPARAM>(combo_.ListIndex()));
        break;
      case Aspect::ItemAdded:
        Send(h, CB_INSERTSTRING, static_cast<WPARAM>(index), Ptr(combo_.List(index).c_str()));
        break;
      case Aspect::Selection: Send(h, CB_SETCURSEL, static_cast<WPARAM>(combo_.ListIndex())); break;
      case Aspect::Look: ShowLook(); break;
      default: break;
    }
  }
  ComboBox& combo_;
};

// An owner-drawn list box without data: the window keeps only the number of
// lines and their selection, and the view draws each line from the model. A
// million lines then cost the window one count instead of a million copies,
// which take a list box minutes under Wine.
class ListBoxView final : public Win32View {
 public:
  explicit ListBoxView(ListBox& list) : Win32View(list), list_(list) {}
  // A line appended and the selection follow a run at the window's own pace.
  bool MayDefer(Aspect aspect, int index) const override {
    if (aspect == Aspect::ItemAdded) return index == list_.ListCount() - 1 && !writing_;
    return aspect == Aspect::Selection && !writing_;
  }
  void ShowNoted(unsigned aspects) override {
    const HWND h = Window();
    if (!(aspects & Bit(Aspect::ItemAdded))) {
      if (aspects & Bit(Aspect::Selection)) ShowSelection(list_.ListIndex());
      return;
    }
    // Only appends were noted, and any other change of the items caught up
    // first: the window lacks the model's last lines. The count and the
    // selection go in with drawing off, so the scroll bar (a costly paint
    // with visual styles) is drawn once, when drawing is turned on.
    Send(h, WM_SETREDRAW, FALSE);
    Send(h, LB_SETCOUNT, static_cast<WPARAM>(list_.ListCount()));
    if (aspects & Bit(Aspect::Selection)) ShowSelection(list_.ListIndex());
    Send(h, WM_SETREDRAW, TRUE);
    InvalidateRect(h, nullptr, TRUE);
  }
  void Create(HWND form, int id) override {
    DWORD style =
        LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_NODATA | WS_VSCROLL;
    if (list_.MultiSelect) style |= LBS_EXTENDEDSEL;
    CreateWindowFor(form, id, "LISTBOX", style, 0);
    base_ = Subclass(Window(), this, &Proc);
    ShowItemHeight();
    Refresh(Aspect::Items, -1);
  }
  void OnCommand(int code) override {
    if (code != LBN_SELCHANGE) return;
    const HWND h = Window();
    if (!list_.MultiSelect) {
      list_.SetListIndex(static_cast<int>(Send(h, LB_GETCURSEL)));
      return;
    }
    {
      // The window already shows this selection: no echo into it.
      Writing w(writing_);
      const std::vector<char> shown = ShownSelection();
      const int count = std::min(list_.ListCount(), static_cast<int>(shown.size()));
      for (int i = 0; i < count; ++i)
        if ((shown[static_cast<std::size_t>(i)] != 0) != list_.Selected(i))
          list_.SetSelected(i, shown[static_cast<std::size_t>(i)] != 0);
    }
    if (!Released()) list_.UserClick();
  }
  // Draws a line as a plain list box does: the list's colours, or the
  // system's selection colours, and the focus rectangle on the caret's line.
  void OnDrawItem(const DRAWITEMSTRUCT& item) override {
    HDC dc = item.hDC;
    const RECT& rc = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    OnColour(dc);
    if (selected) {
      SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    }
    if (item.itemState & ODS_DISABLED) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    // An empty list with the focus asks for line -1: blank, with the focus rectangle.
    const int index = static_cast<int>(item.itemID);
    const bool shown = index >= 0 && index < list_.ListCount();
    const std::string_view line = shown ? std::string_view(list_.List(index)) : "";
    const HGDIOBJ font = SelectObject(dc, SkinFont(list_.Style()));
    ExtTextOutA(dc, rc.left + 1, rc.top, ETO_OPAQUE | ETO_CLIPPED, &rc, line.data(),
                static_cast<UINT>(std::min<std::size_t>(line.size(), kLongestDrawn)), nullptr);
    SelectObject(dc, font);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &rc);
  }

 private:
  // Text past this is far outside any list box; GDI takes no longer strings.
  static constexpr std::size_t kLongestDrawn = 8192;
  static constexpr UINT kLineSendTimeout = 2000;  // ms

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    auto* view = reinterpret_cast<ListBoxView*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == ListLineMessage() && !view->Released())
      return view->SendLine(w, reinterpret_cast<HWND>(l));
    if (msg == WM_CHAR && w >= ' ' && w <= 0xFF && !view->Released() &&
        view->JumpTo(static_cast<char>(w)))
      return 0;
    return CallBase(view->base_, hwnd, msg, w, l);
  }

  // A typed character selects the next line, after the caret's and round from
  // the top, that begins with it, as in a list box that holds its text; false
  // when no line does.
  bool JumpTo(char typed) {
    const HWND h = Window();
    const int count = ShownCount();
    const int caret = static_cast<int>(Send(h, LB_GETCARETINDEX));
    const std::string_view prefix(&typed, 1);
    for (int step = 1; step <= count; ++step) {
      const int i = ((caret < 0 ? -1 : caret) + step) % count;
      if (!StartsWithNoCase(list_.List(i), prefix)) continue;
      if (list_.MultiSelect) {
        Send(h, LB_SETSEL, FALSE, -1);
        Send(h, LB_SETSEL, TRUE, i);
        Send(h, LB_SETANCHORINDEX, static_cast<WPARAM>(i));
        Send(h, LB_SETCARETINDEX, static_cast<WPARAM>(i), FALSE);
      } else {
        Send(h, LB_SETCURSEL, static_cast<WPARAM>(i));
      }
      OnCommand(LBN_SELCHANGE);
      return true;
    }
    return false;
  }

  // Another process asks for a line the window shows, to be sent to its
  // window `to`: TRUE once sent. The send does not let other messages in, so
  // the model cannot change under it.
  LRESULT SendLine(WPARAM index, HWND to) const {
    if (index >= static_cast<WPARAM>(ShownCount()) || !to || !IsWindow(to)) return FALSE;
    const std::string& line = list_.List(static_cast<int>(index));
    if (line.size() > MAXDWORD) return FALSE;
    COPYDATASTRUCT data{};
    data.dwData = index;
    data.cbData = static_cast<DWORD>(line.size());
    data.lpData = const_cast<char*>(line.data());
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(to, WM_COPYDATA, reinterpret_cast<WPARAM>(Window()), Ptr(&data),
                               SMTO_BLOCK | SMTO_ABORTIFHUNG, kLineSendTimeout, &answer) != 0;
  }

  // The lines the window shows: the model's, up to its own count.
  int ShownCount() const {
    const LRESULT count = Send(Window(), LB_GETCOUNT);
    return count < 0 ? 0 : static_cast<int>(std::min<LRESULT>(count, list_.ListCount()));
  }

  // An owner-drawn list box takes no height from its font: a line is as high
  // as a plain list box makes it.
  void ShowItemHeight() {
    const HWND h = Window();
    HDC dc = GetDC(h);
    const HGDIOBJ font = SelectObject(dc, SkinFont(list_.Style()));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, font);
    ReleaseDC(h, dc);
    if (tm.tmHeight > 0) Send(h, LB_SETITEMHEIGHT, 0, MAKELPARAM(tm.tmHeight, 0));
  }

  void Refresh(Aspect aspect, int index) override {
    const HWND h = Window();
    switch (aspect) {
      case Aspect::Items: {
        // The window keeps its place as far as the list still reaches.
        const LRESULT top = Send(h, LB_GETTOPINDEX);
        Send(h, WM_SETREDRAW, FALSE);
        Send(h, LB_RESETCONTENT);
        Send(h, LB_SETCOUNT, static_cast<WPARAM>(list_.ListCount()));
        ShowSelection(-1);
        const int last = list_.ListCount() - 1;
        if (top > 0 && last >= 0)
          Send(h, LB_SETTOPINDEX, static_cast<WPARAM>(std::min<LRESULT>(top, last)));
        Send(h, WM_SETREDRAW, TRUE);
        InvalidateRect(h, nullptr, TRUE);
        break;
      }
      case Aspect::ItemAdded: Send(h, LB_INSERTSTRING, static_cast<WPARAM>(index)); break;
      case Aspect::Selection:
        if (!writing_) ShowSelection(index);
        break;
      case Aspect::Look:
        ShowLook();
        ShowItemHeight();
        break;
      default: break;
    }
  }

  // The window's selection, a flag for each line it shows.
  std::vector<char> ShownSelection() const {
    const HWND h = Window();
    std::vector<char> shown(static_cast<std::size_t>(ShownCount()), 0);
    const LRESULT count = Send(h, LB_GETSELCOUNT);
    if (count <= 0) return shown;
    std::vector<int> lines(static_cast<std::size_t>(count));
    const LRESULT got = Send(h, LB_GETSELITEMS, static_cast<WPARAM>(count), Ptr(lines.data()));
    for (LRESULT k = 0; k < got && k < count; ++k) {
      const int i = lines[static_cast<std::size_t>(k)];
      if (i >= 0 && static_cast<std::size_t>(i) < shown.size())
        shown[static_cast<std::size_t>(i)] = 1;
    }
    return shown;
  }

  // Shows the model's selection and scrolls `index` into view. A multiple
  // selection changes only where the window differs, a run of lines at a time,
  // so selecting a million lines is one message.
  void ShowSelection(int index) {
    const HWND h = Window();
    if (!list_.MultiSelect) {
      Send(h, LB_SETCURSEL, static_cast<WPARAM>(list_.ListIndex()));
      return;
    }
    const std::vector<char> shown = ShownSelection();
    const int count = static_cast<int>(shown.size());
    const auto differs = [&](int i) {
      return (shown[static_cast<std::size_t>(i)] != 0) != list_.Selected(i);
    };
    for (int first = 0; first < count; ++first) {
      if (!differs(first)) continue;
      const bool select = list_.Selected(first);
      int last = first;
      while (last + 1 < count && differs(last + 1) && list_.Selected(last + 1) == select) ++last;
      if (first == last)
        Send(h, LB_SETSEL, select, first);
      else if (select)
        Send(h, LB_SELITEMRANGEEX, static_cast<WPARAM>(first), last);
      else
        Send(h, LB_SELITEMRANGEEX, static_cast<WPARAM>(last), first);
      first = last;
    }
    if (index >= 0) Send(h, LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
  }

  ListBox& list_;
  WNDPROC base_ = nullptr;
  bool writing_ = false;
};

class ListViewView final : public Win32View {
 public:
  explicit ListViewView(ListView& list) : Win32View(list), list_(list) {}
  void Create(HWND form, int id) override {
    Writing w(writing_);
    CreateWindowFor(
        form, id, WC_LISTVIEWA,
        LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | LVS_SHAREIMAGELISTS, 0);
    DWORD ex = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
    if (list_.Checkboxes) ex |= LVS_EX_CHECKBOXES;
    Send(Window(), LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
    Send(Window(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(SkinSmallIcons()));
    ShowColours();
    Rebuild();
  }

  LRESULT OnNotify(const NMHDR& header) override {
    if (writing_) return 0;
    if (header.code == LVN_ITEMCHANGED) {
      const auto& nm = reinterpret_cast<const NMLISTVIEW&>(header);
      if (nm.iItem < 0 || nm.iItem >= list_.Count() || !(nm.uChanged & LVIF_STATE)) return 0;
      const UINT was = (nm.uOldState & LVIS_STATEIMAGEMASK) >> 12;
      const UINT now = (nm.uNewState & LVIS_STATEIMAGEMASK) >> 12;
      if (list_.Checkboxes && was != now && was != 0 && now != 0) {
        const bool checked = now == 2;
        if (checked != list_.Item(nm.iItem).checked) list_.UserCheck(nm.iItem, checked);
        return 0;
      }
      if ((nm.uNewState & ~nm.uOldState & LVIS_SELECTED) && list_.SelectedIndex() != nm.iItem) {
        Writing w(writing_);
        list_.Select(nm.iItem);
      }
    } else if (header.code == NM_CLICK) {
      const auto& nm = reinterpret_cast<const NMITEMACTIVATE&>(header);
      if (nm.iItem >= 0 && nm.iItem < list_.Count()) list_.UserClickItem(nm.iItem);
    }
    return 0;
  }

 private:
  void Refresh(Aspect aspect, int index) override {
    Writing w(writing_);
    const HWND h = Window();
    switch (aspect) {
      case Aspect::Items: Rebuild(); break;
      case Aspect::ItemAdded: Insert(index); break;
      case Aspect::ItemRemoved: Send(h, LVM_DELETEITEM, static_cast<WPARAM>(index)); break;
      case Aspect::ItemChanged: ShowItem(index); break;
      case Aspect::Selection:
        for (int i = 0; i < list_.Count(); ++i) ShowSelected(i);
        break;
      case Aspect::EnsureVisible:
        Send(h, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
        break;
      case Aspect::Look:
        ShowLook();
        ShowColours();
        break;
      default: break;
    }
  }

  void ShowColours() {
    const HWND h = Window();
    Send(h, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(list_.BackColour()));
    Send(h, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(list_.BackColour()));
    Send(h, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(list_.ForeColour()));
  }

  void Rebuild() {
    const HWND h = Window();
    Send(h, WM_SETREDRAW, FALSE);
    Send(h, LVM_DELETEALLITEMS);
    while (Send(h, LVM_DELETECOLUMN, 0)) {
    }
    int column = 0;
    for (const ListView::Column& c : list_.Columns()) {
      LVCOLUMNA col{};
      col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
      col.pszText = const_cast<char*>(c.header.c_str());
      col.cx = Pixels(c.width);
      col.iSubItem = column;
      Send(h, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column++), Ptr(&col));
    }
    ShowGroups();
    for (int i = 0; i < list_.Count(); ++i) Insert(i);
    Send(h, WM_SETREDRAW, TRUE);
    InvalidateRect(h, nullptr, TRUE);
  }

  // List-view groups (common controls 6, as the manifest asks for): a
  // heading over each group's items. Group numbers are the model's plus one.
  void ShowGroups() {
    const HWND h = Window();
    Send(h, LVM_REMOVEALLGROUPS);
    const std::vector<std::string>& groups = list_.Groups();
    Send(h, LVM_ENABLEGROUPVIEW, groups.empty() ? FALSE : TRUE);
    for (std::size_t g = 0; g < groups.size(); ++g) {
      // Headings are UTF-16 only; no ANSI character takes more than one unit.
      std::wstring header(groups[g].size() + 1, L'\0');
      MultiByteToWideChar(CP_ACP, 0, groups[g].c_str(), -1, header.data(),
                          static_cast<int>(header.size()));
      LVGROUP group{};
      group.cbSize = sizeof group;
      group.mask = LVGF_HEADER | LVGF_GROUPID;
      group.pszHeader = header.data();
      group.iGroupId = static_cast<int>(g) + 1;
      Send(h, LVM_INSERTGROUP, static_cast<WPARAM>(-1), Ptr(&group));
    }
  }

  void Insert(int index) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    if (list_.Item(index).group >= 0) {
      item.mask |= LVIF_GROUPID;
      item.iGroupId = list_.Item(index).group + 1;
    }
    item.iItem = index;
    item.pszText = const_cast<char*>(list_.Item(index).text.c_str());
    item.iImage = SkinIconImage(list_.Item(index).smallIcon);
    Send(Window(), LVM_INSERTITEMA, 0, Ptr(&item));
    ShowItem(index);
  }

  void ShowItem(int index) {
    if (index < 0 || index >= list_.Count()) return;
    const HWND h = Window();
    const ListItem& it = list_.Item(index);
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = const_cast<char*>(it.text.c_str());
    item.iImage = SkinIconImage(it.smallIcon);
    Send(h, LVM_SETITEMA, 0, Ptr(&item));
    const int subs = std::max(static_cast<int>(list_.Columns().size()) - 1,
                              static_cast<int>(it.subItems.size()));
    for (int sub = 1; sub <= subs; ++sub) {
      const std::string text = list_.SubItem(index, sub);
      LVITEMA s{};
      s.iSubItem = sub;
      s.pszText = const_cast<char*>(text.c_str());
      Send(h, LVM_SETITEMTEXTA, static_cast<WPARAM>(index), Ptr(&s));
    }
    if (list_.Checkboxes) {
      LVITEMA s{};
      s.stateMask = LVIS_STATEIMAGEMASK;
      s.state = INDEXTOSTATEIMAGEMASK(it.checked ? 2 : 1);
      Send(h, LVM_SETITEMSTATE, static_cast<WPARAM>(index), Ptr(&s));
    }
    ShowSelected(index);
  }

  void ShowSelected(int index) {
    const HWND h = Window();
    const bool selected = list_.Item(index).selected;
    const bool shown =
        (Send(h, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_SELECTED) & LVIS_SELECTED) != 0;
    if (selected == shown) return;
    LVITEMA s{};
    s.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    s.state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    Send(h, LVM_SETITEMSTATE, static_cast<WPARAM>(index), Ptr(&s));
  }

  ListView& list_;
  bool writing_ = false;
};

// ---- Progress bar and date-time picker -----------------------------------------

class ProgressBarView final : public Win32View {
 public:
  explicit ProgressBarView(ProgressBar& bar) : Win32View(bar), bar_(bar) {}
  void Create(HWND form, int id) override {
    CreateWindowFor(form, id, PROGRESS_CLASSA, PBS_SMOOTH, 0);
    Refresh(Aspect::Range, -1);
    Refresh(Aspect::Look, -1);
  }

 private:
  bool MayDefer(Aspect aspect, int) const override { return aspect == Aspect::Value; }
  void Refresh(Aspect aspect, int) override {
    if (aspect == Aspect::Range) {
      Send(Window(), PBM_SETRANGE32, static_cast<WPARAM>(bar_.Min()), bar_.Max());
      Send(Window(), PBM_SETPOS, static_cast<WPARAM>(bar_.Value()));
    } else if (aspect == Aspect::Value) {
      Send(Window(), PBM_SETPOS, static_cast<WPARAM>(bar_.Value()));
    } else if (aspect == Aspect::Look && bar_.BarColours()) {
      Send(Window(), PBM_SETBKCOLOR, 0, static_cast<LPARAM>(bar_.BarColours()->back));
      Send(Window(), PBM_SETBARCOLOR, 0, static_cast<LPARAM>(bar_.BarColours()->bar));
    }
  }
  ProgressBar& bar_;
};

class DateTimePickerView final : public Win32View {
 public:
  explicit DateTimePickerView(DateTimePicker& picker) : Win32View(picker), picker_(picker) {}
  void Create(HWND form, int id) override {
    DWORD style = 0;
    if (picker_.ShowCheckBox) style |= DTS_SHOWNONE;
    // A time alone is set with arrows; a date opens the calendar.
    if (!picker_.CustomFormat.empty() &&
        picker_.CustomFormat.find_first_of("dMyg") == std::string::npos)
      style |= DTS_UPDOWN;
    Writing w(writing_);
    CreateWindowFor(form, id, DATETIMEPICK_CLASSA, style, 0);
    if (!picker_.CustomFormat.empty())
      Send(Window(), DTM_SETFORMATA, 0, Ptr(picker_.CustomFormat.c_str()));
    ShowValue();
  }
  LRESULT OnNotify(const NMHDR& header) override {
    if (writing_ || header.code != DTN_DATETIMECHANGE) return 0;
    const auto& nm = reinterpret_cast<const NMDATETIMECHANGE&>(header);
    if (nm.dwFlags == GDT_VALID)
      picker_.SetValue(FromSystemTime(nm.st));
    else
      picker_.SetValue(std::nullopt);
    return 0;
  }

 private:
  void Refresh(Aspect aspect, int) override {
    if (aspect == Aspect::Value) {
      Writing w(writing_);
      ShowValue();
    } else if (aspect == Aspect::Look) {
      ShowLook();
    }
  }
  void ShowValue() {
    // Even "no value" needs a valid time to point at.
    SYSTEMTIME st{};
    if (picker_.Value())
      st = ToSystemTime(*picker_.Value());
    else
      GetLocalTime(&st);
    const WPARAM flag = picker_.Value() || !picker_.ShowCheckBox ? GDT_VALID : GDT_NONE;
    Send(Window(), DTM_SETSYSTEMTIME, flag, Ptr(&st));
  }
  DateTimePicker& picker_;
  bool writing_ = false;
};

template <class V, class M>
std::unique_ptr<Win32View> Make(Control& control) {
  return std::make_unique<V>(static_cast<M&>(control));
}

}  // namespace

void RegisterControlClasses(HINSTANCE instance) {
  for (const char* name : {kLabelClass, kImageClass, kPanelClass, kFrameClass}) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &OwnView::Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
  }
}

std::unique_ptr<Win32View> CreateControlView(Control& control, HWND form, int id) {
  std::unique_ptr<Win32View> view;
  switch (control.Kind()) {
    case ControlKind::Label: view = Make<LabelView, Label>(control); break;
    case ControlKind::CheckBox: view = Make<CheckBoxView, CheckBox>(control); break;
    case ControlKind::OptionButton: view = Make<OptionButtonView, OptionButton>(control); break;
    case ControlKind::TextBox: view = Make<TextBoxView, TextBox>(control); break;
    case ControlKind::ComboBox: view = Make<ComboBoxView, ComboBox>(control); break;
    case ControlKind::ListBox: view = Make<ListBoxView, ListBox>(control); break;
    case ControlKind::ListView: view = Make<ListViewView, ListView>(control); break;
    case ControlKind::ProgressBar: view = Make<ProgressBarView, ProgressBar>(control); break;
    case ControlKind::DateTimePicker:
      view = Make<DateTimePickerView, DateTimePicker>(control);
      break;
    case ControlKind::Image: view = Make<ImageView, Image>(control); break;
    case ControlKind::PictureButton: view = Make<PictureButtonView, PictureButton>(control); break;
    case ControlKind::Frame: view = Make<FrameView, Frame>(control); break;
    case ControlKind::PictureBox: view = Make<PanelView, PictureBox>(control); break;
  }
  view->Create(form, id);
  return view;
}

}  // namespace nimbrel
