// One form's top-level window (class "NimbrelForm"): a view for each of its
// controls, its menus and timers, and the window procedure that hands what
// the window receives to the views and the models.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/Win32Ui.h"

namespace nimbrel {

class TimerView;

class FormWindow {
 public:
  // Registers the form window class and the control classes (once per process).
  static void RegisterClasses();

  explicit FormWindow(Form& form);
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  // Creates the window, hidden, with a window for each control, the menus and
  // the timers, and attaches the views to the models. A centred form is
  // placed in the middle of the screen, and its model learns where.
  void Create();
  // From now on nothing the window receives reaches the models.
  void Silence() { dying_ = true; }
  // Takes the window down, silenced first. With
  // `detachModel`, the models forget their views first (the form lives on).
  void Destroy(bool detachModel);

  Form& Model() const { return form_; }
  HWND Window() const { return hwnd_; }
  // The popup menu built for a menu entry of the form; null for another.
  HMENU Popup(MenuItem& menu) const;

  // A modal loop's state, kept by the event loop.
  bool* modalDone = nullptr;   // set while a modal loop runs for it
  std::vector<HWND> disabled;  // what its modal loop disabled
  HWND previous = nullptr;     // active before the modal loop

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  HMENU BuildMenu(MenuItem& menu);
  Win32View* View(HWND child) const;

  Form& form_;
  HWND hwnd_ = nullptr;
  ATOM atom_ = 0;
  bool dying_ = false;
  std::vector<std::unique_ptr<Win32View>> views_;
  std::map<HWND, Win32View*> byWindow_;
  std::vector<std::unique_ptr<ControlView>> others_;  // the form's, timers' and menus' views
  std::map<UINT, TimerView*> timers_;
  std::map<UINT, MenuItem*> commands_;
  std::map<MenuItem*, HMENU> popups_;
  std::vector<HMENU> menus_;  // the top-level ones
  std::vector<std::string> menuProps_;
  UINT nextCommand_;
};

}  // namespace nimbrel
