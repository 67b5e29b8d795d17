// The table of the settings: each line of set.ini, the field it fills, its
// default, and the ranges the places that use the value keep it in, with
// what a value outside becomes. The ranges differ on purpose: set.ini keeps
// any number it reads, the dialog keeps what the program runs well with, and
// a run corrects only what it cannot run with (a hand-edited set.ini). No
// operating system here: the dialog's rules, the copy and the timers read it.
#pragma once
#include <atomic>
#include <climits>
#include <cstdint>

#include "base/text.h"
#include "engine/exclusions.h"
#include "engine/run_state.h"
#include "engine/settings.h"

// The 26 lines of the first files, version_days after them and exclude
// last; a file without one of the two (written before) reads it as its
// default.
constexpr int kSettingsLineCount = 28;
// With the keys written only when not 0 (try_count, miss_count).
constexpr int kSettingsKeyCount = kSettingsLineCount + 2;

// A number's range and what a value outside it becomes.
struct SettingRange {
    int first;
    int last;
    int below;  // a value below first becomes this
    int above;  // a value above last becomes this
};

// Widened, so that a number read back one less (the month) never overflows.
constexpr int kept_in(const SettingRange& range, std::int64_t value)
{
    return value < range.first ? range.below : value > range.last ? range.above : static_cast<int>(value);
}

// Where a value is used as it is.
constexpr SettingRange kAnyNumber = {INT_MIN, INT_MAX, INT_MIN, INT_MAX};

constexpr int kDefaultChunk = 131072;
constexpr int kLargestChunk = 1048576;
// Zero or a negative size would ask ReadFile for nothing and never end.
constexpr SettingRange kChunk = {1, kLargestChunk, kDefaultChunk, kLargestChunk};

// The worker reads a pause outside 1 to 60 seconds as 3 seconds between
// steps, while the copy would wait that long after every chunk: a day's
// pause per chunk holds a file for weeks. The box keeps the range both honour.
constexpr int kDefaultPause = 3;
constexpr SettingRange kPauseBox = {1, 60, 1, 60};
constexpr SettingRange kStepPause = {kPauseBox.first, kPauseBox.last, kDefaultPause, kDefaultPause};
// After each chunk of a copy no pause below 0; pause_milliseconds bounds the top.
constexpr SettingRange kChunkPause = {0, INT_MAX, 0, INT_MAX};

// The timers are armed with seconds * 1000 milliseconds; beyond this the
// product no longer fits SetTimer's longest timeout (USER_TIMER_MAXIMUM), and
// a negative value would wrap to a timer of weeks that keeps the tick timer
// from ever being armed. The box keeps at least one second: its list begins
// there.
constexpr int kLongestTimer = 0x7FFFFFFF / 1000;
constexpr SettingRange kTimerBox = {1, kLongestTimer, 1, kLongestTimer};
constexpr SettingRange kTimer = {0, kLongestTimer, 0, kLongestTimer};

// Old versions are kept a month unless the user says otherwise, and a
// hundred years at most: any longer keeps every version for the life of the
// disk.
constexpr int kDefaultVersionDays = 30;
constexpr SettingRange kVersionDays = {0, 36500, 0, 36500};

// One line of set.ini: exactly one of the three fields is set. The key
// includes its "=", so no key is a prefix of another.
struct SettingsKey {
    const char* key;
    int Settings::*number;
    char (Settings::*text)[kFieldSize];
    std::atomic<std::int32_t> ProgressState::*progress;
    int default_number;        // of a number or a field of the run position
    const char* default_text;  // of a text
    SettingRange dialog;       // what OK keeps of the number in the field's box
    SettingRange run;          // what a run makes of the value where it uses it
    bool only_when_set;        // written only when not 0
};

constexpr SettingsKey number_key(const char* key, int Settings::*field, int default_number,
                                 SettingRange dialog = kAnyNumber, SettingRange run = kAnyNumber)
{
    return {key, field, nullptr, nullptr, default_number, nullptr, dialog, run, false};
}

