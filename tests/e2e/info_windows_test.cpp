// The information windows of the real program: opened by their menu
// commands, all three at once, and closed by their buttons, by Enter on the
// button (through the program's own message loop) and by their close boxes.
#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/e2e/harness.h"
#include "tests/wine/support.h"

namespace {

enum class Close { button, enter, close_box };

std::string window_text(HWND window, int id)
{
    char text[260] = {};
    GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}

void close_window(HWND window, int button, Close how)
{
    switch (how) {
    case Close::button: PostMessageA(GetDlgItem(window, button), BM_CLICK, 0, 0); break;
    case Close::enter:
        PostMessageA(GetDlgItem(window, button), WM_KEYDOWN, VK_RETURN, 1);
        PostMessageA(GetDlgItem(window, button), WM_KEYUP, VK_RETURN, 0xC0000001);
        break;
    case Close::close_box: PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    }
}

TEST(InfoWindows, MenuCommandsOpenThemAllAndButtonsKeysAndCloseBoxesCloseThem)
{
    OneRowProgram one(settings_file({}));
    ASSERT_NE(one.main, nullptr);

    struct Case {
        int command;
        const char* title;
        int button;  // 0: none
        Close how;
    } cases[] = {
        {IDM_COPY_NAMES, "コピーファイル名", 0, Close::close_box},
        {IDM_ABOUT, "このソフトについて", IDC_ABOUT_OK, Close::button},
        {IDM_MODE_HELP, "Quillsaveの説明", IDC_MODE_CLOSE, Close::button},
        {IDM_ABOUT, "このソフトについて", IDC_ABOUT_OK, Close::close_box},
        {IDM_MODE_HELP, "Quillsaveの説明", IDC_MODE_CLOSE, Close::close_box},
        {IDM_ABOUT, "このソフトについて", IDC_ABOUT_OK, Close::enter},
        {IDM_MODE_HELP, "Quillsaveの説明", IDC_MODE_CLOSE, Close::enter},
    };
    // All open side by side first, each once.
    HWND open[3] = {};
    for (int i = 0; i < 3; ++i) {
        post_command(one.main, cases[i].command);
        ASSERT_TRUE(wait_until([&] { return (open[i] = one.program.dialog(cases[i].title)) != nullptr; }, kWindowWait))
            << cases[i].title;
    }
    EXPECT_EQ(window_text(open[0], IDC_COPY_ARROW), "↓↓↓↓↓↓↓");
    EXPECT_EQ(window_text(open[0], IDC_COPY_SOURCE), "") << "no copy yet in this process";
    EXPECT_EQ(window_text(open[1], IDC_ABOUT_NAME), "Soft Name : Quillsave");
    for (int i = 0; i < 3; ++i) {
        close_window(open[i], cases[i].button, cases[i].how);
        EXPECT_TRUE(wait_until([&] { return !IsWindow(open[i]); }, kWindowWait)) << cases[i].title;
        for (int j = i + 1; j < 3; ++j)
            EXPECT_TRUE(IsWindow(open[j])) << cases[j].title << " stays while another closes";
    }
    // Then the other ways to close, one window at a time.
    for (const Case& c : cases) {
        if (&c < cases + 3)
            continue;
        post_command(one.main, c.command);
        HWND window = nullptr;
        ASSERT_TRUE(wait_until([&] { return (window = one.program.dialog(c.title)) != nullptr; }, kWindowWait)) << c.title;
        close_window(window, c.button, c.how);
        EXPECT_TRUE(wait_until([&] { return !IsWindow(window); }, kWindowWait))
            << c.title << " close " << static_cast<int>(c.how);
    }
    EXPECT_EQ(end_by_menu(one.program, one.main), 0);
}

}  // namespace
