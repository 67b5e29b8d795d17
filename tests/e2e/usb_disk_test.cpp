// Backups on a USB disk formatted FAT32 or exFAT, through the real program.
// Those file systems keep coarser times than the source's (FAT32 2 s,
// rounded down; this FUSE exFAT driver whole seconds), so every backup
// there is a little older than its source: the passes after the first must
// still find an unchanged tree current, copy nothing and keep no old
// version.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "tests/e2e/bed.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/program_files.h"
#include "tests/wine/support.h"

namespace {

// A disk image of the kind mounted at QS_USB_DISK for one test
// (tests/e2e/usb_disk.sh), unmounted and removed at its end.
class UsbDisk {
public:
    explicit UsbDisk(const std::string& kind)
    {
        mounted_ = run_on_host(tool_ + " mount " + kind + " '" + folder_ + "'") == 0;
    }
    ~UsbDisk() { run_on_host(tool_ + " umount '" + folder_ + "'"); }
    UsbDisk(const UsbDisk&) = delete;
    UsbDisk& operator=(const UsbDisk&) = delete;
    bool mounted() const { return mounted_; }
    std::string windows_path() const { return host_path(folder_); }

private:
    std::string tool_ = std::string("bash '") + QS_USB_DISK_TOOL + "'";
    std::string folder_ = QS_USB_DISK;
    bool mounted_;
};

// The files below a folder, in its subfolders too.
int files_below(const std::string& folder)
{
    int count = 0;
    for (const std::string& name : list_folder(folder)) {
        std::string path = folder + "\\" + name;
        count += folder_exists(path) ? files_below(path) : 1;
    }
    return count;
}

using UsbCase = std::tuple<const char*, RunKind>;
class UsbDiskByRunKind : public ::testing::TestWithParam<UsbCase> {};

std::string usb_case_name(const ::testing::TestParamInfo<UsbCase>& info)
{
    return std::string(std::get<0>(info.param)) + std::get<1>(info.param).name;
}

// ASCII names: fusefat makes no others (Windows' FAT32 does).
const char* const kTree[] = {"a.txt", "report.doc", "d\\b.txt", "d\\c.bin", "d\\e\\f.txt", "d\\e\\g.txt"};
constexpr unsigned long long kSecond = 10000000ull;  // FILETIME ticks
constexpr unsigned long long kEvenSecond = 132000000000000000ull;

TEST_P(UsbDiskByRunKind, UnchangedFilesAreNotCopiedAgain)
{
    const std::string kind = std::get<0>(GetParam());
    const RunKind run = std::get<1>(GetParam());
    UsbDisk disk(kind);
    if (!disk.mounted())
        GTEST_SKIP() << "no " << kind << " disk at " << QS_USB_DISK << ": mounting through FUSE needs root and /dev/fuse";
    Bed bed(disk.windows_path() + "\\backup");
    ASSERT_TRUE(folder_exists(bed.backup));
    for (unsigned long long i = 0; i < std::size(kTree); ++i) {
        bed.file(kTree[i], std::string("bytes of ") + kTree[i]);
        // An odd second and a part of one (up to 0.74 s): the disk keeps
        // less of both.
        set_file_times(bed.source + "\\" + kTree[i], kEvenSecond + (2 * i + 1) * kSecond + (i + 1) * 1234567);
    }
    bed.program_files(list_line("*.*", bed.source, bed.backup));

    Quillsave program(bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    for (int pass = 0; pass < 3; ++pass) {
        run_and_watch(main, run.command, 0);
        EXPECT_EQ(list_cell(main, 0, 3), "完") << "pass " << pass;
    }
    EXPECT_EQ(end_by_menu(program, main), 0);

    std::string report = read_file(bed.dir / "quillsave.log");
    std::vector<std::string> ends = lines_with(report, "\t完了\t");
    ASSERT_EQ(ends.size(), 3u) << report;
    EXPECT_NE(ends[0].find("コピー 6件\t最新 0件\tバックアップできず 0件"), std::string::npos) << report;
    for (int pass = 1; pass < 3; ++pass) {
        EXPECT_NE(ends[pass].find("コピー 0件\t最新 6件\tバックアップできず 0件"), std::string::npos) << ends[pass];
        EXPECT_NE(ends[pass].find("以前のバージョン 残した 0件"), std::string::npos) << ends[pass];
    }
    EXPECT_EQ(files_below(bed.backup + "\\以前のバージョン"), 0);
    for (const char* name : kTree) {
        std::string backup = bed.backup + "\\" + name;
        EXPECT_EQ(read_file(backup), std::string("bytes of ") + name);
        // The disk's time is the source's cut, never later, never 2 s off.
        // Only fusefat gives a file the time of its move (Windows' FAT32
        // keeps it), and the continuous copy sets no times after the move.
        if (kind == "fat32" && run.command == kContinuous)
            continue;
        unsigned long long source_time = last_write_time(bed.source + "\\" + name);
        EXPECT_LE(last_write_time(backup), source_time) << name;
        EXPECT_GT(last_write_time(backup) + 2 * kSecond, source_time) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(UsbDisk, UsbDiskByRunKind,
                         ::testing::Combine(::testing::Values("fat32", "exfat"), ::testing::ValuesIn(kRunKinds)),
                         usb_case_name);

}  // namespace
