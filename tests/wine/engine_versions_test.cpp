// Old versions on real files: what the settings dialog is told will go when
// the days are lowered, counted as a pass would remove them.
#include <gtest/gtest.h>

#include <string>

#include "engine/versions.h"
#include "tests/wine/support.h"

namespace {

const ReportTime kNow{2026, 12, 9, 15, 30, 12};

std::string named(const char* name, const ReportTime& when)
{
    std::string out;
    version_name(out, name, when, 259);
    return out;
}

// Versions at the root and two folders deep, beside a user's own file and a
// folder named like a version: only versions by their names count.
TEST(VersionsOnDisk, CountedDeepByTheirNamesAndAge)
{
    TempDir dir;
    std::string root = dir / "以前のバージョン";
    make_folder(root + "\\d\\ソ");
    write_file(root + "\\" + named("a.txt", {2026, 12, 4, 0, 0, 0}), "5 days");
    write_file(root + "\\" + named("a.txt", {2026, 11, 19, 0, 0, 0}), "20 days");
    write_file(root + "\\d\\ソ\\" + named("表.doc", {2026, 10, 1, 0, 0, 0}), "69 days");
    write_file(root + "\\d\\note 2020-01-01.txt", "the user's own");
    make_folder(root + "\\" + named("dir", {2020, 1, 1, 0, 0, 0}));
    struct Case { int days; int past; } cases[] = {{30, 1}, {7, 2}, {1, 3}, {365, 0}, {0, 0}, {-1, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(count_versions_past(root.c_str(), kNow, c.days), c.past) << c.days;
    EXPECT_EQ(count_versions_past((dir / "none").c_str(), kNow, 1), 0);
    EXPECT_EQ(list_folder(root).size(), 4u) << "counting removes nothing";
}

}  // namespace
