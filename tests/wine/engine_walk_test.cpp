// The walks over real trees: breadth-first order, dot-names, Japanese names
// whose second byte is 0x5C, paths that would pass 259 bytes, and the 5000
// records of each table.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>

#include "engine/handle_win.h"
#include "engine/tables.h"
#include "tests/wine/support.h"

namespace {

void walk(FolderTable& table, MessageRecorder& recorder, const std::string& source)
{
    walk_folders(table, recorder.notifier(), source.c_str(), source.size());
}

std::map<std::string, std::string> records_of(const FolderTable& t)
{
    std::map<std::string, std::string> out;
    for (int i = 0; i < t.count; ++i)
        out[t.records[i].full_path] = t.records[i].relative_path;
    return out;
}

// Separators of a relative path, the second bytes of ソ and 表 not counted.
int depth(const char* relative)
{
    int n = 0;
    for (std::size_t i = 0; relative[i] != 0; ++i) {
        if (is_lead_byte(static_cast<unsigned char>(relative[i])))
            ++i;
        else
            n += relative[i] == '\\';
    }
    return n;
}

std::set<std::string> names_of(const FileTable& t)
{
    std::set<std::string> out;
    for (int i = 0; i < t.count; ++i)
        out.insert(t.records[i].file_name);
    return out;
}

void make_empty_files(const std::string& folder, int n)
{
    for (int i = 0; i < n; ++i) {
        ScopedHandle h(CreateFileA((folder + "\\f" + std::to_string(i)).c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(h.valid()) << i;
    }
}

// A folder whose path the ANSI calls cannot reach, made through the wide
// long-path form.
}  // namespace

TEST(WalkFolders, BreadthFirstWithDotFoldersLeftOut)
{
    TempDir dir;
    std::string src = dir / "src";
    for (const char* f : {"a\\x\\deep", "b", "ソ\\表", "empty", ".cache\\inner", "a\\.git"})
        make_folder(src + "\\" + f);
    write_file(src + "\\a\\file.txt", "not a folder");
    FolderTable table;
    MessageRecorder recorder;
    walk(table, recorder, src);

    const std::map<std::string, std::string> expected = {
        {src, ""},
        {src + "\\a", "\\a"},
        {src + "\\b", "\\b"},
        {src + "\\ソ", "\\ソ"},
        {src + "\\empty", "\\empty"},
        {src + "\\a\\x", "\\a\\x"},
        {src + "\\ソ\\表", "\\ソ\\表"},
        {src + "\\a\\x\\deep", "\\a\\x\\deep"},
    };
    EXPECT_EQ(records_of(table), expected);
    ASSERT_EQ(table.count, 8);
    EXPECT_EQ(table.records[0].full_path, src);
    for (int i = 1; i < table.count; ++i)
        EXPECT_LE(depth(table.records[i - 1].relative_path), depth(table.records[i].relative_path)) << i;
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(WalkFolders, SourceTextEndingInASeparatorOrATrailByteOrOnAShare)
{
    TempDir dir;
    make_folder(dir / "ソ\\表");
    make_folder(dir / "s\\k");
    // The suite maps the share \\nas\backup.
    const std::string share = "\\\\nas\\backup\\walk-" + std::to_string(GetCurrentProcessId());
    make_folder(share + "\\ソ\\表");
    const struct { std::string source; std::map<std::string, std::string> expected; } cases[] = {
        // ソ ends in 0x5C: a separator is still added for the search.
        {dir / "ソ", {{dir / "ソ", ""}, {dir / "ソ\\表", "\\表"}}},
        // A real separator at the end gives two in a row below it.
        {dir / "s\\", {{dir / "s\\", ""}, {dir / "s\\\\k", "\\k"}}},
        // A missing folder is searched in vain: only the source itself.
        {dir / "gone", {{dir / "gone", ""}}},
        {share, {{share, ""}, {share + "\\ソ", "\\ソ"}, {share + "\\ソ\\表", "\\ソ\\表"}}},
    };
    for (const auto& c : cases) {
        FolderTable table;
        MessageRecorder recorder;
        walk(table, recorder, c.source);
        EXPECT_EQ(records_of(table), c.expected) << c.source;
        EXPECT_TRUE(recorder.messages.empty());
    }
    remove_tree(share);
}

TEST(WalkFolders, FolderWhosePathWouldPass259BytesIsToldNotCut)
{
    TempDir dir;
    std::string src = dir / "src";
    std::string longer = src + "\\" + std::string(240 - src.size(), 'L');  // 240 bytes
    make_folder(longer + "\\short");                                      // 246 bytes
    make_long_folder(longer + "\\" + std::string(25, 'T'));               // 266 bytes
    make_long_folder(longer + "\\" + std::string(30, 'U'));
    FolderTable table;
    MessageRecorder recorder;
    walk(table, recorder, src);

    EXPECT_EQ(records_of(table).count(longer + "\\short"), 1u);
    EXPECT_EQ(table.count, 3);
    for (int i = 0; i < table.count; ++i)
        EXPECT_LE(std::strlen(table.records[i].full_path), 259u);
    ASSERT_EQ(recorder.messages.size(), 1u);
    const RecordedMessage& m = recorder.messages[0];
    EXPECT_EQ(m.caption, "エラー");
    EXPECT_EQ(m.kind, MessageKind::warning);
    EXPECT_NE(m.text.find("2個"), std::string::npos) << m.text;
    EXPECT_NE(m.text.find(longer + "\\"), std::string::npos) << m.text;
}

TEST(WalkFolders, TreeOf5001FoldersFillsTheTableAndWarnsOnce)
{
    TempDir dir;
    std::string src = dir / "big";
    make_folder(src);
    for (int i = 0; i < 5001; ++i)
        ASSERT_TRUE(CreateDirectoryA((src + "\\d" + std::to_string(i)).c_str(), nullptr));
    FolderTable table;
    MessageRecorder recorder;
    walk(table, recorder, src);

    EXPECT_EQ(table.count, kTableCapacity);
    EXPECT_EQ(records_of(table).size(), static_cast<std::size_t>(kTableCapacity));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "指定のテーブル量を超えました。");
    EXPECT_EQ(recorder.messages[0].caption, "エラー");
    EXPECT_EQ(recorder.messages[0].kind, MessageKind::warning);

    walk(table, recorder, src);  // told again at every walk
    EXPECT_EQ(recorder.messages.size(), 2u);
}

TEST(WalkFiles, ListsFilesOnlyWithTheirOrdinals)
{
    TempDir dir;
    std::string folder = dir / "表";
    make_folder(folder + "\\sub");
    make_folder(folder + "\\.hidden");
    for (const char* f : {"ソ.txt", "表", "plain", "no_ext", ".profile", "~qsv$.tmp", "ro.txt"})
        write_file(folder + "\\" + f, "x");
    SetFileAttributesA((folder + "\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    FileTable table;
    table.records[6].second_number = 99;  // a record past the new count stays as it was

    ASSERT_TRUE(walk_files(table, folder.c_str(), folder.size()));
    EXPECT_EQ(names_of(table), (std::set<std::string>{"ソ.txt", "表", "plain", "no_ext", "ro.txt"}));
    for (int i = 0; i < table.count; ++i) {
        EXPECT_EQ(table.records[i].first_number, i);
        EXPECT_EQ(table.records[i].second_number, 0);
    }
    EXPECT_EQ(table.records[6].second_number, 99);

    std::string with_separator = folder + "\\";
    FileTable again;
    ASSERT_TRUE(walk_files(again, with_separator.c_str(), with_separator.size()));
    EXPECT_EQ(names_of(again), names_of(table));
    SetFileAttributesA((folder + "\\ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(WalkFiles, EmptyOrMissingFolderGivesNothing)
{
    TempDir dir;
    make_folder(dir / "empty\\only_a_folder");
    for (const std::string& folder : {dir / "empty", dir / "missing"}) {
        FileTable table;
        table.count = 7;
        EXPECT_FALSE(walk_files(table, folder.c_str(), folder.size())) << folder;
        EXPECT_EQ(table.count, 0) << folder;
    }
}

TEST(WalkFiles, FolderOf5001FilesIsWalkedAgainForTheRest)
{
    TempDir dir;
    std::string folder = dir / "many";
    make_folder(folder);
    make_empty_files(folder, 5001);
    FileTable table;
    ASSERT_TRUE(walk_files(table, folder.c_str(), folder.size()));
    ASSERT_EQ(table.count, kTableCapacity);
    std::set<std::string> seen = names_of(table);
    int next = table.records[table.count - 1].first_number + 1;
    EXPECT_EQ(next, kTableCapacity);

    ASSERT_TRUE(walk_files(table, folder.c_str(), folder.size(), next));
    ASSERT_EQ(table.count, 1);
    EXPECT_EQ(table.records[0].first_number, 5000);
    EXPECT_TRUE(seen.insert(table.records[0].file_name).second);
    EXPECT_EQ(seen.size(), 5001u);

    EXPECT_FALSE(walk_files(table, folder.c_str(), folder.size(), 5001));
    EXPECT_EQ(table.count, 0);
}
