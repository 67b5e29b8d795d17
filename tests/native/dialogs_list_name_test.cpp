// The ".csv" rule of the list dialogs.
#include <gtest/gtest.h>

#include <string>

#include "base/notify.h"
#include "dialogs/list_name.h"

TEST(CsvExtension, CutsTheFileNameAtItsLastDot)
{
    struct Case { const char* chosen; const char* result; } cases[] = {
        {"C:\\d\\list.txt", "C:\\d\\list.csv"},
        {"C:\\d\\list", "C:\\d\\list.csv"},
        {"C:\\d\\backup.2016.csv", "C:\\d\\backup.2016.csv"},
        {"C:\\d\\list.v2.txt", "C:\\d\\list.v2.csv"},
        {"C:\\a.b\\list", "C:\\a.b\\list.csv"},      // a dot in a folder is left alone
        {"C:\\x.表y", "C:\\x.csv"},                  // 95 5C is no separator
        {"C:\\表\\a.b", "C:\\表\\a.csv"},
        {"C:\\a.b\\ソ", "C:\\a.b\\ソ.csv"},
        {"list.", "list.csv"},
        {"", ".csv"},
    };
    for (const auto& c : cases) {
        char path[kFieldSize];
        copy_field(path, c.chosen);
        EXPECT_TRUE(force_csv_extension(path)) << c.chosen;
        EXPECT_STREQ(path, c.result) << c.chosen;
    }
}

TEST(CsvExtension, RefusesAPathThatCannotTakeTheExtension)
{
    char path[kFieldSize];
    std::string fits = "C:\\" + std::string(kMaxText - 3 - 4, 'n');  // 255 bytes + ".csv"
    copy_field(path, fits.c_str());
    ASSERT_TRUE(force_csv_extension(path));
    EXPECT_EQ(std::string(path), fits + ".csv");

    std::string too_long = fits + "n";
    copy_field(path, too_long.c_str());
    EXPECT_FALSE(force_csv_extension(path));
    EXPECT_EQ(std::string(path), too_long);
    // Cutting a long extension makes room.
    std::string long_ext = "C:\\n." + std::string(kMaxText - 5, 'e');
    copy_field(path, long_ext.c_str());
    ASSERT_TRUE(force_csv_extension(path));
    EXPECT_STREQ(path, "C:\\n.csv");
}

// A chosen path too long for ".csv" is told, never dropped without a word,
// and the current list file name stays.
TEST(CsvExtension, ChosenPathThatCannotTakeTheExtensionIsTold)
{
    std::string fits = "C:\\" + std::string(kMaxText - 3 - 4, 'n');
    struct Case { std::string chosen; bool taken; std::string current; } cases[] = {
        {fits + ".txt", true, fits + ".csv"},
        {fits + "n", false, "C:\\old.csv"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> told;
        Notifier messages;
        messages.show_message = [&](const char* text, const char* caption, MessageKind kind, MessageOwner) {
            told.push_back(std::string(text) + "|" + caption + "|" + (kind == MessageKind::exclamation ? "!" : "?"));
        };
        char current[kFieldSize] = "C:\\old.csv";
        EXPECT_EQ(take_chosen_list_file(current, c.chosen.c_str(), messages), c.taken);
        EXPECT_EQ(std::string(current), c.current);
        std::vector<std::string> expected;
        if (!c.taken)
            expected.push_back(c.chosen + "のﾌｧｲﾙが開けません|CreateFile|!");
        EXPECT_EQ(told, expected);
    }
}
