// The folder selection dialog on a real tree below C:\, operated from a
// second thread as a user would: rows double-clicked (NM_DBLCLK on the
// selected row), rows selected, the buttons pressed, its messages answered.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "base/seams.h"
#include "dialogs/folder_select_win.h"
#include "resources/resource.h"
#include "tests/wine/entry_rows.h"
#include "tests/wine/operate.h"
#include "tests/wine/support.h"

namespace {

const char kDestinationTitle[] = "保存先のフォルダ選択";
const char kSourceTitle[] = "ソースのフォルダとファイル選択";

struct Row {
    std::string name, time, size;
    int image;
};

HWND item_list(HWND dialog)
{
    return GetDlgItem(dialog, IDC_PICK_LIST);
}

std::vector<Row> rows(HWND dialog)
{
    HWND list = item_list(dialog);
    std::vector<Row> out;
    int n = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = i;
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        out.push_back({list_view_text(list, i, 0), list_view_text(list, i, 1), list_view_text(list, i, 2), item.iImage});
    }
    return out;
}

std::vector<std::string> names(HWND dialog)
{
    std::vector<std::string> out;
    for (const Row& row : rows(dialog))
        out.push_back(row.name);
    return out;
}

int find_row(HWND dialog, const std::string& name)
{
    std::vector<std::string> all = names(dialog);
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i] == name)
            return static_cast<int>(i);
    ADD_FAILURE() << "no row " << name;
    return -1;
}

void select_only(HWND dialog, const std::vector<std::string>& picked)
{
    HWND list = item_list(dialog);
    LVITEMA none = {};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    for (const std::string& name : picked) {
        LVITEMA item = {};
        item.state = item.stateMask = LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, find_row(dialog, name), reinterpret_cast<LPARAM>(&item));
    }
}

// What the list view tells its dialog on a double click; the dialog acts on
// the selected row. Returns when the dialog has moved and filled its list.
void double_click(HWND dialog, const std::string& name)
{
    select_only(dialog, {name});
    NMITEMACTIVATE click = {};
    click.hdr.hwndFrom = item_list(dialog);
    click.hdr.idFrom = IDC_PICK_LIST;
    click.hdr.code = NM_DBLCLK;
    click.iItem = find_row(dialog, name);
    SendMessageA(dialog, WM_NOTIFY, IDC_PICK_LIST, reinterpret_cast<LPARAM>(&click));
}

struct Box {
    std::string text;
    HWND owner = nullptr;
};

// Something that raises a message box of the dialog's: done on a third
// thread, the box answered with OK here.
Box answer_box(const char* caption, const std::function<void()>& raise)
{
    std::thread acting(raise);
    Box box;
    HWND found = nullptr;
    for (int i = 0; i < 500 && !found; ++i) {
        Sleep(20);
        found = FindWindowA("#32770", caption);
    }
    if (found) {
        box.text = field(found, 0xFFFF);
        box.owner = GetWindow(found, GW_OWNER);
        PostMessageA(found, WM_COMMAND, IDOK, 0);
    } else {
        ADD_FAILURE() << "no message box " << caption;
    }
    acting.join();
    return box;
}

// Records, on the dialog's own thread, how many items are still selected
// when its item list goes: the list is gone once the dialog has ended.
HHOOK g_hook = nullptr;
int g_selected_at_end = -1;

LRESULT CALLBACK watch_list_end(int code, WPARAM wparam, LPARAM lparam)
{
    const CWPSTRUCT& call = *reinterpret_cast<CWPSTRUCT*>(lparam);
    if (code == HC_ACTION && call.message == WM_DESTROY && GetDlgCtrlID(call.hwnd) == IDC_PICK_LIST)
        g_selected_at_end = static_cast<int>(SendMessageA(call.hwnd, LVM_GETSELECTEDCOUNT, 0, 0));
    return CallNextHookEx(g_hook, code, wparam, lparam);
}

