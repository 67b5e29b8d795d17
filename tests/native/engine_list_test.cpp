// The BackupList model: bounded cells, row access out of range, the changes
// a refresh repaints, and whole cells under two threads.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "engine/backup_list.h"

namespace {

void add_rows(BackupList& list, int n)
{
    for (int i = 0; i < n; ++i)
        list_insert_row(list, i, ("f" + std::to_string(i)).c_str());
}

std::string cell(const BackupList& list, int row, int column)
{
    char out[kFieldSize];
    std::memset(out, 'x', sizeof out);
    list_get_cell(list, row, column, out);
    return out;
}

}  // namespace

TEST(BackupListModel, CellsOutsideTheListReadEmptyAndIgnoreWrites)
{
    BackupList list;
    add_rows(list, 2);
    list_set_cell(list, 1, col_source, "C:\\ソ");
    const struct { int row, column; const char* text; } cases[] = {
        {0, col_file_name, "f0"}, {1, col_source, "C:\\ソ"}, {1, col_destination, ""},
        {2, col_file_name, ""}, {-1, col_file_name, ""}, {0, -1, ""}, {0, column_count, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cell(list, c.row, c.column), c.text) << c.row << "," << c.column;
    list_set_cell(list, 2, col_source, "x");
    list_set_cell(list, 0, column_count, "x");
    EXPECT_EQ(list_row_count(list), 2);
    EXPECT_EQ(cell(list, 0, col_source), "");
}

TEST(BackupListModel, LongTextIsCutOnACharacterBoundary)
{
    BackupList list;
    add_rows(list, 1);
    std::string text = std::string(258, 'a') + "ソ";  // 260 bytes; ソ would straddle the end
    list_set_cell(list, 0, col_source, text.c_str());
    EXPECT_EQ(cell(list, 0, col_source), std::string(258, 'a'));
    std::string fits(259, 'b');
    list_set_cell(list, 0, col_destination, fits.c_str());
    EXPECT_EQ(cell(list, 0, col_destination), fits);
}

TEST(BackupListModel, InsertAndDeleteKeepOrder)
{
    BackupList list;
    EXPECT_EQ(list_insert_row(list, 5, "a"), 0);   // clamped to the end
    EXPECT_EQ(list_insert_row(list, -3, "b"), 0);  // clamped to the start
    EXPECT_EQ(list_insert_row(list, 1, "c"), 1);
    EXPECT_EQ(cell(list, 0, 0) + cell(list, 1, 0) + cell(list, 2, 0), "bca");
    list_delete_row(list, 0);
    list_delete_row(list, 7);
    EXPECT_EQ(cell(list, 0, 0) + cell(list, 1, 0), "ca");
    list_clear(list);
    EXPECT_EQ(list_row_count(list), 0);
}

TEST(BackupListModel, ChangesCoverTheRowsWrittenSinceTheLastTake)
{
    BackupList list;
    add_rows(list, 6);
    ListChanges added = list_take_changes(list);
    EXPECT_TRUE(added.rows_added_or_removed);
    EXPECT_EQ(added.first, 0);
    EXPECT_EQ(added.last, 5);

    ListChanges none = list_take_changes(list);
    EXPECT_EQ(none.first, -1);
    EXPECT_FALSE(none.rows_added_or_removed);

    list_set_cell(list, 4, col_file_status, "完");
    list_set_cell(list, 2, col_folder_status, "3");
    list_set_cell(list, 9, col_folder_status, "3");  // no such row
    ListChanges two = list_take_changes(list);
    EXPECT_EQ(two.first, 2);
    EXPECT_EQ(two.last, 4);
    EXPECT_FALSE(two.rows_added_or_removed);

    list_set_cell(list, 4, col_file_status, "完");  // the same text again
    EXPECT_EQ(list_take_changes(list).first, -1);

    list_delete_row(list, 3);
    ListChanges removed = list_take_changes(list);
    EXPECT_TRUE(removed.rows_added_or_removed);
    EXPECT_EQ(removed.first, 3);
    EXPECT_EQ(removed.last, 4);  // the rows that moved up
}

TEST(BackupListModel, ReadersNeverSeeAHalfWrittenCell)
{
    BackupList list;
    add_rows(list, 1);
    const std::string a(259, 'a'), b(259, 'b');
    list_set_cell(list, 0, col_file_status, a.c_str());
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < 20000; ++i)
            list_set_cell(list, 0, col_file_status, (i % 2 ? a : b).c_str());
        done = true;
    });
    int torn = 0;
    while (!done) {
        std::string seen = cell(list, 0, col_file_status);
        torn += seen != a && seen != b;
        list_take_changes(list);
    }
    writer.join();
    EXPECT_EQ(torn, 0);
}
