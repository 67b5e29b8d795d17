#include "dialogs/settings_dialog_rules.h"

#include <cstdint>
#include <cstring>

#include "engine/text.h"
#include "store/settings_table.h"

namespace {

const char kByte[] = "byte";
const char kSec[] = "sec";
const char kMonth[] = "月";
const char kDay[] = "日";
const char kHour[] = "時";
const char kMinute[] = "分";

// Monday first, as the list shows them; the stored weekday counts from
// Sunday (0), so the character at index i stands for weekday i + 1, and
// the last one, "日", for 0.
const char* const kWeekdays[] = {"月", "火", "水", "木", "金", "土", "日"};
const char* const kErrorModes[] = {"0:維持", "1:一時停止", "2:停止", "3:EXE終了"};

// Widened so that a value at the edge of int plus one (the month shown from
// 0) or minus one (the month read back) never overflows.
std::string with_unit(std::int64_t value, const char* unit)
{
    return std::to_string(value) + unit;
}

std::vector<std::string> numbered_items(int first, int last, const char* unit)
{
    std::vector<std::string> items;
    for (int i = first; i <= last; ++i)
        items.push_back(with_unit(i, unit));
    return items;
}

std::vector<std::string> day_items(std::int64_t shown_month)
{
    std::vector<std::string> items = numbered_items(1, 29, kDay);
    if (shown_month != 2)
        items.push_back(with_unit(30, kDay));
    switch (shown_month) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 12: items.push_back(with_unit(31, kDay)); break;
    default: break;
    }
    return items;
}

std::int64_t shown_month(const Settings& s)
{
    return static_cast<std::int64_t>(s.set_t_mon) + 1;
}

std::size_t box_text_length(const char* text)
{
    std::size_t n = 0;
    while (n < kSettingsBoxText - 1 && text[n] != 0)
        ++n;
    return n;
}

// The number of a box's text without its unit of `unit` bytes. A text of at
// most `whole_up_to` bytes is read whole: a bare number typed into a box of
// the transfer group, or an emptied or one-digit schedule box.
std::int32_t number_before_unit(const char* text, std::size_t unit, std::size_t whole_up_to)
{
    std::size_t n = box_text_length(text);
    return atoi_compat(text, n > whole_up_to ? n - unit : n);
}

// The transfer group's boxes take a text no longer than its unit whole.
std::int32_t transfer_number(const char* text, const char* unit)
{
    std::size_t len = std::strlen(unit);
    return number_before_unit(text, len, len);
}

// The schedule boxes' units are one double-byte character: "12" without it
// is empty. A single byte is less than the unit and read whole.
std::int32_t schedule_number(const char* text)
{
    return number_before_unit(text, 2, 1);
}

int in_range_or(std::int64_t value, int first, int last, int otherwise)
{
    return value < first || value > last ? otherwise : static_cast<int>(value);
}

// Stores a number read from a box as its row of the settings table keeps it.
void keep_number(Settings& s, int Settings::*field, std::int64_t value)
{
    s.*field = kept_in(row_of(field).dialog, value);
}

int error_mode_of(const char* text)
{
    return atoi_compat(text, box_text_length(text) > 0 ? 1 : 0);
}

int weekday_of(const char* text)
{
    if (box_text_length(text) < 2)
        return 0;
    for (int i = 0; i < 6; ++i) {
        if (std::memcmp(text, kWeekdays[i], 2) == 0)
            return i + 1;
    }
    return 0;
}

}  // namespace

