// The continuous copy: CopyFileA into the temporary file in the destination
// folder, which takes the destination's place only when it is whole.
#include <windows.h>

#include "base/handle_win.h"
#include "engine/backup_place.h"
#include "engine/copy_continuous.h"
#include "engine/copy_rules.h"
#include "engine/copy_shared_win.h"
#include "engine/engine.h"

namespace {

// The path's attributes come from the file system without a handle: under
// Wine every open, time query and close is a round trip to the wineserver,
// which costs more than the whole test of an up-to-date small file.
bool path_attributes(const char* path, WIN32_FILE_ATTRIBUTE_DATA& data)
{
    return GetFileAttributesExA(path, GetFileExInfoStandard, &data) != 0;
}

// True only when nothing at all has the name: the one case where an open of
// it would certainly fail, told without an open.
bool names_nothing(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path_attributes(path, data))
        return false;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

void last_write_time(const char* path, FILETIME& written)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path_attributes(path, data))
        written = data.ftLastWriteTime;
}

// A temporary file left by a power cut is overwritten; only a read-only one
// is removed first, and only when the copy over it failed.
bool copy_into_temp(const char* source, const char* temp)
{
    if (CopyFileA(source, temp, FALSE))
        return true;
    remove_temp(temp);
    if (CopyFileA(source, temp, FALSE))
        return true;
    remove_temp(temp);
    return false;
}

// The temporary file's path, or the error a path over 259 bytes gives.
bool temp_path_for(char (&temp)[kFieldSize], const char* destination)
{
    if (copy_temp_path(temp, destination))
        return true;
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
}

// CopyFileA into the temporary file, then in place. False on any failure,
// with the temporary file gone and the destination as it was. keep_as:
// where the backup it replaces goes, or null.
bool system_copy(const char* source, const char* destination, const char* keep_as, CopyDetail& detail)
{
    char temp[kFieldSize];
    return temp_path_for(temp, destination) && copy_into_temp(source, temp) &&
           put_backup_in_place(temp, destination, keep_as, detail);
}

// A backup made where the listing saw none. The move replaces nothing, so a
// name taken since the listing fails it and the copy is made as usual.
bool system_copy_new(const char* source, const char* destination)
{
    char temp[kFieldSize];
    if (!temp_path_for(temp, destination) || !copy_into_temp(source, temp))
        return false;
    if (move_temp_over(temp, destination, kNewBackupOnly))
        return true;
    remove_temp(temp);
    return false;
}

// The end of a continuous copy that made or left the backup: a stop during
// it is still a stop.
CopyOutcome continuous_done(Engine& engine, CopyOutcome& out, bool copied)
{
    out.detail.copied = copied;
    out.result = !run_active(engine.flags) ? copy_stopped : copy_done;
    return out;
}

}  // namespace

CopyOutcome copy_continuous(Engine& engine, const CopyRequest& request)
{
    CopyOutcome out;
    const char* source = request.source;
    const char* destination = request.destination;
    if (request.hint == BackupHint::unlisted && system_copy_new(source, destination))
        return continuous_done(engine, out, true);
    // A listed name goes straight to the opens, which find a backup that has
    // gone as missing and give what the copy of a new one gives.
    if (request.hint != BackupHint::listed && names_nothing(destination)) {
        // No backup yet. The system copy opens the source for reading without
        // write sharing, as open_existing does, so only a failed copy needs
        // the source opened by hand, to tell an unreadable source ("読e")
        // from a destination that cannot be made.
        if (!system_copy(source, destination, nullptr, out.detail)) {
            DWORD copy_error = GetLastError();
            if (!ScopedHandle(open_existing(source, GENERIC_READ)).valid())
                return failed(out, copy_read_error);
            out.detail.error = copy_error;
            out.result = copy_create_error;
            return out;
        }
        return continuous_done(engine, out, true);
    }
    // Both are opened, as before: a source held by a writer is "読e" and a
    // backup that cannot be opened is copied over, up to date or not.
    ScopedHandle src(open_existing(source, GENERIC_READ));
    if (!src.valid())
        return failed(out, copy_read_error);
    ScopedHandle dst(open_existing(destination, GENERIC_READ));
    if (!dst.valid()) {
        src.reset();
        // Perhaps there, but held: not kept, replaced as before.
        if (!system_copy(source, destination, nullptr, out.detail))
            return failed(out, copy_create_error);
        return continuous_done(engine, out, true);
    }
    src.reset();
    dst.reset();
    // Times that cannot be read compare as equal, as unread handle times did.
    FILETIME source_written{}, destination_written{};
    last_write_time(source, source_written);
    last_write_time(destination, destination_written);
    bool copy = !backup_up_to_date(file_time_number(source_written), file_time_number(destination_written), true,
                                   request.force);
    if (copy && !system_copy(source, destination, request.keep_as, out.detail))
        return failed(out, copy_write_error);
    out.detail.replaced = copy;
    return continuous_done(engine, out, copy);
}
