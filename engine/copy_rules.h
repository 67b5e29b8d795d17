// The rules the copies follow that need no operating system (copy_rules.cpp):
// when a backup is current, the temporary file and the mark of a kept part,
// the program's own file names, and the copy settings brought into range.
#pragma once
#include <cstddef>

#include "base/text.h"

struct Settings;

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
