// The standby copy: the source read and written in chunks of data_size
// bytes with a pause after each, into the temporary file in the destination
// folder, which takes the destination's place only when it is whole. A stop
// keeps what it has copied there, so that a large file is finished over
// several runs instead of begun again at each; a whole copy that could not
// take the destination's place is kept so too, and only moved at the next
// try.
#include <windows.h>

#include <cstring>

#include "base/handle_win.h"
#include "engine/backup_place.h"
#include "engine/copy_rules.h"
#include "engine/copy_shared_win.h"
#include "engine/copy_standby.h"
#include "engine/engine.h"
#include "engine/seams.h"

namespace {

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

// The code a path over 259 bytes gives in the file system.
CopyOutcome path_too_long(CopyOutcome& out, CopyResult result)
{
    out.detail.error = ERROR_FILENAME_EXCED_RANGE;
    out.result = result;
    return out;
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

// What the up-to-date test and the mark of a kept part take of the open
// source: its length (never its size on disk, smaller when the file is
// compressed or sparse) and its last-write time.
struct SourceFacts {
    unsigned long long length = 0, written = 0;
};

// False when the source cannot tell them: it is then copied, and its part
// is not kept.
bool source_facts(HANDLE src, SourceFacts& facts)
{
    LARGE_INTEGER size;
    FILETIME written;
    if (!GetFileSizeEx(src, &size) || !GetFileTime(src, nullptr, nullptr, &written))
        return false;
    facts.length = static_cast<unsigned long long>(size.QuadPart);
    facts.written = file_time_number(written);
    return true;
}

// The temporary file a stopped standby copy of this same source into this
// same destination kept, cut back to its copied bytes, with it and the
// source both standing after them; kept tells how many. Invalid when there
// is no such file: none, another's, a mark that does not match, or more
// bytes than the source has.
HANDLE reopen_kept(const char* temp, HANDLE src, const KeptMark& mark, unsigned long long source_length,
                   unsigned long long& kept)
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
    kept = bytes;
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

Ending copy_chunks(Engine& engine, HANDLE source, HANDLE temp, DWORD chunk, bool brought_forward)
{
    char* buffer = engine.copy_buffer.get();
    const CopyProbe& probe = engine_seams().copy_probe;
    for (int index = 0;; ++index) {
        DWORD got = 0;
        bool bad_read = probe.before_read && !probe.before_read(index);
        if (bad_read || !ReadFile(source, buffer, chunk, &got, nullptr))
            return Ending::read_failed;  // a short copy must never count as done
        if (got == 0)
            return Ending::complete;
        DWORD written = 0;
        bool fault = probe.before_write && !probe.before_write(index);
        if (fault || !WriteFile(temp, buffer, got, &written, nullptr))
            return Ending::write_failed;
        if (written != got) {
            // A write cut short succeeds without a code: the disk has no room.
            SetLastError(ERROR_DISK_FULL);
            return Ending::write_failed;
        }
        if (!run_active(engine.flags))
            return Ending::stopped;
        // A short chunk is the end of the file as it was read: a copy the
        // watch brought forward looks at once, and a file that grew since
        // goes on with its pauses.
        if (brought_forward && got < chunk)
            continue;
        if (probe.before_pause)
            probe.before_pause(index);
        // A stop ends the pause at once; the next chunk is still copied before
        // the stop is noticed, as after an unbroken pause.
        pause_unless_stopped(engine, pause_milliseconds(engine.settings.data_time));
    }
}

// Whether the destination is up to date with the source (null: facts
// unknown), told without opening it, so that a backup held open by a program
// that denies writers (a viewer) is compared like any other. exists tells
// whether anything has the destination's name, also a read-only file.
bool destination_up_to_date(const SourceFacts* source, const char* destination, int force, bool& exists)
{
    WIN32_FILE_ATTRIBUTE_DATA d;
    exists = GetFileAttributesExA(destination, GetFileExInfoStandard, &d) != 0;
    if (!exists || !source || (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    unsigned long long length = (static_cast<unsigned long long>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
    return backup_up_to_date(source->written, file_time_number(d.ftLastWriteTime), length == source->length, force);
}

// A whole copy that could not be put in place stays, marked as a part of
// all the source's bytes, so that the next try of the same source only
// moves it (the backup was held open for a moment); without a mark it goes.
void keep_whole(const char* temp, const KeptMark* mark)
{
    ScopedHandle h(mark ? CreateFileA(temp, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, kScanFlags, nullptr)
                        : INVALID_HANDLE_VALUE);
    LARGE_INTEGER end = {};
    if (h.valid() && SetFilePointerEx(h.get(), end, nullptr, FILE_END) && keep_part(h.get(), *mark))
        return;
    h.reset();
    remove_temp(temp);
}

// The whole temporary file in the destination's place, with the source's
// times on it; kept with the mark when it cannot be put there. An old
// backup it replaces goes to keep_as first, when that is given.
CopyOutcome finish_complete(CopyOutcome& out, const char* temp, const CopyRequest& request,
                            bool replaces, const FileTimes* times, unsigned long long length, const KeptMark* mark)
{
    const char* destination = request.destination;
    if (!put_backup_in_place_keeping_temp(temp, destination, replaces ? request.keep_as : nullptr, out.detail)) {
        failed(out, copy_create_error);
        keep_whole(temp, mark);
        return out;
    }
    out.detail.replaced = replaces;
    if (engine_seams().copy_probe.after_replace)
        engine_seams().copy_probe.after_replace();
    if (times)
        set_times_in_place(destination, *times);
    out.detail.copied = true;
    out.detail.bytes = length;
    out.detail.bytes_known = true;
    out.result = copy_done;
    return out;
}

// The temporary file of a copy that did not complete: removed, unless it
// holds a part kept for the next standby copy.
CopyOutcome finish_incomplete(Engine& engine, CopyOutcome& out, const char* temp, Ending ending, bool keep,
                              DWORD chunk_error)
{
    if (ending == Ending::stopped) {
        if (!keep)
            remove_temp(temp);
        // The stop event is set by then, so this pause is only as long as a
        // stop that merely cleared running leaves it.
        pause_unless_stopped(engine, 1000);
        out.result = copy_stopped;
        return out;
    }
    remove_temp(temp);
    out.detail.error = chunk_error;
    out.result = ending == Ending::read_failed ? copy_read_error : copy_write_error;
    return out;
}

}  // namespace

CopyOutcome copy_standby(Engine& engine, const CopyRequest& request)
{
    DWORD chunk = static_cast<DWORD>(correct_copy_settings(engine.settings));
    CopyOutcome outcome;
    const char* source = request.source;
    const char* destination = request.destination;

    ScopedHandle src(open_existing(source, GENERIC_READ));
    if (!src.valid())
        return failed(outcome, copy_read_error);
    SourceFacts facts;
    bool marked = source_facts(src.get(), facts);
    bool replaces = false;
    if (destination_up_to_date(marked ? &facts : nullptr, destination, request.force, replaces))
        return outcome;

    char temp[kFieldSize];
    if (!copy_temp_path(temp, destination))
        return path_too_long(outcome, copy_create_error);
    KeptMark mark;
    if (marked)
        format_kept_mark(mark, source, destination, facts.length, facts.written);
    unsigned long long kept = 0;
    ScopedHandle out(marked ? reopen_kept(temp, src.get(), mark, facts.length, kept) : INVALID_HANDLE_VALUE);
    // A kept part of all the source's bytes is only moved.
    bool whole = out.valid() && kept == facts.length;
    if (!out.valid())
        out.reset(create_temp(temp));
    if (!out.valid())
        return failed(outcome, copy_create_error);

    Ending ending =
        whole ? Ending::complete : copy_chunks(engine, src.get(), out.get(), chunk, request.brought_forward);
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
    if (ending == Ending::complete)
        return finish_complete(outcome, temp, request, replaces, have_times ? &s : nullptr, facts.length,
                               marked ? &mark : nullptr);
    return finish_incomplete(engine, outcome, temp, ending, keep, chunk_error);
}
