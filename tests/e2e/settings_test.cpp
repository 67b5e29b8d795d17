// The settings dialog of the real program: what OK takes in reaches set.ini
// when the program ends, and nothing else changes there.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/e2e/harness.h"
#include "tests/wine/support.h"

namespace {

TEST(Settings, DialogChoicesReachSetIniAtTheEnd)
{
    OneRowProgram one(settings_file({}));
    ASSERT_NE(one.main, nullptr);

    post_command(one.main, IDM_SETTINGS);
    HWND dialog = nullptr;
    ASSERT_TRUE(wait_until([&] { return (dialog = one.program.dialog("環境設定")) != nullptr; }, kWindowWait));
    SendDlgItemMessageA(dialog, IDC_SET_DATA_SIZE, CB_SETCURSEL, 0, 0);  // "8192byte"
    SetDlgItemTextA(dialog, IDC_SET_RESTART_TIME, "45sec");
    SendDlgItemMessageA(dialog, IDC_SET_CONTINUOUS, BM_SETCHECK, BST_UNCHECKED, 0);
    SendDlgItemMessageA(dialog, IDC_SET_DAILY, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SET_DAILY, BN_CLICKED), 0);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_SET_HOUR)));
    SetDlgItemTextA(dialog, IDC_SET_HOUR, "23時");
    SendDlgItemMessageA(dialog, IDC_SET_OVERWRITE, BM_SETCHECK, BST_CHECKED, 0);
    PostMessageA(dialog, WM_COMMAND, IDC_SET_OK, 0);
    ASSERT_TRUE(wait_until([&] { return !IsWindow(dialog); }, kWindowWait));

    EXPECT_EQ(end_by_menu(one.program, one.main), 0);
    EXPECT_EQ(read_file(one.dir / "set.ini"), settings_file({{"data_size", "8192"}, {"restart_time", "45"},
                                                         {"set_t_mode", "4"}, {"set_t_hour", "23"},
                                                         {"conut_save_mode", "1"}}));
}

}  // namespace
