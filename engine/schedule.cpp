#include "engine/schedule.h"

#include "engine/settings.h"

bool schedule_due_at(const Settings& s, const std::tm& t)
{
    // Seconds 0 to 4 of the set minute: a late tick of the one-second timer
    // still finds the start; later ticks meet a running run and are ignored.
    bool at_time = t.tm_hour == s.set_t_hour && t.tm_min == s.set_t_min && t.tm_sec < 5;
    switch (s.set_t_mode) {
    case 1: return at_time && t.tm_mon == s.set_t_mon && t.tm_mday == s.set_t_mday;
    case 2: return at_time && t.tm_mday == s.set_t_mday;
    case 3: return at_time && t.tm_wday == s.set_t_week;
    case 4: return at_time;
    default: return false;  // 0 "連続" and anything else: no time schedule
    }
}

int schedule_due(const Settings& settings)
{
    std::time_t now = std::time(nullptr);
    // Only the user-interface thread asks, so localtime's shared result is safe.
    const std::tm* local = std::localtime(&now);
    return local && schedule_due_at(settings, *local) ? 1 : 0;
}
