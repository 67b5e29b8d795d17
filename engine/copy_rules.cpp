// The parts of the copies that need no operating system: the temporary
// path, the up-to-date test and the mark of a kept part, the correction of
// the copy settings.
#include <cstring>

#include "engine/copy_rules.h"
#include "engine/settings_table.h"

bool copy_temp_path(char (&out)[kFieldSize], const char* destination)
{
    std::size_t folder = folder_part_length(destination);
    if (std::strcmp(destination + folder, kCopyTempName) == 0 ||
        folder + sizeof kCopyTempName - 1 > kMaxText) {
        out[0] = 0;
        return false;
    }
    std::memcpy(out, destination, folder);
    std::memcpy(out + folder, kCopyTempName, sizeof kCopyTempName);
    return true;
}

// How much older than its source a backup may be and still count as its
// copy, in FILETIME ticks of 100 ns. The disks keep times coarser than the
// source's: FAT32 to 2 s, rounded down; exFAT to 10 ms on Windows and to the
// second through the FUSE driver under Wine; some shares round too. A copy
// there always ends up a little older than its source; without the window
// each pass would copy every unchanged file again and keep the backup before
// as an old version. 2 s, FAT32's own step, covers them all; the volume's
// file system is not asked, as a share that rounds tells nothing of it.
//
// What this misses: a file saved again within 2 s after its backup was
// taken, at the same size (the standby copy compares sizes; the continuous
// copy, as xcopy /D, only times). The next save of it moves its time past
// the window and it is copied then, so the change is only late, never lost.
// A forced copy is never current, window or not.
constexpr unsigned long long kTimeWindow = 2ull * 10000000ull;

bool backup_up_to_date(unsigned long long source_written, unsigned long long backup_written, bool same_size,
                       int force)
{
    if (force == 1 || !same_size)
        return false;
    return source_written <= backup_written || source_written - backup_written <= kTimeWindow;
}

bool is_program_file_name(const char* name)
{
    return std::strcmp(name, kCopyTempName) == 0 || std::strcmp(name, kRestoreTempName) == 0;
}

bool within_time_window(unsigned long long a, unsigned long long b)
{
    return (a > b ? a - b : b - a) <= kTimeWindow;
}

static char* put_number(char* at, unsigned long long value)
{
    for (int i = 0; i < 8; ++i)
        *at++ = static_cast<char>(value >> (8 * i));
    return at;
}

static char* put_path(char* at, const char* path)
{
    const void* end = std::memchr(path, 0, kMaxText);
    std::size_t length = end ? static_cast<const char*>(end) - path : kMaxText;
    std::memset(at, 0, kFieldSize);
    std::memcpy(at, path, length);
    return at + kFieldSize;
}

void format_kept_mark(KeptMark& mark, const char* source, const char* destination, unsigned long long length,
                      unsigned long long written)
{
    static const char kTag[8] = {'Q', 'S', 'V', 'K', 'E', 'P', 'T', '1'};
    char* at = mark.bytes;
    std::memcpy(at, kTag, sizeof kTag);
    at = put_number(at + sizeof kTag, length);
    at = put_number(at, written);
    at = put_path(at, source);
    put_path(at, destination);
}

int correct_copy_settings(Settings& settings)
{
    settings.data_size = kept_in(row_of(&Settings::data_size).run, settings.data_size);
    settings.data_time = kept_in(row_of(&Settings::data_time).run, settings.data_time);
    return settings.data_size;
}

unsigned pause_milliseconds(int data_time)
{
    // 0xFFFFFFFF is the infinite wait; the longest pause stays below it.
    constexpr unsigned kLongestSeconds = 0xFFFFFFFEu / 1000u;
    if (data_time <= 0)
        return 0;
    unsigned seconds = static_cast<unsigned>(data_time);
    return (seconds > kLongestSeconds ? kLongestSeconds : seconds) * 1000u;
}
