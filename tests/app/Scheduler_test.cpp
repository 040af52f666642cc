#include "app/Scheduler.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/MainWindowTest.h"

namespace nimbrel {
namespace {

// The main window's own timer and run; each run ends with its completion
// message, which counts it.
class SchedulerTest : public MainWindowTest {
 protected:
  SchedulerTest() {
    onModal = [this](Form&) { timerOnDuringRun = timerOnDuringRun || main.TmrScheduler.Enabled(); };
  }
  void Schedule(const std::string& day, const std::string& time) {
    w.settings.WriteSetting(kSettings, "Day", day);
    w.settings.WriteSetting(kSettings, "Time", time);
  }
  // Sets the clock: 2026-12-07 is a Monday.
  void At(int dayOfDecember, int hour, int minute, int second) {
    w.system.now = DateTime{2026, 12, dayOfDecember, hour, minute, second, (dayOfDecember + 1) % 7};
  }
  int RunsAt(int dayOfDecember, int hour, int minute, int second) {
    At(dayOfDecember, hour, minute, second);
    const int before = Runs();
    main.TmrScheduler.Fire();
    EXPECT_TRUE(main.TmrScheduler.Enabled());
    return Runs() - before;
  }

  bool timerOnDuringRun = false;
};

TEST_F(SchedulerTest, EveryDayAtTheStoredSecondAndNeverAroundIt) {
  Schedule("7", "22:15:00");
  EXPECT_EQ(main.TmrScheduler.Interval(), 10);
  EXPECT_EQ(RunsAt(8, 22, 14, 59), 0);
  EXPECT_EQ(RunsAt(8, 22, 15, 0), 1);
  EXPECT_FALSE(timerOnDuringRun);
  EXPECT_EQ(RunsAt(8, 22, 15, 1), 0);
  EXPECT_EQ(RunsAt(9, 22, 15, 0), 1);
  EXPECT_EQ(RunsAt(13, 22, 15, 0), 1);  // a Sunday
  // A stored time with its date in front, or with AM/PM, means the same time of day.
  Schedule("7", "08/12/2026 10:15:00 PM");
  EXPECT_EQ(RunsAt(14, 22, 15, 0), 1);
}

TEST_F(SchedulerTest, OneRunPerScheduledSecondEvenWhenTheRunTakesNoTime) {
  Schedule("7", "22:15:00");
  // The run ends at once, so the clock still shows the chosen second.
  EXPECT_EQ(RunsAt(8, 22, 15, 0), 1);
  EXPECT_EQ(RunsAt(8, 22, 15, 0), 0);
  EXPECT_EQ(RunsAt(8, 22, 15, 0), 0);
  // The next day the same second is due again.
  EXPECT_EQ(RunsAt(9, 22, 15, 0), 1);
}

TEST_F(SchedulerTest, AWeekdayScheduleRunsOnlyOnItsDay) {
  Schedule("2", "06:30:00");  // Wednesday
  EXPECT_EQ(RunsAt(8, 6, 30, 0), 0);  // Tuesday
  EXPECT_EQ(RunsAt(9, 6, 30, 0), 1);  // Wednesday
  Schedule("6", "06:30:00");  // Sunday, the last of the list and the first of the week
  EXPECT_EQ(RunsAt(12, 6, 30, 0), 0);
  EXPECT_EQ(RunsAt(13, 6, 30, 0), 1);
  Schedule("0", "06:30:00");  // Monday
  EXPECT_EQ(RunsAt(14, 6, 30, 0), 1);
}

TEST_F(SchedulerTest, AWeekdayScheduleFiresWhateverTheLanguageOfTheDayNames) {
  w.system.weekdays = {"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                       "Donnerstag", "Freitag", "Samstag"};
  Schedule("1", "12:00:00");  // Tuesday
  EXPECT_EQ(RunsAt(8, 12, 0, 0), 1);
  w.system.weekdays = {"dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi"};
  EXPECT_EQ(RunsAt(15, 12, 0, 0), 1);
  EXPECT_EQ(RunsAt(16, 12, 0, 0), 0);
}

TEST_F(SchedulerTest, NoTimeOrAnUnreadableScheduleNeverRuns) {
  At(8, 14, 5, 9);
  for (const char* time : {"Null", "", "14:05", "25:00:00", "14:05:09 XM", "abc", "14:5:9:1"}) {
    Schedule("7", time);
    EXPECT_EQ(RunsAt(8, 14, 5, 9), 0) << time;
  }
  // Missing Time reads as "Null".
  w.registry.DeleteKey(RegRoot::CurrentUser, std::string(kSettingsRoot) + "\\Settings");
  EXPECT_EQ(RunsAt(8, 14, 5, 9), 0);
  for (const char* day : {"-1", "8", "x", ""}) {
    Schedule(day, "14:05:09");
    EXPECT_EQ(RunsAt(8, 14, 5, 9), 0) << day;
  }
  // The whole number of "6.6" is 7: every day.
  Schedule("6.6", "14:05:09");
  EXPECT_EQ(RunsAt(8, 14, 5, 9), 1);
}

TEST_F(SchedulerTest, AMissingDayMeansEveryDayAndChangesAreReadAtTheNextTick) {
  w.settings.WriteSetting(kSettings, "Time", "09:00:00");
  EXPECT_EQ(RunsAt(10, 9, 0, 0), 1);
  Schedule("7", "09:00:01");
  EXPECT_EQ(RunsAt(10, 9, 0, 1), 1);
}

TEST_F(SchedulerTest, AnIdleTickReadsNothingYetAChangeByAnyProgramCountsAtTheNextTick) {
  const std::string settings = std::string(kSettingsRoot) + "\\Settings";
  Schedule("7", "22:15:00");
  EXPECT_EQ(RunsAt(8, 22, 14, 0), 0);
  const int queries = w.registry.queries, lookups = w.registry.lookups;
  for (int s = 1; s < 60; ++s) EXPECT_EQ(RunsAt(8, 22, 14, s), 0);
  EXPECT_EQ(w.registry.queries, queries);
  EXPECT_EQ(w.registry.lookups, lookups);
  // Changed by another program, value by value, and the key deleted and made anew.
  w.registry.PutString(RegRoot::CurrentUser, settings, "Time", "22:16:00");
  EXPECT_EQ(RunsAt(8, 22, 16, 0), 1);
  w.registry.PutString(RegRoot::CurrentUser, settings, "Day", "3");  // Thursday
  EXPECT_EQ(RunsAt(9, 22, 16, 0), 0);
  EXPECT_EQ(RunsAt(10, 22, 16, 0), 1);
  EXPECT_TRUE(w.registry.DeleteKey(RegRoot::CurrentUser, settings));
  EXPECT_EQ(RunsAt(17, 22, 16, 0), 0);  // no time stored
  w.registry.PutString(RegRoot::CurrentUser, settings, "Time", "22:17:00");
  EXPECT_EQ(RunsAt(17, 22, 17, 0), 1);
  // And by this program.
  Schedule("7", "22:18:00");
  EXPECT_EQ(RunsAt(17, 22, 18, 0), 1);
}

TEST(SchedulerRestartTest, AfterARestartOnlyATickedScheduleRuns) {
  // chkSchedule as stored: absent, unticked, another number, ticked.
  for (const char* on : {"", "0", "2", "1"}) {
    SCOPED_TRACE(on);
    TestWorld w;
    for (const TrackCategory& c : kTrackCategories) w.SetOption(c.key, "0");
    w.settings.WriteSetting(kSettings, "Day", "7");
    w.settings.WriteSetting(kSettings, "Time", "22:15:00");
    if (*on) w.settings.WriteSetting(kSettings, "chkSchedule", on);
    w.system.now = DateTime{2026, 12, 8, 22, 15, 0, 2};
    w.loop.onModal = [](Form& f) { f.Close(); };
    FrmMain main(w.ctx);
    main.Load();
    main.TmrScheduler.Fire();
    const auto runs = std::count(w.loop.modalShown.begin(), w.loop.modalShown.end(), "FrmMessage");
    EXPECT_EQ(runs, std::string(on) == "1" ? 1 : 0);
    EXPECT_EQ(main.TmrScheduler.Enabled(), std::string(on) == "1");
  }
}

TEST_F(SchedulerTest, ATickDuringTheUsersRunStartsNothing) {
  Schedule("7", "14:05:09");
  At(8, 14, 5, 9);
  int ticks = 0;
  w.loop.onDoEvents = [&](int n) {
    if (n == 5) {
      main.TmrScheduler.Fire();
      ++ticks;
    }
  };
  main.Label2.UserClick();  // the user's run
  w.loop.onDoEvents = nullptr;
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(Runs(), 1);
  // The scheduled second was not used up by the skipped tick.
  EXPECT_EQ(RunsAt(8, 14, 5, 9), 1);
}

}  // namespace
}  // namespace nimbrel
