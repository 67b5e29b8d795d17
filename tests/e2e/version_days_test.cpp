// The days box of old versions in the settings dialog of the real program:
// what is typed there (full-width digits as the Japanese IME types them, a
// bare number, a text without one) and what the next pass then does to the
// versions already kept, five and twenty days old; fewer days ask first.
#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/e2e/bed.h"
#include "tests/e2e/harness.h"
#include "tests/wine/support.h"

namespace {

// A backup of one up-to-date file whose folder of old versions holds a
// version five and one twenty days old.
struct DaysBed : Bed {
    std::string versions = backup + "\\以前のバージョン";
    std::string young = versions + "\\" + dated("a", 5, ".txt");
    std::string old = versions + "\\" + dated("a", 20, ".txt");

    explicit DaysBed(const std::string& days)
    {
        file("a.txt", "a");
        write_file(backup + "\\a.txt", "a");
        make_folder(versions);
        write_file(young, "five days");
        write_file(old, "twenty days");
        program_files(list_line("*.*", source, backup), {{"version_days", days}});
    }
};

HWND open_settings(const Quillsave& program, HWND main)
{
    post_command(main, IDM_SETTINGS);
    HWND dialog = nullptr;
    wait_until([&] { return (dialog = program.dialog("環境設定")) != nullptr && IsWindowVisible(dialog); },
               kWindowWait);
    return dialog;
}

// What the dialog shows over itself: a box of the same title.
HWND box_over(const Quillsave& program, HWND dialog)
{
    HWND box = nullptr;
    wait_until([&] { return (box = program.dialog("環境設定", [&](HWND w) { return w != dialog; })) != nullptr; },
               kWindowWait);
    return box;
}

std::string days_shown(HWND dialog)
{
    char text[64] = {};
    GetDlgItemTextA(dialog, IDC_SET_VERSION_DAYS, text, sizeof text);
    return text;
}

void type_days_and_ok(HWND dialog, const char* days)
{
    SetDlgItemTextA(dialog, IDC_SET_VERSION_DAYS, days);
    PostMessageA(dialog, WM_COMMAND, IDC_SET_OK, 0);
}

bool closes(HWND dialog)
{
    return wait_until([&] { return !IsWindow(dialog); }, kWindowWait);
}

// The dialog opened, the days typed and OK pressed, and the box OK shows
// over the dialog; either is null when it does not come.
struct Asked {
    HWND dialog = nullptr;
    HWND box = nullptr;
};
Asked ok_with_days(const Quillsave& program, HWND main, const char* days)
{
    Asked asked;
    asked.dialog = open_settings(program, main);
    if (asked.dialog == nullptr)
        return asked;
    type_days_and_ok(asked.dialog, days);
    asked.box = box_over(program, asked.dialog);
    return asked;
}

// Each typed text in a session of its own, then a pass and the end of the
// program, so that set.ini tells what OK kept. "abc" is refused and the
// box shows the kept value again.
TEST(VersionDays, TypedDaysAreReadAsTypedAndTextIsRefused)
{
    DaysBed bed("30");
    struct Step { const char* typed; const char* stored; bool refused; } steps[] = {
        {"６０日", "60", false}, {"100", "100", false}, {"abc", "100", true},
    };
    for (const Step& step : steps) {
        Quillsave program(bed.dir.path(), "");
        HWND main = start_with_yes(program);
        ASSERT_NE(main, nullptr);
        HWND dialog = open_settings(program, main);
        ASSERT_NE(dialog, nullptr) << step.typed;
        type_days_and_ok(dialog, step.typed);
        if (step.refused) {
            HWND box = box_over(program, dialog);
            ASSERT_NE(box, nullptr) << step.typed;
            EXPECT_NE(message_box_text(box).find("「以前のバージョン」は数字で"), std::string::npos)
                << message_box_text(box);
            click_button(box, IDOK);
            ASSERT_TRUE(wait_until([&] { return !IsWindow(box); }, kWindowWait));
            EXPECT_TRUE(IsWindow(dialog)) << "a refused text keeps the dialog open";
            EXPECT_EQ(days_shown(dialog), std::string(step.stored) + "日");
            PostMessageA(dialog, WM_COMMAND, IDC_SET_OK, 0);
        }
        ASSERT_TRUE(closes(dialog)) << step.typed;
        run_and_watch(main, kContinuous, 0);
        EXPECT_EQ(list_cell(main, 0, 3), "完") << step.typed;
        EXPECT_EQ(end_by_menu(program, main), 0);
        EXPECT_EQ(settings_value(read_file(bed.dir / "set.ini"), "version_days"), step.stored) << step.typed;
        EXPECT_EQ(read_file(bed.young), "five days") << step.typed;
        EXPECT_EQ(read_file(bed.old), "twenty days") << step.typed;
    }
}

// 30 to 7 days lets the twenty-day version go: asked, いいえ keeps the
// dialog open at 30 days and both versions; はい and a pass remove that one
// only. 0 after it asks nothing and removes none.
TEST(VersionDays, FewerDaysAskHowManyVersionsGo)
{
    DaysBed bed("30");
    Quillsave program(bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);

    Asked no = ok_with_days(program, main, "7日");
    ASSERT_NE(no.box, nullptr);
    EXPECT_EQ(message_box_text(no.box), "以前のバージョンを残す日数を7日にすると、\n以前のバージョンが1個消えます。\n"
                                        "よろしいですか？");
    click_button(no.box, IDNO);
    ASSERT_TRUE(wait_until([&] { return !IsWindow(no.box); }, kWindowWait));
    EXPECT_TRUE(IsWindow(no.dialog)) << "いいえ keeps the dialog open";
    EXPECT_EQ(days_shown(no.dialog), "30日");
    PostMessageA(no.dialog, WM_COMMAND, IDC_SET_OK, 0);
    ASSERT_TRUE(closes(no.dialog));
    run_and_watch(main, kContinuous, 0);
    EXPECT_TRUE(file_exists(bed.young));
    EXPECT_TRUE(file_exists(bed.old)) << "いいえ keeps it";

    Asked yes = ok_with_days(program, main, "7日");
    ASSERT_NE(yes.box, nullptr);
    click_button(yes.box, IDYES);
    ASSERT_TRUE(closes(yes.dialog));
    run_and_watch(main, kContinuous, 0);
    EXPECT_TRUE(file_exists(bed.young));
    EXPECT_FALSE(file_exists(bed.old)) << "past 7 days";

    HWND dialog = open_settings(program, main);
    ASSERT_NE(dialog, nullptr);
    type_days_and_ok(dialog, "0日");
    ASSERT_TRUE(closes(dialog)) << "0 removes none: nothing to ask";
    run_and_watch(main, kContinuous, 0);
    EXPECT_EQ(end_by_menu(program, main), 0);
    EXPECT_EQ(read_file(bed.young), "five days");
    EXPECT_EQ(settings_value(read_file(bed.dir / "set.ini"), "version_days"), "0");
}

}  // namespace
