// The program as the fault suite runs it: quillsave_seams.exe, built beside
// quillsave.exe from the same library with this entry instead of main.cpp,
// never shipped. The shipped program has none of this code, so it reacts to
// none of these variables. Each fault is off unless its environment
// variable is set when the program starts; the variables are read once,
// before the main window exists:
//   QS_TEST_STALL_COPY_MS=n    the first chunk write of every standby copy
//                              hangs n ms, as on a disk that stops
//                              answering; a stop does not cut it short
//   QS_TEST_CHUNK_LOG=f        every chunk a standby copy writes adds one
//                              byte to file f, so a test counts what a run
//                              copied
//   QS_TEST_DIE_AFTER_TEMP=f   the save of the program file f ("set.ini",
//                              ...) ends the process (exit code 3) once its
//                              temporary file is written, before it
//                              replaces f, as a crash or power cut would
//   QS_TEST_PAUSE_MS=n         every pause of a run (after a chunk, between
//                              steps, at the end of the list) takes n ms
//                              instead, so that a soak makes many passes
//   QS_TEST_POWER_OFF_COPY=d   the power-off after a continuous run copies
//                              the four files, as they are on disk at that
//                              moment, into folder d instead of ending the
//                              session
//   QS_TEST_SLOW_RESTORE_MS=n  a restore's copy waits n ms after each chunk,
//                              so a test can cancel it in the middle of a file
#include <windows.h>

#include <cstdlib>
#include <string>

#include "app/app.h"
#include "app/main_window.h"
#include "app/seams.h"
#include "base/workdir.h"
#include "engine/seams.h"
#include "store/seams.h"

namespace {

char g_power_off_copy[kFieldSize];

std::string variable(const char* name)
{
    char value[kFieldSize] = {};
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value) : std::string();
}

int copy_files_instead_of_power_off(HWND)
{
    make_working_directory_current(engine().workdir);
    for (const char* name : {"quillsave.ini", "set.ini", "folder.ini", "file.ini"}) {
        std::string to = std::string(g_power_off_copy) + "\\" + name;
        CopyFileA(name, to.c_str(), FALSE);
    }
    return 0;
}

void count_chunk(const char* log)
{
    HANDLE h = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(h, "w", 1, &written, nullptr);
    CloseHandle(h);
}

void install_test_seams()
{
    std::string stall = variable("QS_TEST_STALL_COPY_MS");
    std::string log = variable("QS_TEST_CHUNK_LOG");
    if (!stall.empty() || !log.empty()) {
        DWORD ms = std::strtoul(stall.c_str(), nullptr, 10);
        engine_seams().copy_probe.before_write = [ms, log](int chunk) {
            if (chunk == 0 && ms > 0)
                Sleep(ms);
            if (!log.empty())
                count_chunk(log.c_str());
            return true;
        };
    }
    std::string die = variable("QS_TEST_DIE_AFTER_TEMP");
    if (!die.empty())
        store_seams().end_process_after_temp_of = die;
    std::string pause = variable("QS_TEST_PAUSE_MS");
    if (!pause.empty())
        engine_seams().pause_override_ms = static_cast<int>(std::strtoul(pause.c_str(), nullptr, 10));
    std::string slow = variable("QS_TEST_SLOW_RESTORE_MS");
    if (!slow.empty())
        engine_seams().restore_chunk_delay_ms = std::strtoul(slow.c_str(), nullptr, 10);
    std::string copy = variable("QS_TEST_POWER_OFF_COPY");
    if (!copy.empty()) {
        copy_field(g_power_off_copy, copy.c_str());
        app_seams().power_off = copy_files_instead_of_power_off;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int show)
{
    install_test_seams();
    return run_program(instance, arguments, show);
}
