// quillsave.log, the report a user reads to learn what a pass did not back
// up and why: one line when a pass begins, one for every file or folder left
// unprotected, one when the pass ends or the run is stopped. The lines are
// made here without an operating system, so they are tested natively; the
// writer (report_win.cpp) only appends them.
#pragma once
#include <cstdint>
#include <string>

// Local time, broken down, as the line's first field shows it.
struct ReportTime {
    int year, month, day, hour, minute, second;
};

// Why a file or folder was not backed up. Most reasons are the system's
// error code; the rest are what the program itself found before any call.
enum class ReportReason {
    system_error,      // code holds the system's error code
    source_too_long,   // the source path would pass 259 bytes
    backup_too_long,   // the backup path would pass 259 bytes
    unreachable_name,  // code page 932 cannot hold the name and it has no short name
    table_full,        // the tree has more folders than a walk takes
    backup_inside,     // the entry's own backup folder, inside its source tree
    version_too_long,  // the old backup's version path would pass 259 bytes
    version_not_kept,  // the old backup could not be kept (code), replaced all the same
    does_not_fit,      // the file is larger than the disk's free space and the versions that may go
    disk_full,         // the disk is full for every file: told once per pass
    listing_cut,       // a folder's listing ended by an error (code) before its end
    // Notes, not failures: what the walk leaves out on purpose.
    folder_link,       // a junction, symbolic link or mount point: detail holds its target when known
    dangling_link,     // a file link whose target is gone
    cloud_only,        // size files of the folder are only in the cloud
    system_excluded,   // Windows names it for backup programs to leave out
    watch_overrun,     // the watch of a standby run missed changes: the pass finds them
    watch_unavailable, // the source cannot be watched (code): the pass finds its changes
    // A restore's.
    target_not_kept,   // the file at the target could not be kept as an old version (code): not replaced
    target_newer,      // the file at the target is newer, and the user chose to leave such files
};

struct Failure {
    ReportReason reason = ReportReason::system_error;
    unsigned long code = 0;
    int tries = 0;  // more than 0: failed this many tries in a row, then passed
    // does_not_fit and disk_full: the file's size, and the disk's free space
    // when it could be asked.
    std::uint64_t size = 0;
    std::uint64_t free = 0;
    bool free_known = false;
    std::string detail{};  // folder_link: where the link leads
};

// How a run was started.
enum class StartKind { by_hand = 0, schedule = 1, auto_start = 2, after_error = 3 };

// What one pass did, for its last line.
struct PassTally {
    int copied = 0;
    int up_to_date = 0;
    int missed = 0;  // files and folders not backed up
    int versions_kept = 0;
    int versions_removed = 0;
    int cloud_only = 0;  // files not read because they are only in the cloud
    std::uint64_t bytes = 0;
    std::uint32_t seconds = 0;
};

// The reason in plain words: a held file, access denied, a path over 259
// bytes, a name without a short name, a full disk, a folder or drive that
// is not there; the code in numbers for any other.
std::string reason_text(const Failure& failure);
// The same, and when the file was passed, after how many tries.
std::string reason_with_tries(const Failure& failure);
// Bytes with thousands separators, as Explorer shows them ("1,234,567").
std::string grouped(std::uint64_t value);

// A local time in a printf format of its six fields, year first.
std::string time_text(const char* format, const ReportTime& time);
// The first field of every line: "YYYY/MM/DD hh:mm:ss".
std::string report_stamp(const ReportTime& time);

// Whether every file of the backup folder would meet this failure, so that
// passing the one file would only fill the report: a full disk, a drive or
// share that is not there.
bool is_backup_wide(unsigned long code);
// Whether the code says the disk is full.
bool is_disk_full(unsigned long code);

// The lines, each ended by CR LF, fields apart by a tab.
std::string format_pass_begin(const ReportTime& time, int run_mode, StartKind kind, bool resumed);
// row is the entry's index (shown from 1).
std::string format_not_backed_up(const ReportTime& time, const char* status, int row, const char* source_folder,
                                 const char* path, const Failure& failure);
std::string format_waiting(const ReportTime& time, const char* status, int row, const char* source_folder,
                           const char* path, const Failure& failure);
std::string format_pass_end(const ReportTime& time, bool stopped, const PassTally& tally);
// A line of its own, for an event outside a pass (a power-off not made).
std::string format_event(const ReportTime& time, const char* what, const char* detail);

// The text of the file status column of a folder entry whose pass left
// files of it not backed up: "×" and the count ("×2"). A Japanese reader
// takes the mark for "failed" at once, it is never mistaken for the bare
// number of files done, and up to "×999" it fits the 40 pixels of the column.
std::string missed_status_text(int missed);
// The count a file status column tells of files not backed up: N of "×N".
// 0 for any other text.
int missed_of_status_text(const char* text);

// The report's size bound: past it the file becomes quillsave.log.old.
constexpr std::uint64_t kReportLimit = 1024 * 1024;
constexpr char kReportName[] = "quillsave.log";
constexpr char kOldReportName[] = "quillsave.log.old";
