// The eighteen built-in kinds of trace, in the fixed order of list building
// and dispatch. Each entry carries everything the program shows or stores of
// it: its row label, its settings key (section "Options"), the caption and
// group of its check box in the erase-settings dialog, and its erasing steps.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/Context.h"
#include "erasers/BrowserProfiles.h"

namespace nimbrel {

struct TrackCategory {
  int position;         // 1 to 18, then 19 on for the kinds of Windows of today
  const char* label;    // the to-be-erased row, matched by the run
  const char* key;      // also the name of its check box
  const char* caption;  // its check box's caption
  const char* group;    // the dialog group that holds the check box
  // The erasing steps; null while the category erases nothing of its own.
  void (*erase)(Context& ctx);
  // Whether a profile that never held settings starts with it ticked.
  bool tickedWhenFresh = true;
};

extern const std::array<TrackCategory, 18> kTrackCategories;

// What Windows Vista to 11 keep of a user's work, listed after the eighteen
// and shown beside the Windows group's boxes. A fresh profile ticks all but
// the folder views; one that holds an older version's settings none, until
// the user chooses them.
extern const std::array<TrackCategory, 7> kWindowsTodayCategories;
inline constexpr const char* kFolderViewsKey = "chkWindowsFolderViews";

// The dialog's groups: where each starts in the table and how many it holds.
struct CategoryGroup {
  int first, count;
};
constexpr CategoryGroup kInternetExplorerGroup{0, 5};
constexpr CategoryGroup kOperaGroup{5, 3};
constexpr CategoryGroup kNetscapeGroup{8, 4};
constexpr CategoryGroup kWindowsGroup{12, 6};

// Today's browsers: a row per browser and category, listed after the
// eighteen, browser by browser, for a browser that is installed.
struct BrowserTrack {
  TodaysBrowser browser;
  BrowserCategory category;
  std::string label;  // the to-be-erased row: "Chrome Cache"
  std::string key;    // section "Options", also its check box's name: "chkChromeCache"
};

// The 30, in the order of their rows: Chrome's History, Cookies, Cache,
// Sessions, Site Data, then Edge's ...
const std::vector<BrowserTrack>& BrowserTracks();

}  // namespace nimbrel
