// Everything a test of the core needs: the fakes, a settings store and the
// program-wide context over them.
#pragma once

#include "core/Context.h"
#include "fakes/FakeDatabases.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeEventLoop.h"
#include "fakes/FakeFiles.h"
#include "fakes/FakeProfile.h"
#include "fakes/FakeRegistry.h"
#include "fakes/FakeShell.h"
#include "fakes/FakeSystem.h"
#include "fakes/FakeUrlCache.h"
#include "fakes/FakeUrlHistory.h"
#include "fakes/RecordingReport.h"

namespace nimbrel {

struct TestWorld {
  FakeRegistry registry;
  FakeFiles files;
  FakeSystem system;
  FakeShell shell;
  FakeDesktop desktop;
  FakeEventLoop loop;
  FakeProfile profile{files};
  FakeUrlHistory urlHistory;
  FakeUrlCache urlCache;
  FakeDatabases databases;
  SettingsStore settings{registry};
  Context ctx{
      Platform{registry, files, system, shell, desktop, loop, profile, urlHistory, urlCache,
               databases},
      settings};
  // What the erasers report, when a test sets it as the context's report.
  RecordingReport report{loop};

  // Decides where the program's files live, as the program's first read or
  // save does (DataFolder), and forgets the probe file that told it: for tests
  // that watch every change made to the files.
  void DecideDataFolder() {
    ctx.dataFolder.SaveFolder(ctx.platform);
    files.deleted.clear();
    files.dataWhenDeleted.clear();
    files.journal.clear();
  }

  void SetOption(const std::string& key, const std::string& value) {
    settings.WriteSetting(kOptions, key, value);
  }
  std::string Option(const std::string& key) { return settings.ReadSetting(kOptions, key, "<absent>"); }
};

}  // namespace nimbrel
