// A main window over the fakes with nothing chosen to erase, so that a run
// ends at once with its completion message; every modal form is noted and
// closed unless the test acts on it first.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/FrmMain.h"
#include "cleaning/ApplicationCatalogue.h"
#include "cleaning/TrackCategories.h"
#include "fakes/TestWorld.h"

namespace nimbrel {

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    for (const TrackCategory& c : kTrackCategories) w.SetOption(c.key, "0");
    for (const Application& app : kApplications) w.SetOption(app.label, "False");
    w.loop.onModal = [this](Form& f) {
      shown.push_back(f.Name());
      if (onModal) onModal(f);
      f.Close();
    };
  }
  int Runs() const {
    int n = 0;
    for (const std::string& name : shown) n += name == "FrmMessage";
    return n;
  }

  TestWorld w;
  FrmMain main{w.ctx};
  std::vector<std::string> shown;  // the modal forms, in order
  std::function<void(Form&)> onModal;
};

}  // namespace nimbrel
