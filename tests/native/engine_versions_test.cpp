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

// A name taken already gets " (2)" after its stamp, cut again by whole
// characters to fit; the number never hides the stamp or the backup's name.
TEST(Versions, TakenNamesGetANumberAfterTheStamp)
{
    struct Case {
        const char* version;
        int serial;
        const char* numbered;  // "" when there is none
    } cases[] = {
        {"D:\\b\\以前のバージョン\\report 2026-12-09 153012.doc", 2,
         "D:\\b\\以前のバージョン\\report 2026-12-09 153012 (2).doc"},
        {"D:\\b\\以前のバージョン\\report 2026-12-09 153012 (2).doc", 3,
         "D:\\b\\以前のバージョン\\report 2026-12-09 153012 (3).doc"},
        {"D:\\ソ\\README 2026-12-09 153012", 12, "D:\\ソ\\README 2026-12-09 153012 (12)"},
        {"D:\\b\\report.doc", 2, ""},  // no version's name
        {"D:\\b\\a 2026-12-09 153012.txt", 1, ""},
    };
    for (const Case& c : cases) {
        char out[kFieldSize];
        EXPECT_EQ(numbered_version_path(out, c.version, c.serial), c.numbered[0] != 0) << c.version;
        EXPECT_STREQ(out, c.numbered) << c.version;
    }
    // At 259 bytes the name gives way to the number, a character at a time.
    const std::string folder = "D:\\" + std::string(220, 'f') + "\\";
    const std::string full = folder + "ソ表ソ表ソ表 2026-12-09 153012.txt";
    ASSERT_EQ(full.size(), 258u);
    char out[kFieldSize];
    ASSERT_TRUE(numbered_version_path(out, full.c_str(), 2));
    EXPECT_EQ(std::string(out), folder + "ソ表ソ表 2026-12-09 153012 (2).txt");

    struct Back {
        const char* name;
        const char* original;
    } backs[] = {
        {"report 2026-12-09 153012.doc", "report.doc"},
        {"report 2026-12-09 153012 (2).doc", "report.doc"},
        {"archive.tar 2026-12-09 153012.gz", "archive.tar.gz"},
        {"README 2026-12-09 153012 (10)", "README"},
        {"x 2026-12-09 153012 (2)x.doc", ""},
        {"x 2026-12-09 153012 ().doc", ""},
    };
    for (const Back& b : backs) {
        std::string original;
        EXPECT_EQ(version_original(original, b.name), b.original[0] != 0) << b.name;
        if (b.original[0] != 0) {
            EXPECT_EQ(original, b.original) << b.name;
        }
    }
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

