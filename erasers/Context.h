// The program-wide state, created once by the program (and once per test) and
// passed by reference: the platform, the settings store, the run counters,
// the folder variables, the message answer, the drag state and the controls
// of the main window that the erasers report into.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Controls.h"
#include "platform/Platform.h"
#include "settings/SettingsStore.h"

namespace nimbrel {

// The main window's controls that the erasers write into while a run lasts.
// Null until the main window exists; every use checks.
struct ProgressDisplay {
  Form* window = nullptr;  // the main window, owner of system dialogs
  ListBox* LstShowingTracksErasedProgress = nullptr;
  Label* lblScannedRegKeys = nullptr;
  Label* lblFilesDelete = nullptr;
  Label* lblSize = nullptr;
};

struct DragState {
  bool dragging = false;
  std::int16_t startX = 0, startY = 0;
};

enum class KeepListMode { Cookies, TypedAddresses };

struct Context {
  Context(const Platform& p, SettingsStore& s) : platform(p), settings(s) {}

  Platform platform;
  SettingsStore& settings;

  std::int32_t RegistryItemsRemoved = 0;
  std::int32_t FilesDeleted = 0;
  std::string HistoryFolder, CacheFolder, CookiesFolder, ProgramFilesFolder;
  bool MessageAnswer = false;
  DragState drag;
  KeepListMode keepListMode = KeepListMode::Cookies;
  ProgressDisplay display;

  // Adds a line to the progress list and selects it (ShowLastProgressLine).
  void AddProgressLine(const std::string& line);
  void ShowLastProgressLine();
  // Shows the counters in their labels.
  void ShowRegistryCount();
  void ShowFilesCount();
  // Reads a choice of section "Options" (default "0"): selected when it is 1.
  bool OptionSelected(const std::string& key);
};

}  // namespace nimbrel
