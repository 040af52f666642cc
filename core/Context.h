// The program-wide state, created once by the program (and once per test) and
// passed by reference: the platform, the settings store, the folder of the
// program's own files, the run counters, the folder variables, the message
// answer, the drag state and the report that the erasers tell their progress to.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/RunReport.h"
#include "platform/Platform.h"
#include "settings/DataFolder.h"
#include "settings/SettingsStore.h"

namespace nimbrel {

struct DragState {
  bool dragging = false;
  std::int16_t startX = 0, startY = 0;
};

enum class KeepListMode { Cookies, TypedAddresses };

// The folders no eraser may work in (erasers/modFiles.h, ErasableFolder),
// canonical and upper-case.
struct ProtectedFolderList {
  std::vector<std::string> wholes;  // neither these nor any folder above them
  std::vector<std::string> sealed;  // nor anything inside them
};

class Context {
 public:
  Context(const Platform& p, SettingsStore& s) : platform(p), settings(s), quiet_(platform.loop) {}
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  Platform platform;
  SettingsStore& settings;
  // Where the log and the keep lists are read and saved.
  DataFolder dataFolder;

  std::int32_t RegistryItemsRemoved = 0;
  std::int32_t FilesDeleted = 0;
  // The bytes of the files erased in this run (what lblSize shows).
  std::uint64_t BytesErased = 0;
  // The items this run meant to erase and could not, each told once (Left).
  std::int32_t ItemsLeft = 0;
  std::string HistoryFolder, CacheFolder, CookiesFolder, ProgramFilesFolder;
  // The 32-bit programs' folder of 64-bit Windows as this program sees it (for a
  // 32-bit program the same as ProgramFilesFolder); empty on 32-bit Windows.
  std::string ProgramFilesX86Folder;
  // The protected folders as a run took them at its start, once its folder
  // variables were read; outside a run each check takes them afresh.
  std::optional<ProtectedFolderList> RunProtectedFolders;
  bool MessageAnswer = false;
  DragState drag;
  KeepListMode keepListMode = KeepListMode::Cookies;

  // Where the erasers report; without a front end, only the yields go on.
  RunReport& Report() { return report_ ? *report_ : quiet_; }
  void SetReport(RunReport* report) { report_ = report; }

  // The erasers' side of the report: each keeps the count and tells it.
  void AddProgressLine(const std::string& line) { Report().ProgressLine(line); }
  void CountRegistryItem();
  void CountFileDeleted();
  void AddBytesErased(std::uint64_t bytes);
  // An item the run meant to erase stays: told as the progress line
  // "  left (REASON): ITEM" and counted in ItemsLeft, once per item and run
  // (letter case aside), however many attempts failed.
  void Left(std::string_view reason, const std::string& item);
  // A run starts: every counter at 0, no item left yet.
  void ResetRunCounters();
  void DoEvents() { Report().DoEvents(); }

  // Reads a choice of section "Options" (default "0"): selected when it is 1.
  bool OptionSelected(const std::string& key);

 private:
  // Reports nothing but lets pending messages through.
  class QuietReport final : public RunReport {
   public:
    explicit QuietReport(EventLoop& loop) : loop_(loop) {}
    void ProgressLine(const std::string&) override {}
    void RegistryItemsRemoved(std::int32_t) override {}
    void FilesDeleted(std::int32_t) override {}
    void BytesErased(std::uint64_t) override {}
    void DoEvents() override { loop_.DoEvents(); }

   private:
    EventLoop& loop_;
  };
  QuietReport quiet_;
  RunReport* report_ = nullptr;
  std::set<std::string> left_;  // the items Left told, upper-case
};

}  // namespace nimbrel
