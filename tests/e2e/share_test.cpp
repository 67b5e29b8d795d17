// Backups to a network share. The suite maps \\nas\backup to a folder of the
// build (QS_SHARE_FOLDER) through the prefix's dosdevices/unc, as a NAS
// would be reached; \\nosuch is a server that is not there.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/harness.h"
#include "tests/wine/support.h"

namespace {

const std::string kShare = "\\\\nas\\backup";

// A schedule that is never due (February 31st): only the test starts runs,
// and the end of the list stops them. A copy error stops the run.
std::string share_settings()
{
    return settings_file({{"set_t_mode", "1"}, {"set_t_mon", "1"}, {"set_t_mday", "31"}, {"start_time", "1"},
                          {"data_time", "1"}, {"rw_error_mode", "2"}});
}

// Files below the source folder and their bytes; ソ and 表 end in a 0x5C
// byte that is no separator.
const std::vector<std::pair<std::string, std::string>> kTree = {
    {"a.txt", "a"}, {"sub\\b.txt", "bb"}, {"sub\\ソ\\c.txt", "ccc"}, {"表\\d.txt", "dddd"}};

bool stopped(HWND main)
{
    return status_text(main, 3) == "停止中";
}

// Names in a folder besides the program's own four files and its report,
// which a stopped run may already have written.
std::vector<std::string> other_than_program_files(std::vector<std::string> names)
{
    const std::vector<std::string> own = {"set.ini", "quillsave.ini", "folder.ini", "file.ini", "quillsave.log"};
    names.erase(std::remove_if(names.begin(), names.end(),
                               [&](const std::string& n) { return std::find(own.begin(), own.end(), n) != own.end(); }),
                names.end());
    return names;
}

struct RunKind {
    const char* name;
    int command;
};

// Both kinds of run fill a folder of the share, making its folders; a second
// run leaves every copy alone and copies only a file that is new. The copies
// are given other bytes of the same size and the source's times, so that
// any copy the second run made would show.
TEST(Share, RunsMakeTheFoldersOfAShareFolderAndCopyEachFileOnce)
{
    ASSERT_TRUE(folder_exists(kShare)) << "the suite maps " << kShare;
    const std::string backup = kShare + "\\pc1";
    const std::string on_host = host_path(QS_SHARE_FOLDER) + "\\pc1";
    const RunKind kinds[] = {{"standby", IDM_START_STANDBY}, {"continuous", IDM_START_CONTINUOUS}};
    for (const RunKind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        remove_tree(backup);
        TempDir dir;
        const std::string source = dir / "src";
        for (const auto& file : kTree) {
            make_folder(source + "\\" + file.first.substr(0, file.first.rfind('\\') + 1));
            write_file(source + "\\" + file.first, file.second);
        }
        write_file(dir / "quillsave.ini", list_line("*.*", source, backup));
        write_file(dir / "set.ini", share_settings());
        Quillsave program(dir.path(), "");
        HWND main = start_with_yes(program);
        ASSERT_NE(main, nullptr);

        post_command(main, kind.command);
        auto all_copied = [&] {
            for (const auto& file : kTree)
                if (!file_exists(backup + "\\" + file.first))
                    return false;
            return true;
        };
        ASSERT_TRUE(wait_until([&] { return all_copied() && stopped(main); }, 60000)) << list_cell(main, 0, 3);
        EXPECT_EQ(list_cell(main, 0, 3), "完");
        EXPECT_EQ(list_cell(main, 0, 4), "完");
        for (const auto& file : kTree) {
            EXPECT_EQ(read_file(on_host + "\\" + file.first), file.second) << file.first;
            write_file(backup + "\\" + file.first, std::string(file.second.size(), 'X'));
            set_file_times(backup + "\\" + file.first, last_write_time(source + "\\" + file.first));
        }

        write_file(source + "\\sub\\new.txt", "new");
        post_command(main, kind.command);
        ASSERT_TRUE(wait_until([&] { return file_exists(backup + "\\sub\\new.txt") && stopped(main); }, 60000));
        EXPECT_EQ(read_file(backup + "\\sub\\new.txt"), "new");
        for (const auto& file : kTree)
            EXPECT_EQ(read_file(backup + "\\" + file.first), std::string(file.second.size(), 'X')) << file.first;
        EXPECT_EQ(end_by_menu(program, main), 0);
    }
    remove_tree(backup);
}

// A server or a share that is not there is refused as a missing drive is:
// "棚e", and no folder of the path is made anywhere else instead.
TEST(Share, AMissingServerOrShareIsAFolderError)
{
    ASSERT_TRUE(folder_exists(kShare)) << "the suite maps " << kShare;
    const std::vector<std::string> share_before = list_folder(kShare);
    const std::vector<std::string> drive_before = list_folder("C:");
    for (const char* destination : {"\\\\nosuch\\backup\\pc1", "\\\\nas\\nosuch\\pc1"}) {
        SCOPED_TRACE(destination);
        TempDir dir;
        make_folder(dir / "src\\sub");
        write_file(dir / "src\\a.txt", "a");
        write_file(dir / "src\\sub\\b.txt", "b");
        write_file(dir / "quillsave.ini", list_line("*.*", dir / "src", destination));
        write_file(dir / "set.ini", share_settings());
        Quillsave program(dir.path(), "");
        HWND main = start_with_yes(program);
        ASSERT_NE(main, nullptr);

        post_command(main, IDM_START_STANDBY);
        ASSERT_TRUE(wait_until([&] { return list_cell(main, 0, 3) == "棚e" && stopped(main); }, 60000));
        EXPECT_EQ(other_than_program_files(list_folder(dir.path())), std::vector<std::string>{"src"});
        EXPECT_EQ(list_folder(dir / "src"), (std::vector<std::string>{"a.txt", "sub"}));
        EXPECT_EQ(list_folder(kShare), share_before);
        EXPECT_EQ(list_folder("C:"), drive_before);
        EXPECT_EQ(end_by_menu(program, main), 0);
    }
}

}  // namespace
