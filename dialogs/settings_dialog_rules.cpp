#include "dialogs/settings_dialog_rules.h"

#include <cstdint>
#include <cstring>

#include "base/text.h"
#include "engine/exclusions.h"
#include "engine/settings_table.h"

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

// A number far beyond every row's range, where a long run of digits stops
// growing: the row's range then says what it becomes.
constexpr std::int64_t kHugeNumber = std::int64_t{1} << 40;

// A text cursor over a box's text, one character at a time.
struct BoxText {
    const char* text;
    std::size_t n;
    std::size_t at = 0;

    bool starts_with(const char* s, std::size_t len) const
    {
        return n - at >= len && std::memcmp(text + at, s, len) == 0;
    }
    // Spaces of either width, as an IME in full-width mode types them.
    void skip_spaces()
    {
        for (;;) {
            if (at < n && (text[at] == ' ' || text[at] == '\t'))
                ++at;
            else if (starts_with("\x81\x40", 2))
                at += 2;
            else
                return;
        }
    }
    // A digit of either width: ０ to ９ are 82 4F to 82 58 in CP932, what a
    // Japanese IME types by default.
    bool digit(int& d)
    {
        if (at >= n)
            return false;
        unsigned char c = static_cast<unsigned char>(text[at]);
        if (c >= '0' && c <= '9') {
            d = c - '0';
            at += 1;
            return true;
        }
        unsigned char trail = at + 1 < n ? static_cast<unsigned char>(text[at + 1]) : 0;
        if (at + 1 < n && c == 0x82 && trail >= 0x4F && trail <= 0x58) {
            d = trail - 0x4F;
            at += 2;
            return true;
        }
        return false;
    }
};

// The number of a box's text: spaces, a sign, digits of either width, then
// at most the box's own unit, spaces around it. A bare number is that
// number. False for a text that holds no number or anything else, and for
// one that fills what the dialog fetches, which may have been cut.
bool box_number(const char* text, const char* unit, std::int64_t& value)
{
    BoxText t{text, box_text_length(text)};
    if (t.n >= kSettingsBoxText - 1)
        return false;
    t.skip_spaces();
    bool negative = t.at < t.n && t.text[t.at] == '-';
    if (t.at < t.n && (t.text[t.at] == '-' || t.text[t.at] == '+'))
        ++t.at;
    std::int64_t number = 0;
    int d = 0, digits = 0;
    for (; t.digit(d); ++digits)
        number = number < kHugeNumber ? number * 10 + d : kHugeNumber;
    if (digits == 0)
        return false;
    t.skip_spaces();
    if (t.starts_with(unit, std::strlen(unit)))
        t.at += std::strlen(unit);
    t.skip_spaces();
    if (t.at != t.n)
        return false;
    value = negative ? -number : number;
    return true;
}

int in_range_or(std::int64_t value, int first, int last, int otherwise)
{
    return value < first || value > last ? otherwise : static_cast<int>(value);
}

// Stores the number of a box's text as its row of the settings table keeps
// it, `shift` added (the month is shown from 1); false, and nothing stored,
// for a text that is no number.
bool keep_number(Settings& s, int Settings::*field, const char* text, const char* unit, int shift = 0)
{
    std::int64_t value = 0;
    if (!box_number(text, unit, value))
        return false;
    s.*field = kept_in(row_of(field).dialog, value + shift);
    return true;
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

// The box's name as the dialog labels it; the schedule boxes share one.
const char* box_label(SettingsBox box)
{
    switch (box) {
    case SettingsBox::data_size: return "Dataｻｲｽﾞ";
    case SettingsBox::data_time: return "Data転送間隔";
    case SettingsBox::start_time: return "初起動待ち時間";
    case SettingsBox::restart_time: return "再起動待ち時間";
    case SettingsBox::rw_error_mode: return "エラー時処理";
    case SettingsBox::version_days: return "以前のバージョン";
    default: return "待機BackUP開始時刻";
    }
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

bool read_settings_box(SettingsBox box, const char* text, Settings& s)
{
    switch (box) {
    case SettingsBox::data_size: return keep_number(s, &Settings::data_size, text, kByte);
    case SettingsBox::data_time: return keep_number(s, &Settings::data_time, text, kSec);
    case SettingsBox::start_time: return keep_number(s, &Settings::start_time, text, kSec);
    case SettingsBox::restart_time: return keep_number(s, &Settings::restart_time, text, kSec);
    case SettingsBox::rw_error_mode: s.rw_error_mode = error_mode_of(text); return true;
    case SettingsBox::set_t_mon: return keep_number(s, &Settings::set_t_mon, text, kMonth, -1);
    case SettingsBox::set_t_mday: return keep_number(s, &Settings::set_t_mday, text, kDay);
    case SettingsBox::set_t_week: s.set_t_week = weekday_of(text); return true;
    case SettingsBox::set_t_hour: return keep_number(s, &Settings::set_t_hour, text, kHour);
    case SettingsBox::set_t_min: return keep_number(s, &Settings::set_t_min, text, kMinute);
    case SettingsBox::version_days: return keep_number(s, &Settings::version_days, text, kDay);
    }
    return true;
}

std::string settings_box_refusal(SettingsBox box, const Settings& settings)
{
    return std::string("「") + box_label(box) + "」は数字で入れてください（例: " +
           settings_box_items(box, settings).back() + "）。";
}

ExclusionRefusal read_exclusion_box(const char* text, std::size_t len, Settings& settings)
{
    if (len > kExclusionBoxLimit) {
        // From the first character that does not fit, so that no half of one is selected.
        std::size_t fits = 0;
        while (fits < len) {
            std::size_t next = fits + (is_lead_byte(static_cast<unsigned char>(text[fits])) ? 2 : 1);
            if (next > kExclusionBoxLimit)
                break;
            fits = next;
        }
        return {"除外するものが長すぎます。\r\n半角259文字（全角なら129文字）までにしてください。", fits, len - fits};
    }
    std::string typed(text, len);
    PatternCheck check = check_patterns(typed.c_str());
    switch (check.fault) {
    case PatternFault::none: break;
    case PatternFault::empty:
        return {"除外するものに空のパターンがあります。\r\n「;」の間に名前を書くか、「;」を消してください。",
                check.at, check.length};
    case PatternFault::too_wide:
        return {"「" + typed.substr(check.at, check.length) +
                    "」のようなパターンはすべてのファイルを除外します。\r\n名前の一部を書いてください。（例: *.tmp）",
                check.at, check.length};
    }
    // The whole field, zeros after the text: nothing of the patterns before
    // stays behind in the record.
    char kept[kFieldSize] = {};
    copy_field(kept, typed.c_str());
    std::memcpy(settings.exclude, kept, sizeof kept);
    return {};
}

std::size_t characters_before(const char* text, std::size_t bytes)
{
    std::size_t characters = 0;
    for (std::size_t at = 0; at < bytes && text[at] != 0; ++characters)
        at += is_lead_byte(static_cast<unsigned char>(text[at])) && text[at + 1] != 0 ? 2 : 1;
    return characters;
}

bool lets_versions_go(int before, int after)
{
    return after > 0 && (before <= 0 || after < before);
}

std::string versions_lost_question(int days, int count)
{
    return "以前のバージョンを残す日数を" + with_unit(days, kDay) + "にすると、\n以前のバージョンが" +
           std::to_string(count) + "個消えます。\nよろしいですか？";
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
