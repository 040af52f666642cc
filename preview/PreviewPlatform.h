// The platform of a recorded run. Every change a run makes to the machine
// goes through a platform interface, so wrapping them is enough to know what
// the run changes:
//
//  - in preview mode a change is recorded instead of made, and the run's later
//    reads see it as made (files and registry keys kept in memory over the
//    real ones), so the erasers take the very paths of a real run while the
//    machine stays as it was;
//  - in pass-through mode a change is made and, when it was made, recorded.
//
// Both record the net change per item in one form (ChangeJournal), so the
// preview of an unchanged machine lists exactly what the run then changes.
//
// Adding a platform interface: write its wrapper (it implements the interface
// over the inner one, passes reads through, and for each change records it
// through the journal and, in preview mode, keeps it to answer later reads),
// make it a member of PreviewPlatform and name it in AsPlatform(). A kind of
// change it needs goes into ChangeKind, with its name in ChangeKindName.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "preview/PreviewFiles.h"
#include "preview/PreviewRegistry.h"

namespace nimbrel {

// Recycle bin, programs started, windows and the clipboard.
class PreviewShell final : public Shell {
 public:
  PreviewShell(Shell& inner, PreviewMode mode, ChangeJournal& journal)
      : inner_(inner), mode_(mode), journal_(journal) {}
  // Emptying a bin with items in it is a change, recorded with their number.
  bool EmptyRecycleBin(std::uintptr_t owner) override;
  std::uint64_t RecycleBinItems() override;
  bool FlushDnsCache() override;
  std::string SpecialFolder(int csidl) override { return inner_.SpecialFolder(csidl); }
  std::string KnownFolderPath(KnownFolder folder) override {
    return inner_.KnownFolderPath(folder);
  }
  // Starting a program is a change: a preview starts none.
  std::intptr_t Execute(std::uintptr_t owner, const std::string& verb, const std::string& file,
                        const std::string& parameters, const std::string& folder,
                        int show) override;
  std::intptr_t FindExecutable(const std::string& file, std::string& program) override {
    return inner_.FindExecutable(file, program);
  }
  // The window's own tray icon is no trace on the machine.
  bool NotifyIcon(NotifyIconAction action, std::uintptr_t window,
                  const std::string& tip) override {
    return inner_.NotifyIcon(action, window, tip);
  }

 private:
  Shell& inner_;
  PreviewMode mode_;
  ChangeJournal& journal_;
  bool emptied_ = false;  // in preview mode
};

class PreviewDesktop final : public Desktop {
 public:
  PreviewDesktop(Desktop& inner, PreviewMode mode, ChangeJournal& journal)
      : inner_(inner), mode_(mode), journal_(journal) {}
  // Without the windows closed in the preview.
  std::vector<WindowHandle> WindowsOfClass(const std::string& className) override;
  std::vector<TopLevelWindow> TopLevelWindows() override;
  // A window asked to close is recorded with its class. A preview takes
  // its program as closed: a run would wait for it to end.
  void PostClose(WindowHandle window) override;
  std::uint32_t WindowProcess(WindowHandle window) override {
    return inner_.WindowProcess(window);
  }
  // Without the processes of a program one of whose windows a preview
  // asked to close.
  std::vector<ProcessEntry> Processes() override;
  bool KeyDown(int virtualKey) override { return inner_.KeyDown(virtualKey); }
  bool EmptyClipboard(WindowHandle owner) override;
  bool ClipboardHistoryOn() override { return inner_.ClipboardHistoryOn(); }
  bool ClearClipboardHistory() override;
  // A preview sends nothing to another window or program.
  bool ClaimInstance() override { return inner_.ClaimInstance(); }
  bool CallInstance(const std::string& formName) override;

