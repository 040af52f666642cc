// The cleaning run: builds the to-be-erased list and walks it, dispatching
// each row to its track category or catalogue application.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "erasers/Context.h"
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

// The labels of the applications ticked in the erase-settings dialog, in
// catalogue order, as the dialog loads them.
using TickedApplications = std::function<std::vector<std::string>()>;

inline constexpr const char* kIdleStatus = " Ready";

constexpr Colour kProgressBackColour = 14933984;  // RGB(224, 223, 227)
constexpr Colour kProgressBarColour = 12632256;   // RGB(192, 192, 192)

class CleaningRun {
 public:
  CleaningRun(Context& ctx, const CleaningControls& controls, TickedApplications ticked);

  // One row per selected category, then one per ticked application.
  void FillToBeErasedList();
  // The run. Returns at once, changing nothing, while a run is in progress.
  void StartCleanning();
  bool Running() const { return running_; }

  void SetProgressBarColour(WindowHandle window, Colour colour);
  void SetProgressBackColour(WindowHandle window, Colour colour);
  // Reads the four folder variables from the registry.
  void ReadFolderVariables();

 private:
  void RowStep(int index);
  void Dispatch(int index);
  void ShowCompletionMessage();

  Context& ctx_;
  CleaningControls c_;
  TickedApplications ticked_;
  bool running_ = false;
};

}  // namespace nimbrel
