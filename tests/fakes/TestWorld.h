// Everything a test of the core needs: the fakes, a settings store and the
// program-wide context over them.
#pragma once

#include "erasers/Context.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeEventLoop.h"
#include "fakes/FakeFiles.h"
#include "fakes/FakeProfile.h"
#include "fakes/FakeRegistry.h"
#include "fakes/FakeShell.h"
#include "fakes/FakeSystem.h"

namespace nimbrel {

struct TestWorld {
  FakeRegistry registry;
  FakeFiles files;
  FakeSystem system;
  FakeShell shell;
  FakeDesktop desktop;
  FakeEventLoop loop;
  FakeProfile profile{files};
  SettingsStore settings{registry};
  Context ctx{Platform{registry, files, system, shell, desktop, loop, profile}, settings};

  void SetOption(const std::string& key, const std::string& value) {
    settings.WriteSetting(kOptions, key, value);
  }
  std::string Option(const std::string& key) { return settings.ReadSetting(kOptions, key, "<absent>"); }
};

// A bare form holding the progress controls the erasers report into.
struct ProgressForm : Form {
  explicit ProgressForm(TestWorld& w)
      : Form(w.loop, "ProgressForm", 1000, 1000),
        progress(*this, "LstShowingTracksErasedProgress", 0, 0, 10, 10),
        regKeys(*this, "lblScannedRegKeys", "0", 0, 0, 10, 10),
        files(*this, "lblFilesDelete", "0", 0, 0, 10, 10),
        size(*this, "lblSize", "0", 0, 0, 10, 10),
        ctx_(w.ctx) {
    ctx_.display = {this, &progress, &regKeys, &files, &size};
  }
  ~ProgressForm() override { ctx_.display = {}; }
  ListBox progress;
  Label regKeys, files, size;

 private:
  Context& ctx_;
};

}  // namespace nimbrel
