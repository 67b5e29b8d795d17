// Copy routines of a backup step and their outcome codes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "base/text.h"

struct Engine;
struct Settings;

enum CopyResult {
    copy_done = 0,           // "完"  copied, or up to date and left alone
    copy_read_error = 1,     // "読e" source cannot be opened (or read)
    copy_create_error = 2,   // "作e" destination cannot be created
    copy_write_error = 3,    // "書e" writing the destination failed
    copy_stopped = 4,        // "終"  the run was stopped during the copy
    copy_folder_error = 5,   // "棚e" destination folders cannot be made
};

// Status text of a result, as written into the file status column.
const char* copy_result_text(int result);

// What the last copy did beyond its result, for the report: whether it
// wrote a backup (not up to date), how many bytes, and on a failure the
// system's error code of the call that failed (0 when none is known).
struct CopyDetail {
    bool copied = false;
    // The bytes a standby copy read (bytes_known); the continuous copy
    // leaves them to the listing, which saw the size without a call.
    bool bytes_known = false;
    std::uint64_t bytes = 0;
    unsigned long error = 0;
    bool replaced = false;      // an old backup was there and was replaced
    bool kept_version = false;  // it went to the folder of old versions
    // Why a backup that was to be kept as an old version could not be (the
    // system's code); it was replaced all the same.
    unsigned long keep_error = 0;
};

constexpr int kCopyBufferSize = 1050624;  // 1 MiB and 2 KiB

// Both copies write into this file in the destination folder and move it over
// the destination only when it is whole, so a failed or stopped copy leaves
// the old destination as it was. The "$" and the fixed name keep it apart from
// a user's files; a copy cut off by a power cut, or a standby copy cut off by
// a stop (see KeptMark), leaves it behind, and the next copy into that folder
// overwrites it or goes on from it, and moves it away (walk_files never lists
// it, so it is not backed up again from a backup folder). One name per folder
// keeps at most one such file there, whatever the run leaves unfinished.
constexpr char kCopyTempName[] = "~qsv$.tmp";
// The temporary file a restore writes beside its target before the move.
// Not the copies' name: a restore into a backup folder must never take a
// kept standby copy for its own.
constexpr char kRestoreTempName[] = "~qsv$restore.tmp";
// Whether a listed name is one of these two, the program's own and no file
// of the user's: never backed up, watched or restored.
bool is_program_file_name(const char* name);

// A standby copy cut off by a stop keeps its temporary file: the bytes copied
// so far, then this mark of where they came from (the source and destination
// paths, names included, as files of one archive share size and time; the
// source's length and last-write time). The next standby copy goes on after
// those bytes only when the mark it would write itself ends the file and the
// bytes are not more than the source holds; any other file of that name is
// made anew, so a part is never joined to another file's bytes. A part that
// holds all the source's bytes (its move failed, or a stop came after its
// last chunk) is only moved. Only the temporary file carries it: nothing in
// the working folder or the four files.
constexpr std::size_t kKeptMarkSize = 8 + 8 + 8 + 2 * 260;
struct KeptMark {
    char bytes[kKeptMarkSize];
};
// The mark of a copy: a fixed tag, the length and the last-write time (a
// FILETIME as one number) little-endian, then each path zero-filled to 260.
void format_kept_mark(KeptMark& mark, const char* source, const char* destination, unsigned long long length,
                      unsigned long long written);

// The temporary path for a destination file path: its folder part (up to and
// with the last separator, by the Shift-JIS rule) followed by kCopyTempName.
// False when that would exceed 259 bytes or when the destination is itself
// named kCopyTempName; the copies then give copy_create_error.
bool copy_temp_path(char (&out)[kFieldSize], const char* destination);

// Whether a backup counts as current, so that the file is not copied: the
// source written at most 2 s after the backup (last-write times as FILETIME
// numbers; FAT and exFAT disks keep times coarser than the source's) and,
// for the standby copy, the same length (never the size on disk, which a
// compressed or sparse source has smaller; the continuous copy passes true).
// Attributes are not compared. A forced copy (force, or conut_save_mode, 1)
// is never current.
bool backup_up_to_date(unsigned long long source_written, unsigned long long backup_written, bool same_size,
                       int force);
// Whether two last-write times are within the 2 s a backup disk may round
// them by, either way round.
bool within_time_window(unsigned long long a, unsigned long long b);

