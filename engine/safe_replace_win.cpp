#include "engine/safe_replace.h"

#include <windows.h>

#include "engine/versions.h"

// Makes every missing folder of a file path below its root.
void make_folders_of(const char* path)
{
    std::size_t end = folder_part_length(path);
    PathRoot root = path_root(path);
    std::size_t start = root.kind == RootKind::drive || root.kind == RootKind::share ? root.length + 1 : 1;
    char prefix[kFieldSize];
    for (std::size_t i = next_separator(path, end, start); i < end; i = next_separator(path, end, i + 1))
        if (copy_text(prefix, sizeof prefix, path, i))
            CreateDirectoryA(prefix, nullptr);
}

namespace {

// Moves the old backup to the version's name, or, when that name is taken
// (a replacement within the same second, two entries writing one backup),
// to the first free " (2)", " (3)"...: a version never replaces another.
bool move_to_free_name(const char* destination, const char* keep_as)
{
    if (MoveFileExA(destination, keep_as, 0))
        return true;
    char numbered[kFieldSize];
    for (int serial = 2; serial < 100; ++serial) {
        DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            return false;
        if (!numbered_version_path(numbered, keep_as, serial)) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return false;
        }
        if (MoveFileExA(destination, numbered, 0))
            return true;
    }
    return false;
}

}  // namespace

// The folders of old versions are made only when the rename finds them
// missing, so keeping costs one rename per file.
bool keep_old_backup(const char* destination, const char* keep_as)
{
    if (keep_as == nullptr || keep_as[0] == 0)
        return false;
    if (move_to_free_name(destination, keep_as))
        return true;
    if (GetLastError() != ERROR_PATH_NOT_FOUND)
        return false;
    make_folders_of(keep_as);
    return move_to_free_name(destination, keep_as);
}

bool move_temp_over(const char* temp, const char* path, ReplaceOptions options)
{
    DWORD flags = (options.replace_existing ? MOVEFILE_REPLACE_EXISTING : 0) |
                  (options.write_through ? MOVEFILE_WRITE_THROUGH : 0);
    return MoveFileExA(temp, path, flags) != 0;
}

void remove_temp(const char* temp)
{
    DWORD error = GetLastError();
    SetFileAttributesA(temp, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(temp);
    SetLastError(error);
}

// The plain move comes first: a backup is mostly new or writable files, and
// under Wine every extra call on a path costs a file lookup.
bool put_backup_in_place_keeping_temp(const char* temp, const char* destination, const char* keep_as,
                                      CopyDetail& detail)
{
    detail.kept_version = keep_old_backup(destination, keep_as);
    if (!detail.kept_version && keep_as != nullptr && keep_as[0] != 0)
        detail.keep_error = GetLastError();
    if (move_temp_over(temp, destination, kBackupReplace))
        return true;
    if (detail.kept_version) {
        DWORD error = GetLastError();
        detail.kept_version = !MoveFileExA(keep_as, destination, 0);
        SetLastError(error);
        return false;
    }
    DWORD old = GetFileAttributesA(destination);
    if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesA(destination, FILE_ATTRIBUTE_NORMAL);
        if (move_temp_over(temp, destination, kBackupReplace))
            return true;
        DWORD error = GetLastError();
        SetFileAttributesA(destination, old);
        SetLastError(error);
    }
    return false;
}

bool put_backup_in_place(const char* temp, const char* destination, const char* keep_as, CopyDetail& detail)
{
    if (put_backup_in_place_keeping_temp(temp, destination, keep_as, detail))
        return true;
    remove_temp(temp);
    return false;
}
