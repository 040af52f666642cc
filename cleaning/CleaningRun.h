// The cleaning run: builds the to-be-erased list and walks it, dispatching
// each row to its track category, catalogue application or entry of the
// community file (a row named as its section, " *" included).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cleaning/Winapp2Erase.h"
#include "core/Context.h"
#include "erasers/TodaysBrowsers.h"
#include "platform/Controls.h"

namespace nimbrel {

// The main window's controls that the run drives; the main window owns them.
struct CleaningControls {
  ListView& lvwToBeErased;
  ListBox& LstShowingTracksErasedProgress;
  ProgressBar& PgbTemp;
  Label& lblstatus;
  Label& lblScannedRegKeys;
  Label& lblFilesDelete;
  Label& lblSize;
  PictureBox& Picture1;
  MenuItem& mnuEraseSetting;
  MenuItem& mnuOptions;
  MenuItem& mnuStartErasing;
};

// While it lives, the controls that could start or change a run (the
// background that holds the commands and the three menu entries) are
// disabled, with `status` shown; then all are as they were.
class RunCommandsHeld {
 public:
  RunCommandsHeld(const CleaningControls& controls, const std::string& status);
  ~RunCommandsHeld();
  RunCommandsHeld(const RunCommandsHeld&) = delete;
  RunCommandsHeld& operator=(const RunCommandsHeld&) = delete;

 private:
  const CleaningControls& c_;
  std::string status_;
  bool enabled_[4];
};

inline constexpr const char* kIdleStatus = " Ready";
// The status strip once a run is over: idle, or how many items it left.
std::string StatusAfterRun(std::int32_t itemsLeft);

// The mark of a to-be-erased row: a track category's label (or a browser
// row's) gets the category's, any other row the application's.
RowMark MarkOfRow(const std::string& row);

// How long a run waits for another process's run to end (the run lock), and
// in what steps, letting pending messages through between them.
constexpr unsigned kRunLockWait = 120000, kRunLockStep = 50;

constexpr Colour kProgressBackColour = 14933984;  // RGB(224, 223, 227)
constexpr Colour kProgressBarColour = 12632256;   // RGB(192, 192, 192)

class CleaningRun {
 public:
  CleaningRun(Context& ctx, const CleaningControls& controls);

  // A row per ticked track in the catalogue's order: the selected categories,
  // the selected rows of installed browsers of today, the ticked applications
  // and community entries (one not listed when a row starts with its label).
  void FillToBeErasedList();
  // The run. Returns at once, changing nothing, while a run is in progress in
  // this process. While another process runs (it holds the run lock) it waits
  // up to kRunLockWait and, should that run go on longer, erases nothing.
  void StartCleanning();
  bool Running() const { return running_; }
  // True when the last start gave up waiting for another process's run.
  bool BusyElsewhere() const { return busyElsewhere_; }
  const CleaningControls& Controls() const { return c_; }

  // Gives the progress bar the run's colours.
  void ColourProgressBar();
  // Reads the four folder variables from the registry.
  void ReadFolderVariables();

 private:
  void RowStep(int index);
  void Dispatch(int index);
  // The browsers whose rows the to-be-erased list holds and whose rows are ticked.
  std::vector<TodaysBrowser> RunBrowsers() const;
  // Takes the run lock, waiting for another process's run with the run's
  // commands held; false when that run did not end.
  bool TakeRunLock();

  Context& ctx_;
  CleaningControls c_;
  TodaysBrowsersRun browsers_;
  std::optional<Winapp2Run> community_;  // while a run goes
  bool running_ = false;
  bool busyElsewhere_ = false;
};

}  // namespace nimbrel
