// The eighteen built-in kinds of trace, in the fixed order of list building
// and dispatch, each with its row label, settings key and erasing steps.
#pragma once

#include <array>

#include "erasers/Context.h"

namespace nimbrel {

struct TrackCategory {
  int position;  // 1 to 18
  const char* label;
  const char* key;  // section "Options"
};

extern const std::array<TrackCategory, 18> kTrackCategories;

// Carries out the erasing steps of the category at `position`.
void EraseTrackCategory(Context& ctx, int position);

}  // namespace nimbrel
