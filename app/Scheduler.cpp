#include "app/Scheduler.h"

#include "platform/Text.h"

namespace nimbrel {

bool ScheduleSwitchedOn(Context& ctx) {
  return IsOne(ctx.settings.ReadSetting(kSettings, kScheduleSwitchKey, "0"));
}

Scheduler::Scheduler(Context& ctx, const SchedulerControls& controls) : ctx_(ctx), c_(controls) {}

void Scheduler::Tick() {
  // Off for the tick and the run it starts, so no tick comes in between.
  c_.TmrScheduler.SetEnabled(false);
  const DateTime now = ctx_.platform.system.Now();
  // A run already going (started by the user) is left alone: the tick is skipped.
  if (Due(now) && started_ != now && !c_.run.Running()) {
    started_ = now;
    c_.run.StartCleanning();
  }
  c_.TmrScheduler.SetEnabled(true);
}

bool Scheduler::Due(const DateTime& now) {
  if (ctx_.settings.SectionChanged(kSettings) || schedule_.empty())
    schedule_ = ctx_.settings.ReadSettings(kSettings,
                                           {{kScheduleDayKey, "7"}, {kScheduleTimeKey, kNoTime}});
  const auto day = AsInt32(schedule_[0]);
  const std::string& time = schedule_[1];
  if (!day || *day < 0 || *day > kEveryDay) return false;
  // The day list starts with Monday, the clock's weekdays with Sunday. The
  // weekday itself is compared, not its name, which is in the user's language.
  if (*day != kEveryDay && *day != (now.weekday + 6) % 7) return false;
  const auto at = AsTimeOfDay(time);
  return at && FormatHms(*at) == FormatHms(now);
}

}  // namespace nimbrel
