// FolderTable and FileTable: the folders of the tree being copied and the
// files of the folder being copied, 5000 records each, allocated once.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/text.h"

constexpr int kTableCapacity = 5000;

struct FolderRecord {
    char full_path[kFieldSize];
    char relative_path[kFieldSize];  // "\a\b" below the source; "" for record 0
};

struct FileRecord {
    char file_name[kFieldSize];
    std::int32_t first_number;   // carried through file.ini
    std::int32_t second_number;
};

struct FolderTable {
    int count = 0;
    std::unique_ptr<FolderRecord[]> records{new FolderRecord[kTableCapacity]()};
};

struct FileTable {
    int count = 0;
    std::unique_ptr<FileRecord[]> records{new FileRecord[kTableCapacity]()};
    // The records are known to be files of the folder being worked on:
    // listed by walk_files, or checked after the table was loaded. Cleared
    // with the table, so a table read from file.ini starts unchecked.
    bool verified = false;
};

// Count 0 and every record zeroed.
void clear_folder_table(FolderTable& table);
void clear_file_table(FileTable& table);

struct Notifier;

// Fills the table breadth first with the source folder (record 0, relative
// path "") and every folder below it in search order; names beginning with
// "." are skipped with their contents. At 5000 records the walk stops and
// warns "指定のテーブル量を超えました。" through the notifier. A folder whose
// full path would exceed 259 bytes is never recorded under a cut name: it is
// left out, and one warning per walk (caption "エラー") gives their number and
// the first of them. A folder that cannot be searched contributes nothing.
void walk_folders(FolderTable& table, const Notifier& notifier, const char* source, std::size_t len);

// Lists the files of one folder (no directories, no names beginning with
// ".", no temporary file of an unfinished copy) into the table. Each record's
// first_number is the file's ordinal among the folder's listed files
// (0-based, in search order), second_number 0. The first first_ordinal
// listed files are passed over and at most 5000 are taken, so a folder of
// more files is walked again for the rest: once the 5000 records are done,
// call again with first_ordinal = the last record's first_number + 1.
// Returns whether at least one name was taken.
bool walk_files(FileTable& table, const char* folder, std::size_t len, int first_ordinal = 0);

// Whether a table that was not listed here (read from file.ini) lists files
// of this folder: its first and its last record must be files there. A
// foreign or stale file.ini whose count merely fits would otherwise have
// names copied that are not there, and the folder's real files skipped.
bool file_table_belongs_to(const FileTable& table, const char* folder);