// A new tree directly below C:\, so that the way up reaches a drive root.
class FolderSelect : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitCommonControls();
        root = "C:\\qs-pick-" + std::to_string(GetCurrentProcessId());
        data = root + "\\data";
        // One level at a time: the trail bytes 0x5C of 表ソ are no separators.
        make_folder(data);
        for (const char* folder : {"sub", "shots.old", "my.photos", "photos", "表ソ"})
            CreateDirectoryA((data + "\\" + folder).c_str(), nullptr);
        write_file(data + "\\notes.txt", "notes");
        write_file(data + "\\archive.v2-old", "a");
        write_file(data + "\\README", "r");
        settings = Settings{};
        copy_field(settings.file_folder, "D:\\保存");
    }
    void TearDown() override { remove_tree(root); }

    void run(FolderSelectMode mode, const char* title, std::function<void(HWND)> action)
    {
        std::thread user = operate_titled(GetCurrentThreadId(), title, action);
        show_folder_select(nullptr, mode, settings, list);
        user.join();
    }

    std::string root, data;
    Settings settings{};
    BackupList list;
};

TEST_F(FolderSelect, DoubleClicksMoveThroughFoldersAndDrivesRememberingEachMove)
{
    copy_field(settings.temp_foler_a1, (data + "\\sub").c_str());
    std::vector<std::string> folders_shown;
    Box refused;
    std::vector<Row> at_root, in_data;
    run(select_destination, kDestinationTitle, [&](HWND dialog) {
        EXPECT_EQ(names(dialog), (std::vector<std::string>{".", ".."}));
        auto step = [&](const std::string& name) {
            double_click(dialog, name);
            folders_shown.push_back(field(dialog, IDC_PICK_FOLDER) + "|" + settings.temp_foler_a1);
        };
        step("..");
        in_data = rows(dialog);
        refused = answer_box("フォルダ移行", [&] { double_click(dialog, "shots.old"); });
        folders_shown.push_back(field(dialog, IDC_PICK_FOLDER));
        step("my.photos");
        step(".");
        step("表ソ");
        step("..");
        step("..");
        step("..");
        at_root = rows(dialog);
        std::string qs = root.substr(3);
        step(qs);
        step("data");
        select_only(dialog, {"photos"});
        press(dialog, IDC_PICK_CONFIRM);
    });
    std::vector<std::string> expected = {
        data + "|" + data,
        data,  // the refused move stays
        data + "\\my.photos|" + data + "\\my.photos",
        data + "|" + data,
        data + "\\表ソ|" + data + "\\表ソ",
        data + "|" + data,  // ソ's trail byte is no separator
        root + "|" + root,
        "C:\\|C:\\",
        root + "|" + root,
        data + "|" + data,
    };
    EXPECT_EQ(folders_shown, expected);
    EXPECT_EQ(refused.text, "ファイルでフォルダではありません！");
    EXPECT_STREQ(settings.file_folder, (data + "\\photos").c_str());
    EXPECT_EQ(list_row_count(list), 0);

    // Destination mode: folders only (dot entries first in this tree's
    // order), no sizes; folder images 1, dot entries 0.
    std::vector<std::string> listed;
    for (const Row& row : in_data) {
        listed.push_back(row.name);
        EXPECT_EQ(row.size, "") << row.name;
        EXPECT_EQ(row.image, row.name[0] == '.' ? 0 : 1) << row.name;
    }
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{".", "..", "my.photos", "photos", "shots.old", "sub", "表ソ"}));

    // At C:\ the other drives come first, lower case, with their type's
    // image; C: itself is not among them.
    std::vector<std::pair<std::string, int>> drives, expected_drives;
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        std::string drive_root = std::string(1, letter) + ":\\";
        UINT type = GetDriveTypeA(drive_root.c_str());
        if (letter != 'c' && type >= DRIVE_REMOVABLE && type <= DRIVE_RAMDISK)
            expected_drives.push_back({drive_root, type == DRIVE_REMOVABLE ? 4 : type == DRIVE_FIXED ? 2
                                                   : type == DRIVE_REMOTE  ? 5 : type == DRIVE_CDROM ? 3 : 6});
    }
    for (std::size_t i = 0; i < at_root.size() && i < expected_drives.size(); ++i)
        drives.push_back({at_root[i].name, at_root[i].image});
    EXPECT_EQ(drives, expected_drives);
    ASSERT_GT(at_root.size(), expected_drives.size());
    EXPECT_EQ(at_root[expected_drives.size()].name.find(':'), std::string::npos);  // then C:\'s items
}

