// The text rules of the settings dialog: the items each combo box offers,
// the text it shows for the record, how OK reads a box's text back into the
// record, what OK keeps of the patterns a walk leaves out, and which
// schedule boxes a schedule mode enables. No operating
// system here: built into the program and natively for the tests.
#pragma once
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "base/text.h"
#include "engine/settings.h"

// The combo boxes of the dialog, named by the setting each one edits. Each
// is one row of the box table in settings_dialog_rules.cpp, in this order.
enum class SettingsBox {
    data_size,
    data_time,
    start_time,
    restart_time,
    rw_error_mode,
    set_t_mon,
    set_t_mday,
    set_t_week,
    set_t_hour,
    set_t_min,
    version_days,
};
constexpr std::size_t kSettingsBoxCount = static_cast<std::size_t>(SettingsBox::version_days) + 1;

// OK fetches a box's text into a buffer of this size, so it sees at most
// 63 bytes of it; read_settings_box looks at no more than that either, and
// refuses a number text that long, since it may have been cut.
constexpr std::size_t kSettingsBoxText = 64;

// The list items of a box, in list order. The day list depends on the month
// the record shows: 29 days for February, 30 for the months of 30 days and
// for any month number outside 1 to 12, 31 for the rest.
std::vector<std::string> settings_box_items(SettingsBox box, const Settings& settings);

// The text a box shows for the record: the value with its unit, the error
// mode's item ("0:維持" for any mode but 1 to 3), the weekday character
// ("日" for any weekday but 1 to 6).
std::string settings_box_text(SettingsBox box, const Settings& settings);

// Reads a box's text into its setting. A number box takes spaces, a sign,
// digits, half-width or full-width (６０日), and then at most its own unit;
// a bare number is that number. The number is kept as the dialog column of
// its row in kSettingsTable says (settings_table.h): a number beyond the
// row's range, however long, becomes what the row says of it. A text that
// is no such number ("abc", "日", "") is refused: false, and the setting is
// left as it was. The error mode is the digit of the first byte, 0 without
// one, and the weekday its character; they are never refused.
bool read_settings_box(SettingsBox box, const char* text, Settings& settings);

// What the dialog says of a refused box: its name and an example of what
// it takes.
std::string settings_box_refusal(SettingsBox box, const Settings& settings);

// The box of the patterns a walk leaves out ("除外するもの"): it takes what
// set.ini keeps, 259 bytes. OK fetches it into a larger buffer, so that a
// box counting characters (Wine's) that holds more is refused, never cut.
constexpr std::size_t kExclusionBoxLimit = kMaxText;
constexpr std::size_t kExclusionBoxText = 2 * kFieldSize;

// What OK says of the exclusion box's text, and the bytes of it to select
// so that the user sees what to mend; an empty message when it was kept.
struct ExclusionRefusal {
    std::string message;
    std::size_t at = 0;
    std::size_t length = 0;
};

// Stores the box's text (len bytes) in the record as typed, spaces around
// the patterns and all, "" leaving out nothing. Refused, and the record
// left as it was: an empty pattern or one that leaves out every file
// (check_patterns), or a text longer than kExclusionBoxLimit.
ExclusionRefusal read_exclusion_box(const char* text, std::size_t len, Settings& settings);

// How many characters the first `bytes` bytes of text hold, a double-byte
// character one: where a box that counts characters puts a byte offset.
std::size_t characters_before(const char* text, std::size_t bytes);

// Whether changing the days old versions are kept from `before` to `after`
// lets a pass remove some it would have kept: fewer days, or any days after
// 0, which lets none expire.
bool lets_versions_go(int before, int after);

// The question before fewer days are kept: how many old versions the new
// days let go.
std::string versions_lost_question(int days, int count);

// The five schedule boxes in the order month, day, weekday, hour, minute,
// and whether a schedule mode enables each: 1 yearly enables all but the
// weekday, 2 monthly day, hour and minute, 3 weekly weekday, hour and
// minute, 4 daily hour and minute, 0 continuous none; any other mode all.
constexpr std::size_t kScheduleBoxCount = 5;
std::array<bool, kScheduleBoxCount> schedule_boxes_enabled(int set_t_mode);
