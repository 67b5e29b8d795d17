// Whether a scheduled standby start is due. The test on a broken-down local
// time is separate from the clock, so it can be tested on exact dates.
#pragma once
#include <ctime>

struct Settings;

bool schedule_due_at(const Settings& settings, const std::tm& local);
// schedule_due_at on the current local time.
int schedule_due(const Settings& settings);
