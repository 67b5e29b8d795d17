// check_destination and the two copies. Both copies fill a temporary file in
// the destination folder and move it over the destination only when it is
// whole, so nothing the user had is lost by a failed or stopped copy. A
// stopped standby copy keeps what it has copied there, so that a large file
// is finished over several runs instead of begun again at each.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "engine/copy.h"
#include "engine/engine.h"
#include "engine/handle_win.h"

namespace {

constexpr DWORD kScanFlags = FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL;

// Others may go on reading the file while it is copied (an open document, a
// player), but nobody may write it: a file another program is writing, or
// holds without sharing, cannot be opened, so no half-written copy is taken.
HANDLE open_existing(const char* path, DWORD access)
{
    return CreateFileA(path, access, FILE_SHARE_READ, nullptr, OPEN_EXISTING, kScanFlags, nullptr);
}

struct FileTimes {
    FILETIME created, accessed, written;
};

bool get_times(HANDLE h, FileTimes& t)
{
    return GetFileTime(h, &t.created, &t.accessed, &t.written) != 0;
}

// The times again on the file in its place. On NTFS a name removed and made
// again within 15 seconds in one folder gets the old file's creation time
// back (tunnelling), so what the temporary file carried does not all
// survive the move.
void set_times_in_place(const char* destination, const FileTimes& t)
{
    ScopedHandle h(CreateFileA(destination, FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (h.valid())
        SetFileTime(h.get(), &t.created, &t.accessed, &t.written);
}

unsigned long long compressed_size(const char* path)
{
    DWORD high = 0;
    DWORD low = GetCompressedFileSizeA(path, &high);
    return (static_cast<unsigned long long>(high) << 32) | low;
}

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

// Removes a temporary file, also one a system copy made read-only. The
// error of the call that failed before it stays the thread's last error: the
// report tells that one.
void remove_temp(const char* temp)
{
    DWORD error = GetLastError();
    SetFileAttributesA(temp, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(temp);
    SetLastError(error);
}

// A failed copy: its result, with the error of the call that failed.
int failed(Engine& engine, int result)
{
    engine.copy_detail.error = GetLastError();
    return result;
}

// The code a path over 259 bytes gives in the file system.
int path_too_long(Engine& engine, int result)
{
    engine.copy_detail.error = ERROR_FILENAME_EXCED_RANGE;
    return result;
}

// A whole copy made: the bytes of the source.
void note_copied(Engine& engine, const char* source)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    engine.copy_detail.copied = true;
    if (GetFileAttributesExA(source, GetFileExInfoStandard, &data))
        engine.copy_detail.bytes = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Makes every missing folder of a file path below its root.
void make_folders_of(const char* path)
{
    std::size_t end = folder_part_length(path);
    PathRoot root = path_root(path);
    std::size_t start = root.kind == RootKind::drive || root.kind == RootKind::share ? root.length + 1 : 1;
    char prefix[kFieldSize];
    for (std::size_t i = start; i < end; ++i) {
        if (is_lead_byte(static_cast<unsigned char>(path[i])) && i + 1 < end) {
            ++i;
            continue;
        }
        if (path[i] == '\\' && copy_text(prefix, sizeof prefix, path, i))
            CreateDirectoryA(prefix, nullptr);
    }
}

// The old backup becomes an old version: a rename within the backup's
// volume, no byte copied. The folders of old versions are made only when
// the rename finds them missing, so keeping costs one rename per file.
bool keep_old_backup(const char* destination, const char* keep_as)
{
    if (keep_as == nullptr || keep_as[0] == 0)
        return false;
    if (MoveFileExA(destination, keep_as, MOVEFILE_REPLACE_EXISTING))
        return true;
    if (GetLastError() != ERROR_PATH_NOT_FOUND)
        return false;
    make_folders_of(keep_as);
    return MoveFileExA(destination, keep_as, MOVEFILE_REPLACE_EXISTING) != 0;
}

// Moves the whole temporary file over the destination, the old backup kept
// as keep_as first when that is given. A read-only old destination is made
// writable and tried again, and gets its attributes back when it could not
// be replaced after all. On failure the temporary file is removed and a kept
// old backup goes back in place. The plain move comes first: a backup is
// mostly new or writable files, and under Wine every extra call on a path
// costs a file lookup.
bool put_in_place(const char* temp, const char* destination, const char* keep_as, CopyDetail& detail)
{
    detail.kept_version = keep_old_backup(destination, keep_as);
    if (MoveFileExA(temp, destination, MOVEFILE_REPLACE_EXISTING))
        return true;
    if (detail.kept_version) {
        DWORD error = GetLastError();
        detail.kept_version = !MoveFileExA(keep_as, destination, 0);
        remove_temp(temp);
        SetLastError(error);
        return false;
    }
    DWORD old = GetFileAttributesA(destination);
    if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesA(destination, FILE_ATTRIBUTE_NORMAL);
        if (MoveFileExA(temp, destination, MOVEFILE_REPLACE_EXISTING))
            return true;
        DWORD error = GetLastError();
        SetFileAttributesA(destination, old);
        SetLastError(error);
    }
    remove_temp(temp);
    return false;
}

// Creates the temporary file. One left by a power cut is overwritten; only
// when it cannot be (a system copy made it read-only) is it removed first.
HANDLE create_temp(const char* temp)
{
    HANDLE h = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, kScanFlags, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        return h;
    remove_temp(temp);
    return CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, kScanFlags, nullptr);
}

bool seek_to(HANDLE h, unsigned long long offset)
{
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(h, at, nullptr, FILE_BEGIN) != 0;
}

// The mark a stop of this copy would leave, and the source's length; false
// when the source cannot tell them (its part is then not kept).
bool mark_of_copy(HANDLE src, const char* source, const char* destination, KeptMark& mark,
                  unsigned long long& length)
{
    LARGE_INTEGER size;
    FILETIME written;
    if (!GetFileSizeEx(src, &size) || !GetFileTime(src, nullptr, nullptr, &written))
        return false;
    length = static_cast<unsigned long long>(size.QuadPart);
    unsigned long long time = (static_cast<unsigned long long>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    format_kept_mark(mark, source, destination, length, time);
    return true;
}

// The temporary file a stopped standby copy of this same source into this
// same destination kept, cut back to its copied bytes, with it and the
// source both standing after them. Invalid when there is no such file: none,
// another's, a mark that does not match, or more bytes than the source has.
HANDLE reopen_kept(const char* temp, HANDLE src, const KeptMark& mark, unsigned long long source_length)
{
    ScopedHandle h(CreateFileA(temp, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, kScanFlags, nullptr));
    LARGE_INTEGER size;
    if (!h.valid() || !GetFileSizeEx(h.get(), &size) || static_cast<unsigned long long>(size.QuadPart) < kKeptMarkSize)
        return INVALID_HANDLE_VALUE;
    unsigned long long bytes = static_cast<unsigned long long>(size.QuadPart) - kKeptMarkSize;
    if (bytes > source_length)
        return INVALID_HANDLE_VALUE;
    KeptMark found;
    DWORD got = 0;
    if (!seek_to(h.get(), bytes) || !ReadFile(h.get(), found.bytes, kKeptMarkSize, &got, nullptr) ||
        got != kKeptMarkSize || std::memcmp(found.bytes, mark.bytes, kKeptMarkSize) != 0)
        return INVALID_HANDLE_VALUE;
    // The source last: a failed seek leaves it at its start for a copy anew.
    if (!seek_to(h.get(), bytes) || !SetEndOfFile(h.get()) || !seek_to(src, bytes))
        return INVALID_HANDLE_VALUE;
    return h.release();
}

// Leaves the copied part for the next standby copy of the same source. The
// bytes go to disk before the mark does, so a mark that outlives a power cut
// right after the stop (a session end, then the machine off) always follows
// whole bytes; a part without its mark is only ever made anew.
bool keep_part(HANDLE temp, const KeptMark& mark)
{
    DWORD written = 0;
    return FlushFileBuffers(temp) && WriteFile(temp, mark.bytes, kKeptMarkSize, &written, nullptr) &&
           written == kKeptMarkSize && FlushFileBuffers(temp);
}

// How the chunk loop of copy_standby ended.
enum class Ending { complete, read_failed, write_failed, stopped };

Ending copy_chunks(Engine& engine, HANDLE source, HANDLE temp, DWORD chunk)
{
    char* buffer = engine.copy_buffer.get();
    const CopyProbe& probe = engine.copy_probe;
    for (int index = 0;; ++index) {
        DWORD got = 0;
        bool bad_read = probe.before_read && !probe.before_read(index);
        if (bad_read || !ReadFile(source, buffer, chunk, &got, nullptr))
            return Ending::read_failed;  // a short copy must never count as done
        if (got == 0)
            return Ending::complete;
        DWORD written = 0;
        bool fault = probe.before_write && !probe.before_write(index);
        if (fault || !WriteFile(temp, buffer, got, &written, nullptr) || written != got)
            return Ending::write_failed;
        if (engine.flags.running == 0)
            return Ending::stopped;
        if (probe.before_pause)
            probe.before_pause(index);
        // A stop ends the pause at once; the next chunk is still copied before
        // the stop is noticed, as after an unbroken pause.
        pause_unless_stopped(engine, pause_milliseconds(engine.settings.data_time));
    }
}

}  // namespace

// Enters the root of a network path ("\\server\share" and a "\") and puts
// it in accumulated. False when the server or the share is not there, as for
// a drive that is not there: neither can be made.
static bool enter_share_root(const char* path, PathRoot root, char (&accumulated)[kFieldSize])
{
    if (root.length + 1 > kMaxText)
        return false;
    std::memcpy(accumulated, path, root.length);
    std::strcpy(accumulated + root.length, "\\");
    bool entered = SetCurrentDirectoryA(accumulated) != 0;
    accumulated[root.length] = 0;
    return entered;
}

// Enters the folder, made first by make (its name from the folder entered
// now) when it is not there. A make that fails because another program made
// the folder meanwhile does no harm: the second enter finds it.
static bool enter_or_make(const char* folder, const char* make)
{
    if (SetCurrentDirectoryA(folder))
        return true;
    CreateDirectoryA(make, nullptr);
    return SetCurrentDirectoryA(folder) != 0;
}

// Whether making the folder (no separator at its end) in one call makes what
// the walk below would make: a folder below a drive's root ("C:\..."), below
// a share, or relative to the working folder. "\x" would be made on the
// current drive and "C:x" in that drive's current folder, where the walk
// refuses or starts at the root; a share's root would be made on its server.
static bool made_as_the_walk_would(const char* folder, std::size_t len, PathRoot root)
{
    switch (root.kind) {
    case RootKind::drive: return len > 3 && folder[2] == '\\';
    case RootKind::share: return len > root.length + 1;
    case RootKind::none: return folder[0] != '\\';
    default: return false;
    }
}

// Enters the file path's folder in one call. It is there for every file of
// a folder but the first, and entering it level by level costs a call a
// level, each a round trip to the wineserver under Wine. For the first file
// of a new folder of the tree only its last level is missing, and it is
// made in one call too. False when the folder cannot be entered so (more
// than one level is missing, or the path has no folder part): the levels
// are then walked.
static bool enter_whole_folder(const char* path, PathRoot root)
{
    std::size_t folder_len = folder_part_length(path);
    if (folder_len < 2)
        return false;
    char folder[kFieldSize];
    // "C:" keeps its separator, as the drive's root; any other folder loses it.
    std::size_t keep = folder_len == 3 && path[1] == ':' ? folder_len : folder_len - 1;
    if (!copy_text(folder, sizeof folder, path, keep))
        return false;
    return made_as_the_walk_would(folder, keep, root) ? enter_or_make(folder, folder)
                                                      : SetCurrentDirectoryA(folder) != 0;
}

unsigned long last_system_error()
{
    return GetLastError();
}

bool backup_root_present(const char* folder)
{
    PathRoot root = path_root(folder);
    if (root.kind != RootKind::drive && root.kind != RootKind::share)
        return true;
    char path[kFieldSize];
    if (!copy_text(path, sizeof path - 1, folder, root.length))
        return true;
    std::strcat(path, "\\");
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

int check_destination(const char* path)
{
    std::size_t len = std::strlen(path);
    PathRoot root = path_root(path, len);
    // A network path's file needs a folder below its share; a device or
    // long-path form is no folder of the user's to walk into.
    if (len == 0 || root.kind == RootKind::unusable || (root.kind == RootKind::share && root.length == len))
        return 1;
    if (enter_whole_folder(path, root))
        return 0;
    char accumulated[kFieldSize] = {};
    std::size_t acc_len = 0;
    std::size_t level_start = 0;
    if (root.kind == RootKind::share) {
        if (!enter_share_root(path, root, accumulated))
            return 1;
        acc_len = root.length;
        level_start = root.length + 1;
    }
    for (std::size_t i = level_start; path[i] != 0; ++i) {
        if (is_lead_byte(static_cast<unsigned char>(path[i])) && path[i + 1] != 0) {
            ++i;
            continue;
        }
        if (path[i] != '\\')
            continue;
        const char* level = path + level_start;
        std::size_t level_len = i - level_start;
        level_start = i + 1;

        bool separator = acc_len >= 2 && !ends_in_separator(accumulated, acc_len);
        if (acc_len + (separator ? 1 : 0) + level_len > kMaxText)
            return 1;
        if (separator)
            accumulated[acc_len++] = '\\';
        std::memcpy(accumulated + acc_len, level, level_len);
        acc_len += level_len;
        accumulated[acc_len] = 0;

        // A bare drive name is entered as the drive's root.
        char entered[kFieldSize + 1];
        std::memcpy(entered, accumulated, acc_len + 1);
        if (acc_len == 2 && accumulated[1] == ':')
            std::strcpy(entered + 2, "\\");
        // A drive that is not there cannot be made; a level is made in the
        // level entered before.
        bool drive_root = std::strlen(entered) == 3 && entered[1] == ':' && entered[2] == '\\';
        char name[kFieldSize];
        copy_text(name, sizeof name, level, level_len);
        if (!(drive_root ? SetCurrentDirectoryA(entered) != 0 : enter_or_make(entered, name)))
            return 1;
    }
    return 0;
}

int copy_standby(Engine& engine, const char* source, const char* destination, int force)
{
    DWORD chunk = static_cast<DWORD>(correct_copy_settings(engine.settings));
    engine.copy_detail = CopyDetail{};

    ScopedHandle src(open_existing(source, GENERIC_READ));
    if (!src.valid())
        return failed(engine, copy_read_error);

    ScopedHandle dst(open_existing(destination, GENERIC_WRITE));
    // A read-only backup does not open for writing, and is replaced too.
    bool replaces = dst.valid() || GetFileAttributesA(destination) != INVALID_FILE_ATTRIBUTES;
    if (dst.valid()) {
        FileTimes s{}, d{};
        get_times(src.get(), s);
        get_times(dst.get(), d);
        bool same_size = compressed_size(source) == compressed_size(destination);
        if (same_size && CompareFileTime(&s.written, &d.written) <= 0 && force != 1)
            return copy_done;  // up to date
        dst.reset();
    }

    char temp[kFieldSize];
    if (!copy_temp_path(temp, destination))
        return path_too_long(engine, copy_create_error);
    KeptMark mark;
    unsigned long long length = 0;
    bool marked = mark_of_copy(src.get(), source, destination, mark, length);
    ScopedHandle out(marked ? reopen_kept(temp, src.get(), mark, length) : INVALID_HANDLE_VALUE);
    if (!out.valid())
        out.reset(create_temp(temp));
    if (!out.valid())
        return failed(engine, copy_create_error);

    Ending ending = copy_chunks(engine, src.get(), out.get(), chunk);
    DWORD chunk_error = GetLastError();
    FileTimes s{};
    bool have_times = false;
    bool keep = ending == Ending::stopped && marked && keep_part(out.get(), mark);
    if (ending == Ending::complete) {
        have_times = get_times(src.get(), s);
        if (have_times)
            SetFileTime(out.get(), &s.created, &s.accessed, &s.written);
        // On disk before it replaces the old copy, so that a power cut right
        // after the move cannot leave an empty file where the backup was. The
        // standby copy pauses after every chunk anyway; the continuous copy
        // goes without, for speed.
        FlushFileBuffers(out.get());
    }
    src.reset();
    out.reset();

    switch (ending) {
    case Ending::complete:
        if (!put_in_place(temp, destination, replaces ? engine.keep_as : nullptr, engine.copy_detail))
            return failed(engine, copy_create_error);
        engine.copy_detail.replaced = replaces;
        if (engine.copy_probe.after_replace)
            engine.copy_probe.after_replace();
        if (have_times)
            set_times_in_place(destination, s);
        engine.copy_detail.copied = true;
        engine.copy_detail.bytes = length;
        return copy_done;
    case Ending::read_failed:
        remove_temp(temp);
        engine.copy_detail.error = chunk_error;
        return copy_read_error;
    case Ending::write_failed:
        remove_temp(temp);
        engine.copy_detail.error = chunk_error;
        return copy_write_error;
    case Ending::stopped:
        if (!keep)
            remove_temp(temp);
        // The stop event is set by then, so this pause is only as long as a
        // stop that merely cleared running leaves it.
        pause_unless_stopped(engine, 1000);
        return copy_stopped;
    }
    return copy_write_error;
}

namespace {

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

// CopyFileA into the temporary file, then in place. False on any failure,
// with the temporary file gone and the destination as it was.
// The temporary file's path, or the error a path over 259 bytes gives.
bool temp_path_for(char (&temp)[kFieldSize], const char* destination)
{
    if (copy_temp_path(temp, destination))
        return true;
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
}

// keep_as: where the backup it replaces goes, or null.
bool system_copy(const char* source, const char* destination, const char* keep_as, CopyDetail& detail)
{
    char temp[kFieldSize];
    return temp_path_for(temp, destination) && copy_into_temp(source, temp) &&
           put_in_place(temp, destination, keep_as, detail);
}

// A backup made where the listing saw none. The move replaces nothing, so a
// name taken since the listing fails it and the copy is made as usual.
bool system_copy_new(const char* source, const char* destination)
{
    char temp[kFieldSize];
    if (!temp_path_for(temp, destination) || !copy_into_temp(source, temp))
        return false;
    if (MoveFileExA(temp, destination, 0))
        return true;
    remove_temp(temp);
    return false;
}

// Names as Windows matches them in ASCII, so that "A.TXT" and "a.txt" are one;
// other letters are taken as they are, which at worst says "listed" of a
// name that is not there and costs the question it would have cost anyway.
std::uint64_t name_hash(const char* name)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p != 0; ++p) {
        unsigned char c = *p >= 'A' && *p <= 'Z' ? static_cast<unsigned char>(*p - 'A' + 'a') : *p;
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

}  // namespace

void BackupNames::forget()
{
    folder_[0] = 0;
    hashes_.clear();
}

void BackupNames::list(const char* folder)
{
    forget();
    char pattern[kFieldSize];
    if (!join_path(pattern, folder, "*"))
        return;
    WIN32_FIND_DATAA data;
    ScopedFind find(FindFirstFileA(pattern, &data));
    if (!find.valid())
        return;
    do {
        if (hashes_.size() == kMaxNames) {
            hashes_.clear();
            return;
        }
        hashes_.push_back(name_hash(data.cFileName));
    } while (FindNextFileA(find.get(), &data));
    if (GetLastError() != ERROR_NO_MORE_FILES) {
        hashes_.clear();
        return;
    }
    std::sort(hashes_.begin(), hashes_.end());
    copy_field(folder_, folder);  // fits: the pattern held it and more
}

BackupHint BackupNames::hint(const char* folder, const char* name) const
{
    if (folder_[0] == 0 || std::strcmp(folder, folder_) != 0)
        return BackupHint::unknown;
    return std::binary_search(hashes_.begin(), hashes_.end(), name_hash(name)) ? BackupHint::listed
                                                                               : BackupHint::unlisted;
}

int copy_continuous(Engine& engine, const char* source, const char* destination, int overwrite)
{
    return copy_continuous_hinted(engine, source, destination, overwrite, BackupHint::unknown);
}

// The end of a continuous copy that made or left the backup: a stop during
// it is still a stop.
int continuous_done(Engine& engine, const char* source, bool copied)
{
    if (copied)
        note_copied(engine, source);
    return engine.flags.running == 0 ? copy_stopped : copy_done;
}

int copy_continuous_hinted(Engine& engine, const char* source, const char* destination, int overwrite,
                           BackupHint hint)
{
    engine.copy_detail = CopyDetail{};
    if (hint == BackupHint::unlisted && system_copy_new(source, destination))
        return continuous_done(engine, source, true);
    // A listed name goes straight to the opens, which find a backup that has
    // gone as missing and give what the copy of a new one gives.
    if (hint != BackupHint::listed && names_nothing(destination)) {
        // No backup yet. The system copy opens the source for reading without
        // write sharing, as open_existing does, so only a failed copy needs
        // the source opened by hand, to tell an unreadable source ("読e")
        // from a destination that cannot be made.
        if (!system_copy(source, destination, nullptr, engine.copy_detail)) {
            DWORD copy_error = GetLastError();
            if (!ScopedHandle(open_existing(source, GENERIC_READ)).valid())
                return failed(engine, copy_read_error);
            engine.copy_detail.error = copy_error;
            return copy_create_error;
        }
        return continuous_done(engine, source, true);
    }
    // Both are opened, as before: a source held by a writer is "読e" and a
    // backup that cannot be opened is copied over, up to date or not.
    ScopedHandle src(open_existing(source, GENERIC_READ));
    if (!src.valid())
        return failed(engine, copy_read_error);
    ScopedHandle dst(open_existing(destination, GENERIC_READ));
    if (!dst.valid()) {
        src.reset();
        // Perhaps there, but held: not kept, replaced as before.
        if (!system_copy(source, destination, nullptr, engine.copy_detail))
            return failed(engine, copy_create_error);
        return continuous_done(engine, source, true);
    }
    src.reset();
    dst.reset();
    // Times that cannot be read compare as equal, as unread handle times did.
    FILETIME source_written{}, destination_written{};
    last_write_time(source, source_written);
    last_write_time(destination, destination_written);
    bool copy = CompareFileTime(&source_written, &destination_written) > 0 || overwrite == 1;
    if (copy && !system_copy(source, destination, engine.keep_as, engine.copy_detail))
        return failed(engine, copy_write_error);
    engine.copy_detail.replaced = copy;
    return continuous_done(engine, source, copy);
}
