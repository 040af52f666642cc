// The Win32 user interface: the helpers every window shares, the views of the
// control models, the skin that paints the program's own look, the form
// windows (FormWindow.h) and the event loop.
//
// Finding windows from another process: every form window (class
// "NimbrelForm") and every control window carries the property "NimbrelName",
// a global atom of the model's name; a form window also carries
// "NimbrelMenu:<menu name>" holding the HMENU of each top-level menu.
// A list box holds no text (the program draws its lines): another process
// reads line N by sending the list box ListLineMessage() with N and a window
// of its own, which gets the line in a WM_COPYDATA.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/EventLoop.h"
#include "platform/Files.h"

namespace nimbrel {

inline constexpr const char* kFormClass = "NimbrelForm";
inline constexpr const char* kLabelClass = "NimbrelLabel";
inline constexpr const char* kImageClass = "NimbrelImage";
inline constexpr const char* kPanelClass = "NimbrelPanel";
inline constexpr const char* kFrameClass = "NimbrelFrame";
inline constexpr const char* kNameProp = "NimbrelName";
inline constexpr const char* kMenuPropPrefix = "NimbrelMenu:";
inline constexpr int kAppIconId = 1;  // the ICON resource in res/Nimbrel.rc

// ---- Shared by every window (Win32Ui.cpp) ------------------------------------

inline HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

constexpr int Pixels(int twips) { return twips / kTwipsPerPixel; }

// Counts the window procedures running on this thread's stack. Views of a
// closed window are freed only when none runs, so a handler that closes its
// own window never returns into a freed view.
class HandlerScope {
 public:
  HandlerScope();
  ~HandlerScope();
  HandlerScope(const HandlerScope&) = delete;
  HandlerScope& operator=(const HandlerScope&) = delete;
  static bool Idle();
};

// The message another start of the program posts to a form window to have it
// come forward (a registered message, the same number in every process).
UINT ComeForwardMessage();
// The message by which another process asks a list box for one of its lines
// (wParam: the line's index, lParam: the window to send it to), a registered
// message, "NimbrelSoft.Nimbrel.ListLine". The list box answers TRUE once it
// sent the line as a WM_COPYDATA (wParam: the list box, dwData: the index).
UINT ListLineMessage();

// Sets the "NimbrelName" property; the atom is returned for RemoveName.
ATOM SetName(HWND window, const std::string& name);
void RemoveName(HWND window, ATOM atom);

// For a window procedure: the object the window was created for (the create
// parameter), kept in the window's user data from WM_NCCREATE on; null before.
void* CreatedFor(HWND hwnd, UINT msg, LPARAM lParam);

// Answers WM_PAINT through a memory bitmap, so a repaint never flickers.
// `paint` draws the whole client area (its rectangle is given); only the part
// to repaint reaches the screen.
void PaintBuffered(HWND hwnd, const std::function<void(HDC, const RECT&)>& paint);

// A mouse message's arguments as a mouse event: the button, the shift keys and
// the point in twips.
MouseEvent MouseArgs(int button, WPARAM keys, LPARAM point);
// The buttons a mouse message says are held down, as a mouse event's button.
int ButtonsDown(WPARAM keys);

// ---- Control views (Controls.cpp) -------------------------------------------

// A control model's real window. The form window passes each view the
// notifications its window sends.
class Win32View : public ControlView {
 public:
  explicit Win32View(Control& model) : model_(model) {}
  ~Win32View() override;
  Win32View(const Win32View&) = delete;
  Win32View& operator=(const Win32View&) = delete;

  HWND Window() const { return hwnd_; }
  Control& Model() const { return model_; }
  // Aspects that come in floods while a run works (a caption, a value, a
  // list's appended line and selection) are only noted; CatchUpViews shows
  // them. Any other aspect shows what was noted first, keeping the order.
  void Update(Aspect aspect, int index) override;
  // Shows the aspects noted since the last catch-up.
  void CatchUp();

  virtual void OnCommand(int /*code*/) {}
  virtual LRESULT OnNotify(const NMHDR& /*header*/) { return 0; }
  virtual void OnDrawItem(const DRAWITEMSTRUCT& /*item*/) {}
  // WM_CTLCOLOR*: the control's colours on `dc`, and the background brush.
  virtual HBRUSH OnColour(HDC dc);

  // The window is going: removes the name and never calls the model again.
  void Release();
  bool Released() const { return released_; }

  // Creates the child window of `form` and shows the model's state in it.
  virtual void Create(HWND form, int id) = 0;

