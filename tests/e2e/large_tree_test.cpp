// A folder entry of more folders than the program once kept: every file is
// backed up without a box, also when the program is ended in the middle of
// the tree and started again.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/harness.h"
#include "tests/wine/support.h"

namespace {

// 60 folders of 100 folders each below the source: 6,061 folders with the
// source itself, one file in each, named after its folder.
constexpr int kGroups = 60;
constexpr int kPerGroup = 100;

std::vector<std::string> make_tree(const std::string& source)
{
    std::vector<std::string> relatives = {""};
    for (int g = 0; g < kGroups; ++g) {
        std::string group = "\\g" + std::to_string(g);
        relatives.push_back(group);
        for (int f = 0; f < kPerGroup; ++f)
            relatives.push_back(group + "\\表" + std::to_string(f));
    }
    make_folder(source);
    for (const std::string& relative : relatives) {
        if (!relative.empty() && !CreateDirectoryA((source + relative).c_str(), nullptr))
            ADD_FAILURE() << relative;
        write_file(source + relative + "\\x.txt", relative);
    }
    return relatives;
}

// The first number of a status bar part such as "Folder=5123/6061".
int first_number(const std::string& part)
{
    std::size_t at = part.find('=');
    return at == std::string::npos ? -1 : std::atoi(part.c_str() + at + 1);
}

// Runs a run until the condition holds; false when a box or any other
// dialog came up on the way, or the time ran out. The stop's wait window
// ("Thread") is no box: the end of a continuous run stops it, and the window
// shows for as long as the worker takes to end.
bool run_until(const Quillsave& program, HWND main, int start_command, const std::function<bool()>& done)
{
    post_command(main, start_command);
    std::function<bool(HWND)> shown = [](HWND box) {
        char title[16] = {};
        GetWindowTextA(box, title, sizeof title);
        return IsWindowVisible(box) != 0 && std::string(title) != "Thread";
    };
    bool box = false;
    bool reached = wait_until(
        [&] {
            box = program.dialog(nullptr, shown) != nullptr;
            return box || done();
        },
        240000);
    return reached && !box;
}

}  // namespace

TEST(LargeTree, EndedInTheMiddleGoesOnAtTheSameFileAndBacksUpEveryFile)
{
    TempDir dir;
    std::string source = dir / "ソース";
    std::string destination = dir / "保存先";
    std::vector<std::string> relatives = make_tree(source);
    const int folders = static_cast<int>(relatives.size());
    write_file(dir / "quillsave.ini", list_line("*.*", source, destination));
    write_file(dir / "set.ini", settings_file({{"start_time", "1"}}));

    // The first run is ended past the 5,100th folder: beyond the old tables.
    // A standby run whose every pause takes 2 ms makes at most about 250
    // folders a second, so the end reaches it while it is still in the
    // tree; a continuous run can finish the last 960 folders first.
    {
        ProgramVariable pause("QS_TEST_PAUSE_MS", "2");
        Quillsave first(dir.path(), "", seams_program());
        HWND main = start_with_yes(first);
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(run_until(first, main, IDM_START_STANDBY,
                              [&] { return first_number(status_text(main, 1)) >= 5100; }))
            << status_text(main, 1);
        std::string part = status_text(main, 1);
        EXPECT_EQ(part.substr(part.find('/')), "/" + std::to_string(folders)) << part;
        ASSERT_EQ(end_by_menu(first, main), 0);
    }
    std::string settings = read_file(dir / "set.ini");
    ASSERT_EQ(settings_value(settings, "folder_search_flag"), "1");
    int folder = std::stoi(settings_value(settings, "folder_count"));
    int file = std::stoi(settings_value(settings, "file_count"));
    ASSERT_GE(folder, 5100);
    ASSERT_LT(folder, folders);
    std::vector<std::string> folder_lines = lines_of(read_file(dir / "folder.ini"));
    ASSERT_EQ(static_cast<int>(folder_lines.size()), 2 * folders) << "every folder saved";
    const std::string at = folder_lines[2 * folder + 1];

    // The file before the position was copied by the first run; a run that
    // began the tree again would copy it anew. The file at the position (a
    // copy cut off by the end counts as not done) must be copied again.
    const std::string before = file > 0 ? at : folder_lines[2 * (folder - 1) + 1];
    const std::string before_copy = destination + before + "\\x.txt";
    ASSERT_TRUE(file_exists(before_copy));
    DeleteFileA(before_copy.c_str());
    if (file == 0)
        DeleteFileA((destination + at + "\\x.txt").c_str());

    Quillsave second(dir.path(), "");
    HWND main = start_with_yes(second);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(run_until(second, main, IDM_START_CONTINUOUS, [&] {
        return status_text(main, 3) == "停止中" && list_cell(main, 0, 4) == "完";
    })) << status_text(main, 1);
    ASSERT_EQ(end_by_menu(second, main), 0);

    EXPECT_FALSE(file_exists(before_copy)) << "the second run began again before " << at;
    int missing = 0;
    for (const std::string& relative : relatives) {
        if (relative == before)
            continue;
        std::string copy = destination + relative + "\\x.txt";
        if (!file_exists(copy) || read_file(copy) != relative)
            ++missing;
    }
    EXPECT_EQ(missing, 0) << "of " << folders << " files";
}