TEST_F(FolderSelect, ADriveRowMovesToThatDrive)
{
    copy_field(settings.temp_foler_a1, "C:\\");
    std::vector<std::string> shown;
    run(select_destination, kDestinationTitle, [&](HWND dialog) {
        std::vector<Row> drive_rows = rows(dialog);
        ASSERT_FALSE(drive_rows.empty());
        std::string drive = drive_rows[0].name;  // z:\ under Wine
        ASSERT_EQ(drive.size(), 3u);
        double_click(dialog, drive);
        shown.push_back(field(dialog, IDC_PICK_FOLDER));
        double_click(dialog, "c:\\");
        shown.push_back(field(dialog, IDC_PICK_FOLDER));
        shown.push_back(drive);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    });
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], shown[2]);
    EXPECT_EQ(shown[1], "c:\\");  // as listed, lower case
    EXPECT_STREQ(settings.temp_foler_a1, "c:\\");
    EXPECT_STREQ(settings.file_folder, "D:\\保存");  // closed: nothing chosen
}

// A folder of the share \\nas\backup (mapped by the suite) goes up as far as
// the share, where the drive rows offer the way back to a drive.
TEST_F(FolderSelect, AShareFolderGoesUpToItsShareAndFromThereToADrive)
{
    const std::string share = "\\\\nas\\backup";
    const std::string mine = share + "\\qs-pick-" + std::to_string(GetCurrentProcessId());
    make_folder(mine + "\\ソ");
    copy_field(settings.temp_foler_a1, (mine + "\\ソ").c_str());
    std::vector<std::string> shown;
    std::vector<std::string> at_share;
    run(select_destination, kDestinationTitle, [&](HWND dialog) {
        for (int up = 0; up < 3; ++up) {
            double_click(dialog, "..");
            shown.push_back(field(dialog, IDC_PICK_FOLDER));
        }
        at_share = names(dialog);
        double_click(dialog, "c:\\");
        shown.push_back(field(dialog, IDC_PICK_FOLDER));
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    });
    remove_tree(mine);
    EXPECT_EQ(shown, (std::vector<std::string>{mine, share, share, "c:\\"}));
    ASSERT_FALSE(at_share.empty());
    EXPECT_EQ(at_share[0].substr(1), ":\\") << "the drive rows come first";
    EXPECT_NE(std::find(at_share.begin(), at_share.end(), mine.substr(share.size() + 1)), at_share.end());
}

TEST_F(FolderSelect, SourceModeListsFilesWithTimesAndWholeSizes)
{
    // 5 GiB and one byte, sparse: only the length matters here.
    std::string big = data + "\\big.bin";
    HANDLE file = CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = 5368709121LL;
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
    const unsigned long long when = 133500000000000000ull;  // some day of 2024, UTC
    set_file_times(data + "\\notes.txt", when);
    copy_field(settings.temp_foler_a2, data.c_str());
    std::vector<Row> shown;
    run(select_source, kSourceTitle, [&](HWND dialog) {
        shown = rows(dialog);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    });
    FILETIME utc = {static_cast<DWORD>(when), static_cast<DWORD>(when >> 32)}, local;
    SYSTEMTIME t;
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, &t);
    char time[32];
    snprintf(time, sizeof time, "%04d/%02d/%02d %02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
    std::map<std::string, Row> by_name;
    for (const Row& row : shown)
        by_name[row.name] = row;
    ASSERT_EQ(by_name.count("big.bin"), 1u);
    EXPECT_EQ(by_name["big.bin"].size, "5368709121");
    EXPECT_EQ(by_name["big.bin"].image, 7);
    EXPECT_EQ(by_name["notes.txt"].size, "5");
    EXPECT_EQ(by_name["notes.txt"].time, time);
    EXPECT_EQ(by_name["README"].image, 7);
    EXPECT_EQ(by_name["photos"].size, "");
    EXPECT_EQ(by_name["photos"].image, 1);
    EXPECT_EQ(shown.size(), 11u);  // . .. five folders four files
    DeleteFileA(big.c_str());
}