constexpr SettingsKey text_key(const char* key, char (Settings::*field)[kFieldSize], const char* default_text)
{
    return {key, nullptr, field, nullptr, 0, default_text, kAnyNumber, kAnyNumber, false};
}

// A run position begins at 0.
constexpr SettingsKey progress_key(const char* key, std::atomic<std::int32_t> ProgressState::*field,
                                   bool only_when_set = false)
{
    return {key, nullptr, nullptr, field, 0, nullptr, kAnyNumber, kAnyNumber, only_when_set};
}

// In the order of set.ini. The error mode and weekday boxes are lists of
// items: what they show of a value outside them is settings_box_text's.
inline constexpr SettingsKey kSettingsTable[kSettingsKeyCount] = {
    number_key("data_size=", &Settings::data_size, kDefaultChunk, kChunk, kChunk),
    number_key("data_time=", &Settings::data_time, kDefaultPause, kPauseBox, kChunkPause),
    progress_key("fmove_point=", &ProgressState::fmove_point),
    progress_key("dmove_point=", &ProgressState::dmove_point),
    text_key("temp_backup=", &Settings::temp_backup, "C:\\"),
    text_key("temp_foler_a1=", &Settings::temp_foler_a1, "C:\\"),
    text_key("temp_foler_a2=", &Settings::temp_foler_a2, "C:\\"),
    text_key("file_folder=", &Settings::file_folder, "C:\\"),
    number_key("start_time=", &Settings::start_time, 120, kTimerBox, kTimer),
    number_key("restart_time=", &Settings::restart_time, 60, kTimerBox, kTimer),
    number_key("rw_error_mode=", &Settings::rw_error_mode, 1),
    progress_key("folder_max=", &ProgressState::folder_max),
    progress_key("folder_count=", &ProgressState::folder_count),
    progress_key("folder_search_flag=", &ProgressState::folder_search_flag),
    progress_key("file_max=", &ProgressState::file_max),
    progress_key("file_count=", &ProgressState::file_count),
    progress_key("file_search_flag=", &ProgressState::file_search_flag),
    number_key("set_t_mode=", &Settings::set_t_mode, 0),
    // The schedule keeps its ranges; outside, the first of the range.
    number_key("set_t_mon=", &Settings::set_t_mon, 1, {0, 11, 0, 0}),
    number_key("set_t_mday=", &Settings::set_t_mday, 1, {1, 31, 1, 1}),
    number_key("set_t_week=", &Settings::set_t_week, 1),
    number_key("set_t_hour=", &Settings::set_t_hour, 1, {0, 23, 0, 0}),
    number_key("set_t_min=", &Settings::set_t_min, 1, {0, 59, 0, 0}),
    number_key("shutdown_mode=", &Settings::shutdown_mode, 0),
    number_key("conut_save_mode=", &Settings::conut_save_mode, 0),
    number_key("thread_dialog_mode=", &Settings::thread_dialog_mode, 0),
    number_key("version_days=", &Settings::version_days, kDefaultVersionDays, kVersionDays),
    // The failed tries of the file at the position and the files of its
    // entry not backed up: kept with the position, so that an end of the
    // program neither gives a failing file new tries nor loses the count.
    progress_key("try_count=", &ProgressState::try_count, true),
    progress_key("miss_count=", &ProgressState::miss_count, true),
    // Last, so that a reader of before meets every line it knows where it
    // always found them; an empty value leaves out nothing.
    text_key("exclude=", &Settings::exclude, kDefaultExclusions),
};

// The row of a number field. A field without one fails to compile where the
// lookup is constant.
constexpr const SettingsKey& row_of(int Settings::*field)
{
    for (const SettingsKey& k : kSettingsTable) {
        if (k.number == field)
            return k;
    }
    throw "a number field without a line in set.ini";
}

// Every field of Settings and of the run position kept in set.ini back to
// its default.
void reset_settings(Settings& settings, ProgressState& progress);
