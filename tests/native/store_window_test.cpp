// The reading window shared by the file readers, and the ".csv" rule.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/notify.h"
#include "store/formats.h"

namespace {

std::vector<std::string> lines_of(const std::string& bytes, std::size_t window, std::size_t chunk)
{
    std::vector<std::string> lines;
    read_window_lines(window, memory_source(bytes.data(), bytes.size(), chunk),
                      [&](const char* line, std::size_t len) {
                          lines.emplace_back(line, len);
                          return true;
                      });
    return lines;
}

}  // namespace

TEST(ReadingWindow, SplitsLinesAsTheFilesAreRead)
{
    using Lines = std::vector<std::string>;
    struct Case { std::string bytes; std::size_t window; Lines lines; } cases[] = {
        {"", 8, {}},
        {"a\r\nb\r\n", 8, {"a", "b"}},
        {"a\r\nb", 8, {"a"}},                    // the last line without CR LF
        {"no line end", 8, {}},
        {"ab\nc\n", 8, {"a", ""}},               // a bare LF drops the byte before it
        {"\n\r\nx\r\n", 8, {"", "", "x"}},       // an empty line without CR is empty
        {"abcdef\r\n", 8, {"abcdef"}},           // line and LF fill the window exactly
        {"abcdefg\r\nx\r\n", 8, {}},             // one byte too long ends the reading
        {"a\r\nabcdefg\r\nb\r\n", 8, {"a"}},
        {"a\r\n\r\n\r\nb\r\n", 4, {"a", "", "", "b"}},
        {std::string("a\0b\r\n", 5), 8, {std::string("a\0b", 3)}},
    };
    for (const auto& c : cases) {
        // However the reads are cut, the lines are the same.
        for (std::size_t chunk : {0u, 1u, 3u})
            EXPECT_EQ(lines_of(c.bytes, c.window, chunk), c.lines) << c.bytes << " chunk " << chunk;
    }
}

TEST(ReadingWindow, SinkCanStopTheReading)
{
    std::string bytes = "1\r\n2\r\n3\r\n";
    std::vector<std::string> seen;
    read_window_lines(8, memory_source(bytes.data(), bytes.size()), [&](const char* line, std::size_t len) {
        seen.emplace_back(line, len);
        return seen.size() < 2;
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"1", "2"}));
}

TEST(CsvExtension, CutsTheFileNameAtItsLastDot)
{
    struct Case { const char* chosen; const char* result; } cases[] = {
        {"C:\\d\\list.txt", "C:\\d\\list.csv"},
        {"C:\\d\\list", "C:\\d\\list.csv"},
        {"C:\\d\\backup.2016.csv", "C:\\d\\backup.2016.csv"},
        {"C:\\d\\list.v2.txt", "C:\\d\\list.v2.csv"},
        {"C:\\a.b\\list", "C:\\a.b\\list.csv"},      // a dot in a folder is left alone
        {"C:\\x.表y", "C:\\x.csv"},                  // 95 5C is no separator
        {"C:\\表\\a.b", "C:\\表\\a.csv"},
        {"C:\\a.b\\ソ", "C:\\a.b\\ソ.csv"},
        {"list.", "list.csv"},
        {"", ".csv"},
    };
    for (const auto& c : cases) {
        char path[kFieldSize];
        copy_field(path, c.chosen);
        EXPECT_TRUE(force_csv_extension(path)) << c.chosen;
        EXPECT_STREQ(path, c.result) << c.chosen;
    }
}

TEST(CsvExtension, RefusesAPathThatCannotTakeTheExtension)
{
    char path[kFieldSize];
    std::string fits = "C:\\" + std::string(kMaxText - 3 - 4, 'n');  // 255 bytes + ".csv"
    copy_field(path, fits.c_str());
    ASSERT_TRUE(force_csv_extension(path));
    EXPECT_EQ(std::string(path), fits + ".csv");

    std::string too_long = fits + "n";
    copy_field(path, too_long.c_str());
    EXPECT_FALSE(force_csv_extension(path));
    EXPECT_EQ(std::string(path), too_long);
    // Cutting a long extension makes room.
    std::string long_ext = "C:\\n." + std::string(kMaxText - 5, 'e');
    copy_field(path, long_ext.c_str());
    ASSERT_TRUE(force_csv_extension(path));
    EXPECT_STREQ(path, "C:\\n.csv");
}

// A chosen path too long for ".csv" is told, never dropped without a word,
// and the current list file name stays.
TEST(CsvExtension, ChosenPathThatCannotTakeTheExtensionIsTold)
{
    std::string fits = "C:\\" + std::string(kMaxText - 3 - 4, 'n');
    struct Case { std::string chosen; bool taken; std::string current; } cases[] = {
        {fits + ".txt", true, fits + ".csv"},
        {fits + "n", false, "C:\\old.csv"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> told;
        Notifier messages;
        messages.show_message = [&](const char* text, const char* caption, MessageKind kind, MessageOwner) {
            told.push_back(std::string(text) + "|" + caption + "|" + (kind == MessageKind::exclamation ? "!" : "?"));
        };
        char current[kFieldSize] = "C:\\old.csv";
        EXPECT_EQ(take_chosen_list_file(current, c.chosen.c_str(), messages), c.taken);
        EXPECT_EQ(std::string(current), c.current);
        std::vector<std::string> expected;
        if (!c.taken)
            expected.push_back(c.chosen + "のﾌｧｲﾙが開けません|CreateFile|!");
        EXPECT_EQ(told, expected);
    }
}
