// The rule that tells a name code page 932 cannot hold, and the name such an
// item is listed under. The conversions are those the system gives (measured
// under Wine): best-fit letters put in only without WC_NO_BEST_FIT_CHARS,
// "?" for what has no form.
#include <gtest/gtest.h>

#include <string>

#include "base/listed_name.h"

namespace {

struct ReachCase {
    const char* what;
    NameConversion own;
    NameConversion short_name;
    NameReach reach;
    const char* name;  // the name listed
};

const std::string kLongName(260, 'a');  // one byte past a field

const ReachCase kReachCases[] = {
    {"plain name, no short name", {"plain.txt", false, true}, {"", false, true}, NameReach::own_name, "plain.txt"},
    {"Shift-JIS name with 0x5C trail bytes", {"\x83\x5C\x95\x5C.txt", false, true}, {"", false, true},
     NameReach::own_name, "\x83\x5C\x95\x5C.txt"},
    {"long plain name keeps its own name", {"longername_plain.txt", false, true}, {"LONG~WMH.TXT", false, true},
     NameReach::own_name, "longername_plain.txt"},
    {"a name with an accent listed as caf?", {"caf?.txt", true, false}, {"CAF_~CRT.TXT", false, true}, NameReach::short_name,
     "CAF_~CRT.TXT"},
    {"a best-fit letter that slipped in reads back as another name", {"cafe.txt", false, false},
     {"CAF_~CRT.TXT", false, true}, NameReach::short_name, "CAF_~CRT.TXT"},
    {"Hangul folder", {"??", true, false}, {"__~~~4ND", false, true}, NameReach::short_name, "__~~~4ND"},
    {"emoji without a short name", {"??.txt", true, false}, {"", false, true}, NameReach::none, "??.txt"},
    {"best fit without a short name gets a ?", {"cafe.txt", false, false}, {"", false, true}, NameReach::none,
     "?cafe.txt"},
    {"a short name the code page cannot hold either", {"??", true, false}, {"?~1", true, false}, NameReach::none,
     "??"},
    {"a conversion that failed", {"", false, false}, {"", false, false}, NameReach::none, "?"},
    {"own name past 259 bytes", {kLongName.c_str(), false, true}, {"AAAAAA~1", false, true},
     NameReach::short_name, "AAAAAA~1"},
    {"own name past 259 bytes without a short name", {kLongName.c_str(), false, true}, {"", false, true},
     NameReach::none, nullptr},
};

TEST(ListedName, ReachByOwnOrShortNameOrNone)
{
    for (const ReachCase& c : kReachCases) {
        char out[kFieldSize];
        EXPECT_EQ(reach_name(out, c.own, c.short_name), c.reach) << c.what;
        if (c.name != nullptr) {
            EXPECT_STREQ(out, c.name) << c.what;
        }
        // A name that cannot reach the item is never taken for one that can.
        EXPECT_EQ(is_unreachable_name(out), c.reach == NameReach::none) << c.what;
    }
}

TEST(ListedName, UnreachableNamesAndPaths)
{
    struct {
        const char* text;
        bool unreachable;
    } cases[] = {
        {"C:\\src\\__~~~4ND\\inside.txt", false},
        {"C:\\src\\??\\inside.txt", true},
        {"*.*", true},
        {"\x83\x5C\x95\x5C\\\x83\x5C.txt", false},  // ソ表\ソ.txt: trail bytes 0x5C, never "?"
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(is_unreachable_name(c.text), c.unreachable) << c.text;
}

}  // namespace
