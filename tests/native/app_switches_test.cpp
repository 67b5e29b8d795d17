#include "app/switches.h"

#include <gtest/gtest.h>

struct SwitchCase {
    const char* arguments;
    int auto_start;
};

// Every form the command line can take: the letters in either case, the last
// switch winning, letters consumed after "/", and texts that are no switch.
TEST(ParseSwitches, GivesTheLastSwitchFound)
{
    const SwitchCase cases[] = {
        {"", 0},         {"/b", 1},        {"/B", 1},       {"/t", 2},      {"/T", 2},
        {"/s", 3},       {"/S", 3},        {"-B", 0},       {"/X", 0},      {"B", 0},
        {"/T/S", 3},     {"/S /T", 2},     {"x/Sy", 3},     {"/BT", 1},     {"/", 0},
        {"/B /", 1},     {"//B", 0},       {"/B/x", 1},     {"a b /t c", 2}, {"/S/X", 3},
        {"\"C:\\ソース\\\" /b", 1},
    };
    for (const SwitchCase& c : cases)
        EXPECT_EQ(parse_switches(c.arguments), c.auto_start) << "arguments: " << c.arguments;
}

TEST(ParseSwitches, NoArgumentsMeansNoSwitch)
{
    EXPECT_EQ(parse_switches(nullptr), 0);
}
