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
const char* const kDataSizes[] = {"8192byte",   "16384byte",  "32768byte",  "65536byte",
                                  "131072byte", "262144byte", "524288byte", "1048576byte"};
const char* const kDataTimes[] = {"1sec", "2sec", "3sec", "5sec", "7sec", "10sec", "20sec", "30sec", "60sec"};
const char* const kStartTimes[] = {"1sec", "60sec", "120sec", "240sec", "480sec", "960sec"};
const char* const kRestartTimes[] = {"10sec", "30sec", "60sec", "120sec"};
const char* const kVersionDays[] = {"0日", "7日", "14日", "30日", "60日", "90日", "180日", "365日"};

// The schedule boxes share one label, the frame's.
const char kScheduleLabel[] = "待機BackUP開始時刻";
// The record counts months from 0, the box from 1.
constexpr int kMonthShownFrom = 1;

// Widened so that a value at the edge of int plus one (the month shown from
// 0) or minus one (the month read back) never overflows.
std::string with_unit(std::int64_t value, const char* unit)
{
    return std::to_string(value) + unit;
}

std::vector<std::string> numbered(std::int64_t first, std::int64_t last, const char* unit)
{
    std::vector<std::string> items;
    for (std::int64_t i = first; i <= last; ++i)
        items.push_back(with_unit(i, unit));
    return items;
}

std::int64_t shown_month(const Settings& s)
{
    return static_cast<std::int64_t>(s.set_t_mon) + kMonthShownFrom;
}

