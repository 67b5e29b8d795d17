// The unpacked release package, started from its own folder as a user
// would: first without a switch (the question, Yes, a continuous run from
// the menu), then with /B from the tray (a standby run after the start-up
// wait). Each start makes one backup run end to end. The program must keep
// its four files and its report in its folder and add nothing else there; check.sh, which
// unpacks the package and runs this test, looks for them everywhere else.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/wine/support.h"

namespace {

// The Windows path of the folder the package was unpacked into.
std::string package_folder()
{
    // Read wide and converted: Wine's GetEnvironmentVariableA counts the
    // characters of a Japanese value, not its bytes, and cuts it short.
    wchar_t wide[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableW(L"QS_PACKAGE_DIR", wide, MAX_PATH);
    char path[MAX_PATH] = {};
    if (n == 0 || n >= MAX_PATH || WideCharToMultiByte(CP_ACP, 0, wide, -1, path, sizeof path, nullptr, nullptr) == 0)
        return "";
    return path;
}

struct Source {
    std::string relative, bytes;
};

// A tree with Japanese names, two of them ending in the byte 0x5C.
const std::vector<Source> kFirstRun = {
    {"報告書.txt", "四半期の報告\r\n"},
    {"表.csv", "a,b\r\n1,2\r\n"},
    {"サブ表\\写真ソ.dat", std::string(70000, 'p')},
    {"サブ表\\メモ.txt", "memo"},
    {"サブ表\\深い\\能力.bin", std::string(3000, 'x')},
};
// Written before the second start: a run from the tray must copy it.
const Source kAdded = {"追加分.txt", "あとから足したファイル"};

bool copied(const std::string& destination, const std::vector<Source>& files)
{
    return std::all_of(files.begin(), files.end(),
                       [&](const Source& f) { return read_file(destination + "\\" + f.relative) == f.bytes; });
}

std::vector<std::string> with(std::vector<std::string> names, const std::vector<std::string>& more)
{
    names.insert(names.end(), more.begin(), more.end());
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

// Replaces the value of one set.ini key, as the settings dialog would
// before the program saves it.
std::string with_setting(const std::string& file, const std::string& key, const std::string& value)
{
    std::string out;
    for (const std::string& line : lines_of(file))
        out += (line.compare(0, key.size() + 1, key + "=") == 0 ? key + "=" + value : line) + "\r\n";
    return out;
}

TEST(Package, BacksUpFromItsOwnFolderWithoutAndWithASwitch)
{
    const std::string folder = package_folder();
    ASSERT_FALSE(folder.empty()) << "QS_PACKAGE_DIR names the unpacked package";
    const std::string exe = folder + "\\quillsave.exe";
    ASSERT_TRUE(file_exists(exe));
    const std::vector<std::string> unpacked = list_folder(folder);

    TempDir data;
    const std::string source = data / "元データ";
    const std::string destination = data / "保存先表";
    make_folder(source + "\\サブ表\\深い");
    for (const Source& f : kFirstRun)
        write_file(source + "\\" + f.relative, f.bytes);
    // A list of one folder entry, as the entry window would save it; no
    // set.ini yet, as after unpacking.
    write_file(folder + "\\quillsave.ini", list_line("*.*", source, destination));

    {
        Quillsave program(folder, "", exe);
        ASSERT_TRUE(program.started());
        HWND main = start_with_yes(program);
        ASSERT_NE(main, nullptr);
        post_command(main, 37827);  // 連続BackUP開始(&B)
        EXPECT_TRUE(wait_until([&] { return copied(destination, kFirstRun); }, 60000))
            << "the continuous run copies the tree";
        EXPECT_EQ(end_by_menu(program, main), 0);
    }
    std::string settings = read_file(folder + "\\set.ini");
    ASSERT_EQ(lines_of(settings).size(), 28u) << "set.ini is written at the end";
    EXPECT_EQ(settings_value(settings, "exclude"), "System Volume Information;$RECYCLE.BIN;Thumbs.db;~$*");
    EXPECT_EQ(settings_value(settings, "start_time"), "120");
    std::vector<std::string> list = lines_of(read_file(folder + "\\quillsave.ini"));
    ASSERT_EQ(list.size(), 1u);
    const std::string entry = "*.*," + source + "," + destination + ",";
    EXPECT_EQ(list[0].substr(0, entry.size()), entry);

    // The user shortens the start-up wait and the pause in the settings,
    // adds a file and puts a shortcut with /B into the Startup folder.
    write_file(folder + "\\set.ini",
               with_setting(with_setting(settings, "start_time", "1"), "data_time", "1"));
    write_file(source + "\\" + kAdded.relative, kAdded.bytes);
    {
        Quillsave program(folder, "/B", exe);
        ASSERT_TRUE(program.started());
        ASSERT_TRUE(wait_until([&] { return read_file(destination + "\\" + kAdded.relative) == kAdded.bytes; },
                               90000))
            << "the standby run from the tray copies the new file";
        HWND main = program.main_window();
        ASSERT_NE(main, nullptr);
        EXPECT_FALSE(IsWindowVisible(main)) << "the window stays in the tray";
        // Ended from the tray, in the middle of the walk or after it
        // (how far the run got depends on the machine's pace).
        ASSERT_TRUE(choose_tray_menu_item(program, main, kTrayExitItem));
        EXPECT_EQ(program.wait_exit(kExitWait), 0);
    }
    EXPECT_TRUE(copied(destination, kFirstRun));

    settings = read_file(folder + "\\set.ini");
    ASSERT_EQ(lines_of(settings).size(), 28u);
    EXPECT_EQ(settings_value(settings, "start_time"), "1");
    EXPECT_EQ(settings_value(settings, "data_time"), "1");
    // A walk cut off by the end keeps both tables, to go on at the next
    // start; with the walk done they may be deleted as empty.
    std::vector<std::string> kept = {"set.ini", "quillsave.ini"};
    if (settings_value(settings, "folder_search_flag") == "1") {
        std::vector<std::string> folders = lines_of(read_file(folder + "\\folder.ini"));
        ASSERT_FALSE(folders.empty()) << "folder.ini holds the walk";
        EXPECT_EQ(folders[0], source);
        kept.push_back("folder.ini");
    }
    if (settings_value(settings, "file_search_flag") == "1") {
        EXPECT_FALSE(lines_of(read_file(folder + "\\file.ini")).empty()) << "file.ini holds the folder's files";
        kept.push_back("file.ini");
    }
    auto has = [](const std::vector<std::string>& names, const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    const std::vector<std::string> now = list_folder(folder);
    kept.push_back("quillsave.log");  // the runs' report
    const std::vector<std::string> allowed =
        with(unpacked, {"set.ini", "quillsave.ini", "folder.ini", "file.ini", "quillsave.log"});
    for (const std::string& name : now)
        EXPECT_TRUE(has(allowed, name)) << name << " joined the package folder";
    for (const std::string& name : with(unpacked, kept))
        EXPECT_TRUE(has(now, name)) << name << " is missing from the package folder";
}

// The help as the program opens it from the unpacked folder (help\index.html
// by the home-page command, help\help.html by the help commands): each page
// is there, and every picture and page it points at is there beside it.
TEST(Package, HelpPagesAndTheirPicturesAreBesideTheProgram)
{
    const std::string folder = package_folder();
    ASSERT_FALSE(folder.empty()) << "QS_PACKAGE_DIR names the unpacked package";
    int targets = 0;
    for (const char* page : {"index.html", "help.html"}) {
        const std::string text = read_file(folder + "\\help\\" + page);
        ASSERT_NE(text.find("</html>"), std::string::npos) << page << " is whole";
        for (const char* attribute : {"src=\"", "href=\""}) {
            for (std::size_t at = text.find(attribute); at != std::string::npos; at = text.find(attribute, at + 1)) {
                std::size_t begin = at + std::strlen(attribute);
                std::string target = text.substr(begin, text.find('"', begin) - begin);
                target = target.substr(0, target.find('#'));
                if (target.empty())
                    continue;
                std::replace(target.begin(), target.end(), '/', '\\');
                EXPECT_TRUE(file_exists(folder + "\\help\\" + target)) << page << " points at " << target;
                ++targets;
            }
        }
    }
    EXPECT_GE(targets, 19) << "the help shows the gallery's pictures";
}

}  // namespace
