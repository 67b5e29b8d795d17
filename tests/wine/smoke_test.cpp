#include <gtest/gtest.h>
#include <windows.h>
TEST(WineSmoke, CodePageIs932) { EXPECT_EQ(GetACP(), 932u); }
