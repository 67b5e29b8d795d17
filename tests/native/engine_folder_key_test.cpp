// The spellings of one folder that the walk must take for the backup folder,
// and the near spellings of other folders it must not.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/folder_key.h"
#include "engine/versions.h"

TEST(FolderKey, SpellingsOfOneFolderComeToOneKey)
{
    struct Case { const char* path; const char* key; } cases[] = {
        // A drive root as the folder browser gives it, as typed, doubled.
        {"R:\\", "R:"},
        {"R:", "R:"},
        {"r:\\\\", "R:"},
        // The walk puts a separator after a source ending in one.
        {"R:\\\\Backup", "R:\\BACKUP"},
        {"R:\\Backup\\", "R:\\BACKUP"},
        // 書 is 8F 91: its 0x91 is in the lead-byte range, yet the 0x5C after
        // it is a separator, read by characters.
        {"C:\\文書\\", "C:\\文書"},
        {"C:\\文書\\\\Backup", "C:\\文書\\BACKUP"},
        // ソ (83 5C) and 表 (95 5C) end in 0x5C that is no separator.
        {"C:\\ソ", "C:\\ソ"},
        {"C:\\表\\", "C:\\表"},
        {"C:\\表\\x", "C:\\表\\X"},
        // A share's root, as source and with a folder below it.
        {"\\\\server\\share", "\\\\SERVER\\SHARE"},
        {"\\\\server\\share\\", "\\\\SERVER\\SHARE"},
        {"\\\\Server\\Share\\Backup", "\\\\SERVER\\SHARE\\BACKUP"},
        // "." and "..", never above the root.
        {"C:\\data\\.\\Backup", "C:\\DATA\\BACKUP"},
        {"C:\\data\\x\\..\\Backup", "C:\\DATA\\BACKUP"},
        {"C:\\..\\data", "C:\\DATA"},
        {"\\\\s\\share\\..\\b", "\\\\S\\SHARE\\B"},
        {"C:\\data\\..", "C:"},
        // A name that only begins with dots is a name.
        {"C:\\data\\..git\\.x", "C:\\DATA\\..GIT\\.X"},
        // The trail byte of ア (83 41) is no letter to fold: 83 61 stays.
        {"c:\\\x83\x61", "C:\\\x83\x61"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(folder_key(c.path), std::string(c.key)) << c.path;
}

TEST(FolderKey, SameFolderKeepsApartWhatIsApart)
{
    struct Case { const char* a; const char* b; bool same; } cases[] = {
        {"C:\\Users\\taro\\backup", "c:\\users\\TARO\\Backup\\", true},
        {"R:\\", "R:", true},
        {"R:\\\\Backup", "r:\\backup", true},
        {"C:\\文書\\", "C:\\文書", true},
        {"\\\\nas\\share\\ソ", "\\\\NAS\\share\\ソ", true},
        {"C:\\data\\x\\..\\Backup", "C:\\data\\Backup", true},
        {"C:\\a\\backup", "C:\\a\\backup2", false},
        {"C:\\ア", "C:\\\x83\x61", false},
        // ソ ends in 0x5C: it is not "ソ's lead byte" with a separator.
        {"C:\\ソ", "C:\\\x83", false},
        {"R:\\Backup", "S:\\Backup", false},
        {"\\\\s\\share\\Backup", "\\\\s\\other\\Backup", false},
        {"C:\\data", "C:\\data\\Backup", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(same_folder(c.a, c.b), c.same) << c.a << " | " << c.b;
}

TEST(FolderKey, ListedNameAgainstTheKeysLastName)
{
    const std::string key = folder_key("C:\\data\\文書\\Backup");
    const std::string last = key.substr(last_name_start(key));
    EXPECT_EQ(last, "BACKUP");
    struct Case { const char* name; bool matches; } cases[] = {
        {"Backup", true}, {"BACKUP", true}, {"backup", true}, {"Backup2", false}, {"Backu", false}, {"文書", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(name_matches(c.name, std::strlen(c.name), last.data(), last.size()), c.matches) << c.name;
    const std::string japanese = folder_key("C:\\ア");
    EXPECT_EQ(japanese.substr(last_name_start(japanese)), "ア");
    EXPECT_FALSE(name_matches("\x83\x61", 2, "ア", 2)) << "a trail byte is no letter";
    EXPECT_TRUE(name_matches("ア", 2, "ア", 2));
}
