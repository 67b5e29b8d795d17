// Old versions: the backup a copy replaces is not destroyed but moved into a
// folder of old versions at the root of the entry's backup folder, under its
// relative path, named with the date and time it was replaced, and removed
// once it is older than version_days. The names and the age rule live here,
// without an operating system, so they are tested natively.
#pragma once
#include <functional>
#include <string>

#include "base/text.h"
#include "engine/report.h"

// The folder of old versions, at the root of an entry's backup folder:
// the words Windows itself uses for a file's earlier states.
constexpr char kVersionsFolder[] = "以前のバージョン";

// The folder of old versions of a backup folder, and its folder for a
// relative folder of the tree ("" or "\a\b").
std::string versions_folder(const char* backup_folder, const char* relative);

// A version's name: the file's name with " YYYY-MM-DD hhmmss" before its
// extension ("report 2026-12-09 153012.doc"), so that it still opens by a
// double click and sorts by time. A name without an extension, or one that
// begins with its only ".", takes the date at its end. When the whole name
// would pass `room` bytes, the part before the extension is cut by whole
// characters (a ソ or 表 is never split); false when not one character of
// it fits.
bool version_name(std::string& out, const char* name, const ReportTime& when, std::size_t room);

// The version's whole path: the backup folder, the folder of old versions,
// the relative folder ("" or "\a\b") and the version's name, within 259
// bytes (the name shortened as above). False when it cannot be made fit.
bool version_path(char (&out)[kFieldSize], const char* backup_folder, const char* relative, const char* name,
                  const ReportTime& when);

// The time a version was replaced, read back from its name; false for a
// name that is no version's (a user's own file there is never removed).
// A name taken already gets " (2)", " (3)"... after its stamp.
bool version_time(const char* name, ReportTime& when);
// The backup's own name, the stamp and its number taken out; false for a
// name that is no version's. A name cut to fit gives the cut name.
bool version_original(std::string& out, const char* name);
// The version's path with " (serial)" after the stamp (serial 2 or more),
// the name cut again by whole characters to fit 259 bytes. False when the
// path holds no version's name or cannot be made to fit.
bool numbered_version_path(char (&out)[kFieldSize], const char* version, int serial);

// Whether a version replaced at `when` is more than `days` days old at
// `now`. At 0 days or less none expires: 0 means "keep no new versions",
// and the versions kept so far are the user's to delete by hand.
bool version_expired(const ReportTime& when, const ReportTime& now, int days);

// Seconds since 1970-01-01 of a local time, for ordering and ages.
long long seconds_of(const ReportTime& t);

// Whether two folder texts name the same folder as Windows compares them:
// ASCII letters without regard to case, a trailing separator ignored, and
// the rest of folder_key's rules ("." and "..", runs of separators).
bool same_folder(const char* a, const char* b);

// On the file system (versions_win.cpp).
// Removes the versions in one folder of old versions (not below it) that are
// past `days` days at `now`. Returns how many went.
int prune_versions(const char* folder, const ReportTime& now, int days);
// Whether a version's backup is one of the entry's own: the version's
// folder below the folder of old versions ("" or "\a\b") and the backup's
// name. Entries that share a backup folder keep their versions side by side.
using VersionOwner = std::function<bool(const char* relative, const char* name)>;
// What making room on a full disk came to.
struct RoomMade {
    int removed = 0;                // versions that went
    bool free_known = false;        // the free space could be asked
    unsigned long long free = 0;    // bytes free on the backup folder's disk
};
// Removes the entry's versions below a folder of old versions, oldest first,
// until the backup folder's disk has `needed` bytes free; only when they
// make that room all together, and none when the free space cannot be
// asked.
RoomMade free_space_from_versions(const char* versions_root, const char* backup_folder, unsigned long long needed,
                                  const VersionOwner& belongs);
// Whether the source folder holds the file at relative ("" or "\a\b") and
// name: the backup of a version stands for one of its files.
bool source_file_exists(const char* source_folder, const char* relative, const char* name);
// The size of a file, 0 when it cannot be told.
unsigned long long file_size_of(const char* path);
// How many versions below a folder of old versions (deep) are past `days`
// days at `now`: what a pass would remove under that setting.
int count_versions_past(const char* versions_root, const ReportTime& now, int days);
