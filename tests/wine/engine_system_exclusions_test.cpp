// Windows' lists of what a backup leaves out, read from the prefix's
// registry: values of the test's own (named after its process, since the
// prefix is shared by the tests running beside it) that name files in its
// own temporary folder only.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "base/handle_win.h"
#include "engine/exclusions.h"
#include "engine/system_exclusions_win.h"
#include "tests/wine/support.h"

namespace {

constexpr char kHiveList[] = "SYSTEM\\CurrentControlSet\\Control\\hivelist";

// A REG_SZ value's bytes, with its zero.
std::string one_string(const std::string& line)
{
    return line + '\0';
}

// The items listed in a folder that the system's exclusions leave out.
std::vector<std::string> left_out(const std::vector<SystemExclusion>& all, const std::string& folder)
{
    FolderExclusions here(all, folder.c_str(), folder.size());
    std::vector<std::string> out;
    for (const std::string& name : list_folder(folder)) {
        if (here.leaves_out(name.c_str(), name.size()))
            out.push_back(name);
    }
    return out;
}

bool whole(const std::vector<SystemExclusion>& all, const std::string& folder)
{
    return FolderExclusions(all, folder.c_str(), folder.size()).whole();
}

// The device a drive stands for, from a path on it ("C:\..." gives
// "\Device\HarddiskVolume1" under Wine).
std::string device_of(const std::string& path)
{
    char device[MAX_PATH] = {};
    std::string drive = path.substr(0, 2);
    EXPECT_NE(QueryDosDeviceA(drive.c_str(), device, sizeof device), 0u) << drive;
    return device;
}

}  // namespace

// Every string type is read, variables are expanded, a bad line (first, so
// that it cannot end the reading) and a value larger than any list Windows
// writes are passed over, and a value of another type is no list.
TEST(SystemExclusions, FilesNotToBackupLinesLeaveOutWhatTheyName)
{
    KeysToOneTest one;
    TempDir dir;
    for (const char* folder : {"cache\\deep", "notes", "logs", "big"})
        make_folder(dir / folder);
    for (const char* file : {"notes\\secret.dat", "notes\\other.dat", "logs\\a.log", "logs\\a.txt", "big\\x.txt",
                             "nofolder.txt", "kept.txt"})
        write_file(dir / file, "x");
    ASSERT_TRUE(SetEnvironmentVariableA("QS_TEST_DIR", dir.path().c_str()));
    std::vector<std::string> padding(7000, std::string(9, 'p'));
    padding.insert(padding.begin(), dir / "big\\x.txt");
    TestValue lines(kFilesNotToBackup, REG_MULTI_SZ,
                    multi_string({"nofolder.txt", "%QS_TEST_DIR%\\cache\\* /s", dir / "notes\\secret.dat"}));
    TestValue expand(kFilesNotToBackup, REG_EXPAND_SZ, one_string("%QS_TEST_DIR%\\logs\\*.log"));
    TestValue plain(kFilesNotToBackup, REG_SZ, one_string(dir / "kept.txt"));
    TestValue binary(kFilesNotToBackup, REG_BINARY, one_string(dir / "nofolder.txt"));
    TestValue too_large(kFilesNotToBackup, REG_MULTI_SZ, multi_string(padding));

    std::vector<SystemExclusion> all = read_system_exclusions();
    EXPECT_TRUE(whole(all, dir / "cache"));
    EXPECT_TRUE(whole(all, dir / "cache\\deep"));
    EXPECT_FALSE(whole(all, dir.path()));
    struct Case {
        const char* folder;
        std::vector<std::string> left_out;
    } cases[] = {
        {"notes", {"secret.dat"}},
        {"logs", {"a.log"}},
        {"big", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(left_out(all, dir / c.folder), c.left_out) << c.folder;
    EXPECT_EQ(left_out(all, dir.path()), std::vector<std::string>{"kept.txt"});
}

// A loaded hive's device path is mapped to its drive (the device's name in
// any case), and the hive and its logs are left out, not a neighbour; a
// value naming no file or no drive is passed over.
TEST(SystemExclusions, HiveListLeavesOutTheHiveAndItsLogs)
{
    KeysToOneTest one;
    TempDir dir;
    for (const char* file : {"NTUSER.DAT", "NTUSER.DAT.LOG1", "NTUSER.DAT.LOG2", "NTUSER.DAT.txt", "other.dat",
                             "LOWER.DAT", "ELSEWHERE.DAT"})
        write_file(dir / file, "x");
    std::string device = device_of(dir.path());
    ASSERT_FALSE(device.empty());
    std::string lower = device;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
    std::string below_drive = dir.path().substr(2);
    TestValue hive(kHiveList, REG_SZ, one_string(device + below_drive + "\\NTUSER.DAT"));
    TestValue lower_case(kHiveList, REG_SZ, one_string(lower + below_drive + "\\LOWER.DAT"));
    TestValue no_file(kHiveList, REG_SZ, one_string(""));
    TestValue no_drive(kHiveList, REG_SZ, one_string("\\Device\\NoSuchVolume" + below_drive + "\\ELSEWHERE.DAT"));

    std::vector<SystemExclusion> all = read_system_exclusions();
    EXPECT_EQ(left_out(all, dir.path()),
              (std::vector<std::string>{"LOWER.DAT", "NTUSER.DAT", "NTUSER.DAT.LOG1", "NTUSER.DAT.LOG2"}));
}

// A line written with short names (a long user name's %TEMP%) leaves out
// the folder the walk lists by its long name.
TEST(SystemExclusions, ShortFolderOfALineIsReadAsTheLongOne)
{
    KeysToOneTest one;
    TempDir dir;
    std::string folder = dir / "Long Folder Name";
    make_folder(folder + "\\inner");
    char short_path[MAX_PATH] = {};
    DWORD n = GetShortPathNameA(folder.c_str(), short_path, sizeof short_path);
    ASSERT_GT(n, 0u);
    ASSERT_LT(n, sizeof short_path);
    if (folder == short_path)
        GTEST_SKIP() << "this volume gives no short names: " << folder;
    TestValue line(kFilesNotToBackup, REG_SZ, one_string(std::string(short_path) + "\\* /s"));

    std::vector<SystemExclusion> all = read_system_exclusions();
    EXPECT_TRUE(whole(all, folder)) << short_path;
    EXPECT_TRUE(whole(all, folder + "\\inner"));
    EXPECT_FALSE(whole(all, dir.path()));
}
