// The program's start (the main window's load), step by step: each step
// leaves a mark on the platform (a registry value read or written, a window
// shown, a message sent, a timer or an image switched), journalled in the
// order the steps happen.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/FrmMain.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

using Journal = std::vector<std::string>;

std::string RootName(RegRoot root) {
  switch (root) {
    case RegRoot::CurrentUser: return "HKCU";
    case RegRoot::LocalMachine: return "HKLM";
    case RegRoot::Users: return "HKU";
  }
  return "?";
}

// The registry, with every value read, written or deleted journalled as
// "query|set|delete ROOT\path\name".
class JournalRegistry final : public Registry {
 public:
  JournalRegistry(Registry& inner, Journal& journal) : inner_(inner), journal_(journal) {}
  RegKey OpenKey(RegRoot root, const std::string& path) override {
    return Named(inner_.OpenKey(root, path), root, path);
  }
  RegKey OpenKeyEx(RegRoot root, const std::string& path, std::uint32_t access) override {
    return Named(inner_.OpenKeyEx(root, path, access), root, path);
  }
  RegKey CreateKey(RegRoot root, const std::string& path) override {
    return Named(inner_.CreateKey(root, path), root, path);
  }
  void CloseKey(RegKey key) override { inner_.CloseKey(key); }
  bool QueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                  std::string& data) override {
    journal_.push_back("query " + names_[key] + "\\" + name);
    return inner_.QueryValue(key, name, type, data);
  }
  bool SetValue(RegKey key, const std::string& name, std::uint32_t type,
                const std::string& data) override {
    journal_.push_back("set " + names_[key] + "\\" + name);
    return inner_.SetValue(key, name, type, data);
  }
  bool DeleteValue(RegKey key, const std::string& name) override {
    journal_.push_back("delete " + names_[key] + "\\" + name);
    return inner_.DeleteValue(key, name);
  }
  bool DeleteKey(RegRoot root, const std::string& path) override {
    return inner_.DeleteKey(root, path);
  }
  bool QueryInfo(RegKey key, RegKeyInfo& info) override { return inner_.QueryInfo(key, info); }
  long EnumKey(RegKey key, std::uint32_t index, std::string& name) override {
    return inner_.EnumKey(key, index, name);
  }
  long EnumValue(RegKey key, std::uint32_t index, std::string& name) override {
    return inner_.EnumValue(key, index, name);
  }
  bool KeyChanged(RegKey key) override { return inner_.KeyChanged(key); }

 private:
  RegKey Named(RegKey key, RegRoot root, const std::string& path) {
    if (key) names_[key] = RootName(root) + "\\" + path;
    return key;
  }
  Registry& inner_;
  Journal& journal_;
  std::map<RegKey, std::string> names_;
};

// The event loop, with every form shown journalled as "show NAME".
class JournalLoop final : public EventLoop {
 public:
  JournalLoop(EventLoop& inner, Journal& journal) : inner_(inner), journal_(journal) {}
  void DoEvents() override { inner_.DoEvents(); }
  void Show(Form& form) override {
    journal_.push_back("show " + form.Name());
    inner_.Show(form);
  }
  void ShowModal(Form& form) override { inner_.ShowModal(form); }
  void Hide(Form& form) override { inner_.Hide(form); }
  void Close(Form& form) override { inner_.Close(form); }
  void Forget(Form& form) override { inner_.Forget(form); }
  void PopupMenu(Form& form, MenuItem& menu) override { inner_.PopupMenu(form, menu); }
  void Quit() override { inner_.Quit(); }

 private:
  EventLoop& inner_;
  Journal& journal_;
};

// The desktop, with every message sent journalled as "send NUMBER".
class JournalDesktop final : public Desktop {
 public:
  JournalDesktop(Desktop& inner, Journal& journal) : inner_(inner), journal_(journal) {}
  std::vector<WindowHandle> WindowsOfClass(const std::string& className) override {
    return inner_.WindowsOfClass(className);
  }
  std::vector<TopLevelWindow> TopLevelWindows() override { return inner_.TopLevelWindows(); }
  void PostClose(WindowHandle window) override { inner_.PostClose(window); }
  std::uint32_t WindowProcess(WindowHandle window) override {
    return inner_.WindowProcess(window);
  }
  std::vector<ProcessEntry> Processes() override { return inner_.Processes(); }
  bool KeyDown(int virtualKey) override { return inner_.KeyDown(virtualKey); }
  bool EmptyClipboard(WindowHandle owner) override { return inner_.EmptyClipboard(owner); }
  bool ClipboardHistoryOn() override { return inner_.ClipboardHistoryOn(); }
  bool ClearClipboardHistory() override { return inner_.ClearClipboardHistory(); }
  bool ClaimInstance() override { return inner_.ClaimInstance(); }
  bool CallInstance(const std::string& formName) override {
    return inner_.CallInstance(formName);
  }

