// The pause of a standby run paces the data it copies, not the files it
// looks at: at the default settings (three seconds after a copy), a pass
// over a few hundred up-to-date files reaches a changed file at its end
// within a minute and a half, where a pause after every look took fifteen.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/bed.h"
#include "tests/e2e/harness.h"
#include "tests/wine/support.h"

namespace {

TEST(Pacing, AStandbyPassReachesAChangedFileAtItsEndWithinAMinuteAndAHalf)
{
    Bed bed;
    // 300 files, their backups up to date (the same bytes and times); the
    // changed file in the folder walked last.
    for (int i = 0; i < 300; ++i) {
        std::string name = (i < 150 ? "a\\" : "b\\") + std::to_string(i) + ".txt";
        bed.file(name, "data " + std::to_string(i));
        ASSERT_TRUE(CopyFileA((bed.source + "\\" + name).c_str(), (bed.backup + "\\" + name).c_str(), FALSE));
    }
    bed.file("z\\changed.txt", "new", "old");
    // The defaults (data_time 3), a start-up wait of a second and a
    // schedule never due, so that the end of the list stops the run.
    bed.program_files(list_line("*.*", bed.source, bed.backup), {{"data_time", "3"}, {"rw_error_mode", "1"}});

    Quillsave program(bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    DWORD start = GetTickCount();
    post_command(main, kStandby);
    bool protected_in_time =
        wait_until([&] { return read_file(bed.backup + "\\z\\changed.txt") == "new"; }, 90000);
    DWORD seconds = (GetTickCount() - start) / 1000;
    EXPECT_TRUE(protected_in_time) << "after " << seconds << " s";
    ASSERT_TRUE(wait_until([&] { return status_text(main, 3) == "停止中"; }, 30000));
    EXPECT_EQ(list_cell(main, 0, 3), "完");
    EXPECT_EQ(end_by_menu(program, main), 0);
    std::string report = read_file(bed.dir / "quillsave.log");
    EXPECT_NE(report.find("コピー 1件\t最新 300件\tバックアップできず 0件"), std::string::npos) << report;
}

}  // namespace
