// The names of old versions, their 259-byte rule, their ages, and the
// comparison that keeps a backup folder inside its source out of the walk.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/versions.h"

namespace {

const ReportTime kWhen{2026, 12, 9, 15, 30, 12};

}  // namespace

TEST(Versions, NameHoldsTheDateBeforeTheExtension)
{
    struct Case {
        const char* name;
        const char* version;
    } cases[] = {
        {"report.doc", "report 2026-12-09 153012.doc"},
        {"archive.tar.gz", "archive.tar 2026-12-09 153012.gz"},
        {"README", "README 2026-12-09 153012"},
        {".gitignore", ".gitignore 2026-12-09 153012"},
        {"a.", "a 2026-12-09 153012."},
        {"ソ表.txt", "ソ表 2026-12-09 153012.txt"},  // 0x5C trail bytes are no separators
        {"表", "表 2026-12-09 153012"},
    };
    for (const Case& c : cases) {
        std::string out;
        ASSERT_TRUE(version_name(out, c.name, kWhen, 259)) << c.name;
        EXPECT_EQ(out, c.version) << c.name;
        ReportTime back{};
        ASSERT_TRUE(version_time(out.c_str(), back)) << out;
        EXPECT_EQ(seconds_of(back), seconds_of(kWhen)) << out;
    }
}

// A name too long for the room is cut before its extension, by whole
// characters; when not one character fits there is no version.
TEST(Versions, NameCutToTheRoomByWholeCharacters)
{
    std::string out;
    ASSERT_TRUE(version_name(out, "abcdef.txt", kWhen, 18 + 4 + 3));
    EXPECT_EQ(out, "abc 2026-12-09 153012.txt");
    ASSERT_TRUE(version_name(out, "ソ表ソ.txt", kWhen, 18 + 4 + 3));  // room for 3 bytes: one character
    EXPECT_EQ(out, "ソ 2026-12-09 153012.txt");
    EXPECT_FALSE(version_name(out, "abcdef.txt", kWhen, 18 + 4));
    EXPECT_FALSE(version_name(out, "ソ.txt", kWhen, 18 + 4 + 1));

    char path[kFieldSize];
    const std::string folder = "D:\\" + std::string(200, 'b');
    ASSERT_TRUE(version_path(path, folder.c_str(), "\\ソ\\表", "名前.txt", kWhen));
    EXPECT_EQ(std::string(path), folder + "\\以前のバージョン\\ソ\\表\\名前 2026-12-09 153012.txt");
    ASSERT_TRUE(version_path(path, "D:\\ソ", "", "a.txt", kWhen));
    EXPECT_EQ(std::string(path), "D:\\ソ\\以前のバージョン\\a 2026-12-09 153012.txt");
    ASSERT_TRUE(version_path(path, "D:\\", "", "a.txt", kWhen));
    EXPECT_EQ(std::string(path), "D:\\以前のバージョン\\a 2026-12-09 153012.txt");

    const std::string deep = "D:\\" + std::string(210, 'd');
    const std::string long_name = std::string(60, 'n') + ".txt";
    ASSERT_TRUE(version_path(path, deep.c_str(), "", long_name.c_str(), kWhen));
    EXPECT_EQ(std::strlen(path), 259u);
    const std::string deeper = "D:\\" + std::string(235, 'd');
    EXPECT_FALSE(version_path(path, deeper.c_str(), "", long_name.c_str(), kWhen));
    EXPECT_EQ(path[0], 0);
}

TEST(Versions, OnlyNamesWithAStampAreVersions)
{
    ReportTime t{};
    for (const char* name : {"report.doc", "report 2026-12-09.doc", "report 2026-13-09 153012.doc",
                             "report 2026-12-09 153012x.doc", "report 2026-12-09 256012.doc", "2026-12-09 153012"})
        EXPECT_FALSE(version_time(name, t)) << name;
    ASSERT_TRUE(version_time("a 2025-01-02 030405 b 2026-12-09 153012.txt", t));
    EXPECT_EQ(t.year, 2026);
}

TEST(Versions, OldEnoughToGoAfterTheDays)
{
    struct Case {
        ReportTime when;
        int days;
        bool expired;
    } cases[] = {
        {{2026, 11, 9, 15, 30, 12}, 30, false},  // exactly 30 days
        {{2026, 11, 9, 15, 30, 11}, 30, true},
        {{2025, 12, 9, 15, 30, 12}, 365, false},
        {{2024, 2, 29, 0, 0, 0}, 365, true},
        // 0 keeps no new versions and removes none of those kept.
        {{2026, 12, 9, 15, 30, 12}, 0, false},
        {{1990, 1, 1, 0, 0, 0}, 0, false},
        {{1990, 1, 1, 0, 0, 0}, -1, false},
        {{2026, 12, 10, 0, 0, 0}, 1, false},   // a clock set back
    };
    for (const Case& c : cases)
        EXPECT_EQ(version_expired(c.when, kWhen, c.days), c.expired) << c.when.year << "-" << c.when.month << "-"
                                                                      << c.when.day << " " << c.days;
}

TEST(Versions, SameFolderAsWindowsComparesThem)
{
    EXPECT_TRUE(same_folder("C:\\Users\\taro\\backup", "c:\\users\\TARO\\Backup\\"));
    EXPECT_TRUE(same_folder("\\\\nas\\share\\ソ", "\\\\NAS\\share\\ソ"));
    EXPECT_FALSE(same_folder("C:\\a\\backup", "C:\\a\\backup2"));
    // ア is 83 41; 83 61 is another character, whose trail byte is the lower
    // case of ア's: the trail byte of a character is no letter.
    EXPECT_FALSE(same_folder("C:\\ア", "C:\\\x83\x61"));
}
