// An event loop without windows: counts yields, can act at the n-th yield
// (a timer tick or a click arriving mid-run), answers modal forms, and records
// Quit.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/EventLoop.h"
#include "platform/Files.h"

namespace nimbrel {

class FakeEventLoop final : public EventLoop {
 public:
  int doEvents = 0;
  std::function<void(int)> onDoEvents;  // called with the running count
  // Called while a form is shown modally; the test acts as the user and
  // usually closes the form. Forms it leaves open are closed afterwards.
  std::function<void(Form&)> onModal;
  std::vector<std::string> modalShown;  // form names, in order
  std::vector<std::string> shown;
  std::vector<std::string> popups;  // menu names, in order
  bool quit = false;
  // Quit first has these files finish, as the program's loop has its own.
  Files* files = nullptr;
  std::function<void()> onQuit;  // called when Quit is reached, after that

  void DoEvents() override {
    ++doEvents;
    if (onDoEvents) onDoEvents(doEvents);
  }
  void Show(Form& form) override {
    shown.push_back(form.Name());
    form.SetVisibleState(true);
  }
  void ShowModal(Form& form) override {
    modalShown.push_back(form.Name());
    form.SetVisibleState(true);
    if (onModal) onModal(form);
    form.SetVisibleState(false);
  }
  void Hide(Form& form) override { form.SetVisibleState(false); }
  void Close(Form& form) override { form.SetVisibleState(false); }
  void Forget(Form&) override {}
  void PopupMenu(Form&, MenuItem& menu) override { popups.push_back(menu.Name()); }
  void Quit() override {
    if (files) files->Finish();
    quit = true;
    if (onQuit) onQuit();
  }
};

}  // namespace nimbrel
