// Where the help pages are looked for: the folder "help" beside the program.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/help_pages.h"

TEST(HelpPages, PageBesideTheProgramWithinTheFieldBound)
{
    // index.html in "help\": the folder part may be 244 bytes at most.
    const std::string at_bound = "C:\\" + std::string(240, 'f') + "\\";
    ASSERT_EQ(at_bound.size(), 244u);
    struct Case {
        std::string module;
        const char* page;
        bool found;
        std::string path;
    } cases[] = {
        {"C:\\Quillsave\\quillsave.exe", kHelpPage, true, "C:\\Quillsave\\help\\help.html"},
        {"C:\\quillsave.exe", kHomePage, true, "C:\\help\\index.html"},
        // A 0x5C trail byte in the program's name (ソ 83 5C) is no separator.
        {"C:\\app\\ソ.exe", kHelpPage, true, "C:\\app\\help\\help.html"},
        {"D:\\ソフト\\表\\q.exe", kHomePage, true, "D:\\ソフト\\表\\help\\index.html"},
        {"\\\\server\\share\\q.exe", kHelpPage, true, "\\\\server\\share\\help\\help.html"},
        {"quillsave.exe", kHelpPage, false, ""},
        {"ソ.exe", kHelpPage, false, ""},
        {at_bound + "q.exe", kHomePage, true, at_bound + "help\\index.html"},
        {"C:\\" + std::string(241, 'f') + "\\q.exe", kHomePage, false, ""},
        {"C:\\" + std::string(300, 'f') + "\\q.exe", kHelpPage, false, ""},
    };
    for (const auto& c : cases) {
        char out[kFieldSize];
        out[0] = 'x';
        EXPECT_EQ(help_page_path(out, c.module.c_str(), c.page), c.found) << c.module;
        EXPECT_EQ(std::string(out), c.path) << c.module;
        EXPECT_LE(std::string(out).size(), kMaxText);
    }
}
