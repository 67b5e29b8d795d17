// The rules by which a walk leaves items out: the user's patterns, Windows'
// own list of what backups leave out, and what a listing's attributes say.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/exclusions.h"

namespace {

bool matches(const char* pattern, const char* text)
{
    return wildcard_match(pattern, std::strlen(pattern), text, std::strlen(text));
}

bool patterns_leave_out(const char* patterns, const char* relative)
{
    NamePatterns p(patterns);
    const char* name = std::strrchr(relative, '\\');
    name = name ? name + 1 : relative;
    return p.leaves_out(name, std::strlen(name), relative, std::strlen(relative));
}

}  // namespace

TEST(Exclusions, WildcardsReadByCharacters)
{
    struct Case { const char* pattern; const char* text; bool match; } cases[] = {
        {"Thumbs.db", "thumbs.DB", true},
        {"~$*", "~$report.docx", true},
        {"~$*", "report.docx", false},
        {"*.tmp", "a.tmp", true},
        {"*.tmp", "a.tmp.txt", false},
        {"*.tmp", ".tmp", true},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        // A double-byte character is one for "?", and its bytes are not folded:
        // ア is 83 41, ャ 83 61.
        {"?.txt", "表.txt", true},
        {"??.txt", "表.txt", false},
        {"ア*", "アイ", true},
        {"ア*", "ャイ", false},
        // ソ (83 5C) and 表 (95 5C) hold a 0x5C that is no separator.
        {"*ソ", "テストソ", true},
        {"表*", "表示.txt", true},
        {"*\\x", "ソ\\x", true},
        // No wildcard crosses a separator.
        {"a*", "a\\b", false},
        {"a?b", "a\\b", false},
        {"a*\\*c", "ab\\xc", true},
        {"*\\*", "a\\b\\c", false},
        {"", "", true},
        {"*", "", true},
        {"***a", "ba", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(matches(c.pattern, c.text), c.match) << c.pattern << " / " << c.text;
}

TEST(Exclusions, NamesAndPathsFromTheSource)
{
    const char* list = "Thumbs.db; ~$* ;node_modules;AppData\\Local\\Temp;\\build\\*.obj;cache\\";
    struct Case { const char* relative; bool left_out; } cases[] = {
        {"\\Thumbs.db", true},
        {"\\a\\b\\THUMBS.DB", true},
        {"\\docs\\~$report.docx", true},
        {"\\src\\node_modules", true},
        {"\\AppData\\Local\\Temp", true},
        {"\\x\\AppData\\Local\\Temp", false},  // a path is from the source
        {"\\AppData\\Local\\Temp2", false},
        {"\\build\\a.obj", true},
        {"\\build\\sub\\a.obj", false},
        {"\\deep\\cache", true},  // a trailing "\" leaves a name
        {"\\report.docx", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(patterns_leave_out(list, c.relative), c.left_out) << c.relative;
    // What set.ini may hold that the box refuses leaves nothing out in its place.
    EXPECT_FALSE(patterns_leave_out("*;;*.*", "\\a.txt"));
    EXPECT_TRUE(NamePatterns("").empty());
    EXPECT_TRUE(patterns_leave_out(kDefaultExclusions, "\\System Volume Information"));
    EXPECT_TRUE(patterns_leave_out(kDefaultExclusions, "\\$Recycle.Bin"));
}

TEST(Exclusions, TheBoxRefusesWhatItCannotUse)
{
    struct Case { const char* text; PatternFault fault; std::size_t at, length; } cases[] = {
        {"", PatternFault::none, 0, 0},
        {"a;b;", PatternFault::none, 0, 0},
        {"a;b; ", PatternFault::none, 0, 0},
        {kDefaultExclusions, PatternFault::none, 0, 0},
        {"a;;b", PatternFault::empty, 2, 0},
        {";a", PatternFault::empty, 0, 0},
        {"a; ;b", PatternFault::empty, 2, 1},
        {"a;*", PatternFault::too_wide, 2, 1},
        {"a; *.* ", PatternFault::too_wide, 3, 3},
        {"\\*", PatternFault::too_wide, 0, 2},
        {"*.tmp", PatternFault::none, 0, 0},
    };
    for (const Case& c : cases) {
        PatternCheck check = check_patterns(c.text);
        EXPECT_EQ(check.fault, c.fault) << c.text;
        if (c.fault != PatternFault::none) {
            EXPECT_EQ(check.at, c.at) << c.text;
            EXPECT_EQ(check.length, c.length) << c.text;
        }
    }
}

TEST(Exclusions, WindowsListOfFilesNotToBackUp)
{
    std::vector<SystemExclusion> all;
    for (const char* line : {"C:\\Users\\taro\\AppData\\Local\\Temp\\* /s", "\\pagefile.sys",
                             "C:\\Windows\\netlogon.chg", "C:\\ProgramData\\WER\\*.* /S", "  \\hiberfil.sys  "}) {
        SystemExclusion e;
        ASSERT_TRUE(parse_system_exclusion(line, e)) << line;
        all.push_back(e);
    }
    SystemExclusion bad;
    EXPECT_FALSE(parse_system_exclusion("pagefile.sys", bad));
    EXPECT_FALSE(parse_system_exclusion("C:\\Windows\\", bad));
    EXPECT_FALSE(parse_system_exclusion("", bad));
    add_hive_exclusions("C:\\Users\\taro\\NTUSER.DAT", all);

    struct Case { const char* folder; const char* name; bool whole, left_out; } cases[] = {
        {"C:\\Users\\taro\\AppData\\Local\\Temp", "x.tmp", true, true},
        {"c:\\users\\TARO\\appdata\\local\\temp\\\\sub", "y", true, true},
        {"C:\\Users\\taro\\AppData\\Local\\Temp2", "y", false, false},
        {"C:\\", "pagefile.sys", false, true},
        {"D:", "PAGEFILE.SYS", false, true},
        {"D:\\data", "pagefile.sys", false, false},
        {"C:\\", "hiberfil.sys", false, true},
        {"C:\\Windows", "netlogon.chg", false, true},
        {"C:\\Windows\\sub", "netlogon.chg", false, false},
        {"C:\\ProgramData\\WER\\a\\b", "report.wer", true, true},
        {"C:\\Users\\taro", "NTUSER.DAT", false, true},
        {"C:\\Users\\taro", "ntuser.dat.LOG1", false, true},
        {"C:\\Users\\taro", "NTUSER.DAT{53b39e88-18c4-11ea-a811-000d3aa4692b}.TM.blf", false, true},
        {"C:\\Users\\taro", "NTUSER.DAT{53b39e88-18c4-11ea-a811-000d3aa4692b}.TMContainer00000000000000000001.regtrans-ms",
         false, true},
        {"C:\\Users\\taro", "NTUSER.DAT.bak", false, false},
        {"C:\\Users\\taro\\Documents", "NTUSER.DAT", false, false},
    };
    for (const Case& c : cases) {
        FolderExclusions here(all, c.folder, std::strlen(c.folder));
        EXPECT_EQ(here.whole(), c.whole) << c.folder;
        EXPECT_EQ(here.leaves_out(c.name, std::strlen(c.name)), c.left_out) << c.folder << " / " << c.name;
    }
    EXPECT_FALSE(FolderExclusions({}, "C:\\", 3).leaves_out("pagefile.sys", 12));
}

TEST(Exclusions, WhatTheAttributesSay)
{
    constexpr unsigned long kDir = 0x10, kFile = 0x20, kReparse = 0x400, kOffline = 0x1000;
    constexpr unsigned long kRecallOnOpen = 0x40000, kRecallOnDataAccess = 0x400000;
    constexpr unsigned long kSymlink = 0xA000000C, kMountPoint = 0xA0000003, kCloud = 0x9000301A;
    struct Case { unsigned long attributes, tag; ListedKind kind; } cases[] = {
        {kFile, 0, ListedKind::file},
        {kDir, 0, ListedKind::folder},
        {kDir | kReparse, 0, ListedKind::folder_link},  // as Wine lists a folder symlink
        {kDir | kReparse, kSymlink, ListedKind::folder_link},
        {kDir | kReparse, kMountPoint, ListedKind::folder_link},
        {kDir | kReparse, kCloud, ListedKind::folder},  // a cloud client's folder holds the user's files
        {kDir | kRecallOnOpen, 0, ListedKind::folder},
        {kFile | kReparse, kSymlink, ListedKind::file_link},
        {kFile | kReparse | kRecallOnDataAccess, kCloud, ListedKind::cloud_only_file},
        {kFile | kRecallOnOpen, 0, ListedKind::cloud_only_file},
        {kFile | kOffline, 0, ListedKind::cloud_only_file},
        {kFile | kReparse, kCloud, ListedKind::file},  // a cloud file kept on the PC
    };
    for (const Case& c : cases)
        EXPECT_EQ(listed_kind(c.attributes, c.tag), c.kind) << std::hex << c.attributes << " " << c.tag;
}