 protected:
  void CreateWindowFor(HWND form, int id, const char* windowClass, DWORD style, DWORD exStyle,
                       void* createParam = nullptr);
  // The window's height; a drop-down combo box adds its list to it.
  virtual int WindowHeight() const;
  // The model's other aspects; Geometry, Visible and Enabled are done by Update.
  virtual void Refresh(Aspect aspect, int index) = 0;
  // Whether this kind of window may show `aspect` late (none by default).
  virtual bool MayDefer(Aspect aspect, int index) const;
  // Shows the noted aspects; a view that noted more than their last state
  // (appended lines) shows what it noted its own way.
  virtual void ShowNoted(unsigned aspects);
  static unsigned Bit(Aspect aspect) { return 1u << static_cast<unsigned>(aspect); }
  void ShowCaption();
  void ShowLook();
  RECT Bounds() const;  // pixels, relative to the form
  void InvalidateBorder(const RECT& bounds) const;

 private:
  Control& model_;
  HWND hwnd_ = nullptr;
  ATOM atom_ = 0;
  bool released_ = false;
  unsigned noted_ = 0;  // Bit(aspect) of each aspect waiting for CatchUpViews
  RECT shownAt_{};
};

// Shows what the views noted, at most ten times a second unless
// `now` (before a modal window, when the queue is empty): a flood of model
// changes then costs one update and one repaint per window instead of one per
// change, and the windows end showing exactly what the models hold.
constexpr DWORD kCatchUpInterval = 100;
void CatchUpViews(bool now);
// True while some view has a change waiting for CatchUpViews.
bool ViewsWaiting();

// Registers the window classes the views use (once per process).
void RegisterControlClasses(HINSTANCE instance);
// Creates the control's window in `form`, shows the model's state in it and
// attaches the view to the model.
std::unique_ptr<Win32View> CreateControlView(Control& control, HWND form, int id);

// ---- The skin (Skin.cpp) ----------------------------------------------------

HFONT SkinFont(TextStyle style);
// Lists and text boxes get a thin border painted by what lies under them.
bool HasSkinBorder(const Control& control);
COLORREF SkinTextColour(const Control& control);
HBRUSH SkinBrush(Colour colour);  // cached; never delete
// The 16 x 16 list-view icons; icon number n is image n - 1.
HIMAGELIST SkinSmallIcons();
int SkinIconImage(RowMark mark);  // the image index, or I_IMAGENONE

void PaintLabel(HDC dc, const RECT& rc, const Control& label);
// `hot`: the pointer is over it (the title strip's buttons light up).
void PaintImage(HDC dc, const RECT& rc, const Image& image, bool hot);
void PaintPictureButton(HDC dc, const RECT& rc, const Control& button, bool hot, bool pressed);
void PaintFrame(HDC dc, const RECT& rc, const Frame& frame);
void PaintPanel(HDC dc, const RECT& rc, const PictureBox& panel);
// A form's own background, under its controls.
void PaintFormBackground(HDC dc, const RECT& rc, const Form& form);

// ---- The event loop (EventLoop.cpp) -----------------------------------------

class FormWindow;  // FormWindow.h

class Win32EventLoop final : public EventLoop {
 public:
  // Before the process ends, `files` finishes what it was given to close.
  explicit Win32EventLoop(Files& files);
  ~Win32EventLoop() override;
  Win32EventLoop(const Win32EventLoop&) = delete;
  Win32EventLoop& operator=(const Win32EventLoop&) = delete;

  void DoEvents() override;
  void Show(Form& form) override;
  void ShowModal(Form& form) override;
  void Hide(Form& form) override;
  void Close(Form& form) override;
  void Forget(Form& form) override;
  void PopupMenu(Form& form, MenuItem& menu) override;
  // PrepareExit, then the process ends.
  [[noreturn]] void Quit() override;

  // Everything Quit does before it ends the process: waits, for a few seconds
  // at most, until every file given to Files::Close is flushed and closed,
  // then takes the exit steps, last given first, each once. The program calls
  // it too when its message loop returns.
  void PrepareExit();
  // A step for PrepareExit: undoes what the program set up for its whole life.
  void AtExit(std::function<void()> step);

  // The program's message loop; returns only on WM_QUIT.
  int Run();

 private:
  FormWindow& EnsureWindow(Form& form);
  void Destroy(Form& form, bool detachModel);
  void FreeClosed();

  Files& files_;
  std::map<Form*, std::unique_ptr<FormWindow>> windows_;
  std::vector<std::unique_ptr<FormWindow>> closed_;
  std::vector<std::function<void()>> exitSteps_;
};

}  // namespace nimbrel