 private:
  Desktop& inner_;
  PreviewMode mode_;
  ChangeJournal& journal_;
  std::map<WindowHandle, std::string> classes_;  // of the windows listed so far
  std::set<WindowHandle> closed_;                // asked to close
  std::set<std::string> closedPrograms_;         // in preview mode, upper-cased names
};

// The URL cache: an entry deleted in a preview is no longer listed. A
// preview reads each entry whole into a buffer of its own, to look past the
// deleted ones, and hands the caller the next one left as WinINet would: the
// size probe tells that entry's size, a buffer large enough receives it.
class PreviewUrlCache final : public UrlCache {
 public:
  PreviewUrlCache(UrlCache& inner, PreviewMode mode, ChangeJournal& journal)
      : inner_(inner), mode_(mode), journal_(journal) {}
  FindHandle FindFirst(void* entry, std::uint32_t& size) override;
  bool FindNext(FindHandle find, void* entry, std::uint32_t& size) override;
  void FindClose(FindHandle find) override;
  bool DeleteEntry(const std::string& url) override;

 private:
  // An entry as read: the fixed part and its texts; empty for none.
  using Entry = std::vector<std::byte>;
  // Reads the enumeration's entries until one not deleted in this preview,
  // the first through FindFirst, which opens `find`; empty at the end.
  Entry ReadLeft(FindHandle& find);
  UrlCache& inner_;
  PreviewMode mode_;
  ChangeJournal& journal_;
  std::set<std::string> deleted_;     // in preview mode, upper-cased URLs
  std::map<FindHandle, Entry> next_;  // read, and not yet taken by the caller
};

// The URL history store: clearing it is a change, recorded once.
class PreviewUrlHistory final : public UrlHistory {
 public:
  PreviewUrlHistory(UrlHistory& inner, PreviewMode mode, ChangeJournal& journal)
      : inner_(inner), mode_(mode), journal_(journal) {}
  UrlHistoryObject Create() override { return inner_.Create(); }
  std::int32_t ClearHistory(UrlHistoryObject object) override;
  void Release(UrlHistoryObject object) override { inner_.Release(object); }

 private:
  UrlHistory& inner_;
  PreviewMode mode_;
  ChangeJournal& journal_;
};

// Databases: a preview opens them only to read (nothing of a database, its
// journal or its log can change through it), counts what a run would delete
// and records each commit with it.
class PreviewDatabases final : public Databases {
 public:
  PreviewDatabases(Databases& inner, PreviewMode mode, ChangeJournal& journal)
      : inner_(inner), mode_(mode), journal_(journal) {}
  std::unique_ptr<Database> Open(const std::string& path, DbStatus& status) override;
  std::unique_ptr<Database> OpenToRead(const std::string& path, DbStatus& status) override {
    return inner_.OpenToRead(path, status);
  }
  // A preview opens a LevelDB database as a copy in memory, and writes none.
  std::unique_ptr<Store> OpenStore(const std::string& folder, DbStatus& status) override;
  std::unique_ptr<Store> OpenStoreToRead(const std::string& folder, DbStatus& status) override {
    return inner_.OpenStoreToRead(folder, status);
  }
  // Recorded as a change of its own ("PROFILE: SITE", with its bytes).
  void SiteDataGone(const std::string& profile, const std::string& site,
                    std::uint64_t bytes) override;

 private:
  Databases& inner_;
  PreviewMode mode_;
  ChangeJournal& journal_;
};

// The wrappers over one platform, and the journal they record in. The system
// and the event loop change nothing on the machine and are not wrapped.
class PreviewPlatform {
 public:
  PreviewPlatform(const Platform& inner, PreviewMode mode);
  PreviewPlatform(const PreviewPlatform&) = delete;
  PreviewPlatform& operator=(const PreviewPlatform&) = delete;

  Platform AsPlatform() {
    return {registry_, files_,   inner_.system, shell_,     desktop_,
            inner_.loop, profile_, urlHistory_,   urlCache_, databases_};
  }
  ChangeJournal journal;

 private:
  Platform inner_;
  PreviewRegistry registry_;
  PreviewFiles files_;
  PreviewShell shell_;
  PreviewDesktop desktop_;
  PreviewProfile profile_;
  PreviewUrlHistory urlHistory_;
  PreviewUrlCache urlCache_;
  PreviewDatabases databases_;
};

}  // namespace nimbrel
