// FolderTable and FileTable: the folders of the tree being copied and the
// files of the folder being copied. Both grow as the tree needs, one record
// per folder or file, each holding its texts at their own length.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/text.h"
#include "engine/exclusions.h"

// The most records a table takes, from a walk or from folder.ini and
// file.ini. A real tree stays far below it: a folder entry of half a million
// folders is a whole disk, better split into entries. It is there for a
// damaged or hostile file, whose every line may be a 259-byte text: at the
// bound a FolderTable then holds about 300 MB and a FileTable about 150 MB,
// which a 32-bit program can hold beside the folder display's own table and
// the text of a save within its 2 GB, where an unbounded file would end it.
constexpr int kTableLimit = 500000;
constexpr std::uint64_t kSizeNotListed = ~std::uint64_t(0);

struct FolderRecord {
    std::string full_path;      // at most 259 bytes
    std::string relative_path;  // "\a\b" below the source; "" for record 0
};

struct FileRecord {
    std::string file_name;        // at most 259 bytes
    std::int32_t first_number = 0;  // carried through file.ini
    std::int32_t second_number = 0;
    // The size the folder's listing gave, moments before the file's copy;
    // never saved, so a table read from file.ini has none.
    std::uint64_t listed_size = kSizeNotListed;
};

struct FolderTable {
    std::vector<FolderRecord> records;
    int limit = kTableLimit;  // lower only in tests, to reach it with few folders
    int count() const { return static_cast<int>(records.size()); }
};

// What one listing of a folder's files left out on purpose and the step
// tells: names of files in that folder.
struct ListingNotes {
    int cloud_only = 0;                      // only in the cloud: never read
    std::vector<std::string> system_left_out;  // named by Windows' lists; "" for the whole folder
    std::vector<std::string> dangling_links;   // links whose target is gone
};

struct FileTable {
    std::vector<FileRecord> records;
    ListingNotes notes;  // of the last walk; never saved
    int limit = kTableLimit;
    // The records are known to be files of the folder being worked on:
    // listed by walk_files, or checked after the table was loaded. Cleared
    // with the table, so a table read from file.ini starts unchecked.
    bool verified = false;
    // The last walk could not search the folder: the system's error code
    // (0: it was searched). Never saved.
    unsigned long search_error = 0;
    int count() const { return static_cast<int>(records.size()); }
};

// No records, and their memory given back: after a large tree the program
// holds no more than before it.
void clear_folder_table(FolderTable& table);
void clear_file_table(FileTable& table);

// What a walk of a tree leaves out on purpose, besides the entry's backup
// folder and what it cannot take: the user's patterns and Windows' lists.
struct WalkRules {
    NamePatterns patterns;
    std::vector<SystemExclusion> system;
};

struct Notifier;
struct Failure;
// A folder the walk of a tree leaves out, with why, so that it is reported.
using LeftOut = std::function<void(const char* path, const Failure& failure)>;

// Fills the table breadth first with the source folder (record 0, relative
// path "") and every folder below it in search order ("." and ".." are no
// folders of it; .git or .ssh are). At the table's limit the walk stops and
// warns "指定のテーブル量を超えました。" through the notifier. A folder
// whose full path would exceed 259 bytes is never recorded under a cut name:
// it is left out, and one warning per walk (caption "エラー") gives their
// number and the first of them. A folder that cannot be searched contributes
// nothing. A walk that abandoned() answers true for, asked before each
// folder, ends there with its table cut short and nothing told: whoever
// abandons it must never use that table. left_out hears of every folder
// left out for its length, of the folder where the limit stopped the walk,
// and of a folder whose listing an error cut short (system_error with its
// code: its subfolders after the cut are unknown, so the step counts it and
// the next pass walks again). A folder that is leave_out (the entry's own
// backup folder, when a user has put it inside the source) is left out with
// its contents, so a backup never backs up its own backups and old versions
// a level deeper at every pass. Both are compared as Windows resolves them
// (a drive root as "R:\" or "R:", a share's root, "." and "..", short
// names, ASCII case), the backup folder once per walk. A folder link below
// the source is never walked, so no walk loops or leaves its drive:
// left_out hears of it (folder_link, with its target). Folders the rules
// leave out are not walked either: by a pattern in silence, by Windows'
// lists told as system_excluded.
void walk_folders(FolderTable& table, const Notifier& notifier, const char* source, std::size_t len,
                  const std::function<bool()>& abandoned = nullptr, const LeftOut& left_out = nullptr,
                  const char* leave_out = nullptr, const WalkRules* rules = nullptr);

// Lists the files of one folder (no directories, no "." or "..", no
// temporary file of an unfinished copy) into the table. Each record's
// first_number is the file's ordinal among the folder's listed files
// (0-based, in search order), second_number 0. The first first_ordinal
// listed files are passed over and at most the table's limit are taken, so a
// folder of more files is walked again for the rest: once those records are
// done, call again with first_ordinal = the last record's first_number + 1.
// Returns whether at least one name was taken. A folder that cannot be
// searched, or whose listing an error cut short, gives no records and its
// code in search_error, never a listing taken for whole. Files that are only
// in the cloud, that the rules leave out (relative: the folder's path from
// the source) or that are links to nothing are not taken, and all but those
// of a pattern are in the table's notes; they keep their ordinals, so a
// position in the folder means the same file whatever the rules say.
bool walk_files(FileTable& table, const char* folder, std::size_t len, int first_ordinal = 0,
                const WalkRules* rules = nullptr, const char* relative = "");

// Whether a table that was not listed here (read from file.ini) lists files
// of this folder: its first and its last record must be files there. A
// foreign or stale file.ini whose count merely fits would otherwise have
// names copied that are not there, and the folder's real files skipped.
bool file_table_belongs_to(const FileTable& table, const char* folder);
// Whether the folder holds a file (not a folder) of that name.
bool is_file_in(const char* folder, const char* name);
