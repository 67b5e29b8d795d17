// A tree made as a Windows profile is, through the real program: a folder
// link back to its own parent, a folder link to a tree outside the entry, a
// file link, a file Windows' registry names for backups to leave out, the
// files and folders the user's patterns leave out, and plain files. The walk
// ends, every plain file is backed up, nothing of a link's target is, the
// row ends "完" and the report tells each link and the listed file once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/exclusions.h"
#include "tests/e2e/bed.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/program_files.h"
#include "tests/wine/support.h"

namespace {

struct ProfileTree {
    Bed bed;
    std::string other = bed.dir / "other";
    KeysToOneTest one_at_a_time;
    TestValue listed{kFilesNotToBackup, REG_MULTI_SZ, multi_string({bed.source + "\\NTUSER.DAT"})};
    bool linked = false;

    ProfileTree()
    {
        bed.file("Documents\\report.docx", "report");
        bed.file("Documents\\~$report.docx", "owner");
        bed.file("Pictures\\Thumbs.db", "thumbs");
        bed.file("Pictures\\photo.jpg", "photo");
        bed.file("AppData\\Local\\app.cfg", "cfg");
        bed.file("proj\\node_modules\\pkg\\index.js", "module");
        bed.file("proj\\main.c", "main");
        bed.file("NTUSER.DAT", "hive");
        make_folder(other + "\\deep");
        write_file(other + "\\deep\\outside.txt", "outside");
        linked = make_host_link(bed.source + "\\AppData\\Local\\Application Data", "..") &&
                 make_host_link(bed.source + "\\Documents\\Elsewhere", other) &&
                 make_host_link(bed.source + "\\Documents\\shortcut.txt", "report.docx");
        write_file(bed.dir / "quillsave.ini", list_line("*.*", bed.source, bed.backup));
        write_file(bed.dir / "set.ini",
                   settings_file(run_settings({{"exclude", std::string(kDefaultExclusions) + ";node_modules"}})));
    }

    std::string report() const { return read_file(bed.dir / "quillsave.log"); }
};

// One continuous run to its end; the row's two status cells after it.
std::pair<std::string, std::string> run_once(const ProfileTree& tree)
{
    Quillsave program(tree.bed.dir.path(), "");
    HWND main = start_with_yes(program);
    EXPECT_NE(main, nullptr);
    if (main == nullptr)
        return {};
    post_command(main, kContinuous);
    EXPECT_TRUE(wait_until([&] { return list_cell(main, 0, 4) == "完"; }, 120000)) << tree.report();
    EXPECT_TRUE(wait_until([&] { return status_text(main, 3) == "停止中"; }, kWindowWait));
    std::pair<std::string, std::string> cells{list_cell(main, 0, 3), list_cell(main, 0, 4)};
    EXPECT_EQ(end_by_menu(program, main), 0);
    return cells;
}

}  // namespace

TEST(Profile, LinksListedFilesAndPatternsLeaveTheRestBackedUp)
{
    ProfileTree tree;
    ASSERT_TRUE(tree.linked) << "the host refused a symbolic link";
    EXPECT_EQ(run_once(tree), std::make_pair(std::string("完"), std::string("完")));

    const std::string& backup = tree.bed.backup;
    for (const char* kept : {"Documents\\report.docx", "Pictures\\photo.jpg", "AppData\\Local\\app.cfg", "proj\\main.c"})
        EXPECT_TRUE(file_exists(backup + "\\" + kept)) << kept;
    EXPECT_EQ(read_file(backup + "\\Documents\\shortcut.txt"), "report") << "a file link is its target's bytes";
    for (const char* left : {"Documents\\~$report.docx", "Pictures\\Thumbs.db", "proj\\node_modules\\pkg\\index.js", "NTUSER.DAT",
                             "Documents\\Elsewhere", "AppData\\Local\\Application Data"})
        EXPECT_FALSE(file_exists(backup + "\\" + left) || folder_exists(backup + "\\" + left)) << left;

    std::string first = tree.report();
    struct Told { const char* path; const char* words; } told[] = {
        {"\\AppData\\Local\\Application Data\t", "リンクなので辿りません（リンク先 "},
        {"\\Documents\\Elsewhere\t", "リンクなので辿りません（リンク先 "},
        {"\\NTUSER.DAT\t", "Windowsがバックアップしないものとして挙げている"},
    };
    for (const Told& t : told) {
        std::vector<std::string> lines = lines_with(first, t.path);
        ASSERT_EQ(lines.size(), 1u) << t.path << "\n" << first;
        EXPECT_NE(lines[0].find(t.words), std::string::npos) << lines[0];
    }
    EXPECT_NE(lines_with(first, "\\Documents\\Elsewhere\t")[0].find("other"), std::string::npos);
    EXPECT_EQ(lines_with(first, "バックアップできず 0件").size(), 1u) << first;
    EXPECT_TRUE(lines_with(first, "node_modules").empty()) << "a pattern leaves out without a word";
    EXPECT_TRUE(lines_with(first, "Thumbs.db").empty());

    // A second run writes the same notes and nothing more.
    EXPECT_EQ(run_once(tree), std::make_pair(std::string("完"), std::string("完")));
    std::string second = tree.report().substr(first.size());
    for (const Told& t : told)
        EXPECT_EQ(lines_with(second, t.path).size(), 1u) << t.path << "\n" << second;
    EXPECT_EQ(lines_with(second, "バックアップできず 0件").size(), 1u) << second;
    EXPECT_EQ(lines_of(second).size(), lines_of(first).size()) << second;
}