int days_in(std::int64_t shown_month)
{
    switch (shown_month) {
    case 2: return 29;
    case 1: case 3: case 5: case 7: case 8: case 10: case 12: return 31;
    default: return 30;
    }
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

// The fixed items of a list box.
struct ItemTexts {
    const char* const* begin;
    const char* const* end;
};

template <std::size_t N>
constexpr ItemTexts listed(const char* const (&texts)[N])
{
    return {texts, texts + N};
}

constexpr ItemTexts kMadeItems = {nullptr, nullptr};

// One combo box of the dialog: its label, its unit, its items, how OK reads
// its text into the record and what it shows of the record.
struct BoxRow {
    SettingsBox box;
    const char* label;     // as a refusal names the box
    int Settings::*field;  // the setting the box edits
    const char* unit;      // after the number, in the items and the shown text
    int shown_from;        // added to the field where the box shows it
    ItemTexts texts;       // the items, unless `items` makes them
    std::vector<std::string> (*items)(const BoxRow& row, const Settings& settings);
    bool (*read)(const BoxRow& row, const char* text, Settings& settings);
    std::string (*write)(const BoxRow& row, const Settings& settings);
};

std::vector<std::string> listed_items(const BoxRow& row, const Settings&)
{
    return {row.texts.begin, row.texts.end};
}

// Every value the box keeps (its row of the settings table), as shown.
std::vector<std::string> range_items(const BoxRow& row, const Settings&)
{
    const SettingRange& kept = row_of(row.field).dialog;
    return numbered(std::int64_t{kept.first} + row.shown_from, std::int64_t{kept.last} + row.shown_from, row.unit);
}

// The days of the month the record shows: 29 for February, 30 for the
// months of 30 days and any month number outside 1 to 12, 31 for the rest.
std::vector<std::string> day_items(const BoxRow& row, const Settings& s)
{
    return numbered(1, days_in(shown_month(s)), row.unit);
}

// The number is kept as the field's row of the settings table says, less
// what the box shows more than the record holds; a text that is no number
// stores nothing.
bool read_number(const BoxRow& row, const char* text, Settings& s)
{
    std::int64_t value = 0;
    if (!box_number(text, row.unit, value))
        return false;
    s.*row.field = kept_in(row_of(row.field).dialog, value - row.shown_from);
    return true;
}

std::string write_number(const BoxRow& row, const Settings& s)
{
    return with_unit(std::int64_t{s.*row.field} + row.shown_from, row.unit);
}

// The digit of the first byte, 0 without one; never refused.
bool read_error_mode(const BoxRow& row, const char* text, Settings& s)
{
    s.*row.field = atoi_compat(text, box_text_length(text) > 0 ? 1 : 0);
    return true;
}

std::string write_error_mode(const BoxRow& row, const Settings& s)
{
    return row.texts.begin[in_range_or(s.*row.field, 1, 3, 0)];
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

// Its character, Sunday for any other text; never refused.
bool read_weekday(const BoxRow& row, const char* text, Settings& s)
{
    s.*row.field = weekday_of(text);
    return true;
}

std::string write_weekday(const BoxRow& row, const Settings& s)
{
    return row.texts.begin[in_range_or(s.*row.field, 1, 6, 7) - 1];
}

// In the order of SettingsBox.
constexpr BoxRow kBoxRows[] = {
    {SettingsBox::data_size, "Dataｻｲｽﾞ", &Settings::data_size, kByte, 0, listed(kDataSizes), listed_items,
     read_number, write_number},
    {SettingsBox::data_time, "Data転送間隔", &Settings::data_time, kSec, 0, listed(kDataTimes), listed_items,
     read_number, write_number},
    {SettingsBox::start_time, "初起動待ち時間", &Settings::start_time, kSec, 0, listed(kStartTimes), listed_items,
     read_number, write_number},
    {SettingsBox::restart_time, "再起動待ち時間", &Settings::restart_time, kSec, 0, listed(kRestartTimes),
     listed_items, read_number, write_number},
    {SettingsBox::rw_error_mode, "エラー時処理", &Settings::rw_error_mode, "", 0, listed(kErrorModes), listed_items,
     read_error_mode, write_error_mode},
    {SettingsBox::set_t_mon, kScheduleLabel, &Settings::set_t_mon, kMonth, kMonthShownFrom, kMadeItems, range_items,
     read_number, write_number},
    {SettingsBox::set_t_mday, kScheduleLabel, &Settings::set_t_mday, kDay, 0, kMadeItems, day_items, read_number,
     write_number},
    {SettingsBox::set_t_week, kScheduleLabel, &Settings::set_t_week, "", 0, listed(kWeekdays), listed_items,
     read_weekday, write_weekday},
    {SettingsBox::set_t_hour, kScheduleLabel, &Settings::set_t_hour, kHour, 0, kMadeItems, range_items, read_number,
     write_number},
    {SettingsBox::set_t_min, kScheduleLabel, &Settings::set_t_min, kMinute, 0, kMadeItems, range_items, read_number,
     write_number},
    {SettingsBox::version_days, "以前のバージョン", &Settings::version_days, kDay, 0, listed(kVersionDays),
     listed_items, read_number, write_number},
};

constexpr bool one_row_per_box()
{
    std::size_t i = 0;
    for (const BoxRow& row : kBoxRows) {
        if (static_cast<std::size_t>(row.box) != i++)
            return false;
        // A field without a line in set.ini stops the build here.
        (void)row_of(row.field);
    }
    return i == kSettingsBoxCount;
}
static_assert(one_row_per_box(), "every box has its row, in the order of SettingsBox");

const BoxRow& row_for(SettingsBox box)
{
    return kBoxRows[static_cast<std::size_t>(box)];
}

}  // namespace

std::vector<std::string> settings_box_items(SettingsBox box, const Settings& settings)
{
    const BoxRow& row = row_for(box);
    return row.items(row, settings);
}

std::string settings_box_text(SettingsBox box, const Settings& settings)
{
    const BoxRow& row = row_for(box);
    return row.write(row, settings);
}

bool read_settings_box(SettingsBox box, const char* text, Settings& settings)
{
    const BoxRow& row = row_for(box);
    return row.read(row, text, settings);
}

std::string settings_box_refusal(SettingsBox box, const Settings& settings)
{
    return std::string("「") + row_for(box).label + "」は数字で入れてください（例: " +
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
