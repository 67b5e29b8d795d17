// Getting files back: how a backed-up file stands beside the file at its own
// place, which files a restore writes and which it must ask about, and the
// lines it leaves in quillsave.log. No operating system here, so the rules
// are tested natively; restore_win.h lists the backup and does the copies.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/text.h"
#include "engine/report.h"

// What the restore window and the restore know of one file: present or not,
// its last write time (FILETIME as a number) and its size.
struct FileFacts {
    bool exists = false;
    std::uint64_t written = 0;
    std::uint64_t size = 0;
};

// A backed-up file beside the file at its own place.
enum class Standing {
    same,            // "元と同じ": same size, times within the backup disk's 2 s
    source_newer,    // "元の方が新しい"
    source_missing,  // "元にない"
    backup_newer,    // "バックアップの方が新しい" (also: same time, other size)
};
Standing standing_of(const FileFacts& backup, const FileFacts& source);
const char* standing_text(Standing standing);

// A name the backup can hold in place of one code page 932 cannot: the
// walk backs such a file up under its short name ("CAF~1.TXT"), and a
// restore writes it back under that name and says so.
bool looks_like_short_name(const char* name);

// What a restore does with one file.
enum class RestoreAction {
    write_missing,   // nothing at the target: written with its time
    replace_older,   // the target is older than the backup: kept as a version, then replaced
    replace_newer,   // the target is newer or differs otherwise: only after the question
    leave_same,      // the target is the same already
};

// One file of a restore: where it comes from, where it goes, and what
// is there. relative is "" or "\a\b", as the tables name folders.
struct RestoreFile {
    std::string from;      // the backup or the old version, whole path
    std::string to;        // the target, whole path ("" when it would pass 259 bytes)
    std::string relative;  // the folder below the entry's root
    std::string name;      // the file's name at the target
    FileFacts backup;      // of `from`
    FileFacts target;      // of `to` before the restore
    RestoreAction action = RestoreAction::write_missing;
    bool picked_one = false;  // picked by itself (a file or a version), not as part of a folder
};

// The action for a file: a picked file or version replaces a target that
// differs either way (after the question); a file restored as part of a
// folder or entry replaces only an older one, and one the target has newer
// is asked about apart.
RestoreAction restore_action(const FileFacts& backup, const FileFacts& target, bool picked_one);

// The counts the window's questions name.
struct RestoreCounts {
    int files = 0;          // every file to write
    int replace = 0;        // targets replaced that are older, or picked ones that differ
    int newer = 0;          // targets of a folder's files that are newer than their backup
    int same = 0;           // targets already the same
    int too_long = 0;       // targets over 259 bytes
    std::uint64_t bytes = 0;
};
RestoreCounts count_restore(const std::vector<RestoreFile>& files);

// The question before a restore replaces files: the count and where the
// files replaced are kept. Empty when nothing is replaced.
std::string replace_question(int replace);
// The question of a folder's or entry's files that are newer at the target.
std::string newer_question(int newer);

// What a restore came to.
struct RestoreTally {
    int restored = 0;
    int left_out = 0;       // not restored, each with its line in the report
    int kept_versions = 0;  // target files kept as old versions before they were replaced
    int short_names = 0;    // restored under the short name the backup holds
    int same = 0;
    int left_newer = 0;     // newer at the target, left as the user chose
    bool cancelled = false;
    Failure first_failure{};  // of the first file left out
};

// The box at the end of a restore: how many came back, how many did not and
// why (the first reason), where the report is; short names told.
std::string restore_end_text(const RestoreTally& tally);

// The lines of quillsave.log: one when a restore begins, one for each file
// restored or not, one at its end. CR LF each, fields apart by a tab.
std::string format_restore_begin(const ReportTime& time, const char* backup_folder, const char* target_folder);
std::string format_restored(const ReportTime& time, const RestoreFile& file, bool kept_version, bool short_name);
std::string format_not_restored(const ReportTime& time, const RestoreFile& file, const Failure& failure);
std::string format_restore_end(const ReportTime& time, const RestoreTally& tally);
