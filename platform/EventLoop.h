// The single user-interface thread's loop: pending messages, and showing,
// hiding and closing forms (modal ones run a nested loop until closed).
#pragma once

namespace nimbrel {

class Form;
class MenuItem;

class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Lets the user interface process its pending messages (timers, input, paint).
  virtual void DoEvents() = 0;
  // Creates the form's window when it has none, then shows it.
  virtual void Show(Form& form) = 0;
  // Shows the form and returns only when it has been closed.
  virtual void ShowModal(Form& form) = 0;
  virtual void Hide(Form& form) = 0;
  // Destroys the form's window; ends its modal loop.
  virtual void Close(Form& form) = 0;
  // The form object is being destroyed: drop every reference to it.
  virtual void Forget(Form& form) = 0;
  // Shows a menu entry's children as a popup menu at the pointer.
  virtual void PopupMenu(Form& form, MenuItem& menu) = 0;
  // Ends the process, once every file given to Files::Close is flushed and
  // closed (Files::Finish): an erased file is never cut off unflushed.
  virtual void Quit() = 0;
};

}  // namespace nimbrel
