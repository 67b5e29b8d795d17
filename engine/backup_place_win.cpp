#include "engine/backup_place.h"

#include <windows.h>

#include "engine/versions.h"

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
