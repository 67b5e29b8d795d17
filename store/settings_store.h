// The Settings defaults and reset.
#pragma once
#include "store/settings.h"

struct ProgressState;

// Old versions are kept a month unless the user says otherwise.
constexpr int kDefaultVersionDays = 30;

// Every field of Settings and of the run position kept in set.ini (the seven
// run-position fields and dmove_point) back to its default.
void reset_settings(Settings& settings, ProgressState& progress);