std::vector<std::string> settings_box_items(SettingsBox box, const Settings& settings)
{
    switch (box) {
    case SettingsBox::data_size:
        return {"8192byte", "16384byte", "32768byte", "65536byte", "131072byte", "262144byte", "524288byte",
                "1048576byte"};
    case SettingsBox::data_time: return {"1sec", "2sec", "3sec", "5sec", "7sec", "10sec", "20sec", "30sec", "60sec"};
    case SettingsBox::start_time: return {"1sec", "60sec", "120sec", "240sec", "480sec", "960sec"};
    case SettingsBox::restart_time: return {"10sec", "30sec", "60sec", "120sec"};
    case SettingsBox::rw_error_mode: return {std::begin(kErrorModes), std::end(kErrorModes)};
    case SettingsBox::set_t_mon: return numbered_items(1, 12, kMonth);
    case SettingsBox::set_t_mday: return day_items(shown_month(settings));
    case SettingsBox::set_t_week: return {std::begin(kWeekdays), std::end(kWeekdays)};
    case SettingsBox::set_t_hour: return numbered_items(0, 23, kHour);
    case SettingsBox::set_t_min: return numbered_items(0, 59, kMinute);
    case SettingsBox::version_days: return {"0日", "7日", "14日", "30日", "60日", "90日", "180日", "365日"};
    }
    return {};
}

std::string settings_box_text(SettingsBox box, const Settings& s)
{
    switch (box) {
    case SettingsBox::data_size: return with_unit(s.data_size, kByte);
    case SettingsBox::data_time: return with_unit(s.data_time, kSec);
    case SettingsBox::start_time: return with_unit(s.start_time, kSec);
    case SettingsBox::restart_time: return with_unit(s.restart_time, kSec);
    case SettingsBox::rw_error_mode: return kErrorModes[in_range_or(s.rw_error_mode, 1, 3, 0)];
    case SettingsBox::set_t_mon: return with_unit(shown_month(s), kMonth);
    case SettingsBox::set_t_mday: return with_unit(s.set_t_mday, kDay);
    case SettingsBox::set_t_week: return kWeekdays[in_range_or(s.set_t_week, 1, 6, 7) - 1];
    case SettingsBox::set_t_hour: return with_unit(s.set_t_hour, kHour);
    case SettingsBox::set_t_min: return with_unit(s.set_t_min, kMinute);
    case SettingsBox::version_days: return with_unit(s.version_days, kDay);
    }
    return {};
}

void read_settings_box(SettingsBox box, const char* text, Settings& s)
{
    switch (box) {
    case SettingsBox::data_size: keep_number(s, &Settings::data_size, transfer_number(text, kByte)); break;
    case SettingsBox::data_time: keep_number(s, &Settings::data_time, transfer_number(text, kSec)); break;
    case SettingsBox::start_time: keep_number(s, &Settings::start_time, transfer_number(text, kSec)); break;
    case SettingsBox::restart_time: keep_number(s, &Settings::restart_time, transfer_number(text, kSec)); break;
    case SettingsBox::rw_error_mode: s.rw_error_mode = error_mode_of(text); break;
    case SettingsBox::set_t_mon:
        keep_number(s, &Settings::set_t_mon, static_cast<std::int64_t>(schedule_number(text)) - 1);
        break;
    case SettingsBox::set_t_mday: keep_number(s, &Settings::set_t_mday, schedule_number(text)); break;
    case SettingsBox::set_t_week: s.set_t_week = weekday_of(text); break;
    case SettingsBox::set_t_hour: keep_number(s, &Settings::set_t_hour, schedule_number(text)); break;
    case SettingsBox::set_t_min: keep_number(s, &Settings::set_t_min, schedule_number(text)); break;
    case SettingsBox::version_days: keep_number(s, &Settings::version_days, transfer_number(text, kDay)); break;
    }
}

std::array<bool, kScheduleBoxCount> schedule_boxes_enabled(int set_t_mode)
{
    //               month  day    weekday hour   minute
    switch (set_t_mode) {
    case 0: return {false, false, false, false, false};
    case 1: return {true, true, false, true, true};
    case 2: return {false, true, false, true, true};
    case 3: return {false, false, true, true, true};
    case 4: return {false, false, false, true, true};
    default: return {true, true, true, true, true};
    }
}
