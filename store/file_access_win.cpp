#include <windows.h>

#include <algorithm>

#include "base/safe_replace.h"
#include "engine/engine.h"
#include "store/file_access.h"
#include "store/seams.h"

namespace {

void show_open_failure(Engine& engine, const char* file_name)
{
    notify_message(engine.notifier, open_failure_text(file_name).c_str(), "CreateFile", MessageKind::exclamation);
}

// CloseHandle with the program's message on failure.
bool close_file(Engine& engine, HANDLE file, const char* file_name)
{
    if (CloseHandle(file))
        return true;
    notify_message(engine.notifier, file_name, "CloseHandle-errer", MessageKind::plain);
    return false;
}

bool write_all(HANDLE file, const std::string& bytes)
{
    std::size_t limit = store_seams().cut_writes_in_half ? bytes.size() / 2 : bytes.size();
    std::size_t done = 0;
    while (done < limit) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(limit - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    // The data must be on the disk before the rename makes it the file.
    return done == bytes.size() && FlushFileBuffers(file);
}

// Makes the working folder current again. False when a program file would
// then be opened somewhere else: the folder is recorded but cannot be
// entered (removed, renamed, its drive gone), and the current directory is
// wherever a file dialog or a backup run left it.
bool enter_working_folder(Engine& engine, const char* file_name)
{
    return make_working_directory_current(engine.workdir) || !names_program_file(file_name);
}

}  // namespace

bool names_program_file(const char* file_name)
{
    return file_name[0] != '\\' && !(file_name[0] != 0 && file_name[1] == ':');
}

ReadOutcome read_program_file(Engine& engine, const char* file_name, OpenMode mode,
                              const std::function<void(const ByteSource&)>& read)
{
    if (!enter_working_folder(engine, file_name)) {
        show_open_failure(engine, file_name);
        return ReadOutcome::unreadable;
    }
    DWORD disposition = mode == OpenMode::create_missing ? OPEN_ALWAYS : OPEN_EXISTING;
    HANDLE file = CreateFileA(file_name, GENERIC_READ, 0, nullptr, disposition,
                              FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == nullptr || file == INVALID_HANDLE_VALUE) {
        show_open_failure(engine, file_name);
        // Held by another program, or not ours to open: it is there all the same.
        return GetFileAttributesA(file_name) != INVALID_FILE_ATTRIBUTES ? ReadOutcome::unreadable
                                                                        : ReadOutcome::missing;
    }
    bool failed = false;
    read([file, &failed](char* dst, std::size_t want) -> std::size_t {
        DWORD got = 0;
        if (!ReadFile(file, dst, static_cast<DWORD>(want), &got, nullptr)) {
            failed = true;
            return 0;
        }
        return got;
    });
    close_file(engine, file, file_name);
    return failed ? ReadOutcome::unreadable : ReadOutcome::read;
}

bool write_program_file(Engine& engine, const char* file_name, const std::string& bytes)
{
    if (!enter_working_folder(engine, file_name)) {
        show_open_failure(engine, file_name);
        return false;
    }
    std::string temp = std::string(file_name) + ".tmp";
    HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == nullptr || file == INVALID_HANDLE_VALUE) {
        show_open_failure(engine, file_name);
        return false;
    }
    bool complete = write_all(file, bytes);
    if (!close_file(engine, file, file_name) || !complete) {
        DeleteFileA(temp.c_str());
        return false;
    }
    const std::string& end_after = store_seams().end_process_after_temp_of;
    if (!end_after.empty() && end_after == file_name)
        TerminateProcess(GetCurrentProcess(), 3);
    if (!move_temp_over(temp.c_str(), file_name, kProgramFileReplace)) {
        // The old file could not be replaced (read-only, or held open):
        // the same outcome as a failing CreateFileA on it.
        DeleteFileA(temp.c_str());
        show_open_failure(engine, file_name);
        return false;
    }
    return true;
}

bool delete_program_file(Engine& engine, const char* file_name)
{
    return enter_working_folder(engine, file_name) && DeleteFileA(file_name) != 0;
}