// Brings a hand-edited data_size and data_time back into range in the
// record, as the run column of their rows in kSettingsTable says
// (settings_table.h). Returns the chunk size.
int correct_copy_settings(Settings& settings);
// data_time seconds as milliseconds, bounded below the infinite wait.
unsigned pause_milliseconds(int data_time);

// Test seam of copy_standby, empty in the program. before_read(chunk) and
// before_write(chunk) are called before chunk 0, 1, ... is read and written;
// false makes that read fail as on a bad sector, that write as on a full
// disk. before_pause(chunk) is called before the pause after chunk.
// after_replace() is called once the whole copy has replaced the destination,
// where the file system may have changed its times (tunnelling).
struct CopyProbe {
    std::function<bool(int chunk)> before_read;
    std::function<bool(int chunk)> before_write;
    std::function<void(int chunk)> before_pause;
    std::function<void()> after_replace;
};

// Results beyond the table above, where the copies go further than before:
// - a read of the source that fails before its end gives copy_read_error and
//   keeps the old destination (the file is not readable, like a source that
//   cannot be opened, and the run moves on);
// - a destination that cannot be put in place once the copy is whole (it is
//   held open by another program) gives copy_create_error in copy_standby,
//   as when the destination cannot be created, and in copy_continuous what a
//   failed system copy gives;
// - a temporary path over 259 bytes gives copy_create_error.
// Paths come whole: a caller that cannot join one within 259 bytes must not
// pass it cut (join_path leaves it empty, which no copy can open).

// The calling thread's last system error code (GetLastError), for callers
// that include no Windows header.
unsigned long last_system_error();

// Whether the drive or share a backup folder lies on is there: false for a
// drive letter or share that is gone (a USB drive taken out, a NAS off).
// A folder without a root of its own (relative) counts as there.
bool backup_root_present(const char* folder);

// Whether a new file can be made in the backup folder: false for a disk
// that takes no writing (a card's lock on, a read-only share) or a folder
// the user may not write. Leaves nothing behind.
bool backup_folder_writable(const char* folder);

// 0 when every folder level of the destination file path exists or was made,
// 1 otherwise. Leaves the current directory at the last level entered.
int check_destination(const char* path);
// Chunks of data_size bytes with a pause of data_time seconds after each;
// the pauses end at once on request_stop. Up to date (left alone, 0): see
// backup_up_to_date; the backup is not opened, so one held by any program
// is compared too. A stop keeps the part copied, and the next standby copy
// of the same source goes on after it (see KeptMark); a failed read or
// write removes it. A whole copy that cannot be put in place (the backup
// held open) is kept with its mark too: the next try of the same source,
// unchanged, only moves it, and reads nothing.
int copy_standby(Engine& engine, const char* source, const char* destination, int force);
// What the listing of a backup folder, taken when the run last checked the
// folder, says of a backup's name.
enum class BackupHint {
    unknown,   // no listing: the file system is asked
    listed,    // the folder held the name (or one of the same hash)
    unlisted,  // the folder surely did not hold the name
};

// The names of the backup folder a continuous run last checked, so that a
// file whose backup is not there yet is copied in without first asking
// whether it is: under Wine, asking for a name that is not there reads the
// whole folder (names match without regard to case), about 50 µs in a
// folder of 200 files, while one listing per folder costs under 10 µs a
// name. A listing gone stale changes no outcome: the straight copy never
// moves over a name taken since, and a listed name that has gone is found
// missing when it is opened.
class BackupNames {
public:
    // Lists the folder; knows nothing of it when it cannot be searched or
    // holds more than kMaxNames names (the memory stays bounded).
    void list(const char* folder);
    void forget();
    BackupHint hint(const char* folder, const char* name) const;

    static constexpr std::size_t kMaxNames = 100000;

private:
    char folder_[kFieldSize] = {};  // empty: nothing known
    std::vector<std::uint64_t> hashes_;  // sorted
};

// CopyFileA into the temporary file, then moved over the destination. Up to
// date (left alone, 0): see backup_up_to_date, times only.
int copy_continuous(Engine& engine, const char* source, const char* destination, int overwrite);
// The same, with what the folder's listing says of the destination's name:
// it only chooses which calls find the outcome out, never the outcome.
int copy_continuous_hinted(Engine& engine, const char* source, const char* destination, int overwrite,
                           BackupHint hint);
