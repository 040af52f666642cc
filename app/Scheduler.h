// The scheduler: a run starts by itself when the clock reaches the stored
// time of day, on the stored weekday or on every day.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cleaning/CleaningRun.h"
#include "core/Context.h"
#include "platform/Controls.h"

namespace nimbrel {

// Section "Settings": the switch, the day-list index (0 Monday ... 6 Sunday,
// 7 every day) and the time of day ("Null" while none is chosen).
inline constexpr const char* kScheduleSwitchKey = "chkSchedule";
inline constexpr const char* kScheduleDayKey = "Day";
inline constexpr const char* kScheduleTimeKey = "Time";
inline constexpr int kEveryDay = 7;
inline constexpr const char* kNoTime = "Null";

// Whether `chkSchedule` switches the scheduler's timer on: only "1" does, as
// saving the options and start-up apply it.
bool ScheduleSwitchedOn(Context& ctx);

// What the scheduler drives: its timer and the main window's run.
struct SchedulerControls {
  Timer& TmrScheduler;
  CleaningRun& run;
};

class Scheduler {
 public:
  Scheduler(Context& ctx, const SchedulerControls& controls);
  // The timer's tick: reads the schedule afresh and starts the run when due.
  void Tick();

 private:
  bool Due(const DateTime& now);
  Context& ctx_;
  SchedulerControls c_;
  // The second in which the last scheduled run started: a run that ends
  // within it is not started again.
  std::optional<DateTime> started_;
  // Day and Time as last read: read again only once the section changed, so
  // that an idle tick reads nothing.
  std::vector<std::string> schedule_;
};

}  // namespace nimbrel
