// The reading window shared by the file readers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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
