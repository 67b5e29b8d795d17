// The OS-free rules of the copies: status texts, the temporary path, when a
// backup is current, the correction of hand-edited copy settings.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/copy_result.h"
#include "engine/copy_rules.h"
#include "engine/run_state.h"
#include "engine/settings_table.h"

TEST(CopyResultText, EachCodeHasItsStatusText)
{
    const struct { int code; const char* text; } cases[] = {
        {copy_done, "完"}, {copy_read_error, "読e"}, {copy_create_error, "作e"},
        {copy_write_error, "書e"}, {copy_stopped, "終"}, {copy_folder_error, "棚e"},
        {-1, ""}, {6, ""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(copy_result_text(c.code), c.text) << c.code;
    // CP932 bytes, as the list file keeps them.
    EXPECT_STREQ(copy_result_text(copy_done), "\x8a\xae");
    EXPECT_STREQ(copy_result_text(copy_folder_error), "\x92\x49\x65");
}

TEST(CopyTempPath, TemporaryFileGoesIntoTheDestinationFolder)
{
    const struct { const char* destination; const char* temp; } cases[] = {
        {"D:\\backup\\a.txt", "D:\\backup\\~qsv$.tmp"},
        {"D:\\a.txt", "D:\\~qsv$.tmp"},
        {"D:\\ソ\\表", "D:\\ソ\\~qsv$.tmp"},       // 5C trail bytes are no separators
        {"D:\\backup\\ソ", "D:\\backup\\~qsv$.tmp"},
        {"D:\\表\\\\x", "D:\\表\\\\~qsv$.tmp"},
        {"a.txt", "~qsv$.tmp"},
        {"D:\\dir\\", "D:\\dir\\~qsv$.tmp"},
    };
    for (const auto& c : cases) {
        char out[kFieldSize];
        ASSERT_TRUE(copy_temp_path(out, c.destination)) << c.destination;
        EXPECT_STREQ(out, c.temp) << c.destination;
    }
}

TEST(CopyTempPath, RefusedWhenItWouldNotFitOrIsTheDestination)
{
    char out[kFieldSize] = "x";
    std::string folder(259 - 1 - 9, 'f');  // folder + "\" + 9-byte name = 259
    EXPECT_TRUE(copy_temp_path(out, (folder + "\\a").c_str()));
    EXPECT_EQ(std::strlen(out), 259u);
    std::string longer = folder + "g";
    EXPECT_FALSE(copy_temp_path(out, (longer + "\\a").c_str()));
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(copy_temp_path(out, "D:\\backup\\~qsv$.tmp"));
    EXPECT_TRUE(copy_temp_path(out, "D:\\backup\\~qsv$.tmp2"));
}

// A backup on a FAT or exFAT disk carries its source's time cut to 2 s or
// to the second: older by less than 2 s, it is still the same file.
TEST(BackupUpToDate, SourceNewerByLessThanTwoSecondsStillCounts)
{
    constexpr unsigned long long second = 10000000ull;  // FILETIME ticks
    constexpr unsigned long long backup = 132000000000000000ull;
    const struct { const char* what; unsigned long long source; bool same_size; int force; bool current; } cases[] = {
        {"times equal", backup, true, 0, true},
        {"backup older by 1 s", backup + second, true, 0, true},
        {"backup older by 1.999 s", backup + 1999 * second / 1000, true, 0, true},
        {"backup older by 2 s", backup + 2 * second, true, 0, true},
        {"backup older by 2.001 s", backup + 2001 * second / 1000, true, 0, false},
        {"backup older by an hour", backup + 3600 * second, true, 0, false},
        {"source older", backup - 3600 * second, true, 0, true},
        {"source older by all of time", 0, true, 0, true},
        {"sizes differ, times equal", backup, false, 0, false},
        {"sizes differ, backup older by 1 s", backup + second, false, 0, false},
        {"forced, times equal", backup, true, 1, false},
        {"forced, source older", backup - second, true, 1, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(backup_up_to_date(c.source, backup, c.same_size, c.force), c.current) << c.what;
    // The window does not wrap at the end of the FILETIME range.
    EXPECT_TRUE(backup_up_to_date(~0ull, ~0ull - second, true, 0));
    EXPECT_FALSE(backup_up_to_date(~0ull, 0, true, 0));
}

TEST(CorrectCopySettings, HandEditedValuesComeBackIntoRange)
{
    const struct { int size, time, size_after, time_after; } cases[] = {
        {131072, 3, 131072, 3},
        {1048576, 0, 1048576, 0},
        {1048577, 3, 1048576, 3},      // lowered in the record
        {2147483647, 3, 1048576, 3},
        {1, 3, 1, 3},
        {0, 3, 131072, 3},             // would ask for no bytes and spin
        {-5, -1, 131072, 0},
        {-2147483647 - 1, -2147483647 - 1, 131072, 0},
    };
    for (const auto& c : cases) {
        Settings s{};
        ProgressState p;
        reset_settings(s, p);
        s.data_size = c.size;
        s.data_time = c.time;
        EXPECT_EQ(correct_copy_settings(s), c.size_after) << c.size;
        EXPECT_EQ(s.data_size, c.size_after) << c.size;
        EXPECT_EQ(s.data_time, c.time_after) << c.time;
    }
}

TEST(PauseMilliseconds, BoundedBelowTheInfiniteWait)
{
    const struct { int seconds; unsigned ms; } cases[] = {
        {-1, 0u}, {0, 0u}, {3, 3000u}, {4294967, 4294967000u},
        {4294968, 4294967000u}, {2147483647, 4294967000u},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pause_milliseconds(c.seconds), c.ms) << c.seconds;
}
