// folder.ini and file.ini: record groups, the tables' limit and the window.
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

TEST(TableFiles, TablesPastTheOld5000Of259BytePathsReadBackByteForByte)
{
    const int records = 6000;
    FolderTable folders;
    FileTable files;
    for (int i = 0; i < records; ++i) {
        folders.records.push_back({path_of(i, 'f'), i == 0 ? "" : path_of(i, 'r')});
        files.records.push_back({path_of(i, 'n'), i, -i});
    }
    std::string folder_bytes = format_folder_table(folders);
    std::string file_bytes = format_file_table(files);
    EXPECT_EQ(folder_bytes.substr(0, 5), "C:\\表");

    FolderTable folders2;
    FileTable files2;
    read_into(folders2, folder_bytes, read_folder_table);
    read_into(files2, file_bytes, read_file_table);
    ASSERT_EQ(folders2.count(), records);
    ASSERT_EQ(files2.count(), records);
    EXPECT_EQ(format_folder_table(folders2), folder_bytes);
    EXPECT_EQ(format_file_table(files2), file_bytes);
    EXPECT_EQ(folders2.records[0].relative_path, "");
    EXPECT_EQ(files2.records[records - 1].second_number, -(records - 1));
}

// The readers take records up to the table's limit and stop reading there:
// the rest of a file past it is never read into memory.
TEST(TableFiles, ReadersStopAtTheLimit)
{
    const std::string folder_group = "C:\\a\r\n\\a\r\n";
    const std::string file_group = "a.txt\r\n7\r\n0\r\n";
    struct Case { int records; int limit; int count; } cases[] = {
        {kTableLimit + 1, kTableLimit, kTableLimit},
        {20, 10, 10},
        {10, 10, 10},
        {3, 0, 0},
    };
    for (const auto& c : cases) {
        std::string folder_bytes, file_bytes;
        for (int i = 0; i < c.records; ++i) {
            folder_bytes += folder_group;
            file_bytes += file_group;
        }
        // A source that counts what the reader asked of it.
        std::size_t folder_read = 0, file_read = 0;
        ByteSource folder_source = memory_source(folder_bytes.data(), folder_bytes.size());
        ByteSource file_source = memory_source(file_bytes.data(), file_bytes.size());
        FolderTable folders;
        FileTable files;
        folders.limit = files.limit = c.limit;
        read_folder_table(folders, [&](char* dst, std::size_t want) {
            std::size_t n = folder_source(dst, want);
            folder_read += n;
            return n;
        });
        read_file_table(files, [&](char* dst, std::size_t want) {
            std::size_t n = file_source(dst, want);
            file_read += n;
            return n;
        });
        EXPECT_EQ(folders.count(), c.count) << c.records << " / " << c.limit;
        EXPECT_EQ(files.count(), c.count) << c.records << " / " << c.limit;
        if (c.count > 0) {
            EXPECT_EQ(folders.records.back().relative_path, "\\a");
            EXPECT_EQ(files.records.back().first_number, 7);
        }
        // No more than one window past the last record taken.
        EXPECT_LE(folder_read, c.count * folder_group.size() + kTableWindow) << c.records << " / " << c.limit;
        EXPECT_LE(file_read, c.count * file_group.size() + kTableWindow) << c.records << " / " << c.limit;
    }
}

TEST(TableFiles, EmptyTablesGiveNoBytes)
{
    FolderTable folders;
    FileTable files;
    EXPECT_EQ(format_folder_table(folders), "");
    EXPECT_EQ(format_file_table(files), "");
    folders.records.resize(1);  // one record of empty texts is two empty lines
    EXPECT_EQ(format_folder_table(folders), "\r\n\r\n");
}

TEST(TableFiles, FolderLinesPairUpAndAnOddLineIsDropped)
{
    struct Case { std::string file; int count; const char* last_full_path; } cases[] = {
        {"", 0, ""},
        {"a\r\n\\a\r\nb\r\n\\b\r\nc\r\n", 2, "b"},     // five lines, two records
        {"a\r\n\r\n", 1, "a"},                           // the source folder's empty relative path
        {"a\r\n\\a\r\nb\r\n\\b", 1, "a"},               // last line without CR LF
        {"a\r\n\\a\r\n" + std::string(kMaxText + 1, 'x') + "\r\nc\r\n\\c\r\n", 1, "a"},
        {"a\r\n\\a\r\n" + std::string(kMaxText, 'x') + "\r\n\\x\r\n", 2, ""},
        {std::string("a\0b\r\n\\a\r\n", 9), 1, "a"},         // text up to a zero byte
    };
    for (const auto& c : cases) {
        FolderTable t;
        t.records.resize(4, FolderRecord{"stale", ""});  // the load clears first
        read_into(t, c.file, read_folder_table);
        ASSERT_EQ(t.count(), c.count) << c.file;
        if (c.count > 0 && c.last_full_path[0] != 0) {
            EXPECT_EQ(t.records.back().full_path, c.last_full_path) << c.file;
        }
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
        ASSERT_EQ(t.count(), c.count) << c.file;
        EXPECT_EQ(t.records.back().first_number, c.first) << c.file;
        EXPECT_EQ(t.records.back().second_number, c.second) << c.file;
    }
}