 private:
  Desktop& inner_;
  Journal& journal_;
};

// A timer's or control's switching, journalled as "NAME on|off".
class SwitchJournal final : public ControlView {
 public:
  SwitchJournal(std::function<bool()> on, std::string name, Journal& journal)
      : on_(std::move(on)), name_(std::move(name)), journal_(journal) {}
  void Update(Aspect aspect, int) override {
    if (aspect == Aspect::Look) journal_.push_back(name_ + (on_() ? " coloured" : " uncoloured"));
    else journal_.push_back(name_ + (on_() ? " on" : " off"));
  }

 private:
  std::function<bool()> on_;
  std::string name_;
  Journal& journal_;
};

class ProgramStartTest : public ::testing::Test {
 protected:
  // The start-up step a journal entry belongs to; 0 for none.
  static int StepOf(const std::string& entry) {
    const std::string shellFolders =
        "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\";
    const std::map<std::string, int> exact = {
        {"tmrHotKeys off", 1},
        {"query HKCU\\Software\\NimbrelSoft\\Nimbrel\\Options\\chkStartup", 2},
        {"delete HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\Nimbrel", 2},
        {"set HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\Nimbrel", 2},
        {"query " + shellFolders + "History", 3},
        {"query " + shellFolders + "Cache", 3},
        {"query " + shellFolders + "Cookies", 3},
        {"query HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\PROG_FILES_DIR", 3},
        {"lvwToBeErased on", 6},
        {"show FrmMain", 7},
        {"PgbTemp coloured", 8},
        {"ImgStartErasingMouseMove off", 9},
        {"tmrHotKeys on", 10},
    };
    if (const auto it = exact.find(entry); it != exact.end()) return it->second;
    // The erase-settings dialog's load writes "1" for each category never stored.
    if (entry.starts_with("set HKCU\\Software\\NimbrelSoft\\Nimbrel\\Options\\")) return 5;
    return 0;
  }

  // The steps in the order their marks appear, each once per stretch.
  std::vector<int> Steps() const {
    std::vector<int> steps;
    for (const std::string& entry : journal) {
      const int step = StepOf(entry);
      if (step != 0 && (steps.empty() || steps.back() != step)) steps.push_back(step);
    }
    return steps;
  }

  TestWorld w;
  Journal journal;
  JournalRegistry registry{w.registry, journal};
  JournalLoop loop{w.loop, journal};
  JournalDesktop desktop{w.desktop, journal};
  SettingsStore settings{registry};
  Context ctx{Platform{registry, w.files, w.system, w.shell, desktop, loop, w.profile,
                       w.urlHistory, w.urlCache, w.databases},
              settings};
  SwitchJournal hotKeys{[this] { return main.tmrHotKeys.Enabled(); }, "tmrHotKeys", journal};
  SwitchJournal lit{[this] { return main.ImgStartErasingMouseMove.Visible(); },
                    "ImgStartErasingMouseMove", journal};
  SwitchJournal listed{[this] { return main.lvwToBeErased.Count() > 0; }, "lvwToBeErased",
                       journal};
  SwitchJournal bar{[this] { return main.PgbTemp.BarColours().has_value(); }, "PgbTemp", journal};
  FrmMain main{ctx};
};

TEST_F(ProgramStartTest, StepsRunInTheirOrderWithTheHotKeysStoppedUntilTheEnd) {
  w.registry.AddKey(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
  main.tmrHotKeys.Attach(&hotKeys);
  main.ImgStartErasingMouseMove.Attach(&lit, 0);
  main.PgbTemp.Attach(&bar, 0);
  main.lvwToBeErased.Attach(&listed, 0);
  main.ImgStartErasingNormal.UserMouseMove({});  // lit before the load
  journal.clear();

  main.Load();

  // Step 4, the options dialog's schedule controls, joins with that dialog.
  EXPECT_EQ(Steps(), (std::vector<int>{1, 2, 3, 5, 6, 7, 8, 9, 10}));
  EXPECT_TRUE(main.tmrHotKeys.Enabled());
  EXPECT_FALSE(main.TmrScheduler.Enabled());  // no schedule ticked
  EXPECT_TRUE(main.tmrCheckSettings.Enabled());
}

}  // namespace
}  // namespace nimbrel
