// The restore window's text rules: dates, sizes, moving through the backup
// tree by characters, and what a restore takes from the selection.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/restore_text.h"

TEST(RestoreText, TimesAndSizesKeepTheirWidthAndGrouping)
{
    struct Case { ReportTime time; const char* text; } times[] = {
        {{2026, 5, 1, 9, 3, 7}, "2026/05/01 09:03:07"},
        {{1999, 12, 31, 23, 59, 59}, "1999/12/31 23:59:59"},
        {{0, 0, 0, 0, 0, 0}, ""},
    };
    for (const auto& c : times)
        EXPECT_EQ(restore_time_text(c.time), c.text);
    struct Size { std::uint64_t bytes; const char* text; } sizes[] = {
        {0, "0"}, {999, "999"}, {1000, "1,000"}, {123456, "123,456"}, {1234567, "1,234,567"},
        {4194304000ull, "4,194,304,000"}, {18446744073709551615ull, "18,446,744,073,709,551,615"},
    };
    for (const auto& c : sizes)
        EXPECT_EQ(restore_size_text(c.bytes), c.text) << c.bytes;
}

TEST(RestoreText, MovingInAndUpReadsNamesByCharacters)
{
    struct Case { const char* relative; const char* name; const char* inside; const char* up; } cases[] = {
        {"", "文書", "\\文書", ""},
        {"\\文書", "報告", "\\文書\\報告", ""},
        {"\\a\\b", "c", "\\a\\b\\c", "\\a"},
        {"\\ソ", "表", "\\ソ\\表", ""},            // 83 5C: the trail byte is no separator
        {"\\表\\ソ", "x", "\\表\\ソ\\x", "\\表"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(relative_into(c.relative, c.name), c.inside) << c.relative;
        EXPECT_EQ(relative_up(c.inside), c.relative) << c.inside;
        EXPECT_EQ(relative_up(c.relative), c.up) << c.relative;
    }
}

TEST(RestoreText, PlaceJoinsTheBackupFolderAndTheFolderBelowWithOneSeparator)
{
    struct Case { const char* backup; const char* relative; const char* place; } cases[] = {
        {"E:\\バックアップ", "", "E:\\バックアップ"},
        {"E:\\バックアップ", "\\文書\\報告", "E:\\バックアップ\\文書\\報告"},
        {"E:\\", "", "E:\\"},
        {"E:\\", "\\文書", "E:\\文書"},
        {"E:\\ソ", "\\a", "E:\\ソ\\a"},  // ends in 5C as a trail byte: a separator is still needed
        {"\\\\nas\\backup", "\\a", "\\\\nas\\backup\\a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(place_text(c.backup, c.relative), c.place) << c.backup << c.relative;
}

TEST(RestoreText, WhatARestoreTakesFollowsTheSelection)
{
    struct Case { RestoreSelection selection; RestoreTakes takes; const char* names; } cases[] = {
        {{1, 0, true, false}, RestoreTakes::version, "「バックアップ」"},
        {{1, 0, false, false}, RestoreTakes::selection, "ファイル 1 件"},
        {{2, 0, true, false}, RestoreTakes::selection, "ファイル 2 件"},      // a version only of one file
        {{1, 1, true, true}, RestoreTakes::selection, "ファイル 1 件とフォルダ 1 件"},
        {{0, 3, false, true}, RestoreTakes::selection, "フォルダ 3 件"},
        {{0, 0, true, false}, RestoreTakes::folder, "表示中のフォルダ全体"},  // a version row left from before
        {{0, 0, false, false}, RestoreTakes::folder, "表示中のフォルダ全体"},
        {{0, 0, false, true}, RestoreTakes::entry, "この項目のバックアップ全体"},
    };
    for (const auto& c : cases) {
        const RestoreSelection& s = c.selection;
        EXPECT_EQ(restore_takes(s), c.takes) << s.files << s.folders << s.version_row << s.at_root;
        std::string text = takes_text(s, "バックアップ");
        EXPECT_NE(text.find(c.names), std::string::npos) << text;
    }
}

TEST(RestoreText, ProgressNamesFilesAndBytesDoneOfAll)
{
    EXPECT_EQ(progress_text(3, 10, 12345, 1234567), "ファイル 3 / 10   12,345 / 1,234,567 バイト");
    EXPECT_EQ(progress_text(0, 0, 0, 0), "ファイル 0 / 0   0 / 0 バイト");
}
