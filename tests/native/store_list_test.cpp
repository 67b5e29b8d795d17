// The list file: lines of five comma-ended cells, quoting of cells with ","
// or '"', and the reading rules for every other line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/backup_list.h"
#include "store/formats.h"

namespace {

using Row = std::vector<std::string>;

std::vector<Row> rows_of(const BackupList& list)
{
    std::vector<Row> rows;
    for (int r = 0; r < list_row_count(list); ++r) {
        Row row;
        for (int c = 0; c < column_count; ++c) {
            char cell[kFieldSize];
            list_get_cell(list, r, c, cell);
            row.push_back(cell);
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<Row> read_rows(const std::string& bytes)
{
    BackupList list;
    read_list(list, memory_source(bytes.data(), bytes.size()));
    return rows_of(list);
}

void add_row(BackupList& list, const Row& cells)
{
    int row = list_insert_row(list, list_row_count(list), cells[0].c_str());
    for (int c = 1; c < column_count; ++c)
        list_set_cell(list, row, c, cells[c].c_str());
}

}  // namespace

TEST(ListFile, CellsAreQuotedOnlyWhenTheyHoldACommaOrAQuote)
{
    struct Case { const char* cell; const char* written; } cases[] = {
        {"*.*", "*.*,"},
        {"", ","},
        {" C:\\data ", " C:\\data ,"},
        {"D:\\ソ\\表", "D:\\ソ\\表,"},
        {"C:\\a,b", "\"C:\\a,b\","},
        {"say \"hi\"", "\"say \"\"hi\"\"\","},
        {"\"", "\"\"\"\","},
        {"\"lead", "\"\"\"lead\","},
    };
    for (const auto& c : cases) {
        const char* cells[kListCells] = {"f", c.cell, "", "完", "12"};
        EXPECT_EQ(format_list_line(cells), std::string("f,") + c.written + ",完,12,\r\n") << c.cell;
    }
}

TEST(ListFile, LinesGiveRowsAsThePartReadsThem)
{
    struct Case { std::string line; std::vector<Row> rows; } cases[] = {
        {"*.*,C:\\data,D:\\backup,完,3,", {{"*.*", "C:\\data", "D:\\backup", "完", "3"}}},
        {"a,b,c,d,e", {{"a", "b", "c", "d", ""}}},            // without its last comma
        {"a,,,,,", {{"a", "", "", "", ""}}},
        {"a,b,c,d,e,f,g,", {{"a", "b", "c", "d", "e"}}},        // fields after the fifth dropped
        {"a,C:\\a,b,D:\\x,未,未,", {{"a", "C:\\a", "b", "D:\\x", "未"}}},  // an unquoted comma shifts
        {",b,c,d,e,", {}},
        {"", {}},
        {"no comma", {}},
        {" a , b ,", {{" a ", " b ", "", "", ""}}},
        {"\"C:\\a,b\",\"x\"\"y\",\"\",\"\"\"\",z,", {{"C:\\a,b", "x\"y", "", "\"", "z"}}},
        // Quoted fields: well formed ones are unquoted, others read plainly.
        {"f,\"C:\\a,b\",\"x\"\"y\",\"\",\"\"\"\",", {{"f", "C:\\a,b", "x\"y", "", "\""}}},
        {"\"a,b\",c,", {{"a,b", "c", "", "", ""}}},
        {"f,\"abc,d,", {{"f", "\"abc", "d", "", ""}}},            // no closing quote
        {"f,\"ab\"c,d,", {{"f", "\"ab\"c", "d", "", ""}}},         // text after the closing quote
        {"f,\"ab\"", {{"f", "", "", "", ""}}},                     // no comma after it
        {"\"\",b,", {}},                                           // quoted empty file name
        {"f,x\"y\",z,", {{"f", "x\"y\"", "z", "", ""}}},          // a quote inside stays
    };
    for (const auto& c : cases) {
        EXPECT_EQ(read_rows(c.line + "\r\n"), c.rows) << c.line;
    }
}

TEST(ListFile, BlankAndCommaLinesAddNoRowAndShiftNothing)
{
    std::string file = "a,1,2,3,4,\r\n\r\n,x,y,\r\nb,5,6,7,8,\r\nc,9,";
    std::vector<Row> expected = {{"a", "1", "2", "3", "4"}, {"b", "5", "6", "7", "8"}};
    EXPECT_EQ(read_rows(file), expected);  // the last line without CR LF is not read
}

TEST(ListFile, RowsWithJapaneseStatusAndQuotedCellsReadBackByteForByte)
{
    BackupList list;
    std::vector<Row> rows = {
        {"*.*", "C:\\データ\\ソ", "D:\\表\\保存", "完", "完"},
        {"報告.txt", "C:\\a,b", "D:\\\"q\"", "読e", "12"},
        {"\"quoted\"", " lead and trail ", "", "未", "未"},
        {std::string(kMaxText, ','), std::string(kMaxText, ','), "", "", ""},
        {std::string(kMaxText, '"'), std::string(kMaxText, '"'), std::string(kMaxText, '"'),
         std::string(kMaxText, '"'), std::string(kMaxText, '"')},
        {std::string(kMaxText, 'x'), "書e", "作e", "終", "棚e"},
    };
    for (const Row& r : rows)
        add_row(list, r);
    std::string bytes = format_list(list);
    // The longest line the quoting can write still fits the window.
    std::string quoted_cell = std::string(2 * kMaxText + 2, '"') + ",";
    std::string longest;
    for (std::size_t c = 0; c < kListCells; ++c)
        longest += quoted_cell;
    longest += "\r\n";
    EXPECT_EQ(longest.size(), kListWindow);
    EXPECT_NE(bytes.find(longest), std::string::npos);
    EXPECT_EQ(read_rows(bytes), rows);

    BackupList again;
    read_list(again, memory_source(bytes.data(), bytes.size(), 7));
    EXPECT_EQ(format_list(again), bytes);
}

TEST(ListFile, PlainRowsAreWrittenInThePartsFormat)
{
    BackupList list;
    add_row(list, {"*.*", "C:\\data", "D:\\backup", "完", "3"});
    add_row(list, {"a.txt", "", "", "", ""});
    EXPECT_EQ(format_list(list), "*.*,C:\\data,D:\\backup,完,3,\r\na.txt,,,,,\r\n");
    EXPECT_EQ(format_list(BackupList{}), "");
}