TEST_F(FolderSelect, ConfirmedSourcesBecomeRowsInListOrderWithNoneLeftSelected)
{
    write_file(data + "\\.profile", "p");  // a file drawn with the dot entries' image
    copy_field(settings.temp_foler_a2, data.c_str());
    add_entry(list, "kept.txt", "C:\\k", "D:\\k");
    const std::vector<std::string> picked = {"photos", "notes.txt", "archive.v2-old", "README", "my.photos",
                                             "shots.old", ".profile", ".."};
    std::vector<std::string> order;
    g_hook = SetWindowsHookExA(WH_CALLWNDPROC, watch_list_end, nullptr, GetCurrentThreadId());
    g_selected_at_end = -1;
    run(select_source, kSourceTitle, [&](HWND dialog) {
        for (const std::string& name : names(dialog))
            for (const std::string& p : picked)
                if (name == p)
                    order.push_back(name);
        select_only(dialog, picked);
        press(dialog, IDC_PICK_CONFIRM);
    });
    UnhookWindowsHookEx(g_hook);
    EXPECT_EQ(g_selected_at_end, 0);
    std::map<std::string, std::vector<std::string>> expected = {
        {"photos", {"*.*", data + "\\photos", "D:\\保存\\photos"}},
        {"notes.txt", {"notes.txt", data, "D:\\保存"}},
        {"archive.v2-old", {"archive.v2-old", data, "D:\\保存"}},
        {"README", {"README", data, "D:\\保存"}},
        {"my.photos", {"*.*", data + "\\my.photos", "D:\\保存\\my.photos"}},
        {"shots.old", {"*.*", data + "\\shots.old", "D:\\保存\\shots.old"}},
        {".profile", {".profile", data, "D:\\保存"}},
        {"..", {"..", data, "D:\\保存"}},
    };
    const int n = static_cast<int>(picked.size());
    ASSERT_EQ(order.size(), picked.size());
    ASSERT_EQ(list_row_count(list), 1 + n);
    EXPECT_EQ(cell_text(list, 0, 0), "kept.txt");
    for (int i = 0; i < n; ++i) {
        std::vector<std::string> row = {cell_text(list, i + 1, 0), cell_text(list, i + 1, 1),
                                        cell_text(list, i + 1, 2)};
        EXPECT_EQ(row, expected[order[i]]) << order[i];
    }
}

TEST_F(FolderSelect, CreatedFolderShowsInTheRebuiltListAndAFailureIsTold)
{
    copy_field(settings.temp_foler_a1, data.c_str());
    bool listed = false;
    Box failed;
    std::string kept, template_text;
    run(select_destination, kDestinationTitle, [&](HWND dialog) {
        template_text = field(dialog, IDC_PICK_NAME);
        SetDlgItemTextA(dialog, IDC_PICK_NAME, "新しい");
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PICK_CREATE, BN_CLICKED), 0);
        std::vector<std::string> all = names(dialog);
        listed = std::find(all.begin(), all.end(), "新しい") != all.end();
        failed = answer_box("フォルダ作成", [&] {
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PICK_CREATE, BN_CLICKED), 0);
        });
        kept = field(dialog, IDC_PICK_NAME);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(folder_exists(data + "\\新しい"));
    EXPECT_TRUE(listed);
    EXPECT_EQ(failed.text, "作成出来ません！GetLastError=183");  // it exists already
    EXPECT_EQ(template_text, "Edit1");
    EXPECT_EQ(kept, "新しい");
}

