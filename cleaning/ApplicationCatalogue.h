// The 62 catalogue applications, in the fixed order of the erase-settings
// list and of the dispatch. Each is erased by running its sections of the
// built-in cleaning definitions; two also erase the RealOne Player history.
#pragma once

#include <array>

#include "core/Context.h"

namespace nimbrel {

struct Application {
  const char* label;  // the list item and to-be-erased row; also its settings key
  // The definition sections run for it, in order; the second is null but
  // for one entry.
  std::array<const char*, 2> sections;
  bool realOneHistory;  // also erases the RealOne Player history files
};

extern const std::array<Application, 62> kApplications;

// Erases one application: a fresh definitions file from the built-in text,
// its sections executed in order, the RealOne Player history where it has
// one, and the definitions file erased again. Nothing of the application is
// erased when the definitions file cannot be made afresh.
void EraseApplication(Context& ctx, const Application& app);

}  // namespace nimbrel
