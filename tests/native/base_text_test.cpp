// Shift-JIS separator rule, bounded copies and joins, atoi compatibility.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/text.h"

TEST(SeparatorRule, TrailBytesOfDoubleByteCharactersAreNotSeparators)
{
    struct Case { const char* text; bool ends; } cases[] = {
        {"D:\\", true},
        {"\\", true},
        {"D:\\data", false},
        {"", false},
        {"ソ", false},           // 83 5C
        {"表", false},           // 95 5C
        {"D:\\ソ", false},
        {"D:\\表\\", true},
        {"\x83", false},         // a lead byte as the last byte
        {"a\x83\\", false},      // 83 5C read as one character
        {"\xE0\\", false},
        {"\xFC\\", false},
        {"\xA0\\", true},        // half-width katakana range is not a lead byte
        {"\x80\\", true},
        {"\xFD\\", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ends_in_separator(c.text), c.ends) << c.text;
}

namespace {

const char* kind_name(RootKind kind)
{
    switch (kind) {
    case RootKind::none: return "none";
    case RootKind::drive: return "drive";
    case RootKind::share: return "share";
    case RootKind::unusable: return "unusable";
    }
    return "?";
}

}  // namespace

TEST(PathRoot, ADriveOrAWholeShareReadByCharacters)
{
    struct Case { const char* path; RootKind kind; const char* root; } cases[] = {
        {"C:\\", RootKind::drive, "C:"},
        {"C:\\a\\b", RootKind::drive, "C:"},
        {"\\\\nas\\backup", RootKind::share, "\\\\nas\\backup"},
        {"\\\\nas\\backup\\", RootKind::share, "\\\\nas\\backup"},
        {"\\\\nas\\backup\\pc1\\a", RootKind::share, "\\\\nas\\backup"},
        {"\\\\nas\\ソ\\pc1", RootKind::share, "\\\\nas\\ソ"},     // share 83 5C
        {"\\\\nas\\表ソ", RootKind::share, "\\\\nas\\表ソ"},
        {"\\\\nas\\backup\\表\\a", RootKind::share, "\\\\nas\\backup"},
        {"\\\\表\\ソ\\a", RootKind::share, "\\\\表\\ソ"},       // server 95 5C
        {"\\\\nas", RootKind::unusable, ""},
        {"\\\\nas\\", RootKind::unusable, ""},
        {"\\\\nas\\\\backup", RootKind::unusable, ""},           // an empty share name
        {"\\\\ソ", RootKind::unusable, ""},
        {"\\\\", RootKind::unusable, ""},
        {"\\\\\\x\\y", RootKind::unusable, ""},
        {"\\\\?\\C:\\x", RootKind::unusable, ""},
        {"\\\\.\\pipe\\x", RootKind::unusable, ""},
        {"\\\\?x\\share", RootKind::share, "\\\\?x\\share"},       // only "?" alone is the device form
        {"\\x\\y", RootKind::none, ""},
        {"data\\x", RootKind::none, ""},
        {"", RootKind::none, ""},
    };
    for (const auto& c : cases) {
        PathRoot root = path_root(c.path);
        EXPECT_STREQ(kind_name(root.kind), kind_name(c.kind)) << c.path;
        EXPECT_EQ(std::string(c.path, root.length), c.root) << c.path;
    }
}

TEST(SeparatorRule, JoinAddsSeparatorAfterTrailByte)
{
    char out[kFieldSize];
    ASSERT_TRUE(join_path(out, "D:\\ソ", "a.txt"));
    EXPECT_STREQ(out, "D:\\ソ\\a.txt");
    ASSERT_TRUE(join_path(out, "D:\\", "a.txt"));
    EXPECT_STREQ(out, "D:\\a.txt");
    ASSERT_TRUE(join_path(out, "D:\\data", "a.txt"));
    EXPECT_STREQ(out, "D:\\data\\a.txt");
    ASSERT_TRUE(join_path(out, "\\", "x"));
    EXPECT_STREQ(out, "\\x");
    ASSERT_TRUE(join_path(out, "", "x"));
    EXPECT_STREQ(out, "\\x");
}

TEST(SeparatorRule, JoinRefusesToExceed259Bytes)
{
    char out[kFieldSize];
    std::string folder(250, 'f');
    ASSERT_TRUE(join_path(out, folder.c_str(), "12345678"));  // 250 + 1 + 8 = 259
    EXPECT_EQ(std::strlen(out), 259u);
    EXPECT_FALSE(join_path(out, folder.c_str(), "123456789"));  // 260
    EXPECT_STREQ(out, "");
    std::string full(259, 'f');
    EXPECT_FALSE(join_path(out, full.c_str(), "a"));
    // In place: out may be one of the inputs.
    std::strcpy(out, "C:\\a");
    ASSERT_TRUE(join_path(out, out, "b"));
    EXPECT_STREQ(out, "C:\\a\\b");
    ASSERT_TRUE(append_path(out, "D:\\x", "\\a\\b"));
    EXPECT_STREQ(out, "D:\\x\\a\\b");
    EXPECT_FALSE(append_path(out, full.c_str(), "\\a"));
}

TEST(BoundedCopy, NeverOverrunsAndNeverSplitsACharacter)
{
    char field[kFieldSize];
    std::memset(field, 'z', sizeof field);
    std::string text(259, 'a');
    EXPECT_TRUE(copy_field(field, text.c_str()));
    EXPECT_EQ(std::strlen(field), 259u);
    text += 'b';
    EXPECT_FALSE(copy_field(field, text.c_str()));
    EXPECT_EQ(std::strlen(field), 259u);

    // 258 ASCII bytes then ソ: the character would need bytes 259 and 260.
    std::string sjis(258, 'a');
    sjis += "ソ";
    EXPECT_FALSE(copy_field(field, sjis.c_str()));
    EXPECT_EQ(std::strlen(field), 258u);

    char small[4];
    EXPECT_FALSE(copy_text(small, sizeof small, "表表"));
    EXPECT_STREQ(small, "表");
    EXPECT_TRUE(copy_text(small, sizeof small, "abcdef", 3));
    EXPECT_STREQ(small, "abc");
}

TEST(AtoiCompat, ReadsAsTheCLibraryDoes)
{
    struct Case { const char* text; std::int32_t value; } cases[] = {
        {" -12abc", -12}, {"+", 0}, {"", 0}, {"-", 0}, {"abc", 0},
        {"\t\n\v\f\r 42", 42}, {"+7", 7}, {"0012", 12}, {"- 5", 0}, {"--5", 0},
        {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
        {"2147483648", INT32_MIN},      // wraps modulo 2^32
        {"4294967297", 1}, {"-4294967295", 1},
        {"99999999999999999999", 1661992959},  // 10^20 mod 2^32
    };
    for (const auto& c : cases)
        EXPECT_EQ(atoi_compat(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(atoi_compat("123", 2), 12);  // a length bound stops the digits
}
