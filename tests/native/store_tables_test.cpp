// folder.ini and file.ini: record groups, the 5000 limit and the window.
#include <gtest/gtest.h>

#include <string>

#include "engine/tables.h"
#include "store/formats.h"

namespace {

template <typename Table, typename Read>
void read_into(Table& table, const std::string& bytes, Read read)
{
    read(table, memory_source(bytes.data(), bytes.size(), 4096));
}

std::string path_of(int i, char fill)
{
    std::string p = "C:\\表\\" + std::to_string(i) + "\\";
    return p + std::string(kMaxText - p.size(), fill);
}

}  // namespace

TEST(TableFiles, FullTablesOf259BytePathsReadBackByteForByteAndNoMore)
{
    FolderTable folders;
    FileTable files;
    for (int i = 0; i < kTableCapacity; ++i) {
        copy_field(folders.records[i].full_path, path_of(i, 'f').c_str());
        copy_field(folders.records[i].relative_path, i == 0 ? "" : path_of(i, 'r').c_str());
        copy_field(files.records[i].file_name, path_of(i, 'n').c_str());
        files.records[i].first_number = i;
        files.records[i].second_number = -i;
    }
    folders.count = files.count = kTableCapacity;
    std::string folder_bytes = format_folder_table(folders);
    std::string file_bytes = format_file_table(files);
    EXPECT_EQ(folder_bytes.substr(0, 5), "C:\\表");

    FolderTable folders2;
    FileTable files2;
    // Groups past the 5000th are not read.
    read_into(folders2, folder_bytes + "more\r\n\\more\r\n", read_folder_table);
    read_into(files2, file_bytes + "more\r\n1\r\n2\r\n", read_file_table);
    ASSERT_EQ(folders2.count, kTableCapacity);
    ASSERT_EQ(files2.count, kTableCapacity);
    EXPECT_EQ(format_folder_table(folders2), folder_bytes);
    EXPECT_EQ(format_file_table(files2), file_bytes);
    EXPECT_STREQ(folders2.records[0].relative_path, "");
    EXPECT_EQ(files2.records[4999].second_number, -4999);
}

TEST(TableFiles, EmptyTablesGiveNoBytes)
{
    FolderTable folders;
    FileTable files;
    EXPECT_EQ(format_folder_table(folders), "");
    EXPECT_EQ(format_file_table(files), "");
    folders.count = 1;  // one record of empty texts is two empty lines
    EXPECT_EQ(format_folder_table(folders), "\r\n\r\n");
}

TEST(TableFiles, FolderLinesPairUpAndAnOddLineStaysOutside)
{
    struct Case { std::string file; int count; const char* next_full_path; } cases[] = {
        {"", 0, ""},
        {"a\r\n\\a\r\nb\r\n\\b\r\nc\r\n", 2, "c"},     // five lines, two records
        {"a\r\n\r\n", 1, ""},                           // the source folder's empty relative path
        {"a\r\n\\a\r\nb\r\n\\b", 1, "b"},               // last line without CR LF
        {"a\r\n\\a\r\n" + std::string(kMaxText + 1, 'x') + "\r\nc\r\n\\c\r\n", 1, ""},
        {"a\r\n\\a\r\n" + std::string(kMaxText, 'x') + "\r\n\\x\r\n", 2, ""},
    };
    for (const auto& c : cases) {
        FolderTable t;
        copy_field(t.records[3].full_path, "stale");  // the load clears first
        t.count = 4;
        read_into(t, c.file, read_folder_table);
        EXPECT_EQ(t.count, c.count) << c.file;
        EXPECT_STREQ(t.records[t.count].full_path, c.next_full_path) << c.file;
        EXPECT_STREQ(t.records[3].full_path, "");
    }
}

TEST(TableFiles, FileLinesGroupInThreesWithAtoiNumbers)
{
    struct Case { std::string file; int count; int first, second; } cases[] = {
        {"a\r\n1\r\n2\r\nb\r\n3\r\n4\r\nc\r\n", 2, 3, 4},   // seven lines, two records
        {"a\r\n12abc\r\n\r\n", 1, 12, 0},
        {"a\r\n -7\r\nx\r\n", 1, -7, 0},
        {"a\r\n1\r\n2\r\nb\r\n3\r\n", 1, 1, 2},
    };
    for (const auto& c : cases) {
        FileTable t;
        read_into(t, c.file, read_file_table);
        ASSERT_EQ(t.count, c.count) << c.file;
        EXPECT_EQ(t.records[c.count - 1].first_number, c.first) << c.file;
        EXPECT_EQ(t.records[c.count - 1].second_number, c.second) << c.file;
    }
    // The incomplete group keeps its name and first number outside the count.
    FileTable t;
    read_into(t, std::string("a\r\n1\r\n2\r\nb\r\n3\r\n"), read_file_table);
    EXPECT_STREQ(t.records[1].file_name, "b");
    EXPECT_EQ(t.records[1].first_number, 3);
}
