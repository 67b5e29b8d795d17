// The settings dialog's text rules: the items and shown texts of its combo
// boxes, how OK reads the texts back, and the schedule boxes of each mode.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialogs/settings_dialog_rules.h"
#include "engine/run_state.h"
#include "engine/settings_table.h"

namespace {

constexpr SettingsBox kAllBoxes[] = {
    SettingsBox::data_size, SettingsBox::data_time,  SettingsBox::start_time, SettingsBox::restart_time,
    SettingsBox::rw_error_mode, SettingsBox::set_t_mon, SettingsBox::set_t_mday, SettingsBox::set_t_week,
    SettingsBox::set_t_hour, SettingsBox::set_t_min, SettingsBox::version_days,
};

Settings defaults()
{
    Settings s{};
    ProgressState progress;
    reset_settings(s, progress);
    return s;
}

// Every box's shown text read back, as OK without a change does.
Settings read_back(const Settings& shown)
{
    Settings s = shown;
    for (SettingsBox box : kAllBoxes)
        read_settings_box(box, settings_box_text(box, shown).c_str(), s);
    return s;
}

// Settings holds only ints and 260-byte texts: no padding to compare.
bool same_record(const Settings& a, const Settings& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(SettingsDialogRules, ShownTexts)
{
    Settings d = defaults();
    Settings odd = d;
    odd.data_size = 5000;
    odd.data_time = 4;
    odd.rw_error_mode = 7;
    odd.set_t_mon = 2147483647;  // shown plus one without overflow
    odd.set_t_week = 0;
    Settings edge = d;
    edge.data_size = -2147483647 - 1;
    edge.rw_error_mode = 3;
    edge.set_t_mon = -1;
    edge.set_t_week = 7;
    struct Case { const Settings* settings; SettingsBox box; const char* shown; } cases[] = {
        {&d, SettingsBox::data_size, "131072byte"},   {&d, SettingsBox::data_time, "3sec"},
        {&d, SettingsBox::start_time, "120sec"},      {&d, SettingsBox::restart_time, "60sec"},
        {&d, SettingsBox::rw_error_mode, "1:一時停止"}, {&d, SettingsBox::set_t_mon, "2月"},
        {&d, SettingsBox::set_t_mday, "1日"},         {&d, SettingsBox::set_t_week, "月"},
        {&d, SettingsBox::set_t_hour, "1時"},         {&d, SettingsBox::set_t_min, "1分"},
        {&odd, SettingsBox::data_size, "5000byte"},   {&odd, SettingsBox::data_time, "4sec"},
        {&odd, SettingsBox::rw_error_mode, "0:維持"}, {&odd, SettingsBox::set_t_mon, "2147483648月"},
        {&odd, SettingsBox::set_t_week, "日"},        {&edge, SettingsBox::data_size, "-2147483648byte"},
        {&edge, SettingsBox::rw_error_mode, "3:EXE終了"}, {&edge, SettingsBox::set_t_mon, "0月"},
        {&edge, SettingsBox::set_t_week, "日"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(settings_box_text(c.box, *c.settings), c.shown) << static_cast<int>(c.box);
}

TEST(SettingsDialogRules, DayListFollowsTheStoredMonth)
{
    struct Case { int set_t_mon; std::size_t days; const char* last; } cases[] = {
        {1, 29, "29日"}, {3, 30, "30日"}, {0, 31, "31日"}, {11, 31, "31日"}, {10, 30, "30日"},
        {12, 30, "30日"}, {-1, 30, "30日"}, {2147483647, 30, "30日"},
    };
    Settings s = defaults();
    for (const auto& c : cases) {
        s.set_t_mon = c.set_t_mon;
        std::vector<std::string> days = settings_box_items(SettingsBox::set_t_mday, s);
        ASSERT_EQ(days.size(), c.days) << c.set_t_mon;
        EXPECT_EQ(days.front(), "1日");
        EXPECT_EQ(days.back(), c.last) << c.set_t_mon;
    }
}

// Each box's own label and list, and a refusal naming both: a row that
// took another box's label, list or range shows here.
TEST(SettingsDialogRules, EachBoxHasItsLabelAndItems)
{
    const char kSchedule[] = "待機BackUP開始時刻";
    struct Case { SettingsBox box; const char* label; std::size_t count; const char* first; const char* last; } cases[] = {
        {SettingsBox::data_size, "Dataｻｲｽﾞ", 8, "8192byte", "1048576byte"},
        {SettingsBox::data_time, "Data転送間隔", 9, "1sec", "60sec"},
        {SettingsBox::start_time, "初起動待ち時間", 6, "1sec", "960sec"},
        {SettingsBox::restart_time, "再起動待ち時間", 4, "10sec", "120sec"},
        {SettingsBox::rw_error_mode, "エラー時処理", 4, "0:維持", "3:EXE終了"},
        {SettingsBox::set_t_mon, kSchedule, 12, "1月", "12月"},
        {SettingsBox::set_t_mday, kSchedule, 29, "1日", "29日"},  // the default month is February
        {SettingsBox::set_t_week, kSchedule, 7, "月", "日"},
        {SettingsBox::set_t_hour, kSchedule, 24, "0時", "23時"},
        {SettingsBox::set_t_min, kSchedule, 60, "0分", "59分"},
        {SettingsBox::version_days, "以前のバージョン", 8, "0日", "365日"},
    };
    ASSERT_EQ(std::size(cases), kSettingsBoxCount);
    const Settings d = defaults();
    for (const auto& c : cases) {
        std::vector<std::string> items = settings_box_items(c.box, d);
        ASSERT_EQ(items.size(), c.count) << c.label;
        EXPECT_EQ(items.front(), c.first) << c.label;
        EXPECT_EQ(items.back(), c.last) << c.label;
        EXPECT_EQ(settings_box_refusal(c.box, d),
                  std::string("「") + c.label + "」は数字で入れてください（例: " + c.last + "）。");
    }
}

// What a refused text leaves in its field: the value it had.
constexpr int kRefused = -99;

// Each field starts from a value no case expects, so a box that writes
// nothing or another field fails.
TEST(SettingsDialogRules, ReadingTextsBack)
{
    struct Case { SettingsBox box; const char* text; int Settings::*field; int expected; } cases[] = {
        // Listed values and typed ones; a bare number is that number.
        {SettingsBox::data_size, "262144byte", &Settings::data_size, 262144},
        {SettingsBox::data_size, "5000byte", &Settings::data_size, 5000},
        {SettingsBox::data_size, "131072", &Settings::data_size, 131072},
        {SettingsBox::data_size, "8192", &Settings::data_size, 8192},
        {SettingsBox::data_size, "８１９２byte", &Settings::data_size, 8192},
        {SettingsBox::data_size, "byte", &Settings::data_size, kRefused},
        {SettingsBox::data_size, "8192sec", &Settings::data_size, kRefused},
        {SettingsBox::data_time, "1000", &Settings::data_time, 60},
        {SettingsBox::data_time, "30", &Settings::data_time, 30},
        {SettingsBox::data_time, " 7sec", &Settings::data_time, 7},
        {SettingsBox::start_time, "960sec", &Settings::start_time, 960},
        {SettingsBox::restart_time, "10sec", &Settings::restart_time, 10},
        {SettingsBox::rw_error_mode, "2:停止", &Settings::rw_error_mode, 2},
        {SettingsBox::rw_error_mode, "7", &Settings::rw_error_mode, 7},
        {SettingsBox::rw_error_mode, "維持", &Settings::rw_error_mode, 0},
        {SettingsBox::rw_error_mode, "", &Settings::rw_error_mode, 0},
        // Schedule ranges: outside, the first value of the range.
        {SettingsBox::set_t_mon, "12月", &Settings::set_t_mon, 11},
        {SettingsBox::set_t_mon, "13月", &Settings::set_t_mon, 0},
        {SettingsBox::set_t_mon, "12", &Settings::set_t_mon, 11},
        {SettingsBox::set_t_mon, "１２月", &Settings::set_t_mon, 11},
        {SettingsBox::set_t_mon, "-2147483648月", &Settings::set_t_mon, 0},
        {SettingsBox::set_t_mday, "31日", &Settings::set_t_mday, 31},
        {SettingsBox::set_t_mday, "0日", &Settings::set_t_mday, 1},
        {SettingsBox::set_t_hour, "23時", &Settings::set_t_hour, 23},
        {SettingsBox::set_t_hour, "24時", &Settings::set_t_hour, 0},
        {SettingsBox::set_t_min, "59分", &Settings::set_t_min, 59},
        {SettingsBox::set_t_min, "60分", &Settings::set_t_min, 0},
        // A box left with one digit is read whole; an emptied one refused.
        {SettingsBox::set_t_mon, "7", &Settings::set_t_mon, 6},
        {SettingsBox::set_t_mon, "", &Settings::set_t_mon, kRefused},
        {SettingsBox::set_t_mday, "", &Settings::set_t_mday, kRefused},
        {SettingsBox::set_t_hour, "5", &Settings::set_t_hour, 5},
        {SettingsBox::set_t_min, "分", &Settings::set_t_min, kRefused},
        // The weekday by its character.
        {SettingsBox::set_t_week, "金", &Settings::set_t_week, 5},
        {SettingsBox::set_t_week, "土曜", &Settings::set_t_week, 6},
        {SettingsBox::set_t_week, "日", &Settings::set_t_week, 0},
        {SettingsBox::set_t_week, "Mon", &Settings::set_t_week, 0},
        {SettingsBox::set_t_week, "", &Settings::set_t_week, 0},
        // Values the program could not run with stay in a usable range.
        {SettingsBox::data_size, "0byte", &Settings::data_size, 131072},
        {SettingsBox::data_size, "-5byte", &Settings::data_size, 131072},
        {SettingsBox::data_size, "2097152byte", &Settings::data_size, 1048576},
        {SettingsBox::data_size, "4294967297byte", &Settings::data_size, 1048576},
        {SettingsBox::data_time, "0sec", &Settings::data_time, 1},
        {SettingsBox::data_time, "86400sec", &Settings::data_time, 60},
        {SettingsBox::start_time, "-1sec", &Settings::start_time, 1},
        {SettingsBox::start_time, "9999999sec", &Settings::start_time, 2147483},
        {SettingsBox::restart_time, "0sec", &Settings::restart_time, 1},
        {SettingsBox::restart_time, "2147484sec", &Settings::restart_time, 2147483},
        // A text that fills what the dialog fetches may have been cut.
        {SettingsBox::data_time, "00000000000000000000000000000000000000000000000000000000055sec",
         &Settings::data_time, 55},
        {SettingsBox::data_time, "000000000000000000000000000000000000000000000000000000000000055sec",
         &Settings::data_time, kRefused},
    };
    for (const auto& c : cases) {
        Settings s{};
        s.*c.field = kRefused;
        EXPECT_EQ(read_settings_box(c.box, c.text, s), c.expected != kRefused) << c.text;
        EXPECT_EQ(s.*c.field, c.expected) << c.text;
    }
}

// The box of old versions, whose misreading loses them: full-width digits
// as the Japanese IME types them, a bare number whole, spaces of either
// width, a number beyond the row's range clamped to it, no number refused.
TEST(SettingsDialogRules, DaysOfOldVersions)
{
    struct Case { const char* text; int days; } cases[] = {
        {"６０日", 60},   {"100", 100},    {"365", 365},     {"365日", 365},       {"  30 日", 30},
        {"　３０　日", 30}, {"１００", 100}, {"0日", 0},       {"0", 0},             {"99999999999", 36500},
        {"９９９９９９９", 36500},           {"-7日", 0},      {"abc", kRefused},    {"", kRefused},
        {"日", kRefused}, {"60日間", kRefused}, {"6 0", kRefused}, {"60sec", kRefused}, {"\x82", kRefused},
    };
    for (const auto& c : cases) {
        Settings s{};
        s.version_days = kRefused;
        EXPECT_EQ(read_settings_box(SettingsBox::version_days, c.text, s), c.days != kRefused) << c.text;
        EXPECT_EQ(s.version_days, c.days) << c.text;
    }
    EXPECT_EQ(settings_box_refusal(SettingsBox::version_days, defaults()),
              "「以前のバージョン」は数字で入れてください（例: 365日）。");
}

// Fewer days let versions go; 0 lets none go, so any days after it may.
TEST(SettingsDialogRules, WhenFewerDaysLetVersionsGo)
{
    struct Case { int before, after; bool go; } cases[] = {
        {30, 7, true}, {30, 30, false}, {7, 30, false}, {30, 0, false}, {0, 7, true}, {0, 0, false}, {-1, 365, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lets_versions_go(c.before, c.after), c.go) << c.before << " to " << c.after;
    EXPECT_NE(versions_lost_question(7, 12).find("12個消えます"), std::string::npos);
}

TEST(SettingsDialogRules, ShownRecordsReadBackUnchanged)
{
    Settings d = defaults();
    Settings edges = d;
    edges.data_size = 1048576;
    edges.data_time = 60;
    edges.start_time = 2147483;
    edges.restart_time = 1;
    edges.rw_error_mode = 3;
    edges.set_t_mon = 11;
    edges.set_t_mday = 31;
    edges.set_t_week = 0;
    edges.set_t_hour = 23;
    edges.set_t_min = 59;
    edges.version_days = 36500;
    Settings low = d;
    low.data_size = 1;
    low.data_time = 1;
    low.rw_error_mode = 0;
    low.set_t_mon = 0;
    low.set_t_week = 6;
    low.set_t_hour = 0;
    low.set_t_min = 0;
    low.version_days = 0;
    for (const Settings* s : {&d, &edges, &low})
        EXPECT_TRUE(same_record(read_back(*s), *s)) << settings_box_text(SettingsBox::set_t_mon, *s);
}

TEST(SettingsDialogRules, ScheduleBoxesOfEachMode)
{
    using Enabled = std::array<bool, kScheduleBoxCount>;
    struct Case { int mode; Enabled enabled; } cases[] = {
        {1, {true, true, false, true, true}},   {2, {false, true, false, true, true}},
        {3, {false, false, true, true, true}},  {4, {false, false, false, true, true}},
        {0, {false, false, false, false, false}}, {5, {true, true, true, true, true}},
        {-1, {true, true, true, true, true}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(schedule_boxes_enabled(c.mode), c.enabled) << c.mode;
}

}  // namespace

// What OK makes of the exclusion box: a text check_patterns keeps is stored
// as typed; a refused one leaves the record, says why and selects the bytes
// at fault.
TEST(SettingsDialogRules, ExclusionBox)
{
    const std::string long_ascii(kExclusionBoxLimit + 3, 'a');
    const std::string long_wide = std::string(kExclusionBoxLimit - 1, 'a') + "表b";  // 表 would end past 259
    const char kEmpty[] = "除外するものに空のパターンがあります。\r\n「;」の間に名前を書くか、「;」を消してください。";
    const char kTooLong[] = "除外するものが長すぎます。\r\n半角259文字（全角なら129文字）までにしてください。";
    struct Case { std::string text; std::string message; std::size_t at; std::size_t length; } cases[] = {
        {"*.tmp;node_modules", "", 0, 0},
        {" ソフト\\*.tmp ; 表* ", "", 0, 0},
        {"", "", 0, 0},
        {"a;", "", 0, 0},
        {"a;;b", kEmpty, 2, 0},
        {";a", kEmpty, 0, 0},
        {"a; ;b", kEmpty, 2, 1},
        {"表;*.*;c", "「*.*」のようなパターンはすべてのファイルを除外します。\r\n名前の一部を書いてください。（例: *.tmp）", 3, 3},
        {"a; * ", "「*」のようなパターンはすべてのファイルを除外します。\r\n名前の一部を書いてください。（例: *.tmp）", 3, 1},
        {std::string(kExclusionBoxLimit, 'a'), "", 0, 0},
        {long_ascii, kTooLong, kExclusionBoxLimit, 3},
        {long_wide, kTooLong, kExclusionBoxLimit - 1, 3},
    };
    for (const auto& c : cases) {
        Settings s = defaults();
        ExclusionRefusal refusal = read_exclusion_box(c.text.data(), c.text.size(), s);
        EXPECT_EQ(refusal.message, c.message) << c.text;
        EXPECT_EQ(refusal.at, c.at) << c.text;
        EXPECT_EQ(refusal.length, c.length) << c.text;
        EXPECT_STREQ(s.exclude, c.message.empty() ? c.text.c_str() : defaults().exclude) << c.text;
    }
}

// A box that counts characters gets the same place as a byte offset.
TEST(SettingsDialogRules, CharactersBeforeAByteOffset)
{
    struct Case { const char* text; std::size_t bytes; std::size_t characters; } cases[] = {
        {"a;;b", 2, 2}, {"表;*.*", 3, 2}, {"ソフト\\*;*", 8, 5}, {"ab", 5, 2}, {"表", 1, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(characters_before(c.text, c.bytes), c.characters) << c.text << " " << c.bytes;
}
