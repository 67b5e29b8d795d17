#include "store/settings_dialog_rules.h"

#include <cstdint>
#include <cstring>

#include "engine/text.h"

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

constexpr int kSmallestChunk = 1;
constexpr int kLargestChunk = 1048576;  // the standby copy lowers a larger chunk to this
constexpr int kDefaultChunk = 131072;
// The worker reads a pause outside 1 to 60 seconds as 3 seconds between
// steps, while the copy would wait that long after every chunk: a day's
// pause per chunk holds a file for weeks. The box keeps the range both honour.
constexpr int kShortestPause = 1;
constexpr int kLongestPause = 60;
// The timers are armed with seconds * 1000 milliseconds; beyond this the
// product no longer fits SetTimer's longest timeout, and a negative value
// would wrap to a timer of weeks that keeps the tick timer from ever being
// armed. At least one second: the lists begin there.
constexpr int kShortestTimer = 1;
constexpr int kLongestTimer = 0x7FFFFFFF / 1000;
// A hundred years: any longer keeps every version for the life of the disk.
constexpr int kLongestKeep = 36500;

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

int clamped(std::int32_t value, int first, int last)
{
    return value < first ? first : value > last ? last : value;
}

int data_size_of(const char* text)
{
    std::int32_t size = transfer_number(text, kByte);
    return size < kSmallestChunk ? kDefaultChunk : clamped(size, kSmallestChunk, kLargestChunk);
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
    case SettingsBox::data_size: s.data_size = data_size_of(text); break;
    case SettingsBox::data_time:
        s.data_time = clamped(transfer_number(text, kSec), kShortestPause, kLongestPause);
        break;
    case SettingsBox::start_time:
        s.start_time = clamped(transfer_number(text, kSec), kShortestTimer, kLongestTimer);
        break;
    case SettingsBox::restart_time:
        s.restart_time = clamped(transfer_number(text, kSec), kShortestTimer, kLongestTimer);
        break;
    case SettingsBox::rw_error_mode: s.rw_error_mode = error_mode_of(text); break;
    case SettingsBox::set_t_mon:
        s.set_t_mon = in_range_or(static_cast<std::int64_t>(schedule_number(text)) - 1, 0, 11, 0);
        break;
    case SettingsBox::set_t_mday: s.set_t_mday = in_range_or(schedule_number(text), 1, 31, 1); break;
    case SettingsBox::set_t_week: s.set_t_week = weekday_of(text); break;
    case SettingsBox::set_t_hour: s.set_t_hour = in_range_or(schedule_number(text), 0, 23, 0); break;
    case SettingsBox::set_t_min: s.set_t_min = in_range_or(schedule_number(text), 0, 59, 0); break;
    case SettingsBox::version_days: s.version_days = clamped(transfer_number(text, kDay), 0, kLongestKeep); break;
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