// The item list, its columns and its images grow with the display's DPI,
// as the dialog around them grows with its font: the list keeps its share
// of the dialog, and the column titles stay whole.
TEST_F(FolderSelect, ItemListKeepsItsPlaceInTheDialogAtTheDisplaysDpi)
{
    copy_field(settings.temp_foler_a2, data.c_str());
    RECT list_rect = {}, template_rect = {0, 0, 229, 293};
    int widths[3] = {}, image_width = 0, image_height = 0;
    std::vector<std::string> cut;
    run(select_source, kSourceTitle, [&](HWND dialog) {
        HWND list = item_list(dialog);
        GetWindowRect(list, &list_rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&list_rect), 2);
        MapDialogRect(dialog, &template_rect);
        HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
        const char* titles[] = {"ファイル名", "更新日", "サイズ"};
        for (int i = 0; i < 3; ++i) {
            widths[i] = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0));
            if (text_width(header, titles[i]) + 6 * GetSystemMetrics(SM_CXEDGE) > widths[i])
                cut.push_back(titles[i]);
        }
        auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
        ImageList_GetIconSize(images, &image_width, &image_height);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(list_rect.left, 0);
    EXPECT_EQ(list_rect.top, at_display_dpi(40));
    EXPECT_EQ(list_rect.right - list_rect.left, at_display_dpi(400));
    EXPECT_EQ(list_rect.bottom - list_rect.top, at_display_dpi(400));
    EXPECT_EQ(widths[0], at_display_dpi(200));
    EXPECT_EQ(widths[1], at_display_dpi(110));
    EXPECT_EQ(widths[2], at_display_dpi(100));
    EXPECT_EQ(image_width, at_display_dpi(12));
    EXPECT_EQ(image_height, at_display_dpi(12));
    EXPECT_TRUE(cut.empty()) << cut.front();
    // At 96 DPI the list reaches the template's right edge and 92 % of its
    // height; a list left at its 96 DPI size would reach 2/3 and 3/5 of them
    // at 150 %.
    double across = double(list_rect.right) / template_rect.right;
    double down = double(list_rect.bottom) / template_rect.bottom;
    std::printf("item list: %.3f of the width, %.3f of the height\n", across, down);
    EXPECT_NEAR(across, 1.0, 0.1);
    EXPECT_NEAR(down, 0.92, 0.1);
}

}  // namespace

// An item whose name code page 932 cannot hold is listed by its short name,
// and can be entered by it; without a short name it gets no row. No row
// ever shows "?" or a best-fit letter (café.txt as a second cafe.txt).
TEST_F(FolderSelect, NamesTheCodePageCannotHoldAreListedByTheirShortNames)
{
    UnheldNamesTree tree(root + "\\unheld");
    SeamsReset seams;
    for (bool short_names : {true, false}) {
        std::vector<std::string> expected = {".", "..", "cafe.txt", "plain.txt"};
        if (short_names) {
            for (const UnheldNamesTree::File& f : tree.files) {
                std::string path = UnheldNamesTree::reached_path(tree.source, f.relative.substr(0, f.relative.find(L'\\')));
                std::string name = path.substr(tree.source.size() + 1);
                if (name.find('~') != std::string::npos)
                    expected.push_back(name);
            }
        }
        std::sort(expected.begin(), expected.end());
        copy_field(settings.temp_foler_a2, tree.source.c_str());
        base_seams().hide_short_names = !short_names;
        std::vector<std::string> shown, inside;
        run(select_source, kSourceTitle, [&](HWND dialog) {
            shown = names(dialog);
            for (const std::string& name : shown)
                if (name != "." && name != ".." && name.find('.') == std::string::npos) {
                    double_click(dialog, name);  // the folder 한국, by its short name
                    inside = names(dialog);
                }
            PostMessageA(dialog, WM_CLOSE, 0, 0);
        });
        base_seams().hide_short_names = false;
        std::sort(shown.begin(), shown.end());
        EXPECT_EQ(shown, expected) << short_names;
        if (short_names) {
            EXPECT_EQ(inside, (std::vector<std::string>{".", "..", "inside.txt"}));
        }
    }
}
