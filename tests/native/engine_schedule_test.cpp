// The start schedule on exact local times.
#include <gtest/gtest.h>

#include "engine/run_state.h"
#include "engine/schedule.h"
#include "engine/settings_table.h"

namespace {

// A broken-down time as localtime gives it; wday is set by hand so that each
// case says which weekday it means.
std::tm at(int year, int mon, int mday, int wday, int hour, int min, int sec)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = mon;
    t.tm_mday = mday;
    t.tm_wday = wday;
    t.tm_hour = hour;
    t.tm_min = min;
    t.tm_sec = sec;
    return t;
}

Settings schedule(int mode, int mon, int mday, int week, int hour, int min)
{
    Settings s{};
    ProgressState p;
    reset_settings(s, p);
    s.set_t_mode = mode;
    s.set_t_mon = mon;
    s.set_t_mday = mday;
    s.set_t_week = week;
    s.set_t_hour = hour;
    s.set_t_min = min;
    return s;
}

struct Case {
    const char* what;
    Settings settings;
    std::tm time;
    bool due;
};

}  // namespace

TEST(ScheduleDueAt, EveryModeOnExactDates)
{
    const Case cases[] = {
        // Daily at the defaults' hour and minute: seconds 0 to 4 only.
        {"daily 01:01:00", schedule(4, 1, 1, 1, 1, 1), at(2024, 5, 17, 1, 1, 1, 0), true},
        {"daily 01:01:04", schedule(4, 1, 1, 1, 1, 1), at(2024, 5, 17, 1, 1, 1, 4), true},
        {"daily 01:01:05", schedule(4, 1, 1, 1, 1, 1), at(2024, 5, 17, 1, 1, 1, 5), false},
        {"daily 01:00:59", schedule(4, 1, 1, 1, 1, 1), at(2024, 5, 17, 1, 1, 0, 59), false},
        {"daily other hour", schedule(4, 1, 1, 1, 1, 1), at(2024, 5, 17, 1, 13, 1, 0), false},
        {"daily midnight", schedule(4, 1, 1, 1, 0, 0), at(2024, 0, 1, 1, 0, 0, 2), true},
        // Weekly on Sunday (weekday 0) only.
        {"weekly Sunday", schedule(3, 1, 1, 0, 22, 30), at(2024, 5, 16, 0, 22, 30, 3), true},
        {"weekly Monday", schedule(3, 1, 1, 0, 22, 30), at(2024, 5, 17, 1, 22, 30, 3), false},
        {"weekly Saturday", schedule(3, 1, 1, 0, 22, 30), at(2024, 5, 22, 6, 22, 30, 3), false},
        {"weekly Sunday 5 s late", schedule(3, 1, 1, 0, 22, 30), at(2024, 5, 16, 0, 22, 30, 5), false},
        // Yearly on 31 December.
        {"yearly 31 Dec", schedule(1, 11, 31, 1, 23, 59), at(2024, 11, 31, 2, 23, 59, 0), true},
        {"yearly 31 Dec 4 s", schedule(1, 11, 31, 1, 23, 59), at(2025, 11, 31, 3, 23, 59, 4), true},
        {"yearly 30 Dec", schedule(1, 11, 31, 1, 23, 59), at(2024, 11, 30, 1, 23, 59, 0), false},
        {"yearly 31 Jan", schedule(1, 11, 31, 1, 23, 59), at(2024, 0, 31, 3, 23, 59, 0), false},
        {"yearly month 1 is February", schedule(1, 1, 1, 1, 1, 1), at(2024, 1, 1, 4, 1, 1, 0), true},
        {"yearly month 1 not January", schedule(1, 1, 1, 1, 1, 1), at(2024, 0, 1, 1, 1, 1, 0), false},
        // Monthly on day 31: never in a 30-day month, which has no 31st.
        {"monthly 31 Jan", schedule(2, 1, 31, 1, 8, 0), at(2024, 0, 31, 3, 8, 0, 1), true},
        {"monthly 30 Apr", schedule(2, 1, 31, 1, 8, 0), at(2024, 3, 30, 2, 8, 0, 1), false},
        {"monthly 1 May", schedule(2, 1, 31, 1, 8, 0), at(2024, 4, 1, 3, 8, 0, 1), false},
        {"monthly 29 Feb", schedule(2, 1, 31, 1, 8, 0), at(2024, 1, 29, 4, 8, 0, 1), false},
        {"monthly any month", schedule(2, 1, 15, 1, 8, 0), at(2024, 8, 15, 0, 8, 0, 0), true},
        // Mode 0 and unknown modes: never.
        {"continuous at its time", schedule(0, 1, 1, 1, 1, 1), at(2024, 1, 1, 4, 1, 1, 0), false},
        {"mode 5", schedule(5, 1, 1, 1, 1, 1), at(2024, 1, 1, 4, 1, 1, 0), false},
        {"mode -1", schedule(-1, 1, 1, 1, 1, 1), at(2024, 1, 1, 4, 1, 1, 0), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(schedule_due_at(c.settings, c.time), c.due) << c.what;
}

TEST(ScheduleDueAt, DailyIsDueOnFiveTicksOfADay)
{
    Settings s = schedule(4, 1, 1, 1, 17, 45);
    int due = 0;
    for (int second = 0; second < 24 * 3600; second += 1)
        due += schedule_due_at(s, at(2024, 1, 1, 4, second / 3600, second / 60 % 60, second % 60));
    EXPECT_EQ(due, 5);
}
