// The five status bar texts from the run position, the flags and the rows.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/status_text.h"
#include "engine/run_state.h"

namespace {

struct Texts {
    char t[kStatusParts][kStatusTextSize];
};

Texts format(const ProgressState& p, const RunFlags& f, int rows)
{
    Texts out;
    for (auto& part : out.t)
        std::fill(part, part + kStatusTextSize, 'x');  // every part must be rewritten
    format_status_texts(p, f, rows, out.t);
    return out;
}

}  // namespace

TEST(StatusText, EmptyListBeforeAnyRun)
{
    ProgressState p;
    RunFlags f;
    Texts t = format(p, f, 0);
    EXPECT_STREQ(t.t[0], "LIST=0/0");
    EXPECT_STREQ(t.t[1], "Folder=0/0");
    EXPECT_STREQ(t.t[2], "File=0/0");
    EXPECT_STREQ(t.t[3], "停止中");
    EXPECT_STREQ(t.t[4], "by Alder-Works");
}

TEST(StatusText, RunStateFromFlags)
{
    struct Case { int running, run_mode, paused; const char* text; } cases[] = {
        {1, 1, 0, "連続Backup中"},
        {1, 1, 1, "連続Backup中"},
        {1, 0, 0, "待機Backup中"},
        {1, 0, 1, "待機Backup中"},  // a start by hand during a pause shows the run
        {0, 0, 1, "一時停止中"},
        {0, 1, 1, "一時停止中"},
        {0, 0, 0, "停止中"},
        {0, 1, 0, "停止中"},
    };
    ProgressState p;
    for (const auto& c : cases) {
        RunFlags f;
        f.running = c.running;
        f.run_mode = c.run_mode;
        f.paused = c.paused;
        EXPECT_STREQ(format(p, f, 0).t[3], c.text) << c.running << c.run_mode << c.paused;
    }
}

TEST(StatusText, CountersAsSignedDecimals)
{
    struct Case {
        int fmove, rows, fcount, fmax, count, max;
        const char *list, *folder, *file;
    } cases[] = {
        {2, 7, 3, 12, 4, 5000, "LIST=2/7", "Folder=3/12", "File=4/5000"},
        // A hand-edited set.ini can hold any value: shown as it is.
        {-1, 0, -2147483647 - 1, 2147483647, -5, 0, "LIST=-1/0", "Folder=-2147483648/2147483647",
         "File=-5/0"},
        // Rows deleted below the position: the rows counted now.
        {9, 3, 0, 1, 0, 0, "LIST=9/3", "Folder=0/1", "File=0/0"},
    };
    RunFlags f;
    for (const auto& c : cases) {
        ProgressState p;
        p.fmove_point = c.fmove;
        p.folder_count = c.fcount;
        p.folder_max = c.fmax;
        p.file_count = c.count;
        p.file_max = c.max;
        Texts t = format(p, f, c.rows);
        EXPECT_STREQ(t.t[0], c.list);
        EXPECT_STREQ(t.t[1], c.folder);
        EXPECT_STREQ(t.t[2], c.file);
    }
}
